#include "monitor/DetailsFormat.h"

#include <charconv>
#include <cmath>

#include "device/FieldText.h"

const char* const ClockUnknownText = "????????????";

std::string ClockText(double khz) {
  if (!std::isfinite(khz)) return ClockUnknownText;
  if (khz == 0) khz = 0;  // no "-0"
  // to_chars does not look at the locale: the separator is always ".".
  char digits[64];
  std::to_chars_result r =
      std::to_chars(digits, digits + sizeof digits, khz, std::chars_format::general, 15);
  if (r.ec != std::errc()) return ClockUnknownText;
  std::string text(digits, r.ptr);
  size_t e = text.find('e');
  // The exponent form starts below 0.00001: a mantissa with exponent -5 is
  // written out in full ("0.00005"), with the same significant digits.
  if (e != std::string::npos && text.compare(e, std::string::npos, "e-05") == 0) {
    bool negative = text[0] == '-';
    std::string mantissa;
    for (size_t i = negative ? 1 : 0; i < e; ++i)
      if (text[i] != '.') mantissa += text[i];
    return std::string(negative ? "-" : "") + "0.0000" + mantissa + " кГц";
  }
  if (e != std::string::npos && e + 2 < text.size()) {
    size_t first = e + 2;  // behind the exponent's sign
    size_t keep = text.find_first_not_of('0', first);
    if (keep == std::string::npos) keep = text.size() - 1;
    text.erase(first, keep - first);
  }
  return text + " кГц";
}

std::string VersionText(const char* version, size_t versionSize, const char* date, size_t dateSize) {
  return FieldText(version, versionSize) + " от " + FieldText(date, dateSize);
}
