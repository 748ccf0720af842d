// The sizes of the device library's description records and the offsets
// of the fields inside them: plain numbers of the binary contract, kept
// apart from CorvaneAbi.h so that code which only lays out records needs no
// Windows header.
#pragma once

#include <cstddef>

namespace Corvane {

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
