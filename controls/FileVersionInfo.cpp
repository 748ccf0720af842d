#include "controls/FileVersionInfo.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "framework/Text.h"

const char* const TFileVersionInfo::StringKeys[StringKeyCount] = {
    "Comments",        "CompanyName",      "FileDescription", "FileVersion",
    "InternalName",    "LegalCopyright",   "LegalTrademarks", "OriginalFileName",
    "PrivateBuild",    "ProductName",      "ProductVersion",  "SpecialBuild"};

namespace {

struct TCodePageName {
  uint16_t CodePage;
  const char* Name;
};

const TCodePageName CodePageNames[] = {
    {0, "7-bit ASCII"},
    {932, "Windows, Japan (Shift - JIS X-0208)"},
    {949, "Windows, Korea (Shift - KSC 5601)"},
    {950, "Windows, Taiwan (GB5)"},
    {1200, "Unicode"},
    {1250, "Windows, Latin-2 (Eastern European)"},
    {1251, "Windows, Cyrillic"},
    {1252, "Windows, Multilingual"},
    {1253, "Windows, Greek"},
    {1254, "Windows, Turkish"},
    {1255, "Windows, Hebrew"},
    {1256, "Windows, Arabic"},
};

// The full path of the running executable, however long it is.
std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (n == 0) return std::wstring();
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    if (path.size() >= 32768) return std::wstring();
    path.resize(path.size() * 2);
  }
}

void Split(DWORD ms, DWORD ls, uint16_t& v1, uint16_t& v2, uint16_t& v3, uint16_t& v4) {
  v1 = HIWORD(ms);
  v2 = LOWORD(ms);
  v3 = HIWORD(ls);
  v4 = LOWORD(ls);
}

}  // namespace

TFileVersionInfo::TFileVersionInfo(TComponent* owner) : TComponent(owner) { SetFileName(std::string()); }

void TFileVersionInfo::SetFileName(const std::string& name) {
  if (name.empty()) {
    FPath = ModulePath();
    FFileName = Narrow(FPath);
  } else {
    FFileName = name;
    FPath = Widen(name);
  }
  ClearProperties();
  ReadVersionInfo();
}

// Nothing of an earlier file survives: with HaveInfo false every accessor
// gives its empty value, the fixed numbers included.
void TFileVersionInfo::Reset() {
  FHaveInfo = false;
  std::memset(&FFixedFileInfo, 0, sizeof FFixedFileInfo);
  FNumberOfTranslations = 0;
  FCurrentTranslation = -1;
  GetInfoBuffer(0);
  GetTransBuffer(0);
}

void TFileVersionInfo::ClearProperties() { Reset(); }

void TFileVersionInfo::GetInfoBuffer(size_t size) {
  std::vector<unsigned char>().swap(FInfoBuffer);
  FInfoBuffer.resize(size);
}

void TFileVersionInfo::GetTransBuffer(size_t count) {
  std::vector<TTranslation>().swap(FTransBuffer);
  FTransBuffer.resize(count);
}

void TFileVersionInfo::ReadVersionInfo() {
  Reset();
  if (FPath.empty()) return;

  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeW(FPath.c_str(), &handle);
  if (size == 0) return;
  GetInfoBuffer(size);
  if (!GetFileVersionInfoW(FPath.c_str(), handle, size, FInfoBuffer.data())) {
    GetInfoBuffer(0);
    return;
  }
  FHaveInfo = true;

  void* value = nullptr;
  UINT length = 0;
  if (VerQueryValueW(FInfoBuffer.data(), L"\\", &value, &length) && value) {
    std::memcpy(&FFixedFileInfo, value, length < sizeof FFixedFileInfo ? length : sizeof FFixedFileInfo);
  }

  value = nullptr;
  length = 0;
  if (VerQueryValueW(FInfoBuffer.data(), L"\\VarFileInfo\\Translation", &value, &length) && value) {
    size_t count = length / sizeof(TTranslation);
    GetTransBuffer(count);
    if (count) std::memcpy(FTransBuffer.data(), value, count * sizeof(TTranslation));
    FNumberOfTranslations = static_cast<int32_t>(count);
  }
  SetCurrentTranslation(0);
}

