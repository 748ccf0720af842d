// The version reader against the shipped program's own version block.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "controls/FileVersionInfo.h"

namespace {

std::string ShippedProgram() { return std::string("Z:") + QUENDAL_SHIPPED_DIR + "/Quendal.exe"; }

std::string Cp1251(const std::string& utf8) {
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], n);
  n = WideCharToMultiByte(1251, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(1251, 0, wide.data(), static_cast<int>(wide.size()), &out[0], n, nullptr, nullptr);
  return out;
}

// The strings of the program's resource script: VALUE "name", "text" (a
// doubled quote stands for one), as cp1251.
std::vector<std::pair<std::string, std::string>> ScriptStrings() {
  std::ifstream script(std::string("Z:") + QUENDAL_SOURCE_DIR + "/app/Quendal.rc");
  std::vector<std::pair<std::string, std::string>> strings;
  for (std::string line; std::getline(script, line);) {
    size_t at = line.find("VALUE \"");
    size_t comma = line.find("\", \"", at);
    if (at == std::string::npos || comma == std::string::npos) continue;
    std::string text;
    for (size_t i = comma + 4; i < line.size() && !(line[i] == '"' && (i + 1 == line.size() || line[i + 1] != '"')); ++i) {
      text += line[i];
      if (line[i] == '"') ++i;
    }
    strings.emplace_back(line.substr(at + 7, comma - at - 7), Cp1251(text));
  }
  return strings;
}

TEST(ProgramVersionBlock, CarriesTheReleaseNumbersAndRussianStrings) {
  if (GetFileAttributesA(ShippedProgram().c_str()) == INVALID_FILE_ATTRIBUTES)
    GTEST_SKIP() << "no shipped program at " << ShippedProgram();
  TFileVersionInfo info;
  info.SetFileName(ShippedProgram());
  ASSERT_TRUE(info.HaveInfo());
  EXPECT_EQ(info.GetTransStr(), "041904e3");
  EXPECT_EQ(info.GetCharSet(), "Windows, Cyrillic");
  // The About window shows the fourth string: the file version.
  EXPECT_EQ(info.GetStringFileInfoByIdx(3), "1.2.0.0");
  // Every string as the resource script writes it, Russian ones included.
  std::vector<std::pair<std::string, std::string>> strings = ScriptStrings();
  ASSERT_GE(strings.size(), 9u) << "the resource script was not read";
  for (const auto& s : strings) EXPECT_EQ(info.GetStringFileInfo(s.first), s.second) << s.first;
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
