// The version reader against small libraries with crafted version blocks,
// built beside the test executable (tests/controls/versioninfo).
#include "controls/FileVersionInfo.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <string>

#include "framework/Text.h"

namespace {

std::string ExePath() {
  wchar_t path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return Narrow(path, static_cast<int>(n));
}

std::string TestLibrary(const char* name) {
  std::string exe = ExePath();
  return exe.substr(0, exe.find_last_of("\\/") + 1) + "versioninfo-" + name + ".dll";
}

std::array<uint16_t, 4> FileVersion(const TFileVersionInfo& info) {
  std::array<uint16_t, 4> v{9, 9, 9, 9};
  info.GetFileVersionNumber(v[0], v[1], v[2], v[3]);
  return v;
}

std::array<uint16_t, 4> ProductVersion(const TFileVersionInfo& info) {
  std::array<uint16_t, 4> v{9, 9, 9, 9};
  info.GetProductVersionNumber(v[0], v[1], v[2], v[3]);
  return v;
}

// Every accessor's empty value, as a file without information gives them.
void ExpectNothing(const TFileVersionInfo& info) {
  EXPECT_FALSE(info.HaveInfo());
  EXPECT_EQ(info.GetCurrentTranslation(), -1);
  EXPECT_EQ(info.GetLanguageCode(), 0);
  EXPECT_EQ(info.GetCharSetCode(), 0);
  EXPECT_EQ(info.GetLanguage(), "");
  EXPECT_EQ(info.GetCharSet(), "");
  EXPECT_EQ(info.GetTransStr(), "");
  for (int i = 0; i < TFileVersionInfo::StringKeyCount; ++i) EXPECT_EQ(info.GetStringFileInfoByIdx(i), "") << i;
  EXPECT_EQ(FileVersion(info), (std::array<uint16_t, 4>{0, 0, 0, 0}));
  EXPECT_EQ(ProductVersion(info), (std::array<uint16_t, 4>{0, 0, 0, 0}));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(info.GetFixedFileInfoItemByIdx(i), 0u) << i;
}

class FileVersionInfoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (GetFileAttributesW(Widen(TestLibrary("russian")).c_str()) == INVALID_FILE_ATTRIBUTES)
      FAIL() << "test library missing: " << TestLibrary("russian");
  }
  TFileVersionInfo info;
};

TEST_F(FileVersionInfoTest, AnEmptyNameReadsTheRunningExecutable) {
  EXPECT_EQ(info.FileName(), ExePath());
  info.SetFileName(TestLibrary("russian"));
  ASSERT_TRUE(info.HaveInfo());
  info.SetFileName("");
  EXPECT_EQ(info.FileName(), ExePath());
}

TEST_F(FileVersionInfoTest, AFileWithoutVersionBlockGivesEmptyValues) {
  info.SetFileName(TestLibrary("none"));
  EXPECT_EQ(info.FileName(), TestLibrary("none"));
  ExpectNothing(info);
  EXPECT_EQ(info.NumberOfTranslations(), 0);
  info.SetCurrentTranslation(0);
  EXPECT_EQ(info.GetCurrentTranslation(), -1);
}

TEST_F(FileVersionInfoTest, AMissingOrUnreadableFileGivesEmptyValues) {
  info.SetFileName(TestLibrary("missing"));
  ExpectNothing(info);
  info.SetFileName("Z:\\no such folder\\Файл.exe");
  ExpectNothing(info);
  // A folder.
  std::string library = TestLibrary("none");
  info.SetFileName(library.substr(0, library.find_last_of('\\') + 1));
  ExpectNothing(info);
}

TEST_F(FileVersionInfoTest, RussianWithCodePage1251First) {
  info.SetFileName(TestLibrary("russian"));
  ASSERT_TRUE(info.HaveInfo());
  EXPECT_EQ(info.NumberOfTranslations(), 2);
  EXPECT_EQ(info.GetCurrentTranslation(), 0);
  EXPECT_EQ(info.GetLanguageCode(), 0x0419);
  EXPECT_EQ(info.GetCharSetCode(), 1251);
  EXPECT_EQ(info.GetTransStr(), "041904e3");
  EXPECT_EQ(info.GetCharSet(), "Windows, Cyrillic");
  EXPECT_NE(info.GetLanguage(), "");
  EXPECT_NE(info.GetLanguage(), "Language Neutral");
}

TEST_F(FileVersionInfoTest, CyrillicStringValuesReadAsCp1251) {
  info.SetFileName(TestLibrary("russian"));
  const char* const expected[TFileVersionInfo::StringKeyCount] = {
      "Проверочная библиотека", "ООО «Квендаль»", "Мониторинг USB модулей", "1.2.3.4",
      "Ёлка и ёж",              "© 2024 Квендаль", "Знак™",                 "versioninfo-russian.dll",
      "Сборка №7",              "Квендаль",        "5.6.7.65535",           ""};
  for (int i = 0; i < TFileVersionInfo::StringKeyCount; ++i)
    EXPECT_EQ(info.GetStringFileInfoByIdx(i), expected[i]) << TFileVersionInfo::StringKeys[i];
  EXPECT_EQ(info.GetStringFileInfo("CompanyName"), "ООО «Квендаль»");
  EXPECT_EQ(info.GetStringFileInfo("NoSuchKey"), "");
  EXPECT_EQ(info.GetStringFileInfoByIdx(-1), "");
  EXPECT_EQ(info.GetStringFileInfoByIdx(12), "");
}

