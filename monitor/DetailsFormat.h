// Texts of the module details: clock rates and firmware versions.
#pragma once

#include <cstddef>
#include <string>

// What a clock that is not a finite number shows (infinite, NaN).
extern const char* const ClockUnknownText;  // "????????????"

// A clock rate in kHz: the shortest decimal with at most 15 significant
// digits, no trailing zeros or separator, "." as separator whatever the
// locale, then " кГц": 48000 -> "48000 кГц", 24000.5 -> "24000.5 кГц",
// -0 -> "0 кГц". Magnitudes below 0.00001 or from 1e15 on (after rounding to
// 15 digits) are written with an exponent: a lower-case "e", its sign and
// its digits without leading zeros, as "1.5e+20 кГц" or "2.5e-7 кГц".
// A non-finite value gives ClockUnknownText alone.
std::string ClockText(double khz);

// "<version> от <date>", each taken up to its NUL and never past the size
// of its field; a null field counts as empty.
std::string VersionText(const char* version, size_t versionSize, const char* date, size_t dateSize);

template <size_t N, size_t M>
std::string VersionText(const char (&version)[N], const char (&date)[M]) {
  return VersionText(version, N, date, M);
}
