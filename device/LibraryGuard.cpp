// The structured-exception guard around calls into the device library.
//
// GCC has no __try, so the guard is made by hand. On i686, the shipped
// program, it is what __try makes: a registration record on the thread's
// exception chain (FS:[0]) for the length of the call, so that handlers the
// library installs inside the call still see its faults first, and only
// faults it leaves unhandled reach ours. x86_64 (a test build) keeps its
// handlers in function tables, where a hand-made frame handler would need
// unwind data written in assembly; there a vectored handler takes the faults
// that the thread inside a guarded call raises.
//
// Either handler resumes the thread in Recover, which jumps back into
// RunGuarded with __builtin_longjmp: only the library's frames (and our
// trivial thunk) are left behind.
#include "device/LibraryGuard.h"

#include <cstdio>
#include <exception>

namespace {

// The x87 control word and MXCSR of the runtime's start-up: every exception
// masked, 64-bit precision, round to nearest.
constexpr unsigned short ProgramControlWord = 0x037F;
constexpr unsigned ProgramMxcsr = 0x1F80;

struct TGuardFrame {
#if defined(__i386__)
  // Must come first: the system hands the handler this record's address.
  struct TRecord {
    TRecord* next;
    void* handler;
  } record;
#else
  TGuardFrame* outer;
#endif
  void* jump[5];
  volatile DWORD fault;
};

bool IsProcessorFault(DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_FLT_DENORMAL_OPERAND:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_FLT_INEXACT_RESULT:
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_OVERFLOW:
    case EXCEPTION_FLT_STACK_CHECK:
    case EXCEPTION_FLT_UNDERFLOW:
    case 0xC00002B4:  // STATUS_FLOAT_MULTIPLE_FAULTS (SSE)
    case 0xC00002B5:  // STATUS_FLOAT_MULTIPLE_TRAPS (SSE)
      return true;
    default:
      return false;  // a stack overflow among them: its guard page is gone, nothing can go on
  }
}

// Entered in place of the faulting instruction, on the faulting thread's
// stack, with the frame as its first argument (ECX on i686, RCX on x86_64).
#if defined(__i386__)
#define QUENDAL_FIRST_ARG_IN_REGISTER __attribute__((fastcall))
#else
#define QUENDAL_FIRST_ARG_IN_REGISTER
#endif
[[noreturn]] void QUENDAL_FIRST_ARG_IN_REGISTER __attribute__((noinline)) Recover(TGuardFrame* frame) {
  __builtin_longjmp(frame->jump, 1);
}

// Points the faulting context at Recover, a little below the faulting
// stack, and notes the fault.
void Redirect(CONTEXT* context, TGuardFrame* frame, DWORD code) {
  frame->fault = code;
#if defined(__i386__)
  context->Ecx = reinterpret_cast<DWORD>(frame);
  context->Esp = ((context->Esp - 512) & ~DWORD(15)) - 4;  // as if called
  context->Eip = reinterpret_cast<DWORD>(&Recover);
#else
  context->Rcx = reinterpret_cast<DWORD64>(frame);
  context->Rsp = ((context->Rsp - 512) & ~DWORD64(15)) - 8;
  context->Rip = reinterpret_cast<DWORD64>(&Recover);
#endif
}

#if defined(__i386__)

extern "C" EXCEPTION_DISPOSITION __cdecl GuardHandler(EXCEPTION_RECORD* record, void* establisher, CONTEXT* context,
                                                      void*) {
  if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) return ExceptionContinueSearch;
  if (!IsProcessorFault(record->ExceptionCode)) return ExceptionContinueSearch;
  Redirect(context, static_cast<TGuardFrame*>(establisher), record->ExceptionCode);
  return ExceptionContinueExecution;
}

void Enter(TGuardFrame& frame) {
  frame.record.handler = reinterpret_cast<void*>(&GuardHandler);
  asm volatile("movl %%fs:0, %0" : "=r"(frame.record.next) : : "memory");
  asm volatile("movl %0, %%fs:0" : : "r"(&frame.record) : "memory");
}

// Also after a fault: the chain then still holds the records the library
// pushed below ours, and they are dropped with it.
void Leave(TGuardFrame& frame) { asm volatile("movl %0, %%fs:0" : : "r"(frame.record.next) : "memory"); }

