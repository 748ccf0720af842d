// The window procedure that binds every window to its object, checked as a
// window system's own conformance tests do: real windows, real messages and
// the sequence of messages recorded on both sides of the binding. The class
// procedure underneath records what reaches it; the object records what it
// handles.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "framework/Exception.h"
#include "framework/Handles.h"
#include "framework/WinControl.h"
#include "tests/support/BoxAnswerer.h"

namespace {

constexpr UINT WM_THROW = WM_APP + 40;

struct TSeen {
  UINT Message;
  bool Bound;  // the window led to an object as the message arrived
};
std::vector<TSeen> gClassSeen;

LRESULT CALLBACK ClassProcedure(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  gClassSeen.push_back({msg, TWinControl::FromHandle(h) != nullptr});
  return DefWindowProcW(h, msg, wParam, lParam);
}

const wchar_t* RecordingClass() {
  static const wchar_t* name = [] {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &ClassProcedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QuendalRecordingClass";
    RegisterClassW(&wc);
    return wc.lpszClassName;
  }();
  return name;
}

class TRecorder : public TWinControl {
 public:
  using TWinControl::TWinControl;
  void Create(const wchar_t* className, DWORD style, HWND parent) {
    CreateHandle({className, style, 0, 0, 0, 80, 30, parent}, "");
  }
  std::vector<UINT> Seen, Reflections;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    Seen.push_back(msg);
    if (msg == WM_THROW) throw std::runtime_error("handler failed");
    return TWinControl::WndProc(msg, wParam, lParam);
  }
  bool Reflected(UINT msg, WPARAM wParam, LPARAM, LRESULT&) override {
    if (msg == WM_COMMAND) Reflections.push_back(HIWORD(wParam));
    return false;
  }
};

std::vector<UINT> Messages(const std::vector<TSeen>& seen) {
  std::vector<UINT> out;
  for (const TSeen& s : seen) out.push_back(s.Message);
  return out;
}

TEST(WindowProcedure, TheObjectSeesEveryMessageFromTheFirstAndTheBindingEndsAtNcDestroy) {
  gClassSeen.clear();
  long windows = LiveCount(TResourceKind::Window);
  TRecorder object(nullptr);
  object.Create(RecordingClass(), WS_OVERLAPPEDWINDOW, nullptr);
  ASSERT_NE(object.Handle(), nullptr);
  HWND window = object.Handle();
  EXPECT_EQ(TWinControl::FromHandle(window), &object);
  EXPECT_EQ(LiveCount(TResourceKind::Window), windows + 1);

  // Creation: what reached the class procedure went through the object
  // first, in the same order, from the very first message on.
  ASSERT_FALSE(gClassSeen.empty());
  EXPECT_EQ(object.Seen, Messages(gClassSeen));
  EXPECT_EQ(object.Seen.front(), gClassSeen.front().Message);
  for (const TSeen& s : gClassSeen) EXPECT_TRUE(s.Bound) << "message " << s.Message << " before the binding";
  EXPECT_NE(std::find(object.Seen.begin(), object.Seen.end(), static_cast<UINT>(WM_NCCREATE)), object.Seen.end());
  EXPECT_NE(std::find(object.Seen.begin(), object.Seen.end(), static_cast<UINT>(WM_CREATE)), object.Seen.end());

  // Destruction: the object sees WM_DESTROY; WM_NCDESTROY reaches the class
  // procedure with the binding already gone, and nothing after it.
  gClassSeen.clear();
  object.Seen.clear();
  DestroyWindow(window);
  EXPECT_EQ(object.Handle(), nullptr);
  EXPECT_EQ(LiveCount(TResourceKind::Window), windows);
  ASSERT_FALSE(gClassSeen.empty());
  EXPECT_EQ(gClassSeen.back().Message, static_cast<UINT>(WM_NCDESTROY));
  EXPECT_FALSE(gClassSeen.back().Bound);
  EXPECT_NE(std::find(object.Seen.begin(), object.Seen.end(), static_cast<UINT>(WM_DESTROY)), object.Seen.end());
  EXPECT_EQ(std::find(object.Seen.begin(), object.Seen.end(), static_cast<UINT>(WM_NCDESTROY)), object.Seen.end());
  // The object outlives its window: messages for the dead window reach no one.
  EXPECT_EQ(TWinControl::FromHandle(window), nullptr);

  // A window the framework never bound is no object, whatever its user data.
  HWND foreign = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(foreign, nullptr);
  SetWindowLongPtrW(foreign, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&object));
  EXPECT_EQ(TWinControl::FromHandle(foreign), nullptr);
  DestroyWindow(foreign);
}

