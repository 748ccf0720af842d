// What the fuzz targets require of the texts and records the program makes
// from the device library's bytes. A broken requirement prints what broke
// and stops the process (libFuzzer then keeps the input as a crash).
#pragma once

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "device/FieldText.h"
#include "monitor/DetailsFormat.h"

#define REQUIRE(condition)                                                              \
  do {                                                                                  \
    if (!(condition)) {                                                                 \
      std::fprintf(stderr, "%s:%d: requirement failed: %s\n", __FILE__, __LINE__, #condition); \
      __builtin_trap();                                                                 \
    }                                                                                   \
  } while (0)

namespace FuzzChecks {

// " кГц" as the program writes it: cp1251 bytes.
const char* const KhzSuffix = " \xEA\xC3\xF6";
// " от " in cp1251.
const char* const VersionJoin = " \xEE\xF2 ";

inline bool NoNul(const std::string& text) { return text.find('\0') == std::string::npos; }

inline bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

inline bool Bytewise(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The number part of a clock text: an optional "-", digits with at most one
// "." (not last, with digits before it), no trailing zeros after the point,
// then perhaps "e", a sign and digits without leading zeros. Returns the
// count of significant digits, or -1 when the form is wrong.
inline int NumberForm(const std::string& n) {
  std::size_t i = 0;
  if (i < n.size() && n[i] == '-') ++i;
  std::size_t intStart = i;
  while (i < n.size() && n[i] >= '0' && n[i] <= '9') ++i;
  if (i == intStart) return -1;
  std::string digits = n.substr(intStart, i - intStart);
  if (digits.size() > 1 && digits[0] == '0') return -1;  // no leading zeros
  if (i < n.size() && n[i] == '.') {
    std::size_t fracStart = ++i;
    while (i < n.size() && n[i] >= '0' && n[i] <= '9') ++i;
    if (i == fracStart || n[i - 1] == '0') return -1;  // "1." or "1.50"
    digits += n.substr(fracStart, i - fracStart);
  }
  if (i < n.size() && n[i] == 'e') {
    ++i;
    if (i >= n.size() || (n[i] != '+' && n[i] != '-')) return -1;
    std::size_t expStart = ++i;
    while (i < n.size() && n[i] >= '0' && n[i] <= '9') ++i;
    if (i == expStart || n[expStart] == '0') return -1;
  }
  if (i != n.size()) return -1;
  std::size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return 1;  // zero
  std::size_t last = digits.find_last_not_of('0');
  // Trailing zeros of a whole number are places, not significant digits.
  return static_cast<int>(last - first + 1);
}

// ClockText(khz) is the placeholder for a non-finite value, else a number
// in the form above that reads back as the value rounded to 15 significant
// digits, then " кГц".
inline void CheckClockText(double khz, const std::string& text) {
  REQUIRE(NoNul(text));
  if (!std::isfinite(khz)) {
    REQUIRE(text == "????????????");
    return;
  }
  REQUIRE(EndsWith(text, KhzSuffix));
  std::string number = text.substr(0, text.size() - std::strlen(KhzSuffix));
  REQUIRE(!number.empty() && number[0] != '+');
  int significant = NumberForm(number);
  REQUIRE(significant >= 1 && significant <= 15);
  // The exponent form only outside [1e-5, 1e15).
  bool exponent = number.find('e') != std::string::npos;
  char rounded[64];
  std::snprintf(rounded, sizeof rounded, "%.15g", khz);
  double expected = std::strtod(rounded, nullptr);
  double magnitude = std::fabs(expected);
  REQUIRE(exponent == (magnitude != 0 && (magnitude < 1e-5 || magnitude >= 1e15)));
  char* end = nullptr;
  double back = std::strtod(number.c_str(), &end);
  REQUIRE(end == number.c_str() + number.size());
  REQUIRE(back == expected);
  if (khz == 0) REQUIRE(number == "0");  // also for -0
  if (khz < 0 && expected != 0) REQUIRE(number[0] == '-');
  if (khz > 0) REQUIRE(number[0] != '-');
  // Nothing shorter in the plain form would do: a whole number of up to
  // 15 digits is written as its digits.
  if (expected == std::floor(expected) && magnitude < 1e15) {
    char whole[32];
    std::snprintf(whole, sizeof whole, "%.0f", expected == 0 ? 0.0 : expected);
    REQUIRE(number == whole);
  }
}

// VersionText of two fields is their texts, each bounded by its field,
// joined by " от ".
inline void CheckVersionText(const char* version, std::size_t versionSize, const char* date, std::size_t dateSize,
                             const std::string& text) {
  std::string v = version ? std::string(version, strnlen(version, versionSize)) : std::string();
  std::string d = date ? std::string(date, strnlen(date, dateSize)) : std::string();
  REQUIRE(text == v + VersionJoin + d);
  REQUIRE(text.size() <= versionSize + dateSize + std::strlen(VersionJoin));
  REQUIRE(NoNul(text));
}

// FieldText of a field is its text up to the first NUL, never past the field.
inline void CheckFieldText(const char* field, std::size_t size, const std::string& text) {
  REQUIRE(text.size() <= size);
  REQUIRE(NoNul(text));
  if (field) REQUIRE(text.compare(0, std::string::npos, field, text.size()) == 0);
  REQUIRE(text.size() == size || !field || field[text.size()] == '\0');
}

}  // namespace FuzzChecks
