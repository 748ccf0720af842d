#include "corvane/Records.h"

#include <cstring>

#include "device/CorvaneAbi.h"

namespace Standin {

namespace {

namespace R = Corvane::Record;

// Writes into a record of a known size; a write that would leave the record
// is cut at its end.
class RecordWriter {
 public:
  RecordWriter(unsigned char* record, std::size_t size, const Module& module)
      : FRecord(record), FSize(size), FUnterminated(module.unterminated) {
    std::memset(record, module.junk ? 0xA5 : 0, size);
  }

  void Bytes(std::size_t offset, const void* data, std::size_t n) {
    if (offset >= FSize) return;
    if (n > FSize - offset) n = FSize - offset;
    std::memcpy(FRecord + offset, data, n);
  }

  void Int32(std::size_t offset, int32_t value) { Bytes(offset, &value, sizeof value); }
  void Clock(std::size_t offset, uint64_t bits) { Bytes(offset, &bits, sizeof bits); }

  // A text field of width bytes: the text and its terminator when it is
  // shorter than the field; otherwise as much of it as fits, unterminated.
  // With texts=unterminated the text is repeated to fill the field.
  void Text(std::size_t offset, std::size_t width, const std::string& text) {
    if (FUnterminated) {
      std::string fill = text.empty() ? std::string("#") : text;
      std::string full;
      while (full.size() < width) full += fill;
      Bytes(offset, full.data(), width);
      return;
    }
    std::size_t n = text.size() < width ? text.size() : width;
    Bytes(offset, text.data(), n);
    if (n < width) {
      unsigned char nul = 0;
      Bytes(offset + n, &nul, 1);
    }
  }

  void Firmware(std::size_t offset, const FirmwareInfo& firmware) {
    Text(offset + R::FirmwareVersion, R::FirmwareVersionSize, firmware.version);
    Text(offset + R::FirmwareDate, R::FirmwareBlockSize - R::FirmwareDate, firmware.date);
  }

  void Unit(std::size_t offset, const UnitInfo& unit) {
    Int32(offset + R::UnitActive, unit.active);
    Text(offset + R::UnitName, R::UnitNameSize, unit.name);
    Clock(offset + R::UnitClock, unit.clockBits);
    Firmware(offset + R::UnitFirmware, unit.firmware);
    Text(offset + R::UnitText, R::McuTextSize, unit.text);
  }

 private:
  unsigned char* FRecord;
  std::size_t FSize;
  bool FUnterminated;
};

}  // namespace

std::size_t RecordSize(Model model) {
  switch (model) {
    case Model::K3200: return Corvane::K3200RecordSize;
    case Model::K390: return Corvane::K390RecordSize;
    case Model::K3600: return Corvane::K3600RecordSize;
    case Model::K8050: return Corvane::K8050RecordSize;
    case Model::None: break;
  }
  return 0;
}

void FillRecord(const Module& module, unsigned char* record) {
  std::size_t size = RecordSize(module.model);
  if (size == 0 || !record) return;
  RecordWriter w(record, size, module);

  // Identity block.
  w.Text(R::Identity + R::IdentityModuleName, R::IdentityModuleNameSize, module.recordName);
  // Sixteen characters fill the serial number's field without a terminator.
  w.Text(R::Identity + R::IdentitySerial, R::IdentitySerialSize, module.serial);
  w.Bytes(R::Identity + R::IdentityRevision, &module.revision, 1);

  // The microcontroller lies where a unit block starting 4 bytes before its
  // name would have it; that unit's active word is ours to set.
  w.Int32(R::McuName - R::UnitName, module.mcu.active);
  w.Text(R::McuName, R::McuNameSize, module.mcu.name);
  w.Clock(R::McuClock, module.mcu.clockBits);
  w.Firmware(R::McuFirmware, module.mcu.firmware);

  switch (module.model) {
    case Model::K3200:
    case Model::K390:
      w.Text(R::K3200McuText, R::McuTextSize, module.mcu.text);
      w.Int32(R::K3200Dac, module.dac);
      break;
    case Model::K3600:
      w.Text(R::K3600McuText, R::McuTextSize, module.mcu.text);
      w.Unit(R::K3600Dsp, module.dsp);
      w.Int32(R::K3600Dac, module.dac);
      break;
    case Model::K8050:
      w.Firmware(R::K8050BootLoader, module.boot);
      w.Text(R::K8050McuText, R::McuTextSize, module.mcu.text);
      w.Unit(R::K8050Pld, module.pld);
      w.Int32(R::K8050Dac, module.dac);
      break;
    case Model::None:
      break;
  }
}

}  // namespace Standin