TEST(WindowProcedure, AChildsNotificationIsReflectedToTheChildsObject) {
  TRecorder parent(nullptr), child(nullptr);
  parent.Create(RecordingClass(), WS_OVERLAPPEDWINDOW, nullptr);
  child.Create(L"BUTTON", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, parent.Handle());
  ASSERT_NE(child.Handle(), nullptr);
  parent.Seen.clear();
  SendMessageW(child.Handle(), BM_CLICK, 0, 0);
  // The parent receives WM_COMMAND and hands it to the button's object.
  EXPECT_NE(std::find(parent.Seen.begin(), parent.Seen.end(), static_cast<UINT>(WM_COMMAND)), parent.Seen.end());
  EXPECT_EQ(child.Reflections, std::vector<UINT>{BN_CLICKED});
  EXPECT_TRUE(parent.Reflections.empty()) << "the parent took its own notification";
  child.DestroyHandle();
  parent.DestroyHandle();
}

TEST(WindowProcedure, AnExceptionFromAHandlerIsReportedAndStaysInsideTheWindowProcedure) {
  TBoxAnswerer boxes(GetCurrentThreadId());
  TRecorder object(nullptr);
  object.Create(RecordingClass(), WS_OVERLAPPEDWINDOW, nullptr);
  LRESULT result = 1;
  try {
    result = SendMessageW(object.Handle(), WM_THROW, 0, 0);
  } catch (...) {
    ADD_FAILURE() << "the exception crossed the window procedure";
  }
  EXPECT_EQ(result, 0);
  ASSERT_EQ(boxes.Texts(), std::vector<std::wstring>{L"handler failed"});
  // The window goes on answering.
  object.Seen.clear();
  SendMessageW(object.Handle(), WM_NULL, 0, 0);
  EXPECT_EQ(object.Seen, std::vector<UINT>{WM_NULL});
  object.DestroyHandle();
}

// A creation whose hook could not be installed, or never bound the window,
// raises and leaves no window behind.
LRESULT CALLBACK PassOn(int code, WPARAM wParam, LPARAM lParam) { return CallNextHookEx(nullptr, code, wParam, lParam); }
HHOOK WINAPI NoHook(int, HOOKPROC, HINSTANCE, DWORD) { return nullptr; }
HHOOK WINAPI HookThatBindsNothing(int kind, HOOKPROC, HINSTANCE module, DWORD thread) {
  return SetWindowsHookExW(kind, &PassOn, module, thread);
}

TEST(WindowProcedure, ACreationThatCannotBindRaisesAndLeavesNoWindow) {
  TRecorder object(nullptr);
  for (TSetWindowsHookFunction hook : {&NoHook, &HookThatBindsNothing}) {
    SetWindowsHookFunction = hook;
    EXPECT_THROW(object.Create(RecordingClass(), WS_OVERLAPPEDWINDOW, nullptr), TException);
    SetWindowsHookFunction = &SetWindowsHookExW;
    EXPECT_EQ(FindWindowW(RecordingClass(), nullptr), nullptr) << "the unbound window was left";
  }
  object.Create(RecordingClass(), WS_OVERLAPPEDWINDOW, nullptr);
  EXPECT_EQ(TWinControl::FromHandle(object.Handle()), &object) << "the next creation binds";
}

}  // namespace
