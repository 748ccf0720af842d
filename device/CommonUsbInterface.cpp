#include "device/CommonUsbInterface.h"

#include <cstring>

#include "device/FieldText.h"
#include "device/LibraryGuard.h"
#include "device/RecordFill.h"

using namespace Corvane;

namespace {

// ---- Calls through the interface's function table -------------------------

// Calls the table entry `slot` of the object, with the object as the first
// argument. Only inside a guard (LibraryCall), which each operation of the
// wrapper puts around its library calls: the table is the library's memory
// too. Results are truth values: any nonzero answer of the library is
// success.
template <typename Fn, typename... Args>
BOOL Call(IModuleInterface* object, int slot, Args... args) {
  Fn fn = object && object->Table ? reinterpret_cast<Fn>(object->Table[slot]) : nullptr;
  return fn && fn(object, args...) ? TRUE : FALSE;
}

BOOL CallOpenSlot(IModuleInterface* object, DWORD slot) { return Call<OpenSlotFn>(object, SlotOpen, slot); }
BOOL CallNoArg(IModuleInterface* object, int slot) { return Call<NoArgFn>(object, slot); }
BOOL CallReadModuleName(IModuleInterface* object, char* name) {
  return Call<ReadNameFn>(object, SlotReadModuleName, name);
}
BOOL CallReadUsbSpeed(IModuleInterface* object, BYTE* speed) {
  return Call<ReadSpeedFn>(object, SlotReadUsbSpeed, speed);
}
BOOL CallLoadFirmware(IModuleInterface* object, int slot, const char* file) {
  return Call<LoadFirmwareFn>(object, slot, file);
}
BOOL CallTestWithArg(IModuleInterface* object, int slot, DWORD reserved) {
  return Call<TestWithArgFn>(object, slot, reserved);
}
BOOL CallReadDescription(IModuleInterface* object, int slot, void* record) {
  return Call<ReadDescriptionFn>(object, slot, record);
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
    *fields[i] = LibraryCall([&] { return FLibrary.CreateModuleInterface(names[i]); });
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
    // A library that faulted is still asked to release the rest.
    try {
      result &= LibraryCall([&] { return CallNoArg(object, SlotRelease); });
    } catch (const ELibraryFault&) {
      result = FALSE;
    }
  }
  return result;
}

BOOL TCommonUsbInterface::CloseAll() {
  return LibraryCall([this] { return CloseEvery(); });
}

BOOL TCommonUsbInterface::CloseEvery() {
  BOOL result = TRUE;
  IModuleInterface* fields[] = {FBase, FK3200, FK390, FK3600, FK8050};
  for (IModuleInterface* object : fields) {
    if (object) result &= CallNoArg(object, SlotClose);
  }
  return result;
}

TCommonUsbInterface::TModel TCommonUsbInterface::ChosenModel() const {
  if (SameModuleName(FModuleName, sizeof FModuleName, "K200")) return TModel::K3200;
  if (SameModuleName(FModuleName, sizeof FModuleName, "K390")) return TModel::K390;
  if (SameModuleName(FModuleName, sizeof FModuleName, "K600")) return TModel::K3600;
  if (SameModuleName(FModuleName, sizeof FModuleName, "K80-50")) return TModel::K8050;
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
  // One guard for all nine calls: nothing between them needs destroying.
  return LibraryCall([&]() -> BOOL {
    if (!CloseEvery()) return FALSE;
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
  });
}

BOOL TCommonUsbInterface::ReadModuleName(char* buffer) {
  if (!HasAllInterfaces() || !buffer) return FALSE;
  TModel model = ChosenModel();
  if (model == TModel::None) return TRUE;
  BOOL result = LibraryCall([&] { return CallReadModuleName(InterfaceOf(model), buffer); });
  buffer[ModuleNameSize - 1] = 0;
  return result;
}

BOOL TCommonUsbInterface::ReadUsbSpeed(BYTE* speed) {
  if (!HasAllInterfaces() || !speed) return FALSE;
  TModel model = ChosenModel();
  if (model == TModel::None) return TRUE;
  return LibraryCall([&] { return CallReadUsbSpeed(InterfaceOf(model), speed); });
}

BOOL TCommonUsbInterface::LoadFirmware(const char* file) {
  if (!HasAllInterfaces()) return FALSE;
  switch (ChosenModel()) {
    case TModel::K3600: return LibraryCall([&] { return CallLoadFirmware(FK3600, SlotK3600LoadFirmware, file); });
    case TModel::K8050: return LibraryCall([&] { return CallLoadFirmware(FK8050, SlotK8050LoadFirmware, file); });
    default: return TRUE;  // K3-200 and K-390 need no load; unknown models get none
  }
}

bool TCommonUsbInterface::LoadsFirmware() const {
  TModel model = ChosenModel();
  return model == TModel::K3600 || model == TModel::K8050;
}

BOOL TCommonUsbInterface::TestModule() {
  if (!HasAllInterfaces()) return FALSE;
  switch (ChosenModel()) {
    case TModel::K3600: return LibraryCall([&] { return CallNoArg(FK3600, SlotK3600Test); });
    case TModel::K8050: return LibraryCall([&] { return CallTestWithArg(FK8050, SlotK8050Test, 0); });
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
  const int readSlot = model == TModel::K3200  ? SlotK3200ReadDescription
                       : model == TModel::K390 ? SlotK390ReadDescription
                       : model == TModel::K3600 ? SlotK3600ReadDescription
                                                : SlotK8050ReadDescription;
  static_assert(sizeof FScratch >= K8050RecordSize, "the scratch buffer holds every model's record");
  std::memset(FScratch, 0, sizeof FScratch);
  if (!LibraryCall([&] { return CallReadDescription(InterfaceOf(model), readSlot, FScratch); })) return FALSE;
  FillDescription(layout, FScratch, record);
  return TRUE;
}
