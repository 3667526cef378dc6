#pragma once
// Counts what the program allocates with operator new, so that a test can tell that a piece of
// code frees every record it made, and frees none twice.
//
// Linking AllocationLedger.cpp replaces the program's global operator new and delete: list it
// among the sources of the test programs that use it, never in a shared library.

#include <cstddef>

namespace testing_support {

// While a ledger lives, deleted blocks are kept (poisoned) instead of freed, so that a second
// delete of the same block is recognised rather than corrupting the heap.
class AllocationLedger {
 public:
  AllocationLedger();
  ~AllocationLedger();
  AllocationLedger(const AllocationLedger&) = delete;
  AllocationLedger& operator=(const AllocationLedger&) = delete;

  // Blocks allocated since the ledger began and not deleted yet (negative when blocks from
  // before were deleted meanwhile).
  long long LiveBlocks() const;
  // Deletes of a block that had been deleted already, since the ledger began.
  long long DoubleDeletes() const;

 private:
  long long m_liveAtStart;
  long long m_doubleDeletesAtStart;
};

}  // namespace testing_support
