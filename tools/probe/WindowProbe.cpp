#include "tools/probe/WindowProbe.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <utility>
#include <vector>

#include "framework/Messages.h"
#include "tools/probe/MemoryBitmap.h"

namespace Inspector {

namespace {

std::wstring Wide(const std::string& text, UINT codePage = 1251) {
  if (text.empty()) return std::wstring();
  int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &w[0], n);
  return w;
}

std::string Bytes(const std::wstring& text, UINT codePage = 1251) {
  if (text.empty()) return std::string();
  int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &s[0], n, nullptr, nullptr);
  return s;
}


bool IsMessageBox(HWND h) {
  wchar_t cls[64] = {};
  GetClassNameW(h, cls, 64);
  return wcscmp(cls, L"#32770") == 0 && IsWindowVisible(h);
}

// The first top-level window of the process (0: any process) that matches.
struct TFind {
  DWORD ProcessId;
  std::function<bool(HWND)> Matches;
  HWND Found;
};

BOOL CALLBACK FindTop(HWND h, LPARAM p) {
  auto* f = reinterpret_cast<TFind*>(p);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if ((f->ProcessId && pid != f->ProcessId) || !f->Matches(h)) return TRUE;
  f->Found = h;
  return FALSE;
}

HWND FindTopWindow(DWORD processId, std::function<bool(HWND)> matches) {
  TFind f = {processId, std::move(matches), nullptr};
  EnumWindows(FindTop, reinterpret_cast<LPARAM>(&f));
  return f.Found;
}

BOOL CALLBACK CollectChild(HWND h, LPARAM p) {
  reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
  return TRUE;
}

std::string WithoutAmpersands(const std::string& s) {
  std::string out;
  for (char c : s)
    if (c != '&') out += c;
  return out;
}

}  // namespace

std::string ToUtf8(const std::string& cp1251) { return Bytes(Wide(cp1251), CP_UTF8); }
std::string FromUtf8(const std::string& utf8) { return Bytes(Wide(utf8, CP_UTF8)); }

bool Launch(const std::wstring& exe, const std::vector<std::wstring>& environment, TProcess& process) {
  // The current environment plus the extra variables.
  std::vector<wchar_t> block;
  wchar_t* env = GetEnvironmentStringsW();
  for (const wchar_t* p = env; *p; p += wcslen(p) + 1) {
    std::wstring entry(p);
    bool replaced = false;
    for (const std::wstring& e : environment) {
      size_t eq = e.find(L'=');
      if (eq != std::wstring::npos && _wcsnicmp(entry.c_str(), e.c_str(), eq + 1) == 0) replaced = true;
    }
    if (!replaced) block.insert(block.end(), entry.c_str(), entry.c_str() + entry.size() + 1);
  }
  FreeEnvironmentStringsW(env);
  for (const std::wstring& e : environment) block.insert(block.end(), e.c_str(), e.c_str() + e.size() + 1);
  block.push_back(L'\0');
  std::wstring command = L"\"" + exe + L"\"";
  std::wstring dir = exe.substr(0, exe.find_last_of(L"\\/"));
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT, block.data(),
                      dir.c_str(), &si, &pi))
    return false;
  CloseHandle(pi.hThread);
  process.Handle = pi.hProcess;
  process.Id = pi.dwProcessId;
  return true;
}

bool WaitExit(const TProcess& process, DWORD timeoutMs, DWORD& exitCode) {
  if (WaitForSingleObject(process.Handle, timeoutMs) != WAIT_OBJECT_0) return false;
  GetExitCodeProcess(process.Handle, &exitCode);
  return true;
}

void Kill(TProcess& process) {
  if (process.Handle) {
    TerminateProcess(process.Handle, 99);
    WaitForSingleObject(process.Handle, 5000);
  }
}

void Close(TProcess& process) {
  if (process.Handle) CloseHandle(process.Handle);
  process.Handle = nullptr;
}

