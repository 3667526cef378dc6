#include "Core/UIBase.h"

namespace SkinUI {

CDelegateBase::CDelegateBase(void* pObject, const void* pFunction, size_t cbFunction)
    : m_pObject(pObject), m_aFunction(), m_cbFunction(cbFunction) {
  std::memcpy(m_aFunction, pFunction, cbFunction);
}

CDelegateBase::CDelegateBase(const CDelegateBase& rhs)
    : m_pObject(rhs.m_pObject), m_aFunction(), m_cbFunction(rhs.m_cbFunction) {
  std::memcpy(m_aFunction, rhs.m_aFunction, sizeof(m_aFunction));
}

CDelegateBase::~CDelegateBase() = default;

bool CDelegateBase::operator==(const CDelegateBase& rhs) const {
  return m_pObject == rhs.m_pObject && m_cbFunction == rhs.m_cbFunction &&
         std::memcmp(m_aFunction, rhs.m_aFunction, m_cbFunction) == 0;
}

CDelegateList::CDelegateList() = default;

CDelegateList::~CDelegateList() = default;

void CDelegateList::operator+=(const CDelegateBase& d) {
  for (int i = 0; i < m_aDelegates.GetSize(); ++i) {
    const CDelegateBase* pListed = m_aDelegates[i];
    if (pListed != nullptr && *pListed == d) return;
  }
  CDelegateBase* pCopy = d.Copy();
  if (!m_aDelegates.Add(pCopy)) delete pCopy;
}

CDelegateList::operator bool() const { return !m_aDelegates.IsEmpty(); }

bool CDelegateList::operator()(void* pParam) {
  // Indexing on every step: a handler may add to the list while it runs.
  for (int i = 0; i < m_aDelegates.GetSize(); ++i) {
    CDelegateBase* pDelegate = m_aDelegates.GetAt(i);
    if (pDelegate != nullptr && !pDelegate->Invoke(pParam)) return false;
  }
  return true;
}

}  // namespace SkinUI
