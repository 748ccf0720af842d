#include "device/CommonUsbInterface.h"

#include <cstring>

#include "device/FieldText.h"

using namespace Corvane;

namespace {

// ---- Calls through the interface's function table -------------------------

template <typename Fn>
Fn Entry(IModuleInterface* object, int slot) {
  if (!object || !object->Table) return nullptr;
  return reinterpret_cast<Fn>(object->Table[slot]);
}

// Results are truth values: any nonzero answer of the library is success.
BOOL Truth(BOOL result) { return result ? TRUE : FALSE; }

BOOL CallOpenSlot(IModuleInterface* object, DWORD slot) {
  OpenSlotFn fn = Entry<OpenSlotFn>(object, SlotOpen);
  return fn ? Truth(fn(object, slot)) : FALSE;
}

BOOL CallNoArg(IModuleInterface* object, int slot) {
  NoArgFn fn = Entry<NoArgFn>(object, slot);
  return fn ? Truth(fn(object)) : FALSE;
}

BOOL CallReadModuleName(IModuleInterface* object, char* name) {
  ReadNameFn fn = Entry<ReadNameFn>(object, SlotReadModuleName);
  return fn ? Truth(fn(object, name)) : FALSE;
}

BOOL CallReadUsbSpeed(IModuleInterface* object, BYTE* speed) {
  ReadSpeedFn fn = Entry<ReadSpeedFn>(object, SlotReadUsbSpeed);
  return fn ? Truth(fn(object, speed)) : FALSE;
}

BOOL CallLoadFirmware(IModuleInterface* object, int slot, const char* file) {
  LoadFirmwareFn fn = Entry<LoadFirmwareFn>(object, slot);
  return fn ? Truth(fn(object, file)) : FALSE;
}

BOOL CallTestWithArg(IModuleInterface* object, int slot, DWORD reserved) {
  TestWithArgFn fn = Entry<TestWithArgFn>(object, slot);
  return fn ? Truth(fn(object, reserved)) : FALSE;
}

BOOL CallReadDescription(IModuleInterface* object, int slot, void* record) {
  ReadDescriptionFn fn = Entry<ReadDescriptionFn>(object, slot);
  return fn ? Truth(fn(object, record)) : FALSE;
}

// ---- The library's records -----------------------------------------------

constexpr std::size_t None = ~std::size_t(0);

struct TRecordLayout {
  std::size_t Size;
  int ReadSlot;
  std::size_t McuText, BootLoader, Dsp, Pld, Aux, Dac;
};

constexpr TRecordLayout K3200Layout = {K3200RecordSize, SlotK3200ReadDescription, Record::K3200McuText, None, None,
                                       None, Record::K3200Aux, Record::K3200Dac};
constexpr TRecordLayout K390Layout = {K390RecordSize, SlotK390ReadDescription, Record::K3200McuText, None, None,
                                      None, Record::K3200Aux, Record::K3200Dac};
constexpr TRecordLayout K3600Layout = {K3600RecordSize, SlotK3600ReadDescription, Record::K3600McuText, None,
                                       Record::K3600Dsp, None, Record::K3600Aux, Record::K3600Dac};
constexpr TRecordLayout K8050Layout = {K8050RecordSize, SlotK8050ReadDescription, Record::K8050McuText,
                                       Record::K8050BootLoader, None, Record::K8050Pld, Record::K8050Aux,
                                       Record::K8050Dac};

constexpr bool Inside(std::size_t offset, std::size_t size, std::size_t recordSize) {
  return offset == None || offset + size <= recordSize;
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

// The module names the models report, in the order they are tried.
bool SameModelName(const char* name, std::size_t size, const char* model) {
  auto upper = [](unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c; };
  std::size_t i = 0;
  for (; i < size && name[i]; ++i) {
    if (!model[i] || upper(static_cast<unsigned char>(name[i])) != upper(static_cast<unsigned char>(model[i])))
      return false;
  }
  return model[i] == 0;
}

// Copies what the program uses of a model's record into the description.
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

  record.BootLoaderPresent = layout.BootLoader != None ? 1 : 0;
  if (layout.BootLoader != None)
    CopyRaw(record, offsetof(ModuleDescription, BootLoader), from + layout.BootLoader, sizeof(FirmwareVersionBlock));
  record.DspPresent = layout.Dsp != None ? 1 : 0;
  if (layout.Dsp != None) CopyRaw(record, offsetof(ModuleDescription, Dsp), from + layout.Dsp, sizeof(UnitInfoBlock));
  record.PldPresent = layout.Pld != None ? 1 : 0;
  if (layout.Pld != None) CopyRaw(record, offsetof(ModuleDescription, Pld), from + layout.Pld, sizeof(UnitInfoBlock));

  CopyRaw(record, offsetof(ModuleDescription, Aux), from + layout.Aux, sizeof record.Aux);
  CopyRaw(record, offsetof(ModuleDescription, Dac), from + layout.Dac, sizeof(DacBlock));
}

}  // namespace

// ---- The wrapper -----------------------------------------------------------

TCommonUsbInterface::TCommonUsbInterface(const TCorvaneLibrary& library) : FLibrary(library) {}

TCommonUsbInterface::~TCommonUsbInterface() { ReleaseInterfaces(); }

bool TCommonUsbInterface::HasAllInterfaces() const { return FBase && FK3200 && FK390 && FK3600 && FK8050; }