namespace {
// A text query answered into a buffer in the window's own process (the
// WM_GETCONTROLNAME convention): wParam = size in characters, lParam = the
// buffer, result = characters copied.
std::string RemoteText(HWND window, UINT message, size_t chars) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  std::vector<wchar_t> buffer(chars + 1, L'\0');
  if (pid == GetCurrentProcessId()) {
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutW(window, message, chars, reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG, 2000, &r))
      return "";
    buffer[chars] = L'\0';
    return Bytes(buffer.data());
  }
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return "";
  std::string text;
  const SIZE_T size = chars * sizeof(wchar_t);
  void* remote = VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  if (remote) {
    DWORD_PTR r = 0;
    if (SendMessageTimeoutW(window, message, chars, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 2000, &r) && r > 0 &&
        r < chars) {
      SIZE_T read = 0;
      if (ReadProcessMemory(process, remote, buffer.data(), size, &read)) {
        buffer[r] = L'\0';
        text = Bytes(buffer.data());
      }
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return text;
}

}  // namespace

std::string ControlName(HWND window) { return RemoteText(window, ControlNameMessage(), 128); }

std::string Look(HWND window) { return RemoteText(window, LookMessage(), 512); }

std::string LookValue(const std::string& look, const std::string& key) {
  size_t pos = 0;
  while (pos <= look.size()) {
    size_t end = look.find(';', pos);
    if (end == std::string::npos) end = look.size();
    std::string item = look.substr(pos, end - pos);
    if (item.compare(0, key.size() + 1, key + "=") == 0) return item.substr(key.size() + 1);
    pos = end + 1;
  }
  return "";
}

std::string PopupMenuText(HWND window) { return RemoteText(window, MenuMessage(), 1024); }

HWND FindWindowNamed(DWORD processId, const std::string& name, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitFor(
      [&] {
        found = FindTopWindow(processId, [&](HWND h) { return ControlName(h) == name; });
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

std::vector<HWND> Controls(HWND top) {
  std::vector<HWND> all;
  EnumChildWindows(top, CollectChild, reinterpret_cast<LPARAM>(&all));
  return all;
}

HWND FindControl(HWND top, const std::string& name) {
  for (HWND h : Controls(top))
    if (ControlName(h) == name) return h;
  return nullptr;
}

bool TryText(HWND window, std::string& text) {
  wchar_t buffer[1024] = {};
  DWORD_PTR r = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, &r))
    return false;
  buffer[1023] = L'\0';
  text = Bytes(buffer);
  return true;
}

std::string Text(HWND window) {
  std::string text;
  return TryText(window, text) ? text : std::string();
}

// One line of a list box. The line may change between the length query and
// the text query: the buffer has room for far more than a line of the
// program's, and a text whose length changed meanwhile is read again.
std::string ListLine(HWND list, int index) {
  const LRESULT room = 1024;
  for (int attempt = 0; attempt < 5; ++attempt) {
    LRESULT len = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (len < 0 || len > room) return std::string();
    std::wstring w(static_cast<size_t>(room) + 1, L'\0');
    LRESULT got = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&w[0]));
    if (got < 0 || got > room) return std::string();
    if (got != len || SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0) != len) continue;
    return Bytes(std::wstring(w.data(), static_cast<size_t>(got)));
  }
  return std::string();
}

std::vector<std::string> ListLines(HWND list) {
  std::vector<std::string> lines;
  LRESULT n = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < n && i < 1000; ++i) lines.push_back(ListLine(list, static_cast<int>(i)));
  return lines;
}

int ListSelection(HWND list) { return static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)); }

bool Enabled(HWND window) { return IsWindowEnabled(window) != FALSE; }
bool Visible(HWND window) { return IsWindowVisible(window) != FALSE; }

