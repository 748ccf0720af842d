// One model-independent way to reach the module in a virtual slot. The
// wrapper holds the library's base interface and one interface per model;
// OpenSlot learns from the base interface which model answers in the slot,
// and every later request goes to that model's interface.
//
// Every operation returns a truth value (TRUE or FALSE) and shows nothing.
// Every operation but CreateInterfaces, ReleaseInterfaces and CloseAll fails
// while any of the five interfaces is missing. A processor fault inside the
// library throws ELibraryFault (device/LibraryGuard.h) out of the operation
// that made the call; ReleaseInterfaces, which the destructor runs, never
// throws and releases every interface even after a fault.
#pragma once

#include "device/CorvaneAbi.h"
#include "device/CorvaneLibrary.h"
#include "device/ModuleDescription.h"
#include "framework/NoCopy.h"

class TCommonUsbInterface : TNoCopy {
 public:
  // The library is copied; the default is the imported one.
  explicit TCommonUsbInterface(const TCorvaneLibrary& library = ImportedCorvaneLibrary());
  ~TCommonUsbInterface();  // ReleaseInterfaces

  // Releases what is held, then asks the library for the base interface and
  // the four model interfaces in field order; stops at the first refusal.
  BOOL CreateInterfaces();
  // Releases every interface held; TRUE if every release succeeded.
  BOOL ReleaseInterfaces();
  // Closes the slot on every interface held; TRUE if every close succeeded.
  BOOL CloseAll();

  // TRUE if a module answers in the slot. A module of an unknown model
  // counts as present; every later operation then succeeds doing nothing.
  BOOL OpenSlot(DWORD slot);
  // buffer: 16 bytes; the model's interface fills it, byte 15 is forced NUL.
  BOOL ReadModuleName(char* buffer);
  // 0 = full speed, nonzero = high speed.
  BOOL ReadUsbSpeed(BYTE* speed);
  // file: null asks for the built-in firmware (what the monitor passes).
  BOOL LoadFirmware(const char* file = nullptr);
  // Whether LoadFirmware asks the library for a load: the module in the
  // open slot is a K3-600 or a K80-50.
  bool LoadsFirmware() const;
  BOOL TestModule();
  // Fills the fields of the record that the module's model reports; on
  // failure the record is left as it was.
  BOOL ReadDescription(ModuleDescription& record);

  // The module name that the base interface gave at the last OpenSlot:
  // 16 bytes, NUL-terminated within them.
  const char* CurrentModuleName() const { return FModuleName; }
  bool HasAllInterfaces() const;

 private:
  enum class TModel { None, K3200, K390, K3600, K8050 };
  TModel ChosenModel() const;
  // CloseAll's calls, for a caller that already holds the guard.
  BOOL CloseEvery();
  IModuleInterface* InterfaceOf(TModel model) const;

  // Fields in this order: base, K3-200, K-390, K3-600, K80-50.
  IModuleInterface* FBase = nullptr;
  IModuleInterface* FK3200 = nullptr;
  IModuleInterface* FK390 = nullptr;
  IModuleInterface* FK3600 = nullptr;
  IModuleInterface* FK8050 = nullptr;
  char FModuleName[Corvane::ModuleNameSize] = {};

  TCorvaneLibrary FLibrary;
  // The library's record of the model in the open slot, sized for the
  // largest model and cleared before each read.
  alignas(8) unsigned char FScratch[Corvane::K8050RecordSize] = {};
};
