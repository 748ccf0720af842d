// The test programs' counting allocator: every operator new of the program
// passes through it, and only the allocations of the one thread that asks
// are counted, so the rest of a suite is not affected.
#pragma once

#include <windows.h>

// Counts the allocations of the thread that makes it, for as long as it
// lives; one at a time.
class TAllocationCount {
 public:
  TAllocationCount();
  ~TAllocationCount();
  TAllocationCount(const TAllocationCount&) = delete;
  TAllocationCount& operator=(const TAllocationCount&) = delete;
  long Counted() const;

 private:
  LONG FStart;
};
