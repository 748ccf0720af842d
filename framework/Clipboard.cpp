#include "framework/Clipboard.h"

#include <cstring>
#include <exception>

#include "framework/Text.h"

namespace {

// The locale the text is put on the clipboard with: Russian. Windows derives
// the 8-bit text (CF_TEXT) from the Unicode text in this locale's code page,
// 1251; without it, in that of the keyboard layout active at the copy, where
// an English one turns every Cyrillic letter into "?".
constexpr LCID TextLocale = MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), SORT_DEFAULT);

// Global memory for the clipboard, freed unless the clipboard took it.
class TGlobalMemory {
 public:
  TGlobalMemory(const void* data, size_t bytes) {
    FMemory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    void* p = FMemory ? GlobalLock(FMemory) : nullptr;
    if (!p) return;
    std::memcpy(p, data, bytes);
    GlobalUnlock(FMemory);
    FFilled = true;
  }
  ~TGlobalMemory() {
    if (FMemory) GlobalFree(FMemory);
  }
  TGlobalMemory(const TGlobalMemory&) = delete;
  TGlobalMemory& operator=(const TGlobalMemory&) = delete;

  bool Filled() const { return FFilled; }
  // Hands the memory to the open clipboard as the given format; true when
  // the clipboard took it (and owns it from then on).
  bool PutOnClipboard(UINT format) {
    if (!FFilled || !SetClipboardData(format, FMemory)) return false;
    FMemory = nullptr;
    return true;
  }

 private:
  HGLOBAL FMemory = nullptr;
  bool FFilled = false;
};

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
  TGlobalMemory unicode(wide.c_str(), (wide.size() + 1) * sizeof(wchar_t)), lcid(&locale, sizeof(locale));
  if (!unicode.Filled() || !lcid.Filled() || !OpenClipboardSoon(owner)) return false;
  const bool copied = EmptyClipboard() && unicode.PutOnClipboard(CF_UNICODETEXT);
  // Refused, the locale is freed with its holder; the text is there all the
  // same, its 8-bit form then in the code page of the keyboard layout.
  if (copied) lcid.PutOnClipboard(CF_LOCALE);
  CloseClipboard();
  return copied;
}
