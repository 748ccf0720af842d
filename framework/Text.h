// The one conversion pair between the program's cp1251 texts and the UTF-16
// that the W functions of Windows take and give.
#pragma once

#include <string>

std::wstring Widen(const std::string& text);
std::wstring Widen(const char* text, int length = -1);
std::string Narrow(const std::wstring& text);
std::string Narrow(const wchar_t* text, int length = -1);
