#include "device/FieldText.h"

#include <gtest/gtest.h>

#include <cstring>

#include "device/ModuleDescription.h"

namespace {

TEST(DeviceFieldText, ReadsUpToTheFirstNul) {
  const char field[10] = {'1', '.', '2', 0, 'x', 'y', 0, 0, 0, 0};
  EXPECT_EQ(FieldText(field), "1.2");
  EXPECT_EQ(FieldLength(field, sizeof field), 3u);
}

TEST(DeviceFieldText, StopsAtTheFieldEndWithoutTerminator) {
  struct {
    char Field[8];
    char Next[8];
  } s;
  std::memset(s.Field, 'A', sizeof s.Field);
  std::memset(s.Next, 'B', sizeof s.Next);
  EXPECT_EQ(FieldText(s.Field), "AAAAAAAA");
  EXPECT_EQ(FieldLength(s.Field, sizeof s.Field), 8u);
}

TEST(DeviceFieldText, EmptyNullAndZeroSizedFieldsGiveEmptyText) {
  const char empty[4] = {};
  EXPECT_EQ(FieldText(empty), "");
  EXPECT_EQ(FieldText(nullptr, 16), "");
  EXPECT_EQ(FieldText("abc", 0), "");
  EXPECT_EQ(FieldLength(nullptr, 16), 0u);
}

TEST(DeviceFieldText, KeepsCp1251BytesAsTheyAre) {
  const char field[8] = "Плата";
  EXPECT_EQ(FieldText(field).size(), 5u);
  EXPECT_EQ(static_cast<unsigned char>(FieldText(field)[0]), 0xCF);
}

TEST(DeviceFieldText, FirmwareDateIsBoundedByTheBlock) {
  FirmwareVersionBlock block;
  std::memset(&block, 'D', sizeof block);
  EXPECT_EQ(FieldText(block.Version).size(), 10u);
  EXPECT_EQ(FieldText(block.Date).size(), 320u);
}

TEST(DeviceCopyFieldText, CopiesShortTextAndZeroFillsTheRest) {
  char dest[8];
  std::memset(dest, 0x77, sizeof dest);
  const char source[5] = {'a', 'b', 0, 'z', 'z'};
  EXPECT_EQ(CopyFieldText(dest, source, sizeof source), 2u);
  const char expected[8] = {'a', 'b', 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(std::memcmp(dest, expected, sizeof dest), 0);
}

TEST(DeviceCopyFieldText, UnterminatedSourceEndsInsideALargerDestination) {
  char source[25];
  std::memset(source, 'M', sizeof source);
  char dest[28];
  std::memset(dest, 0x77, sizeof dest);
  EXPECT_EQ(CopyFieldText(dest, source, sizeof source), 25u);
  EXPECT_EQ(std::string(dest), std::string(25, 'M'));
  EXPECT_EQ(dest[26], 0);
  EXPECT_EQ(dest[27], 0);
}

TEST(DeviceCopyFieldText, CutsTextThatFillsAnEqualDestination) {
  struct {
    char Dest[16];
    char Guard[4];
  } s;
  std::memset(&s, 0x55, sizeof s);
  char source[16];
  std::memset(source, 'T', sizeof source);
  EXPECT_EQ(CopyFieldText(s.Dest, source, sizeof source), 15u);
  EXPECT_EQ(s.Dest[15], 0);
  for (char g : s.Guard) EXPECT_EQ(static_cast<unsigned char>(g), 0x55);
}

TEST(DeviceCopyFieldText, WritesNothingIntoAZeroSizedDestination) {
  char dest[2] = {'x', 'y'};
  EXPECT_EQ(CopyFieldText(dest, 0, "abc", 3), 0u);
  EXPECT_EQ(dest[0], 'x');
  EXPECT_EQ(CopyFieldText(nullptr, 4, "abc", 3), 0u);
}

TEST(DeviceCopyFieldText, NullSourceGivesAnEmptyDestination) {
  char dest[4] = {'x', 'y', 'z', 'w'};
  EXPECT_EQ(CopyFieldText(dest, nullptr, 10), 0u);
  EXPECT_EQ(std::memcmp(dest, "\0\0\0\0", 4), 0);
}

}  // namespace
