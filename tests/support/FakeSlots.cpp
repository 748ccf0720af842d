// The fake library's second behaviour: the 25 slots and the modules in them.
#include "tests/support/FakeCorvane.h"

#include <cstdio>
#include <cstring>

#include "device/CorvaneAbi.h"

namespace CorvaneFake {

namespace {

namespace R = Corvane::Record;

void Firmware(TFakeModule& m, std::size_t offset, const char* version, const char* date) {
  TFakeSlots::Text(m, offset + R::FirmwareVersion, R::FirmwareVersionSize, version);
  TFakeSlots::Text(m, offset + R::FirmwareDate, R::FirmwareBlockSize - R::FirmwareDate, date);
}

void Unit(TFakeModule& m, std::size_t offset, const char* name, double clock, const char* version, const char* date) {
  TFakeSlots::Int32(m, offset + R::UnitActive, 1);
  TFakeSlots::Text(m, offset + R::UnitName, R::UnitNameSize, name);
  TFakeSlots::Double(m, offset + R::UnitClock, clock);
  Firmware(m, offset + R::UnitFirmware, version, date);
}

}  // namespace

bool TFailure::Fails() {
  if (Remaining == 0) return false;
  if (Remaining > 0) --Remaining;
  return true;
}

TFakeModule& TFakeSlots::Plug(int slot, const char* name, unsigned char speed) {
  TFakeModule& m = FModules[slot];
  m = TFakeModule();
  m.Present = true;
  std::strncpy(m.Name, name, sizeof m.Name - 1);
  m.Model = ModelOfName(name);
  m.Speed = speed;
  m.RecordSize = RecordSizeOf(m.Model);
  char serial[16];
  std::snprintf(serial, sizeof serial, "SN%02d", slot);
  Text(m, R::Identity + R::IdentityModuleName, R::IdentityModuleNameSize, name);
  Text(m, R::Identity + R::IdentitySerial, R::IdentitySerialSize, serial);
  m.Record[R::Identity + R::IdentityRevision] = 'B';
  Text(m, R::McuName, R::McuNameSize, std::string("MCU-") + name);
  Double(m, R::McuClock, 24000.5);
  Firmware(m, R::McuFirmware, "1.11", "03.02.2004");
  switch (m.Model) {
    case KindK200:
    case KindK390:
      Int32(m, R::K3200Dac, 1);
      break;
    case KindK600:
      Unit(m, R::K3600Dsp, "ADSP-2185M", 73728, "3.20", "11.11.2004");
      Int32(m, R::K3600Dac, 1);
      break;
    case KindK8050:
      Firmware(m, R::K8050BootLoader, "1.00", "01.03.2007");
      Unit(m, R::K8050Pld, "EP1C3T100", 50000, "2.05", "17.06.2007");
      Int32(m, R::K8050Dac, 1);
      break;
    default:
      break;
  }
  return m;
}

void TFakeSlots::Unplug(int slot) { FModules[slot] = TFakeModule(); }

int TFakeSlots::TotalLoads() const {
  int n = 0;
  for (const TSlotCalls& c : FCalls) n += c.Loads;
  return n;
}

int TFakeSlots::TotalTests() const {
  int n = 0;
  for (const TSlotCalls& c : FCalls) n += c.Tests;
  return n;
}

void TFakeSlots::Text(TFakeModule& m, std::size_t offset, std::size_t width, const std::string& text) {
  std::size_t n = text.size() < width ? text.size() : width;
  if (offset + width > sizeof m.Record) return;
  std::memcpy(m.Record + offset, text.data(), n);
  if (n < width) m.Record[offset + n] = 0;
}

void TFakeSlots::Double(TFakeModule& m, std::size_t offset, double value) {
  if (offset + sizeof value <= sizeof m.Record) std::memcpy(m.Record + offset, &value, sizeof value);
}

void TFakeSlots::Int32(TFakeModule& m, std::size_t offset, int32_t value) {
  if (offset + sizeof value <= sizeof m.Record) std::memcpy(m.Record + offset, &value, sizeof value);
}

BOOL TFakeSlots::Open(TFakeObject* o, DWORD slot) {
  o->Open = -1;
  if (slot >= static_cast<DWORD>(FakeSlotCount) || FFailures[slot].Open.Fails()) return FALSE;
  if (o->Kind != KindBase) ++FCalls[slot].Opens;
  const TFakeModule& m = FModules[slot];
  if (!m.Present || (o->Kind != KindBase && o->Kind != m.Model)) return FALSE;
  o->Open = static_cast<int>(slot);
  return TRUE;
}

BOOL TFakeSlots::Close(TFakeObject* o) {
  int slot = o->Open;
  o->Open = -1;
  return slot >= 0 && FFailures[slot].Close.Fails() ? FALSE : TRUE;
}

BOOL TFakeSlots::Release(TFakeObject* o) { return ++o->Releases > 1 ? FALSE : TRUE; }

BOOL TFakeSlots::Name(TFakeObject* o, char* name) {
  if (o->Open < 0 || !name) return FALSE;
  TFakeModule& m = FModules[o->Open];
  if (o->Kind != KindBase) {
    ++FCalls[o->Open].Names;
    if (m.FailName.Fails()) return FALSE;
    if (m.Silent) return TRUE;
  } else if (FFailures[o->Open].BaseName.Fails()) {
    return FALSE;
  }
  std::memcpy(name, m.Name, sizeof m.Name);
  return TRUE;
}

BOOL TFakeSlots::Speed(TFakeObject* o, BYTE* speed) {
  if (o->Open < 0 || !speed) return FALSE;
  TFakeModule& m = FModules[o->Open];
  ++FCalls[o->Open].Speeds;
  if (m.FailSpeed.Fails()) return FALSE;
  if (m.Silent) return TRUE;
  *speed = m.Speed;
  return TRUE;
}

BOOL TFakeSlots::Operate(TFakeObject* o, int TSlotCalls::*count, const std::function<void(int)>& during,
                         TFailure TFakeModule::*failure) {
  if (o->Open < 0) return FALSE;
  int slot = o->Open;
  ++(FCalls[slot].*count);
  if (during) during(slot);
  return (FModules[slot].*failure).Fails() ? FALSE : TRUE;
}

BOOL TFakeSlots::Load(TFakeObject* o) { return Operate(o, &TSlotCalls::Loads, OnLoad, &TFakeModule::FailLoad); }
BOOL TFakeSlots::Test(TFakeObject* o) { return Operate(o, &TSlotCalls::Tests, OnTest, &TFakeModule::FailTest); }

BOOL TFakeSlots::Describe(TFakeObject* o, void* record) {
  if (o->Open < 0 || !record) return FALSE;
  TFakeModule& m = FModules[o->Open];
  ++FCalls[o->Open].Descriptions;
  if (m.FailDescription.Fails()) return FALSE;
  std::memcpy(record, m.Record, m.RecordSize);
  return TRUE;
}

}  // namespace CorvaneFake
