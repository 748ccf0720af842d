// Reads the version block of an executable file (by default the running
// program's own): its fixed numbers and its string values. Never raises:
// whatever cannot be read gives empty text, 0, or -1 for the translation.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/Component.h"

class TFileVersionInfo : public TComponent {
 public:
  // Reads the running program's version block before it returns.
  explicit TFileVersionInfo(TComponent* owner = nullptr);
  ~TFileVersionInfo() override = default;

  // The file whose block was read (cp1251).
  const std::string& FileName() const { return FFileName; }
  // Stores `name`, or the full path of the running executable when it is
  // empty, then clears and reads everything again.
  void SetFileName(const std::string& name);

  // Forgets everything read: HaveInfo false, numbers zero, no translation.
  virtual void ClearProperties();
  virtual void ReadVersionInfo();

  bool HaveInfo() const { return FHaveInfo; }
  int32_t NumberOfTranslations() const { return FNumberOfTranslations; }

  // Index of the translation the string lookups use; -1 for none.
  int32_t GetCurrentTranslation() const;
  // `index` when 0 <= index < NumberOfTranslations, else -1.
  void SetCurrentTranslation(int32_t index);

  // Language identifier and code page of the current translation, 0 for none.
  uint16_t GetLanguageCode() const;
  uint16_t GetCharSetCode() const;
  // The system's name of the language identifier, cp1251.
  std::string GetLanguage() const;
  // The name of the code page from the table of known code pages.
  std::string GetCharSet() const;
  // "llllcccc" of the current translation in lower-case hex, e.g. "041904e3".
  std::string GetTransStr() const;

  // The string value `key` of the current translation, cp1251.
  std::string GetStringFileInfo(const std::string& key) const;
  // The value of the standard key at `index` (0 "Comments" to 11
  // "SpecialBuild"); empty for any other index.
  std::string GetStringFileInfoByIdx(int index) const;

  // Most significant first: major, minor, release, build.
  void GetFileVersionNumber(uint16_t& v1, uint16_t& v2, uint16_t& v3, uint16_t& v4) const;
  void GetProductVersionNumber(uint16_t& v1, uint16_t& v2, uint16_t& v3, uint16_t& v4) const;
  // 0 operating system, 1 file type, 2 subtype, 3 flags mask, 4 flags; 0 else.
  uint32_t GetFixedFileInfoItemByIdx(int index) const;

  static constexpr int StringKeyCount = 12;
  static const char* const StringKeys[StringKeyCount];

 private:
  struct TTranslation {
    uint16_t Language;
    uint16_t CodePage;
  };
  static_assert(sizeof(TTranslation) == 4, "a translation entry is 4 bytes");

  void Reset();
  void GetInfoBuffer(size_t size);
  void GetTransBuffer(size_t count);
  const TTranslation* CurrentEntry() const;

  std::string FFileName;
  std::wstring FPath;  // what is read: the exact path, also outside cp1251
  bool FHaveInfo = false;
  int32_t FNumberOfTranslations = 0;
  int32_t FCurrentTranslation = -1;
  VS_FIXEDFILEINFO FFixedFileInfo{};
  std::vector<unsigned char> FInfoBuffer;
  std::vector<TTranslation> FTransBuffer;
};
