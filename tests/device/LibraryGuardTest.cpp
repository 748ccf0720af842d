// The guard around calls into the device library: a processor fault inside
// a call becomes ELibraryFault in the caller, with the caller's own frames
// unwound as C++ unwinds them, and the floating-point state is the
// program's own after every call, however the library left it.
#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>

#include "device/LibraryGuard.h"

namespace {

volatile std::uintptr_t gUnmapped = 0x10;
volatile int gZero = 0;

unsigned short ControlWord() {
  unsigned short cw;
  asm volatile("fnstcw %0" : "=m"(cw));
  return cw;
}

unsigned Mxcsr() {
  unsigned m;
  asm volatile("stmxcsr %0" : "=m"(m));
  return m;
}

// As a Pascal-era library leaves the thread: invalid operation, divide by
// zero and overflow unmasked, in the x87 and in MXCSR.
void Unmask() {
  unsigned short cw = 0x1332;
  unsigned m = Mxcsr() & ~0x0680u;
  asm volatile("fldcw %0\n\tldmxcsr %1" : : "m"(cw), "m"(m));
}

int __stdcall WriteUnmapped() { return *reinterpret_cast<volatile int*>(gUnmapped) = 1; }
int __stdcall DivideByZero() { return 7 / gZero; }
int __stdcall IllegalInstruction() {
  asm volatile("ud2");
  return 1;
}
// Unmasked, then a signalling NaN through the FPU's arithmetic.
int __stdcall SignallingNaNTrap() {
  Unmask();
  volatile std::uint64_t bits = 0x7FF0000000000001ull;
  double snan;
  std::uint64_t b = bits;
  __builtin_memcpy(&snan, &b, sizeof snan);
  volatile double sum = snan + 1.0;
  asm volatile("fwait");
  return sum == sum;
}
int __stdcall UnmaskAndReturn() {
  Unmask();
  return 5;
}

struct TCounted {
  int& Destroyed;
  ~TCounted() { ++Destroyed; }
};

TEST(LibraryGuard, AFaultInsideACallIsThrownInTheCallerAndTheCallerUnwinds) {
  const struct {
    const char* What;
    int(__stdcall* Call)();
    DWORD Code;  // 0: any processor fault
  } faults[] = {
      {"access violation", &WriteUnmapped, EXCEPTION_ACCESS_VIOLATION},
      {"integer divide by zero", &DivideByZero, EXCEPTION_INT_DIVIDE_BY_ZERO},
      {"illegal instruction", &IllegalInstruction, EXCEPTION_ILLEGAL_INSTRUCTION},
      {"floating-point trap", &SignallingNaNTrap, 0},
  };
  // A C++ exception out of a call (a library in C++ may let one out)
  // passes through, and leaves the guard whole for the faults below.
  EXPECT_THROW(LibraryCall([]() -> int { throw std::runtime_error("thrown inside"); }), std::runtime_error);
  for (const auto& f : faults) {
    SCOPED_TRACE(f.What);
    int destroyed = 0;
    DWORD code = 0;
    try {
      TCounted owned{destroyed};
      LibraryCall(f.Call);
      // qemu-user, which runs the i686 tree here, never delivers x87
      // traps: the arithmetic just goes on. Real processors trap.
      if (f.Code == 0) continue;
      ADD_FAILURE() << "the call returned";
    } catch (const ELibraryFault& e) {
      code = e.Code();
    }
    EXPECT_EQ(destroyed, 1);
    EXPECT_NE(code, 0u);
    // Which fault it was is told by the trap number in the signal context,
    // which qemu-user (the i686 tree here) does not keep: there any fault
    // code may come. Processors do, and so does the x86_64 tree.
    if (f.Code && sizeof(void*) == 8) {
      EXPECT_EQ(code, f.Code);
    }
    // The thread goes on with the program's floating-point state.
    EXPECT_EQ(ControlWord() & 0x3F, 0x3F);
    EXPECT_EQ(Mxcsr() & 0x1F80, 0x1F80u);
  }
  // And the guard is whole again for the next call, after which the
  // program's state is back however the library left it.
  ResetFloatingPointState();
  const unsigned short before = ControlWord();
  EXPECT_EQ(LibraryCall(&UnmaskAndReturn), 5);
  EXPECT_EQ(ControlWord(), before);
  EXPECT_EQ(Mxcsr() & 0x1F80, 0x1F80u);
}

}  // namespace
