// What a filled description must hold, checked against the library record it
// was filled from, and the texts the details window would make of it.
#pragma once

#include <cstddef>
#include <cstring>

#include "device/RecordFill.h"
#include "tests/fuzz/Checks.h"

namespace FuzzChecks {

inline bool AllZero(const void* p, std::size_t size) {
  const unsigned char* b = static_cast<const unsigned char*>(p);
  for (std::size_t i = 0; i < size; ++i)
    if (b[i]) return false;
  return true;
}

inline bool SameBytes(const void* a, const void* b, std::size_t size) { return std::memcmp(a, b, size) == 0; }

// A text copied into a field of destSize bytes from a source field: the
// source's text, cut to destSize - 1, then only NULs to the field's end.
inline void CheckCopiedText(const char* dest, std::size_t destSize, const unsigned char* source, std::size_t sourceSize) {
  const char* from = reinterpret_cast<const char*>(source);
  std::size_t length = strnlen(from, sourceSize);
  if (length > destSize - 1) length = destSize - 1;
  REQUIRE(std::memcmp(dest, from, length) == 0);
  REQUIRE(AllZero(dest + length, destSize - length));
}

inline void CheckUnit(const UnitInfoBlock& unit) {
  double clock;
  std::memcpy(&clock, &unit.ClockKhz, sizeof clock);
  CheckClockText(clock, ClockText(clock));
  CheckFieldText(unit.Name, sizeof unit.Name, FieldText(unit.Name));
  CheckVersionText(unit.Firmware.Version, sizeof unit.Firmware.Version, unit.Firmware.Date,
                   sizeof unit.Firmware.Date, VersionText(unit.Firmware.Version, unit.Firmware.Date));
}

// d was all zero before FillDescription(layout, record, d).
inline void CheckDescription(const Corvane::TRecordLayout& layout, const unsigned char* record,
                             const ModuleDescription& d) {
  namespace R = Corvane::Record;
  using Corvane::NoBlock;
  REQUIRE(SameBytes(&d.Identity, record + R::Identity, sizeof d.Identity));
  REQUIRE(d.Filled == 1);
  REQUIRE(d.McuPresent == 1);
  REQUIRE(d.BootLoaderPresent == (layout.BootLoader != NoBlock ? 1 : 0));
  REQUIRE(d.DspPresent == (layout.Dsp != NoBlock ? 1 : 0));
  REQUIRE(d.PldPresent == (layout.Pld != NoBlock ? 1 : 0));

  CheckCopiedText(d.McuName, sizeof d.McuName, record + R::McuName, R::McuNameSize);
  CheckCopiedText(d.McuText, sizeof d.McuText, record + layout.McuText, R::McuTextSize);
  REQUIRE(SameBytes(&d.McuClockKhz, record + R::McuClock, sizeof(double)));
  REQUIRE(SameBytes(&d.McuFirmware, record + R::McuFirmware, sizeof d.McuFirmware));
  if (layout.BootLoader != NoBlock)
    REQUIRE(SameBytes(&d.BootLoader, record + layout.BootLoader, sizeof d.BootLoader));
  else
    REQUIRE(AllZero(&d.BootLoader, sizeof d.BootLoader));
  if (layout.Dsp != NoBlock)
    REQUIRE(SameBytes(&d.Dsp, record + layout.Dsp, sizeof d.Dsp));
  else
    REQUIRE(AllZero(&d.Dsp, sizeof d.Dsp));
  if (layout.Pld != NoBlock)
    REQUIRE(SameBytes(&d.Pld, record + layout.Pld, sizeof d.Pld));
  else
    REQUIRE(AllZero(&d.Pld, sizeof d.Pld));
  REQUIRE(SameBytes(d.Aux, record + layout.Aux, sizeof d.Aux));
  REQUIRE(SameBytes(&d.Dac, record + layout.Dac, sizeof d.Dac));
  REQUIRE(AllZero(d.Unused324, sizeof d.Unused324) && AllZero(d.Unused702, sizeof d.Unused702) &&
          AllZero(d.Unused1038, sizeof d.Unused1038) && AllZero(d.Unused1923, sizeof d.Unused1923) &&
          AllZero(d.Unused2551, sizeof d.Unused2551) && AllZero(d.Unused7218, sizeof d.Unused7218));

  // Every text the details window makes of the record.
  CheckFieldText(d.Identity.ModuleName, sizeof d.Identity.ModuleName, FieldText(d.Identity.ModuleName));
  CheckFieldText(d.Identity.SerialNumber, sizeof d.Identity.SerialNumber, FieldText(d.Identity.SerialNumber));
  std::string mcuName = FieldText(d.McuName);
  CheckFieldText(d.McuName, sizeof d.McuName, mcuName);
  REQUIRE(mcuName.size() <= R::McuNameSize);
  double clock;
  std::memcpy(&clock, &d.McuClockKhz, sizeof clock);
  CheckClockText(clock, ClockText(clock));
  CheckVersionText(d.McuFirmware.Version, sizeof d.McuFirmware.Version, d.McuFirmware.Date,
                   sizeof d.McuFirmware.Date, VersionText(d.McuFirmware.Version, d.McuFirmware.Date));
  if (d.BootLoaderPresent)
    CheckVersionText(d.BootLoader.Version, sizeof d.BootLoader.Version, d.BootLoader.Date, sizeof d.BootLoader.Date,
                     VersionText(d.BootLoader.Version, d.BootLoader.Date));
  if (d.DspPresent) CheckUnit(d.Dsp);
  if (d.PldPresent) CheckUnit(d.Pld);
}

}  // namespace FuzzChecks
