#include "framework/Text.h"

#include <windows.h>

#include <cstring>

namespace {
constexpr UINT CodePage = 1251;
}

std::wstring Widen(const char* text, int length) {
  if (!text) return std::wstring();
  if (length < 0) length = static_cast<int>(std::strlen(text));
  if (length == 0) return std::wstring();
  int n = MultiByteToWideChar(CodePage, 0, text, length, nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CodePage, 0, text, length, &out[0], n);
  return out;
}

std::wstring Widen(const std::string& text) { return Widen(text.data(), static_cast<int>(text.size())); }

std::string Narrow(const wchar_t* text, int length) {
  if (!text) return std::string();
  if (length < 0) length = static_cast<int>(wcslen(text));
  if (length == 0) return std::string();
  int n = WideCharToMultiByte(CodePage, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CodePage, 0, text, length, &out[0], n, nullptr, nullptr);
  return out;
}

std::string Narrow(const std::wstring& text) { return Narrow(text.data(), static_cast<int>(text.size())); }
