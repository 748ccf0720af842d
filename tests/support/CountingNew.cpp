#include "tests/support/CountingNew.h"

#include <cstdlib>
#include <new>

namespace {
volatile LONG gCountingThread = 0;
volatile LONG gCountedAllocations = 0;

void* Allocate(std::size_t n) noexcept {
  if (gCountingThread != 0 && static_cast<DWORD>(gCountingThread) == GetCurrentThreadId())
    InterlockedIncrement(&gCountedAllocations);
  return std::malloc(n ? n : 1);
}

void* AllocateOrThrow(std::size_t n) {
  void* p = Allocate(n);
  if (!p) throw std::bad_alloc();
  return p;
}
}  // namespace

TAllocationCount::TAllocationCount() : FStart(gCountedAllocations) {
  InterlockedExchange(&gCountingThread, static_cast<LONG>(GetCurrentThreadId()));
}
TAllocationCount::~TAllocationCount() { InterlockedExchange(&gCountingThread, 0); }
long TAllocationCount::Counted() const { return gCountedAllocations - FStart; }

void* operator new(std::size_t n) { return AllocateOrThrow(n); }
void* operator new[](std::size_t n) { return AllocateOrThrow(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return Allocate(n); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return Allocate(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
