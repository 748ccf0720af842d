#include "framework/Clipboard.h"

#include <cstring>

#include "framework/Text.h"

namespace {

// Global memory for the clipboard, freed unless the clipboard took it.
class TGlobalText {
 public:
  explicit TGlobalText(const std::wstring& text) {
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    FMemory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    void* p = FMemory ? GlobalLock(FMemory) : nullptr;
    if (!p) return;
    std::memcpy(p, text.c_str(), bytes);
    GlobalUnlock(FMemory);
    FFilled = true;
  }
  ~TGlobalText() {
    if (FMemory) GlobalFree(FMemory);
  }
  TGlobalText(const TGlobalText&) = delete;
  TGlobalText& operator=(const TGlobalText&) = delete;

  bool Filled() const { return FFilled; }
  HGLOBAL Release() {
    HGLOBAL memory = FMemory;
    FMemory = nullptr;
    return memory;
  }
  HGLOBAL Get() const { return FMemory; }

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
  TGlobalText memory(Widen(text));
  if (!memory.Filled() || !OpenClipboardSoon(owner)) return false;
  bool copied = false;
  if (EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory.Get())) {
    memory.Release();  // the clipboard owns it now
    copied = true;
  }
  CloseClipboard();
  return copied;
}
