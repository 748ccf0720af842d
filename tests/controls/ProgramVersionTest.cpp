// The version reader against the shipped program's own version block.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>

#include "controls/FileVersionInfo.h"

namespace {

std::string ShippedProgram() { return std::string("Z:") + QUENDAL_SHIPPED_DIR + "/Quendal.exe"; }

TEST(ProgramVersionBlock, CarriesTheReleaseNumbersAndRussianStrings) {
  if (GetFileAttributesA(ShippedProgram().c_str()) == INVALID_FILE_ATTRIBUTES)
    GTEST_SKIP() << "no shipped program at " << ShippedProgram();
  TFileVersionInfo info;
  info.SetFileName(ShippedProgram());
  ASSERT_TRUE(info.HaveInfo());
  EXPECT_EQ(info.GetTransStr(), "041904e3");
  EXPECT_EQ(info.GetCharSet(), "Windows, Cyrillic");
  EXPECT_EQ(info.GetStringFileInfoByIdx(3), "1.2.0.0");
  EXPECT_EQ(info.GetStringFileInfo("ProductName"), "Библиотека Corvane");
  EXPECT_EQ(info.GetStringFileInfo("CompanyName"), "ЗАО \"Orvek\"");
  EXPECT_EQ(info.GetStringFileInfo("FileDescription"), "Мониторинг USB модулей от ЗАО \"Orvek\"");
  EXPECT_EQ(info.GetStringFileInfo("InternalName"), "Quendal");
  EXPECT_EQ(info.GetStringFileInfo("OriginalFilename"), "Quendal.exe");
  EXPECT_EQ(info.GetStringFileInfo("ProductVersion"), "Corvane 3.1.0.0");
  EXPECT_EQ(info.GetStringFileInfo("Comments"), "Утилита Quendal является составной частью библиотеки Corvane.");
  EXPECT_EQ(info.GetStringFileInfo("LegalCopyright"), "© ЗАО \"Orvek\", декабрь 2026");
  uint16_t v[4] = {9, 9, 9, 9};
  info.GetFileVersionNumber(v[0], v[1], v[2], v[3]);
  EXPECT_EQ(v[0], 1);
  EXPECT_EQ(v[1], 2);
  EXPECT_EQ(v[2], 0);
  EXPECT_EQ(v[3], 0);
  info.GetProductVersionNumber(v[0], v[1], v[2], v[3]);
  EXPECT_EQ(v[0], 1);
  EXPECT_EQ(v[1], 2);
  EXPECT_EQ(info.GetFixedFileInfoItemByIdx(0), 4u);     // 32-bit Windows
  EXPECT_EQ(info.GetFixedFileInfoItemByIdx(1), 1u);     // application
  EXPECT_EQ(info.GetFixedFileInfoItemByIdx(4), 0x20u);  // special build
}

}  // namespace
