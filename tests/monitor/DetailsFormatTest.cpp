// Clock and firmware-version texts of the module details.
#include "monitor/DetailsFormat.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

TEST(ClockTextTest, WholeAndFractionalRates) {
  EXPECT_EQ(ClockText(48000), "48000 кГц");
  EXPECT_EQ(ClockText(24000.5), "24000.5 кГц");
  EXPECT_EQ(ClockText(0), "0 кГц");
  EXPECT_EQ(ClockText(-0.0), "0 кГц");
  EXPECT_EQ(ClockText(1), "1 кГц");
  EXPECT_EQ(ClockText(0.5), "0.5 кГц");
  EXPECT_EQ(ClockText(72000.25), "72000.25 кГц");
  EXPECT_EQ(ClockText(100), "100 кГц");  // zeros before the separator stay
}

TEST(ClockTextTest, NegativeRates) {
  EXPECT_EQ(ClockText(-48000), "-48000 кГц");
  EXPECT_EQ(ClockText(-0.125), "-0.125 кГц");
  EXPECT_EQ(ClockText(-1.5e20), "-1.5e+20 кГц");
}

TEST(ClockTextTest, AtMostFifteenSignificantDigits) {
  EXPECT_EQ(ClockText(0.1 + 0.2), "0.3 кГц");
  EXPECT_EQ(ClockText(24000.123456789012345), "24000.123456789 кГц");
  EXPECT_EQ(ClockText(1.0 / 3.0), "0.333333333333333 кГц");
  EXPECT_EQ(ClockText(2.0 / 3.0), "0.666666666666667 кГц");  // rounded, not cut
  EXPECT_EQ(ClockText(999999999999999.0), "999999999999999 кГц");
  EXPECT_EQ(ClockText(123456789012345.6), "123456789012346 кГц");
}

TEST(ClockTextTest, LargeAndSmallMagnitudesUseAnExponent) {
  EXPECT_EQ(ClockText(1e15), "1e+15 кГц");
  EXPECT_EQ(ClockText(9999999999999999.0), "1e+16 кГц");  // rounds up to 16 digits
  EXPECT_EQ(ClockText(1.5e20), "1.5e+20 кГц");
  EXPECT_EQ(ClockText(1.2345e100), "1.2345e+100 кГц");
  EXPECT_EQ(ClockText(std::numeric_limits<double>::max()), "1.79769313486232e+308 кГц");
  EXPECT_EQ(ClockText(0.0001), "0.0001 кГц");  // still without exponent
  EXPECT_EQ(ClockText(0.00001), "0.00001 кГц");  // the exponent starts below 0.00001
  EXPECT_EQ(ClockText(0.00005), "0.00005 кГц");
  EXPECT_EQ(ClockText(-1.23456789012345e-5), "-0.0000123456789012345 кГц");
  EXPECT_EQ(ClockText(9.99e-6), "9.99e-6 кГц");
  EXPECT_EQ(ClockText(2.5e-7), "2.5e-7 кГц");
  EXPECT_EQ(ClockText(1e-300), "1e-300 кГц");
  EXPECT_EQ(ClockText(std::numeric_limits<double>::denorm_min()), "4.94065645841247e-324 кГц");
  EXPECT_EQ(ClockText(-3e-10), "-3e-10 кГц");
}

TEST(ClockTextTest, NonFiniteValuesShowThePlaceholder) {
  EXPECT_STREQ(ClockUnknownText, "????????????");
  EXPECT_EQ(ClockText(std::numeric_limits<double>::infinity()), "????????????");
  EXPECT_EQ(ClockText(-std::numeric_limits<double>::infinity()), "????????????");
  EXPECT_EQ(ClockText(std::numeric_limits<double>::quiet_NaN()), "????????????");
  EXPECT_EQ(ClockText(-std::numeric_limits<double>::quiet_NaN()), "????????????");
}

TEST(ClockTextTest, TheSeparatorIsAPointInEveryLocale) {
  const char* previous = std::setlocale(LC_ALL, nullptr);
  std::string saved = previous ? previous : "C";
  const char* names[] = {"Russian_Russia.1251", "Russian", "ru-RU", "German", "French"};
  int tried = 0;
  for (const char* name : names) {
    if (!std::setlocale(LC_ALL, name)) continue;
    ++tried;
    EXPECT_EQ(ClockText(24000.5), "24000.5 кГц") << name;
    EXPECT_EQ(ClockText(1.5e-7), "1.5e-7 кГц") << name;
  }
  std::setlocale(LC_ALL, saved.c_str());
  if (tried == 0) GTEST_SKIP() << "no locale with another separator is installed";
}

TEST(VersionTextTest, JoinsVersionAndDate) {
  char version[10] = "1.25";
  char date[12] = "12.03.2009";
  EXPECT_EQ(VersionText(version, date), "1.25 от 12.03.2009");
  EXPECT_EQ(VersionText(version, sizeof version, date, sizeof date), "1.25 от 12.03.2009");
}

TEST(VersionTextTest, StopsAtTheTerminator) {
  // Bytes behind the NUL are not part of the text.
  char version[8] = {'2', '.', '0', '\0', 'x', 'y', 'z', 'w'};
  char date[6] = {'0', '1', '\0', '9', '9', '9'};
  EXPECT_EQ(VersionText(version, date), "2.0 от 01");
}

TEST(VersionTextTest, NeverReadsPastTheField) {
  // Fields filled to the last byte, no terminator: the guard bytes behind
  // them must not show.
  struct {
    char version[4];
    char guard1[4];
    char date[5];
    char guard2[4];
  } block;
  std::memcpy(block.version, "1.23", 4);
  std::memcpy(block.guard1, "XXXX", 4);
  std::memcpy(block.date, "01.01", 5);
  std::memcpy(block.guard2, "YYYY", 4);
  EXPECT_EQ(VersionText(block.version, sizeof block.version, block.date, sizeof block.date), "1.23 от 01.01");
}

TEST(VersionTextTest, EmptyAndMissingFields) {
  char empty[4] = {};
  char version[4] = "1.0";
  EXPECT_EQ(VersionText(empty, empty), " от ");
  EXPECT_EQ(VersionText(version, sizeof version, nullptr, 10), "1.0 от ");
  EXPECT_EQ(VersionText(nullptr, 10, version, sizeof version), " от 1.0");
  EXPECT_EQ(VersionText(version, 0, version, 0), " от ");
  EXPECT_EQ(VersionText(version, 2, version, 1), "1. от 1");
}

TEST(VersionTextTest, KeepsCp1251Text) {
  char version[16] = "1.0 бета";
  char date[16] = "1 мая 2009";
  EXPECT_EQ(VersionText(version, date), "1.0 бета от 1 мая 2009");
}

}  // namespace
