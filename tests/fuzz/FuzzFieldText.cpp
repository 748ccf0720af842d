// Bounded field texts: arbitrary bytes cut into a version field and a date
// field of arbitrary sizes (0 and null pointers too), each in a heap block
// of exactly its size, read by FieldText and VersionText and copied by
// CopyFieldText into a destination of arbitrary size between guard bytes.
//
// Input: byte 0 the version field's size, byte 1 the date field's (0-255
// each, both + 256 when bit 6/7 of byte 3 is set), byte 2 the destination's
// size, byte 3 flags (bit 0: null version, bit 1: null date, bit 2: null
// destination), then the fields' bytes (zero-padded when short).
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "tests/fuzz/Checks.h"

namespace {

constexpr unsigned char Guard = 0xA7;
constexpr std::size_t GuardSize = 16;

// A field of exactly size bytes on the heap, or null.
struct TField {
  std::unique_ptr<char[]> Bytes;
  std::size_t Size = 0;
  const char* Pointer() const { return Bytes.get(); }
};

TField Field(bool null, std::size_t size, const std::uint8_t*& data, std::size_t& left) {
  TField f;
  f.Size = size;
  if (null) return f;
  f.Bytes.reset(new char[size]);  // a zero-sized block for a zero-sized field
  std::size_t n = left < size ? left : size;
  if (size) std::memset(f.Bytes.get(), 0, size);
  if (n) std::memcpy(f.Bytes.get(), data, n);
  data += n;
  left -= n;
  return f;
}

void CheckCopy(const TField& source, std::size_t destSize, bool nullDest) {
  std::vector<unsigned char> area(GuardSize + destSize + GuardSize, Guard);
  char* dest = nullDest ? nullptr : reinterpret_cast<char*>(area.data() + GuardSize);
  std::size_t copied = CopyFieldText(dest, destSize, source.Pointer(), source.Size);
  for (std::size_t i = 0; i < GuardSize; ++i) {
    REQUIRE(area[i] == Guard);
    REQUIRE(area[GuardSize + destSize + i] == Guard);
  }
  if (!dest || destSize == 0) {
    REQUIRE(copied == 0);
    for (unsigned char b : area) REQUIRE(b == Guard);
    return;
  }
  std::string text = FieldText(source.Pointer(), source.Size);
  std::size_t expected = text.size() < destSize - 1 ? text.size() : destSize - 1;
  REQUIRE(copied == expected);
  REQUIRE(std::memcmp(dest, text.data(), expected) == 0);
  for (std::size_t i = expected; i < destSize; ++i) REQUIRE(dest[i] == 0);
  REQUIRE(FieldLength(dest, destSize) == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const std::uint8_t flags = data[3];
  std::size_t versionSize = data[0] + ((flags & 0x40) ? 256 : 0);
  std::size_t dateSize = data[1] + ((flags & 0x80) ? 256 : 0);
  std::size_t destSize = data[2];
  const std::uint8_t* rest = data + 4;
  std::size_t left = size - 4;
  TField version = Field(flags & 1, versionSize, rest, left);
  TField date = Field(flags & 2, dateSize, rest, left);

  FuzzChecks::CheckFieldText(version.Pointer(), version.Size, FieldText(version.Pointer(), version.Size));
  FuzzChecks::CheckFieldText(date.Pointer(), date.Size, FieldText(date.Pointer(), date.Size));
  REQUIRE(FieldLength(version.Pointer(), version.Size) == FieldText(version.Pointer(), version.Size).size());
  FuzzChecks::CheckVersionText(version.Pointer(), version.Size, date.Pointer(), date.Size,
                               VersionText(version.Pointer(), version.Size, date.Pointer(), date.Size));
  CheckCopy(version, destSize, flags & 4);
  CheckCopy(date, destSize, flags & 4);
  return 0;
}
