// The test programs' counting allocator: every operator new of the program
// passes through it, and only the allocations of the one thread that asks
// are counted, so the rest of a suite is not affected.
#pragma once

#include <windows.h>

#include "framework/NoCopy.h"

// Counts the allocations of the thread that makes it, for as long as it
// lives; one at a time.
class TAllocationCount : TNoCopy {
 public:
  TAllocationCount();
  ~TAllocationCount();
  long Counted() const;

 private:
  LONG FStart;
};
