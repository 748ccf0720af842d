// Any double (its 8 bytes from the input, zero-padded) as a clock text: the
// placeholder for a non-finite value, else a number that reads back as the
// value rounded to 15 significant digits, with " кГц". Every other input
// is tried under a locale whose decimal separator is a comma.
#include <clocale>
#include <cstdint>
#include <cstring>

#include "tests/fuzz/Checks.h"

namespace {
const char* gCommaLocale = nullptr;  // a locale whose decimal separator is ",", if there is one
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  for (const char* name : {"ru_RU.UTF-8", "ru_RU.utf8", "de_DE.UTF-8"}) {
    if (std::setlocale(LC_ALL, name) && std::localeconv()->decimal_point[0] == ',') {
      gCommaLocale = name;
      break;
    }
  }
  std::setlocale(LC_ALL, "C");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  unsigned char bytes[8] = {};
  std::memcpy(bytes, data, size < 8 ? size : 8);
  double khz;
  std::memcpy(&khz, bytes, sizeof khz);
  bool comma = gCommaLocale && size > 8 && (data[8] & 1);
  if (comma) std::setlocale(LC_NUMERIC, gCommaLocale);
  std::string text = ClockText(khz);
  if (comma) std::setlocale(LC_NUMERIC, "C");
  // The check reads numbers back with strtod, which needs the "." locale.
  FuzzChecks::CheckClockText(khz, text);
  return 0;
}
