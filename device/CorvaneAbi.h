// The binary contract between Quendal and the device library Corvane.dll.
// Shared by the program (device/) and the stand-in library (corvane/).
#pragma once

#include <windows.h>
#include <cstddef>

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

constexpr std::size_t ModuleNameSize = 16;

// Sizes of the library's description records.
constexpr std::size_t K3200RecordSize = 6188;
constexpr std::size_t K390RecordSize = 6188;
constexpr std::size_t K3600RecordSize = 6812;
constexpr std::size_t K8050RecordSize = 7140;

// Offsets inside the library's description records.
namespace Record {
constexpr std::size_t Identity = 0, IdentitySize = 324;
constexpr std::size_t McuName = 613, McuNameSize = 25;
constexpr std::size_t McuClock = 638;
constexpr std::size_t McuFirmware = 646;
constexpr std::size_t FirmwareBlockSize = 330;
constexpr std::size_t UnitBlockSize = 623;
constexpr std::size_t AuxBlockSize = 2333;
constexpr std::size_t DacBlockSize = 2333;
constexpr std::size_t McuTextSize = 256;
// K3-200 and K-390
constexpr std::size_t K3200McuText = 976, K3200Aux = 1232, K3200Dac = 3565;
// K3-600
constexpr std::size_t K3600McuText = 976, K3600Dsp = 1232, K3600Aux = 1855, K3600Dac = 4188;
// K80-50
constexpr std::size_t K8050BootLoader = 976, K8050McuText = 1306, K8050Pld = 1562, K8050Aux = 2185,
                      K8050Dac = 4518;
// Inside the identity block
constexpr std::size_t IdentityModuleName = 25, IdentityModuleNameSize = 25;
constexpr std::size_t IdentitySerial = 50, IdentitySerialSize = 16;
constexpr std::size_t IdentityRevision = 66;
// Inside a firmware version block
constexpr std::size_t FirmwareVersion = 0, FirmwareVersionSize = 10, FirmwareDate = 10;
// Inside a unit block
constexpr std::size_t UnitActive = 0, UnitName = 4, UnitNameSize = 25, UnitClock = 29, UnitFirmware = 37,
                      UnitText = 367;
}  // namespace Record

}  // namespace Corvane

// The two entry points, imported by ordinal.
extern "C" {
DWORD __stdcall GetLibraryVersion(void);
IModuleInterface* __stdcall CreateModuleInterface(const char* deviceName);
}