RECT ClientBounds(HWND control) {
  RECT r = {};
  GetWindowRect(control, &r);
  HWND top = GetAncestor(control, GA_ROOT);
  MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

long Counter(HWND window, int kind) {
  DWORD_PTR r = 0;
  if (!SendMessageTimeoutW(window, CounterMessage(), static_cast<WPARAM>(kind), 0, SMTO_ABORTIFHUNG, 2000, &r)) return -1;
  return static_cast<long>(r);
}

namespace {

// A box counts as found once its caption and controls could be read: a
// program that is slow to answer (many starting at once, or emulated) may
// have its box on screen while a read of it still times out.
bool ReadMessageBox(HWND found, TMessageBox& box) {
  TMessageBox read;
  read.Handle = found;
  if (!TryText(found, read.Caption) || read.Caption.empty()) return false;
  for (HWND h : Controls(found)) {
    wchar_t cls[64] = {};
    GetClassNameW(h, cls, 64);
    std::string text;
    if (_wcsicmp(cls, L"Button") == 0) {
      if (!TryText(h, text)) return false;
      read.Buttons.push_back(WithoutAmpersands(text));
    } else if (_wcsicmp(cls, L"Static") == 0 && GetDlgCtrlID(h) == 0xFFFF) {
      if (!TryText(h, read.Text)) return false;
    }
  }
  box = read;
  return true;
}

}  // namespace

bool FindMessageBox(DWORD processId, TMessageBox& box, DWORD timeoutMs) {
  return WaitFor(
      [&] {
        HWND found = FindTopWindow(processId, IsMessageBox);
        return found != nullptr && ReadMessageBox(found, box);
      },
      timeoutMs);
}

bool PressButton(const TMessageBox& box, const std::string& caption) {
  for (HWND h : Controls(box.Handle)) {
    wchar_t cls[64] = {};
    GetClassNameW(h, cls, 64);
    if (_wcsicmp(cls, L"Button") == 0 && WithoutAmpersands(Text(h)) == caption) {
      PostMessageW(box.Handle, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), BN_CLICKED), reinterpret_cast<LPARAM>(h));
      return true;
    }
  }
  return false;
}

bool PressButton(const TMessageBox& box, int id) {
  HWND h = GetDlgItem(box.Handle, id);
  if (!h) return false;
  PostMessageW(box.Handle, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(h));
  return true;
}

void SendKey(HWND foreground, WORD vk, bool ctrl) {
  if (foreground) {
    SetForegroundWindow(foreground);
    Sleep(50);
  }
  INPUT in[4] = {};
  int n = 0;
  auto key = [&](WORD k, bool up) {
    in[n].type = INPUT_KEYBOARD;
    in[n].ki.wVk = k;
    in[n].ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ++n;
  };
  if (ctrl) key(VK_CONTROL, false);
  key(vk, false);
  key(vk, true);
  if (ctrl) key(VK_CONTROL, true);
  SendInput(static_cast<UINT>(n), in, sizeof(INPUT));
}

POINT Click(HWND control, bool right, int x, int y) {
  RECT r;
  GetWindowRect(control, &r);
  POINT pt = {x < 0 ? (r.left + r.right) / 2 : r.left + x, y < 0 ? (r.top + r.bottom) / 2 : r.top + y};
  HWND top = GetAncestor(control, GA_ROOT);
  SetForegroundWindow(top);
  Sleep(50);
  int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  INPUT in[3] = {};
  in[0].type = INPUT_MOUSE;
  in[0].mi.dx = (pt.x * 65535 + sw / 2) / (sw - 1);
  in[0].mi.dy = (pt.y * 65535 + sh / 2) / (sh - 1);
  in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  // The buttons carry the point too: Wine moves the X pointer a moment after
  // a move is queued, and a button without a point of its own would press
  // wherever the pointer was before.
  in[1] = in[0];
  in[1].mi.dwFlags = (right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN) | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  in[2] = in[0];
  in[2].mi.dwFlags = (right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP) | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, in, sizeof(INPUT));
  int steady = 0;
  WaitFor(
      [&] {
        POINT now = {};
        steady = GetCursorPos(&now) && now.x == pt.x && now.y == pt.y ? steady + 1 : 0;
        return steady >= 3;
      },
      1000, 20);
  SendInput(2, in + 1, sizeof(INPUT));
  return pt;
}