TEST_F(FileVersionInfoTest, FixedNumbersAndFields) {
  info.SetFileName(TestLibrary("russian"));
  EXPECT_EQ(FileVersion(info), (std::array<uint16_t, 4>{1, 2, 3, 4}));
  EXPECT_EQ(ProductVersion(info), (std::array<uint16_t, 4>{5, 6, 7, 65535}));
  EXPECT_EQ(info.GetFixedFileInfoItemByIdx(0), 0x40004u);  // NT, 32-bit Windows
  EXPECT_EQ(info.GetFixedFileInfoItemByIdx(1), 2u);        // DLL
  EXPECT_EQ(info.GetFixedFileInfoItemByIdx(2), 0u);
  EXPECT_EQ(info.GetFixedFileInfoItemByIdx(3), 0x3Fu);
  EXPECT_EQ(info.GetFixedFileInfoItemByIdx(4), 2u);  // pre-release
  EXPECT_EQ(info.GetFixedFileInfoItemByIdx(5), 0u);
  EXPECT_EQ(info.GetFixedFileInfoItemByIdx(-1), 0u);
}

TEST_F(FileVersionInfoTest, LookupsUseTheCurrentTranslationOnly) {
  info.SetFileName(TestLibrary("russian"));
  // Only the English table has SpecialBuild: no fallback to it.
  EXPECT_EQ(info.GetStringFileInfo("SpecialBuild"), "");
  info.SetCurrentTranslation(1);
  EXPECT_EQ(info.GetCurrentTranslation(), 1);
  EXPECT_EQ(info.GetTransStr(), "040904b0");
  EXPECT_EQ(info.GetCharSet(), "Unicode");
  EXPECT_EQ(info.GetLanguageCode(), 0x0409);
  EXPECT_EQ(info.GetStringFileInfo("SpecialBuild"), "English only");
  EXPECT_EQ(info.GetStringFileInfoByIdx(3), "1.2.3.4 (en)");
  EXPECT_EQ(info.GetStringFileInfo("Comments"), "");
}

TEST_F(FileVersionInfoTest, ATranslationIndexOutOfRangeMeansNone) {
  info.SetFileName(TestLibrary("russian"));
  for (int bad : {2, -1, -2, 1000}) {
    info.SetCurrentTranslation(0);
    info.SetCurrentTranslation(bad);
    EXPECT_EQ(info.GetCurrentTranslation(), -1) << bad;
    EXPECT_EQ(info.GetTransStr(), "");
    EXPECT_EQ(info.GetStringFileInfoByIdx(3), "");
    EXPECT_EQ(info.GetLanguageCode(), 0);
    EXPECT_EQ(info.GetCharSetCode(), 0);
    // With no translation the code page is 0, which the table names.
    EXPECT_EQ(info.GetCharSet(), "7-bit ASCII");
  }
  // The fixed numbers do not depend on the translation.
  EXPECT_EQ(FileVersion(info), (std::array<uint16_t, 4>{1, 2, 3, 4}));
}

TEST_F(FileVersionInfoTest, AnEmptyTranslationTableLeavesOnlyTheNumbers) {
  info.SetFileName(TestLibrary("emptytrans"));
  ASSERT_TRUE(info.HaveInfo());
  EXPECT_EQ(info.NumberOfTranslations(), 0);
  EXPECT_EQ(info.GetCurrentTranslation(), -1);
  EXPECT_EQ(info.GetTransStr(), "");
  for (int i = 0; i < TFileVersionInfo::StringKeyCount; ++i) EXPECT_EQ(info.GetStringFileInfoByIdx(i), "") << i;
  EXPECT_EQ(info.GetStringFileInfo("ProductName"), "");
  EXPECT_EQ(FileVersion(info), (std::array<uint16_t, 4>{9, 8, 7, 6}));
  EXPECT_EQ(ProductVersion(info), (std::array<uint16_t, 4>{9, 8, 0, 0}));
  EXPECT_EQ(info.GetFixedFileInfoItemByIdx(0), 4u);
  info.SetCurrentTranslation(0);
  EXPECT_EQ(info.GetCurrentTranslation(), -1);
}

TEST_F(FileVersionInfoTest, ACodePageOutsideTheTableHasNoName) {
  info.SetFileName(TestLibrary("othercodepage"));
  ASSERT_TRUE(info.HaveInfo());
  EXPECT_EQ(info.GetCharSetCode(), 1257);
  EXPECT_EQ(info.GetLanguageCode(), 0x0425);
  EXPECT_EQ(info.GetCharSet(), "");
  EXPECT_EQ(info.GetTransStr(), "042504e9");
  EXPECT_EQ(info.GetStringFileInfo("ProductName"), "Baltic");
  EXPECT_EQ(FileVersion(info), (std::array<uint16_t, 4>{3, 0, 0, 1}));
}

TEST_F(FileVersionInfoTest, ReadingAnotherFileForgetsTheFirst) {
  info.SetFileName(TestLibrary("russian"));
  info.SetCurrentTranslation(1);
  info.SetFileName(TestLibrary("othercodepage"));
  EXPECT_EQ(info.NumberOfTranslations(), 1);
  EXPECT_EQ(info.GetCurrentTranslation(), 0);
  EXPECT_EQ(info.GetStringFileInfoByIdx(1), "");  // the Russian CompanyName is gone
  info.SetFileName(TestLibrary("russian"));
  info.SetFileName(TestLibrary("none"));
  ExpectNothing(info);
  EXPECT_EQ(info.NumberOfTranslations(), 0);
  info.SetFileName(TestLibrary("russian"));
  info.ClearProperties();
  ExpectNothing(info);
}

TEST_F(FileVersionInfoTest, BelongsToItsOwner) {
  auto* owner = new TComponent;
  auto* owned = new TFileVersionInfo(owner);
  owned->SetName("VersionInfo");
  EXPECT_EQ(owner->FindComponent("VersionInfo"), owned);
  delete owner;  // frees the reader and its buffers
}

}  // namespace
