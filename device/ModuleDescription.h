// The model-independent description of one module: what the wrapper copies
// out of the library's model-specific record (see CommonUsbInterface). Plain
// bytes, packed, without pointers: slot records holding it are copied and
// compared as raw memory, so every offset below is fixed.
//
// Texts are cp1251 and NUL-terminated within their field as the library
// delivers them, but nothing here guarantees the terminator: read every text
// field through FieldText (FieldText.h), bounded by the field's size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#pragma pack(push, 1)

// The module's identity, copied whole from the start of the library record.
struct ModuleIdentityBlock {
  char Unused0[25];
  char ModuleName[25];    // as the module reports it, e.g. "K600"
  char SerialNumber[16];  // no terminator when all 16 characters are used
  char Revision;          // one letter, e.g. 'A'
  char Unused67[257];
};

// A firmware version: the version text, then the date text. The date runs to
// the end of the block; whatever follows its terminator is carried along.
struct FirmwareVersionBlock {
  char Version[10];
  char Date[320];
};

// One on-board unit (DSP or programmable logic).
struct UnitInfoBlock {
  std::int32_t Active;  // carried, not interpreted
  char Name[25];        // unit type name
  double ClockKhz;      // unaligned: read it by value, never by pointer
  FirmwareVersionBlock Firmware;
  char Text[256];  // carried, not interpreted
};

// The DAC block; only its first word is interpreted.
struct DacBlock {
  std::int32_t DacPresent;  // nonzero: the module carries a DAC
  unsigned char Unused4[2329];
};

struct ModuleDescription {
  ModuleIdentityBlock Identity;
  unsigned char Unused324[4];
  std::int32_t Filled;  // 1 once the record is filled
  char McuName[28];
  double McuClockKhz;
  std::int32_t McuPresent;
  FirmwareVersionBlock McuFirmware;
  unsigned char Unused702[2];
  std::int32_t BootLoaderPresent;
  FirmwareVersionBlock BootLoader;
  unsigned char Unused1038[2];
  char McuText[256];
  std::int32_t DspPresent;
  UnitInfoBlock Dsp;
  unsigned char Unused1923[1];
  std::int32_t PldPresent;
  UnitInfoBlock Pld;
  unsigned char Unused2551[1];
  unsigned char Aux[2333];  // carried, never interpreted
  DacBlock Dac;
  unsigned char Unused7218[6];
};

#pragma pack(pop)

// The layout is shared with the slot tables' byte-wise copies and
// comparisons; any change here must be deliberate.
static_assert(std::is_trivially_copyable<ModuleDescription>::value, "copied as raw bytes");
static_assert(std::is_standard_layout<ModuleDescription>::value, "offsets are fixed");
static_assert(alignof(ModuleDescription) == 1, "packed");

static_assert(sizeof(ModuleIdentityBlock) == 324, "identity block");
static_assert(offsetof(ModuleIdentityBlock, Unused0) == 0, "identity block");
static_assert(offsetof(ModuleIdentityBlock, ModuleName) == 25, "identity block");
static_assert(offsetof(ModuleIdentityBlock, SerialNumber) == 50, "identity block");
static_assert(offsetof(ModuleIdentityBlock, Revision) == 66, "identity block");
static_assert(offsetof(ModuleIdentityBlock, Unused67) == 67, "identity block");

static_assert(sizeof(FirmwareVersionBlock) == 330, "firmware version block");
static_assert(offsetof(FirmwareVersionBlock, Version) == 0, "firmware version block");
static_assert(offsetof(FirmwareVersionBlock, Date) == 10, "firmware version block");

static_assert(sizeof(UnitInfoBlock) == 623, "unit block");
static_assert(offsetof(UnitInfoBlock, Active) == 0, "unit block");
static_assert(offsetof(UnitInfoBlock, Name) == 4, "unit block");
static_assert(offsetof(UnitInfoBlock, ClockKhz) == 29, "unit block");
static_assert(offsetof(UnitInfoBlock, Firmware) == 37, "unit block");
static_assert(offsetof(UnitInfoBlock, Text) == 367, "unit block");

static_assert(sizeof(DacBlock) == 2333, "DAC block");
static_assert(offsetof(DacBlock, DacPresent) == 0, "DAC block");
static_assert(offsetof(DacBlock, Unused4) == 4, "DAC block");

static_assert(sizeof(ModuleDescription) == 7224, "module description");
static_assert(offsetof(ModuleDescription, Identity) == 0, "module description");
static_assert(offsetof(ModuleDescription, Unused324) == 324, "module description");
static_assert(offsetof(ModuleDescription, Filled) == 328, "module description");
static_assert(offsetof(ModuleDescription, McuName) == 332, "module description");
static_assert(offsetof(ModuleDescription, McuClockKhz) == 360, "module description");
static_assert(offsetof(ModuleDescription, McuPresent) == 368, "module description");
static_assert(offsetof(ModuleDescription, McuFirmware) == 372, "module description");
static_assert(offsetof(ModuleDescription, Unused702) == 702, "module description");
static_assert(offsetof(ModuleDescription, BootLoaderPresent) == 704, "module description");
static_assert(offsetof(ModuleDescription, BootLoader) == 708, "module description");
static_assert(offsetof(ModuleDescription, Unused1038) == 1038, "module description");
static_assert(offsetof(ModuleDescription, McuText) == 1040, "module description");
static_assert(offsetof(ModuleDescription, DspPresent) == 1296, "module description");
static_assert(offsetof(ModuleDescription, Dsp) == 1300, "module description");
static_assert(offsetof(ModuleDescription, Unused1923) == 1923, "module description");
static_assert(offsetof(ModuleDescription, PldPresent) == 1924, "module description");
static_assert(offsetof(ModuleDescription, Pld) == 1928, "module description");
static_assert(offsetof(ModuleDescription, Unused2551) == 2551, "module description");
static_assert(offsetof(ModuleDescription, Aux) == 2552, "module description");
static_assert(offsetof(ModuleDescription, Dac) == 4885, "module description");
static_assert(offsetof(ModuleDescription, Unused7218) == 7218, "module description");