COLORREF ScreenPixel(int x, int y) {
  HDC dc = GetDC(nullptr);
  COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(nullptr, dc);
  return c;
}

namespace {
uint32_t Crc(const unsigned char* p, size_t n, uint32_t crc = 0xFFFFFFFFu) {
  for (size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return crc;
}
void Be32(std::vector<unsigned char>& v, uint32_t x) {
  for (int s = 24; s >= 0; s -= 8) v.push_back(static_cast<unsigned char>(x >> s));
}
void Chunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data) {
  Be32(out, static_cast<uint32_t>(data.size()));
  std::vector<unsigned char> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  out.insert(out.end(), body.begin(), body.end());
  Be32(out, Crc(body.data(), body.size()) ^ 0xFFFFFFFFu);
}
// The bytes as a zlib stream of uncompressed deflate blocks.
std::vector<unsigned char> Stored(const std::vector<unsigned char>& raw) {
  std::vector<unsigned char> z = {0x78, 0x01};
  uint32_t a = 1, b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  for (size_t pos = 0; pos < raw.size() || pos == 0;) {
    size_t n = raw.size() - pos > 65535 ? 65535 : raw.size() - pos;
    z.push_back(pos + n == raw.size() ? 1 : 0);
    z.push_back(static_cast<unsigned char>(n & 0xFF));
    z.push_back(static_cast<unsigned char>(n >> 8));
    z.push_back(static_cast<unsigned char>(~n & 0xFF));
    z.push_back(static_cast<unsigned char>((~n >> 8) & 0xFF));
    z.insert(z.end(), raw.begin() + static_cast<long>(pos), raw.begin() + static_cast<long>(pos + n));
    pos += n;
    if (n == 0) break;
  }
  Be32(z, (b << 16) | a);
  return z;
}
}  // namespace

bool Screenshot(const std::wstring& file) { return Screenshot(file, nullptr); }

bool Screenshot(const std::wstring& file, HWND window) {
  RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (window) {
    RECT r;
    if (!GetWindowRect(window, &r) || !IntersectRect(&area, &area, &r)) return false;
  }
  int w = area.right - area.left, h = area.bottom - area.top;
  TMemoryBitmap bitmap(w, h);
  if (!bitmap.CopyScreen(area.left, area.top)) return false;
  // Raw scanlines with filter byte 0.
  std::vector<unsigned char> raw;
  raw.reserve(static_cast<size_t>(h) * (static_cast<size_t>(w) * 3 + 1));
  const DWORD* px = bitmap.Pixels();
  for (int y = 0; y < h; ++y) {
    raw.push_back(0);
    for (int x = 0; x < w; ++x) {
      DWORD p = px[static_cast<size_t>(y) * w + x];
      raw.push_back(static_cast<unsigned char>(p >> 16));
      raw.push_back(static_cast<unsigned char>(p >> 8));
      raw.push_back(static_cast<unsigned char>(p));
    }
  }
  std::vector<unsigned char> z = Stored(raw);
  std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<unsigned char> ihdr;
  Be32(ihdr, static_cast<uint32_t>(w));
  Be32(ihdr, static_cast<uint32_t>(h));
  ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
  Chunk(png, "IHDR", ihdr);
  Chunk(png, "IDAT", z);
  Chunk(png, "IEND", {});
  FILE* f = _wfopen(file.c_str(), L"wb");
  if (!f) return false;
  bool ok = fwrite(png.data(), 1, png.size(), f) == png.size();
  fclose(f);
  return ok;
}

}  // namespace Inspector
