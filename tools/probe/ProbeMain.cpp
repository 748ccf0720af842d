// Inspector.exe: the window inspector from the command line.
//
//   Inspector wait WINDOW [ms]              wait until the window exists
//   Inspector dump WINDOW                   every control: name, state, text
//   Inspector text WINDOW CONTROL           what the control shows
//   Inspector lines WINDOW CONTROL          a list's lines
//   Inspector look WINDOW [CONTROL]         its font (asked for and used) and colours
//   Inspector menu WINDOW [CONTROL]         its popup menu's items
//   Inspector key WINDOW KEY [ctrl]         press esc, enter, tab or a letter
//   Inspector click WINDOW CONTROL [right]  click the control's centre
//   Inspector msgbox [ms] [press BUTTON]    read (and answer) a message box (OK, Yes, No, Cancel)
//   Inspector screenshot FILE.png [WINDOW]  the whole screen, or one window
//   Inspector watch WINDOW [ms]             print the window whenever it changes
//
// Exits 0 on success, 1 with a message when what was asked for is not there.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/probe/WindowProbe.h"

using namespace Inspector;

namespace {

int Fail(const std::string& message) {
  std::fprintf(stderr, "Inspector: %s\n", message.c_str());
  return 1;
}

std::string Arg(int argc, char** argv, int i) { return i < argc ? FromUtf8(argv[i]) : std::string(); }

HWND Window(const std::string& name, DWORD ms = 3000) { return FindWindowNamed(0, name, ms); }

std::string Describe(HWND top) {
  std::string out = ControlName(top) + " \"" + Text(top) + "\"" + (Visible(top) ? "" : " (hidden)") + "\n";
  for (HWND h : Controls(top)) {
    std::string name = ControlName(h);
    if (name.empty()) continue;
    RECT r = ClientBounds(h);
    char bounds[64];
    std::snprintf(bounds, sizeof(bounds), "%ld,%ld %ldx%ld", r.left, r.top, r.right - r.left, r.bottom - r.top);
    out += "  " + name + " [" + bounds + (Enabled(h) ? "" : ", disabled") + (Visible(h) ? "" : ", hidden") + "] \"" +
           Text(h) + "\"\n";
    wchar_t cls[32] = {};
    GetClassNameW(h, cls, 32);
    if (_wcsicmp(cls, L"ListBox") == 0) {
      int sel = ListSelection(h), i = 0;
      for (const std::string& line : ListLines(h)) out += std::string(i++ == sel ? "    > " : "      ") + line + "\n";
    }
  }
  return out;
}

WORD KeyCode(const std::string& key) {
  if (key == "esc") return VK_ESCAPE;
  if (key == "enter") return VK_RETURN;
  if (key == "tab") return VK_TAB;
  if (key == "down") return VK_DOWN;
  if (key == "up") return VK_UP;
  if (key.size() == 1) return static_cast<WORD>(toupper(static_cast<unsigned char>(key[0])));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string cmd = Arg(argc, argv, 1);
  if (cmd == "wait") {
    DWORD ms = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 10000;
    return Window(Arg(argc, argv, 2), ms) ? 0 : Fail("no window " + ToUtf8(Arg(argc, argv, 2)));
  }
  if (cmd == "look" || cmd == "menu") {
    HWND top = Window(Arg(argc, argv, 2));
    if (!top) return Fail("no window " + ToUtf8(Arg(argc, argv, 2)));
    HWND h = argc > 3 ? FindControl(top, Arg(argc, argv, 3)) : top;
    if (!h) return Fail("no control " + ToUtf8(Arg(argc, argv, 3)));
    std::printf("%s\n", ToUtf8(cmd == "look" ? Look(h) : PopupMenuText(h)).c_str());
    return 0;
  }
  if (cmd == "dump" || cmd == "text" || cmd == "lines" || cmd == "key" || cmd == "click" || cmd == "watch") {
    HWND top = Window(Arg(argc, argv, 2));
    if (!top) return Fail("no window " + ToUtf8(Arg(argc, argv, 2)));
    if (cmd == "dump") {
      std::printf("%s", ToUtf8(Describe(top)).c_str());
      return 0;
    }
    if (cmd == "watch") {
      DWORD ms = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 250;
      std::string last;
      while (IsWindow(top)) {
        std::string now = Describe(top);
        if (now != last) {
          std::printf("----\n%s", ToUtf8(now).c_str());
          std::fflush(stdout);
          last = now;
        }
        Sleep(ms);
      }
      return 0;
    }
    if (cmd == "key") {
      WORD vk = KeyCode(Arg(argc, argv, 3));
      if (!vk) return Fail("unknown key " + Arg(argc, argv, 3));
      SendKey(top, vk, Arg(argc, argv, 4) == "ctrl");
      return 0;
    }
    HWND control = FindControl(top, Arg(argc, argv, 3));
    if (!control) return Fail("no control " + ToUtf8(Arg(argc, argv, 3)));
    if (cmd == "text") std::printf("%s\n", ToUtf8(Text(control)).c_str());
    if (cmd == "lines")
      for (const std::string& line : ListLines(control)) std::printf("%s\n", ToUtf8(line).c_str());
    if (cmd == "click") Click(control, Arg(argc, argv, 4) == "right");
    return 0;
  }
  if (cmd == "msgbox") {
    DWORD ms = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 3000;
    TMessageBox box;
    if (!FindMessageBox(0, box, ms)) return Fail("no message box");
    std::printf("caption: %s\ntext: %s\n", ToUtf8(box.Caption).c_str(), ToUtf8(box.Text).c_str());
    for (const std::string& b : box.Buttons) std::printf("button: %s\n", ToUtf8(b).c_str());
    std::string button = Arg(argc, argv, 4);
    int id = button == "OK" ? IDOK : button == "Yes" ? IDYES : button == "No" ? IDNO : button == "Cancel" ? IDCANCEL : 0;
    if (Arg(argc, argv, 3) == "press" && !(id ? PressButton(box, id) : PressButton(box, button)))
      return Fail("no button " + button);
    return 0;
  }
  if (cmd == "screenshot") {
    std::string file = Arg(argc, argv, 2);
    if (file.empty()) return Fail("screenshot needs a file name");
    int n = MultiByteToWideChar(1251, 0, file.c_str(), -1, nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(1251, 0, file.c_str(), -1, &w[0], n);
    HWND window = nullptr;
    if (argc > 3) {
      window = Window(Arg(argc, argv, 3));
      if (!window) return Fail("no window " + ToUtf8(Arg(argc, argv, 3)));
    }
    return Screenshot(w.c_str(), window) ? 0 : Fail("cannot write " + file);
  }
  return Fail("usage: see the head of ProbeMain.cpp");
}
