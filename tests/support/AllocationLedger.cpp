#include "support/AllocationLedger.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// Each block carries a header in front of what the caller gets.
struct alignas(16) BlockHeader {
  unsigned magic;
  size_t size;
};

const unsigned kLiveMagic = 0x4C495645;  // "LIVE"
const unsigned kDeadMagic = 0x44454144;  // "DEAD"

volatile LONG64 g_liveBlocks = 0;
volatile LONG64 g_doubleDeletes = 0;
volatile LONG g_quarantineDepth = 0;

void* Allocate(size_t size) {
  void* raw = std::malloc(sizeof(BlockHeader) + (size != 0 ? size : 1));
  if (raw == nullptr) return nullptr;
  BlockHeader* header = static_cast<BlockHeader*>(raw);
  header->magic = kLiveMagic;
  header->size = size;
  InterlockedIncrement64(&g_liveBlocks);
  return header + 1;
}

void Release(void* p) {
  if (p == nullptr) return;
  BlockHeader* header = static_cast<BlockHeader*>(p) - 1;
  if (header->magic == kDeadMagic) {
    InterlockedIncrement64(&g_doubleDeletes);
    return;
  }
  if (header->magic != kLiveMagic) return;  // not ours: leave it alone
  InterlockedDecrement64(&g_liveBlocks);
  if (g_quarantineDepth > 0) {
    header->magic = kDeadMagic;
    std::memset(p, 0xDD, header->size);
    return;
  }
  header->magic = 0;
  std::free(header);
}

void* AllocateOrThrow(size_t size) {
  void* p = Allocate(size);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

}  // namespace

void* operator new(size_t size) { return AllocateOrThrow(size); }
void* operator new[](size_t size) { return AllocateOrThrow(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, size_t) noexcept { Release(p); }
void operator delete[](void* p, size_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }

namespace testing_support {

AllocationLedger::AllocationLedger()
    : m_liveAtStart(g_liveBlocks), m_doubleDeletesAtStart(g_doubleDeletes) {
  InterlockedIncrement(&g_quarantineDepth);
}

AllocationLedger::~AllocationLedger() { InterlockedDecrement(&g_quarantineDepth); }

long long AllocationLedger::LiveBlocks() const { return g_liveBlocks - m_liveAtStart; }

long long AllocationLedger::DoubleDeletes() const {
  return g_doubleDeletes - m_doubleDeletesAtStart;
}

}  // namespace testing_support
