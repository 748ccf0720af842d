#include "tests/monitor/SlotFake.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "device/CorvaneAbi.h"

namespace MonitorTest {

namespace {

namespace R = Corvane::Record;

TFakeSlots* gActive = nullptr;

using TObject = TFakeSlots::TObject;
TObject* Of(IModuleInterface* self) { return reinterpret_cast<TObject*>(self); }

DWORD __stdcall FakeVersion() { return gActive ? gActive->Version : 0; }
IModuleInterface* __stdcall FakeCreate(const char* device) { return gActive ? gActive->Create(device) : nullptr; }

BOOL __stdcall FakeOpen(IModuleInterface* self, DWORD slot) { return gActive->Open(Of(self), slot); }
BOOL __stdcall FakeClose(IModuleInterface* self) { return gActive->Close(Of(self)); }
BOOL __stdcall FakeRelease(IModuleInterface* self) { return gActive->Release(Of(self)); }
BOOL __stdcall FakeName(IModuleInterface* self, char* name) { return gActive->Name(Of(self), name); }
BOOL __stdcall FakeSpeed(IModuleInterface* self, BYTE* speed) { return gActive->Speed(Of(self), speed); }
BOOL __stdcall FakeLoad(IModuleInterface* self, const char*) { return gActive->Load(Of(self)); }
BOOL __stdcall FakeTestNoArg(IModuleInterface* self) { return gActive->Test(Of(self)); }
BOOL __stdcall FakeTestArg(IModuleInterface* self, DWORD) { return gActive->Test(Of(self)); }
BOOL __stdcall FakeDescribe(IModuleInterface* self, void* record) { return gActive->Describe(Of(self), record); }
BOOL __stdcall FakeUnlisted(IModuleInterface*) { return FALSE; }

template <typename Fn>
void* Put(Fn fn) {
  return reinterpret_cast<void*>(fn);
}

struct TTables {
  void* Entries[6][32];
  TTables() {
    for (auto& table : Entries) {
      for (void*& e : table) e = Put(&FakeUnlisted);
      table[Corvane::SlotOpen] = Put(&FakeOpen);
      table[Corvane::SlotClose] = Put(&FakeClose);
      table[Corvane::SlotRelease] = Put(&FakeRelease);
      table[Corvane::SlotReadModuleName] = Put(&FakeName);
    }
    for (int k = ModelK200; k <= ModelK8050; ++k) Entries[k][Corvane::SlotReadUsbSpeed] = Put(&FakeSpeed);
    Entries[ModelK8050][Corvane::SlotK8050LoadFirmware] = Put(&FakeLoad);
    Entries[ModelK8050][Corvane::SlotK8050Test] = Put(&FakeTestArg);
    Entries[ModelK8050][Corvane::SlotK8050ReadDescription] = Put(&FakeDescribe);
    Entries[ModelK600][Corvane::SlotK3600LoadFirmware] = Put(&FakeLoad);
    Entries[ModelK600][Corvane::SlotK3600Test] = Put(&FakeTestNoArg);
    Entries[ModelK600][Corvane::SlotK3600ReadDescription] = Put(&FakeDescribe);
    Entries[ModelK390][Corvane::SlotK390ReadDescription] = Put(&FakeDescribe);
    Entries[ModelK200][Corvane::SlotK3200ReadDescription] = Put(&FakeDescribe);
  }
};

TTables& Tables() {
  static TTables tables;
  return tables;
}

bool SameName(const char* a, const char* b) {
  auto upper = [](unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c; };
  for (; *a && *b; ++a, ++b)
    if (upper(static_cast<unsigned char>(*a)) != upper(static_cast<unsigned char>(*b))) return false;
  return *a == *b;
}

size_t RecordSizeOf(TModel model) {
  switch (model) {
    case ModelK200: return Corvane::K3200RecordSize;
    case ModelK390: return Corvane::K390RecordSize;
    case ModelK600: return Corvane::K3600RecordSize;
    case ModelK8050: return Corvane::K8050RecordSize;
    default: return 0;
  }
}

void Firmware(TFakeModule& m, size_t offset, const char* version, const char* date) {
  TFakeSlots::Text(m, offset + R::FirmwareVersion, R::FirmwareVersionSize, version);
  TFakeSlots::Text(m, offset + R::FirmwareDate, R::FirmwareBlockSize - R::FirmwareDate, date);
}

void Unit(TFakeModule& m, size_t offset, const char* name, double clock, const char* version, const char* date) {
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

TModel ModelOfName(const char* name) {
  if (SameName(name, "K200")) return ModelK200;
  if (SameName(name, "K390")) return ModelK390;
  if (SameName(name, "K600")) return ModelK600;
  if (SameName(name, "K80-50")) return ModelK8050;
  return ModelNone;
}

TFakeSlots::TFakeSlots() : Version(Corvane::RequiredVersion) {
  Tables();
  gActive = this;
}

TFakeSlots::~TFakeSlots() {
  for (TObject*& o : FObjects) {
    delete o;
    o = nullptr;
  }
  if (gActive == this) gActive = nullptr;
}

TFakeSlots* TFakeSlots::Active() { return gActive; }

TCorvaneLibrary TFakeSlots::Library() const { return {&FakeVersion, &FakeCreate}; }

IModuleInterface* TFakeSlots::Create(const char* device) {
  if (ThrowAtCreate > 0 && --ThrowAtCreate == 0) throw std::runtime_error("the factory fell over");
  static const char* const names[] = {"k200", "k390", "k600", "k8050", "Corvroot"};
  static const TModel kinds[] = {ModelK200, ModelK390, ModelK600, ModelK8050, KindBase};
  for (int k = 0; k < 5; ++k) {
    if (!device || std::strcmp(device, names[k]) != 0) continue;
    for (TObject*& slot : FObjects) {
      if (slot) continue;
      slot = new TObject{{Tables().Entries[kinds[k]]}, kinds[k], -1, false};
      ++FCreated;
      return &slot->Header;
    }
  }
  return nullptr;
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
    case ModelK200:
    case ModelK390:
      Int32(m, R::K3200Dac, 1);
      break;
    case ModelK600:
      Unit(m, R::K3600Dsp, "ADSP-2185M", 73728, "3.20", "11.11.2004");
      Int32(m, R::K3600Dac, 1);
      break;
    case ModelK8050:
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

void TFakeSlots::ClearCalls() {
  for (TSlotCalls& c : FCalls) c = TSlotCalls();
}

void TFakeSlots::Text(TFakeModule& m, size_t offset, size_t width, const std::string& text) {
  size_t n = text.size() < width ? text.size() : width;
  if (offset + width > sizeof m.Record) return;
  std::memcpy(m.Record + offset, text.data(), n);
  if (n < width) m.Record[offset + n] = 0;
}

void TFakeSlots::Double(TFakeModule& m, size_t offset, double value) {
  if (offset + sizeof value <= sizeof m.Record) std::memcpy(m.Record + offset, &value, sizeof value);
}

void TFakeSlots::Int32(TFakeModule& m, size_t offset, int32_t value) {
  if (offset + sizeof value <= sizeof m.Record) std::memcpy(m.Record + offset, &value, sizeof value);
}

BOOL TFakeSlots::Open(TObject* o, DWORD slot) {
  o->Open = -1;
  if (slot >= static_cast<DWORD>(FakeSlotCount) || FFailures[slot].Open.Fails()) return FALSE;
  if (o->Kind != KindBase) ++FCalls[slot].Opens;
  const TFakeModule& m = FModules[slot];
  if (!m.Present || (o->Kind != KindBase && o->Kind != m.Model)) return FALSE;
  o->Open = static_cast<int>(slot);
  return TRUE;
}

BOOL TFakeSlots::Close(TObject* o) {
  int slot = o->Open;
  o->Open = -1;
  return slot >= 0 && FFailures[slot].Close.Fails() ? FALSE : TRUE;
}

BOOL TFakeSlots::Release(TObject* o) {
  if (o->Released) return FALSE;
  o->Released = true;
  ++FReleased;
  return TRUE;
}

BOOL TFakeSlots::Name(TObject* o, char* name) {
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

BOOL TFakeSlots::Speed(TObject* o, BYTE* speed) {
  if (o->Open < 0 || !speed) return FALSE;
  TFakeModule& m = FModules[o->Open];
  ++FCalls[o->Open].Speeds;
  if (m.FailSpeed.Fails()) return FALSE;
  if (m.Silent) return TRUE;
  *speed = m.Speed;
  return TRUE;
}

BOOL TFakeSlots::Load(TObject* o) {
  if (o->Open < 0) return FALSE;
  int slot = o->Open;
  ++FCalls[slot].Loads;
  if (OnLoad) OnLoad(slot);
  return FModules[slot].FailLoad.Fails() ? FALSE : TRUE;
}

BOOL TFakeSlots::Test(TObject* o) {
  if (o->Open < 0) return FALSE;
  int slot = o->Open;
  ++FCalls[slot].Tests;
  if (OnTest) OnTest(slot);
  return FModules[slot].FailTest.Fails() ? FALSE : TRUE;
}

BOOL TFakeSlots::Describe(TObject* o, void* record) {
  if (o->Open < 0 || !record) return FALSE;
  TFakeModule& m = FModules[o->Open];
  ++FCalls[o->Open].Descriptions;
  if (m.FailDescription.Fails()) return FALSE;
  std::memcpy(record, m.Record, m.RecordSize);
  return TRUE;
}

}  // namespace MonitorTest
