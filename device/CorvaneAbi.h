// The binary contract between Quendal and the device library Corvane.dll.
// Shared by the program (device/) and the stand-in library (corvane/).
#pragma once

#include <windows.h>
#include <cstddef>

#include "device/RecordLayout.h"

// An interface object handed out by the library: its first word points to a
// table of __stdcall functions, each taking the object as its first argument.
struct IModuleInterface;
struct IModuleInterface {
  void** Table;
};

namespace Corvane {

constexpr DWORD RequiredVersion = 0x00030003;

// Device names the factory knows.
constexpr const char* BaseDeviceName = "Corvroot";
constexpr const char* K3200DeviceName = "k200";
constexpr const char* K390DeviceName = "k390";
constexpr const char* K3600DeviceName = "k600";
constexpr const char* K8050DeviceName = "k8050";

// Slots of the function table.
enum Slot : int {
  SlotOpen = 0,
  SlotClose = 1,
  SlotRelease = 2,
  SlotReadModuleName = 4,
  SlotReadUsbSpeed = 5,
  SlotK8050LoadFirmware = 8,
  SlotK8050Test = 9,
  SlotK3600LoadFirmware = 9,
  SlotK3600Test = 10,
  SlotK8050ReadDescription = 23,
  SlotK390ReadDescription = 26,
  SlotK3200ReadDescription = 28,
  SlotK3600ReadDescription = 31,
};

// Signatures of the slots, all __stdcall, all returning nonzero on success.
typedef BOOL(__stdcall* OpenSlotFn)(IModuleInterface* self, DWORD slot);
typedef BOOL(__stdcall* NoArgFn)(IModuleInterface* self);
typedef BOOL(__stdcall* ReadNameFn)(IModuleInterface* self, char* name);
typedef BOOL(__stdcall* ReadSpeedFn)(IModuleInterface* self, BYTE* speed);
typedef BOOL(__stdcall* LoadFirmwareFn)(IModuleInterface* self, const char* file);
typedef BOOL(__stdcall* TestWithArgFn)(IModuleInterface* self, DWORD reserved);
typedef BOOL(__stdcall* ReadDescriptionFn)(IModuleInterface* self, void* record);

// ModuleNameSize, the record sizes and offsets: device/RecordLayout.h.

}  // namespace Corvane

// The two entry points, imported by ordinal.
extern "C" {
DWORD __stdcall GetLibraryVersion(void);
IModuleInterface* __stdcall CreateModuleInterface(const char* deviceName);
}