int32_t TFileVersionInfo::GetCurrentTranslation() const { return FHaveInfo ? FCurrentTranslation : -1; }

void TFileVersionInfo::SetCurrentTranslation(int32_t index) {
  FCurrentTranslation = (index >= 0 && index < FNumberOfTranslations) ? index : -1;
}

const TFileVersionInfo::TTranslation* TFileVersionInfo::CurrentEntry() const {
  if (!FHaveInfo || FCurrentTranslation < 0 || static_cast<size_t>(FCurrentTranslation) >= FTransBuffer.size())
    return nullptr;
  return &FTransBuffer[static_cast<size_t>(FCurrentTranslation)];
}

uint16_t TFileVersionInfo::GetLanguageCode() const {
  const TTranslation* entry = CurrentEntry();
  return entry ? entry->Language : 0;
}

uint16_t TFileVersionInfo::GetCharSetCode() const {
  const TTranslation* entry = CurrentEntry();
  return entry ? entry->CodePage : 0;
}

std::string TFileVersionInfo::GetLanguage() const {
  if (!FHaveInfo) return std::string();
  wchar_t name[256] = {};
  DWORD n = VerLanguageNameW(GetLanguageCode(), name, 255);
  if (n == 0) return std::string();
  if (n > 255) n = 255;
  return Narrow(name, static_cast<int>(wcsnlen(name, n)));
}

std::string TFileVersionInfo::GetCharSet() const {
  if (!FHaveInfo) return std::string();
  uint16_t code = GetCharSetCode();
  for (const TCodePageName& entry : CodePageNames)
    if (entry.CodePage == code) return entry.Name;
  return std::string();
}

std::string TFileVersionInfo::GetTransStr() const {
  const TTranslation* entry = CurrentEntry();
  if (!entry) return std::string();
  char key[16];
  std::snprintf(key, sizeof key, "%4.4x%4.4x", static_cast<unsigned>(entry->Language),
                static_cast<unsigned>(entry->CodePage));
  return key;
}

std::string TFileVersionInfo::GetStringFileInfo(const std::string& key) const {
  std::string translation = GetTransStr();
  if (!FHaveInfo || translation.empty()) return std::string();
  std::wstring path = L"\\StringFileInfo\\" + Widen(translation) + L"\\" + Widen(key);
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(FInfoBuffer.data(), path.c_str(), &value, &length) || !value || length == 0) return std::string();
  const auto* text = static_cast<const wchar_t*>(value);
  return Narrow(text, static_cast<int>(wcsnlen(text, length)));
}

std::string TFileVersionInfo::GetStringFileInfoByIdx(int index) const {
  if (index < 0 || index >= StringKeyCount) return std::string();
  return GetStringFileInfo(StringKeys[index]);
}

void TFileVersionInfo::GetFileVersionNumber(uint16_t& v1, uint16_t& v2, uint16_t& v3, uint16_t& v4) const {
  Split(FFixedFileInfo.dwFileVersionMS, FFixedFileInfo.dwFileVersionLS, v1, v2, v3, v4);
}

void TFileVersionInfo::GetProductVersionNumber(uint16_t& v1, uint16_t& v2, uint16_t& v3, uint16_t& v4) const {
  Split(FFixedFileInfo.dwProductVersionMS, FFixedFileInfo.dwProductVersionLS, v1, v2, v3, v4);
}

uint32_t TFileVersionInfo::GetFixedFileInfoItemByIdx(int index) const {
  switch (index) {
    case 0: return FFixedFileInfo.dwFileOS;
    case 1: return FFixedFileInfo.dwFileType;
    case 2: return FFixedFileInfo.dwFileSubtype;
    case 3: return FFixedFileInfo.dwFileFlagsMask;
    case 4: return FFixedFileInfo.dwFileFlags;
    default: return 0;
  }
}
