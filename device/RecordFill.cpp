#include "device/RecordFill.h"

#include <cstring>

#include "device/FieldText.h"

namespace Corvane {

namespace {

constexpr bool Inside(std::size_t offset, std::size_t size, std::size_t recordSize) {
  return offset == NoBlock || offset + size <= recordSize;
}

// Every range the fill reads lies inside the model's record, and inside the
// scratch buffer, whatever the model.
constexpr bool Fits(const TRecordLayout& l) {
  return l.Size <= K8050RecordSize && Inside(Record::Identity, Record::IdentitySize, l.Size) &&
         Inside(Record::McuName, Record::McuNameSize, l.Size) && Inside(Record::McuClock, sizeof(double), l.Size) &&
         Inside(Record::McuFirmware, Record::FirmwareBlockSize, l.Size) &&
         Inside(l.McuText, Record::McuTextSize, l.Size) && Inside(l.BootLoader, Record::FirmwareBlockSize, l.Size) &&
         Inside(l.Dsp, Record::UnitBlockSize, l.Size) && Inside(l.Pld, Record::UnitBlockSize, l.Size) &&
         Inside(l.Aux, Record::AuxBlockSize, l.Size) && Inside(l.Dac, Record::DacBlockSize, l.Size);
}
static_assert(Fits(K3200Layout) && Fits(K390Layout) && Fits(K3600Layout) && Fits(K8050Layout), "record layouts");

// The library's blocks are the description's blocks, byte for byte.
static_assert(sizeof(ModuleIdentityBlock) == Record::IdentitySize, "identity block");
static_assert(sizeof(FirmwareVersionBlock) == Record::FirmwareBlockSize, "firmware block");
static_assert(sizeof(UnitInfoBlock) == Record::UnitBlockSize, "unit block");
static_assert(sizeof(DacBlock) == Record::DacBlockSize, "DAC block");
static_assert(sizeof(ModuleDescription::Aux) == Record::AuxBlockSize, "auxiliary block");
static_assert(sizeof(ModuleDescription::McuText) == Record::McuTextSize, "microcontroller text");
static_assert(sizeof(ModuleDescription::McuName) > Record::McuNameSize, "microcontroller name fits whole");
static_assert(offsetof(ModuleIdentityBlock, ModuleName) == Record::IdentityModuleName &&
                  sizeof(ModuleIdentityBlock::ModuleName) == Record::IdentityModuleNameSize &&
                  offsetof(ModuleIdentityBlock, SerialNumber) == Record::IdentitySerial &&
                  sizeof(ModuleIdentityBlock::SerialNumber) == Record::IdentitySerialSize &&
                  offsetof(ModuleIdentityBlock, Revision) == Record::IdentityRevision,
              "identity fields");
static_assert(offsetof(FirmwareVersionBlock, Version) == Record::FirmwareVersion &&
                  sizeof(FirmwareVersionBlock::Version) == Record::FirmwareVersionSize &&
                  offsetof(FirmwareVersionBlock, Date) == Record::FirmwareDate,
              "firmware fields");
static_assert(offsetof(UnitInfoBlock, Active) == Record::UnitActive && offsetof(UnitInfoBlock, Name) == Record::UnitName &&
                  sizeof(UnitInfoBlock::Name) == Record::UnitNameSize &&
                  offsetof(UnitInfoBlock, ClockKhz) == Record::UnitClock &&
                  offsetof(UnitInfoBlock, Firmware) == Record::UnitFirmware &&
                  offsetof(UnitInfoBlock, Text) == Record::UnitText,
              "unit fields");
// The microcontroller's fields sit as a unit block would from offset 609.
static_assert(Record::McuName == 609 + Record::UnitName && Record::McuClock == 609 + Record::UnitClock &&
                  Record::McuFirmware == 609 + Record::UnitFirmware && Record::K3200McuText == 609 + Record::UnitText,
              "microcontroller fields");

// Raw bytes into the description at a given offset; doubles included, so
// that every bit pattern (NaNs too) arrives as the library wrote it.
void CopyRaw(ModuleDescription& record, std::size_t at, const unsigned char* from, std::size_t size) {
  std::memcpy(reinterpret_cast<unsigned char*>(&record) + at, from, size);
}

const char* TextAt(const unsigned char* record, std::size_t offset) {
  return reinterpret_cast<const char*>(record + offset);
}

}  // namespace

void FillDescription(const TRecordLayout& layout, const unsigned char* from, ModuleDescription& record) {
  // The identity block is carried whole; its texts are bounded when read.
  CopyRaw(record, offsetof(ModuleDescription, Identity), from + Record::Identity, sizeof(ModuleIdentityBlock));
  record.Filled = 1;

  // The microcontroller. Its name (25 bytes at most, terminator or not) ends
  // inside McuName's 28; its text keeps at most 255 characters and a NUL.
  CopyFieldText(record.McuName, TextAt(from, Record::McuName), Record::McuNameSize);
  CopyRaw(record, offsetof(ModuleDescription, McuClockKhz), from + Record::McuClock, sizeof(double));
  CopyFieldText(record.McuText, TextAt(from, layout.McuText), Record::McuTextSize);
  record.McuPresent = 1;
  CopyRaw(record, offsetof(ModuleDescription, McuFirmware), from + Record::McuFirmware, sizeof(FirmwareVersionBlock));

  record.BootLoaderPresent = layout.BootLoader != NoBlock ? 1 : 0;
  if (layout.BootLoader != NoBlock)
    CopyRaw(record, offsetof(ModuleDescription, BootLoader), from + layout.BootLoader, sizeof(FirmwareVersionBlock));
  record.DspPresent = layout.Dsp != NoBlock ? 1 : 0;
  if (layout.Dsp != NoBlock) CopyRaw(record, offsetof(ModuleDescription, Dsp), from + layout.Dsp, sizeof(UnitInfoBlock));
  record.PldPresent = layout.Pld != NoBlock ? 1 : 0;
  if (layout.Pld != NoBlock) CopyRaw(record, offsetof(ModuleDescription, Pld), from + layout.Pld, sizeof(UnitInfoBlock));

  CopyRaw(record, offsetof(ModuleDescription, Aux), from + layout.Aux, sizeof record.Aux);
  CopyRaw(record, offsetof(ModuleDescription, Dac), from + layout.Dac, sizeof(DacBlock));
}

}  // namespace Corvane