#else

// The guarded call in progress, innermost first. One thread calls the
// library at a time (the window thread at start-up, while the monitor
// thread waits for it, then the monitor thread), so one pointer serves; a
// thread-local one would cost a call per guarded call. The handler takes
// the frame only when it lies on the faulting thread's own stack.
TGuardFrame* volatile gActive = nullptr;

bool OnThisThreadsStack(const void* p) {
  const NT_TIB* tib;
  asm("movq %%gs:0x30, %0" : "=r"(tib));  // the thread's own TIB (what NtCurrentTeb reads)
  return p >= tib->StackLimit && p < tib->StackBase;
}

LONG CALLBACK GuardHandler(EXCEPTION_POINTERS* info) {
  TGuardFrame* frame = gActive;
  if (!frame || !OnThisThreadsStack(frame) || !IsProcessorFault(info->ExceptionRecord->ExceptionCode))
    return EXCEPTION_CONTINUE_SEARCH;
  Redirect(info->ContextRecord, frame, info->ExceptionRecord->ExceptionCode);
  return EXCEPTION_CONTINUE_EXECUTION;
}

void Enter(TGuardFrame& frame) {
  // The handler, installed once for the process.
  static const bool installed = AddVectoredExceptionHandler(1, &GuardHandler) != nullptr;
  if (!installed) return;
  frame.outer = gActive;
  gActive = &frame;
}

void Leave(TGuardFrame& frame) {
  if (gActive == &frame) gActive = frame.outer;
}

#endif

}  // namespace

ELibraryFault::ELibraryFault(DWORD code)
    : TException([code] {
        char text[80];
        std::snprintf(text, sizeof text, "Сбой в библиотеке Corvane.dll: исключение 0x%08lX",
                      static_cast<unsigned long>(code));
        return std::string(text);
      }()),
      FCode(code) {}

namespace {

bool HasMxcsr() {
#if defined(__i386__)
  // Processors older than the Pentium III have none.
  static const bool sse = IsProcessorFeaturePresent(PF_XMMI_INSTRUCTIONS_AVAILABLE) != 0;
  return sse;
#else
  return true;
#endif
}

// Puts back what differs. Reading the state is cheap and loading it is not
// (the loads are microcoded on many processors), and this runs after every
// library call.
void RestoreFloatingPointState() {
  unsigned short cw;
  asm volatile("fnstcw %0" : "=m"(cw));
  if (cw != ProgramControlWord) {
    // Exceptions raised while they were unmasked are cleared first, or the
    // next floating-point instruction would still trap.
    unsigned short program = ProgramControlWord;
    asm volatile("fnclex\n\tfldcw %0" : : "m"(program));
  }
  if (!HasMxcsr()) return;
  unsigned mxcsr;
  asm volatile("stmxcsr %0" : "=m"(mxcsr));
  if ((mxcsr & ~0x3Fu) != ProgramMxcsr) {  // the flags (low six bits) are only flags
    unsigned program = ProgramMxcsr;
    asm volatile("ldmxcsr %0" : : "m"(program));
  }
}

}  // namespace

void ResetFloatingPointState() {
  unsigned short cw = ProgramControlWord;
  asm volatile("fnclex\n\tfldcw %0" : : "m"(cw));
  if (!HasMxcsr()) return;
  unsigned mxcsr = ProgramMxcsr;
  asm volatile("ldmxcsr %0" : : "m"(mxcsr));
}

namespace {
// A C++ exception that leaves the routine (a library written in C++ may
// let one out) is held until the guard has been taken down: passing
// through RunGuarded it would leave a dead record on the chain.
void RunCatching(void (*routine)(void*), void* context, std::exception_ptr& error) noexcept {
  try {
    routine(context);
  } catch (...) {
    error = std::current_exception();
  }
}
}  // namespace

DWORD RunGuarded(void (*routine)(void*), void* context) {
  TGuardFrame frame = {};
  std::exception_ptr error;
  Enter(frame);
  if (__builtin_setjmp(frame.jump) == 0) RunCatching(routine, context, error);
  Leave(frame);
  RestoreFloatingPointState();
  if (error) std::rethrow_exception(error);
  return frame.fault;
}
