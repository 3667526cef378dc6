#include "Core/UISkinBuildObserver.h"

#include <atomic>

namespace SkinUI {

namespace {

// Scopes alive on any thread: while there are none, asking for the observer reads no
// thread-local state, so builds nobody observes pay one load.
std::atomic<int> g_nScopes{0};
thread_local ISkinBuildObserver* t_pObserver = nullptr;
thread_local SkinSourcePlace t_place = {nullptr, nullptr, nullptr, 0xFFFFFFFFu};

}  // namespace

CSkinBuildScope::CSkinBuildScope(ISkinBuildObserver* pObserver) : m_pPrevious(t_pObserver) {
  t_pObserver = pObserver;
  g_nScopes.fetch_add(1, std::memory_order_relaxed);
}

CSkinBuildScope::~CSkinBuildScope() {
  t_pObserver = m_pPrevious;
  g_nScopes.fetch_sub(1, std::memory_order_relaxed);
}

ISkinBuildObserver* CSkinBuildScope::Observer() {
  if (g_nScopes.load(std::memory_order_relaxed) == 0) return nullptr;
  return t_pObserver;
}

const SkinSourcePlace& CSkinBuildScope::Place() { return t_place; }

CSkinPlaceMark::CSkinPlaceMark(const SkinSourcePlace& place) : m_previous(t_place) { t_place = place; }

CSkinPlaceMark::~CSkinPlaceMark() { t_place = m_previous; }

}  // namespace SkinUI
