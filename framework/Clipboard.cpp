#include "framework/Clipboard.h"

#include <cstring>
#include <exception>

#include "framework/Handles.h"
#include "framework/Text.h"

namespace {

// The locale the text is put on the clipboard with: Russian. Windows derives
// the 8-bit text (CF_TEXT) from the Unicode text in this locale's code page,
// 1251; without it, in that of the keyboard layout active at the copy, where
// an English one turns every Cyrillic letter into "?".
constexpr LCID TextLocale = MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), SORT_DEFAULT);

// Global memory holding a copy of the bytes; none when there is no memory.
TGlobalMemory Filled(const void* data, size_t bytes) {
  TGlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
  void* p = memory ? GlobalLock(memory.Get()) : nullptr;
  if (!p) return TGlobalMemory();
  std::memcpy(p, data, bytes);
  GlobalUnlock(memory.Get());
  return memory;
}

// Hands the memory to the open clipboard as the given format; true when the
// clipboard took it (and owns it from then on). Refused, it stays ours.
bool PutOnClipboard(TGlobalMemory& memory, UINT format) {
  if (!memory || !SetClipboardData(format, memory.Get())) return false;
  memory.Release();
  return true;
}

// Another program may hold the clipboard open for a moment.
bool OpenClipboardSoon(HWND owner) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (OpenClipboard(owner)) return true;
    Sleep(10);
  }
  return false;
}

}  // namespace

bool CopyTextToClipboard(HWND owner, const std::string& text) {
  std::wstring wide;
  try {
    wide = Widen(text);
  } catch (const std::exception&) {
    return false;  // no memory for the Unicode text
  }
  const LCID locale = TextLocale;
  TGlobalMemory unicode = Filled(wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
  TGlobalMemory lcid = Filled(&locale, sizeof(locale));
  if (!unicode || !lcid || !OpenClipboardSoon(owner)) return false;
  const bool copied = EmptyClipboard() && PutOnClipboard(unicode, CF_UNICODETEXT);
  // Refused, the locale is freed with its holder; the text is there all the
  // same, its 8-bit form then in the code page of the keyboard layout.
  if (copied) PutOnClipboard(lcid, CF_LOCALE);
  CloseClipboard();
  return copied;
}