BOOL TCommonUsbInterface::CreateInterfaces() {
  ReleaseInterfaces();
  if (!FLibrary.CreateModuleInterface) return FALSE;
  IModuleInterface** fields[] = {&FBase, &FK3200, &FK390, &FK3600, &FK8050};
  const char* names[] = {BaseDeviceName, K3200DeviceName, K390DeviceName, K3600DeviceName, K8050DeviceName};
  for (int i = 0; i < 5; ++i) {
    *fields[i] = FLibrary.CreateModuleInterface(names[i]);
    if (!*fields[i]) return FALSE;
  }
  return TRUE;
}

BOOL TCommonUsbInterface::ReleaseInterfaces() {
  BOOL result = TRUE;
  IModuleInterface** fields[] = {&FBase, &FK3200, &FK390, &FK3600, &FK8050};
  for (IModuleInterface** field : fields) {
    if (!*field) continue;
    IModuleInterface* object = *field;
    *field = nullptr;
    result &= CallNoArg(object, SlotRelease);
  }
  return result;
}

BOOL TCommonUsbInterface::CloseAll() {
  BOOL result = TRUE;
  IModuleInterface* fields[] = {FBase, FK3200, FK390, FK3600, FK8050};
  for (IModuleInterface* object : fields) {
    if (object) result &= CallNoArg(object, SlotClose);
  }
  return result;
}

TCommonUsbInterface::TModel TCommonUsbInterface::ChosenModel() const {
  if (SameModelName(FModuleName, sizeof FModuleName, "K200")) return TModel::K3200;
  if (SameModelName(FModuleName, sizeof FModuleName, "K390")) return TModel::K390;
  if (SameModelName(FModuleName, sizeof FModuleName, "K600")) return TModel::K3600;
  if (SameModelName(FModuleName, sizeof FModuleName, "K80-50")) return TModel::K8050;
  return TModel::None;
}

IModuleInterface* TCommonUsbInterface::InterfaceOf(TModel model) const {
  switch (model) {
    case TModel::K3200: return FK3200;
    case TModel::K390: return FK390;
    case TModel::K3600: return FK3600;
    case TModel::K8050: return FK8050;
    default: return nullptr;
  }
}

BOOL TCommonUsbInterface::OpenSlot(DWORD slot) {
  if (!HasAllInterfaces()) return FALSE;
  if (!CloseAll()) return FALSE;
  if (!CallOpenSlot(FBase, slot)) return FALSE;
  std::memset(FModuleName, 0, sizeof FModuleName);
  BOOL named = CallReadModuleName(FBase, FModuleName);
  // A name filling all 16 bytes is cut, so the stored name always ends.
  FModuleName[sizeof FModuleName - 1] = 0;
  if (!named) return FALSE;
  if (!CallNoArg(FBase, SlotClose)) return FALSE;
  TModel model = ChosenModel();
  if (model == TModel::None) return TRUE;
  return CallOpenSlot(InterfaceOf(model), slot);
}

BOOL TCommonUsbInterface::ReadModuleName(char* buffer) {
  if (!HasAllInterfaces() || !buffer) return FALSE;
  TModel model = ChosenModel();
  if (model == TModel::None) return TRUE;
  BOOL result = CallReadModuleName(InterfaceOf(model), buffer);
  buffer[ModuleNameSize - 1] = 0;
  return result;
}

BOOL TCommonUsbInterface::ReadUsbSpeed(BYTE* speed) {
  if (!HasAllInterfaces() || !speed) return FALSE;
  TModel model = ChosenModel();
  if (model == TModel::None) return TRUE;
  return CallReadUsbSpeed(InterfaceOf(model), speed);
}

BOOL TCommonUsbInterface::LoadFirmware(const char* file) {
  if (!HasAllInterfaces()) return FALSE;
  switch (ChosenModel()) {
    case TModel::K3600: return CallLoadFirmware(FK3600, SlotK3600LoadFirmware, file);
    case TModel::K8050: return CallLoadFirmware(FK8050, SlotK8050LoadFirmware, file);
    default: return TRUE;  // K3-200 and K-390 need no load; unknown models get none
  }
}

BOOL TCommonUsbInterface::TestModule() {
  if (!HasAllInterfaces()) return FALSE;
  switch (ChosenModel()) {
    case TModel::K3600: return CallNoArg(FK3600, SlotK3600Test);
    case TModel::K8050: return CallTestWithArg(FK8050, SlotK8050Test, 0);
    default: return TRUE;
  }
}

BOOL TCommonUsbInterface::ReadDescription(ModuleDescription& record) {
  if (!HasAllInterfaces()) return FALSE;
  TModel model = ChosenModel();
  if (model == TModel::None) return TRUE;
  // Cleared first, so that bytes the library leaves unwritten cannot carry
  // the previous module's values into this one.
  const TRecordLayout& layout = model == TModel::K3200  ? K3200Layout
                                : model == TModel::K390 ? K390Layout
                                : model == TModel::K3600 ? K3600Layout
                                                         : K8050Layout;
  std::memset(FScratch, 0, sizeof FScratch);
  if (!CallReadDescription(InterfaceOf(model), layout.ReadSlot, FScratch)) return FALSE;
  FillDescription(layout, FScratch, record);
  return TRUE;
}
