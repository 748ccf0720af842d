// Filling the model-independent description from a model's description
// record as the device library writes it. Plain byte work, without any
// Windows dependency: the wrapper (CommonUsbInterface) calls it after each
// successful read.
#pragma once

#include <cstddef>

#include "device/ModuleDescription.h"
#include "device/RecordLayout.h"

namespace Corvane {

constexpr std::size_t NoBlock = ~std::size_t(0);

// Where a model keeps its blocks in its record; NoBlock for a block it lacks.
struct TRecordLayout {
  std::size_t Size;
  std::size_t McuText, BootLoader, Dsp, Pld, Aux, Dac;
};

constexpr TRecordLayout K3200Layout = {K3200RecordSize, Record::K3200McuText, NoBlock, NoBlock, NoBlock,
                                       Record::K3200Aux, Record::K3200Dac};
constexpr TRecordLayout K390Layout = {K390RecordSize, Record::K3200McuText, NoBlock, NoBlock, NoBlock,
                                      Record::K3200Aux, Record::K3200Dac};
constexpr TRecordLayout K3600Layout = {K3600RecordSize, Record::K3600McuText, NoBlock, Record::K3600Dsp, NoBlock,
                                       Record::K3600Aux, Record::K3600Dac};
constexpr TRecordLayout K8050Layout = {K8050RecordSize, Record::K8050McuText, Record::K8050BootLoader, NoBlock,
                                       Record::K8050Pld, Record::K8050Aux, Record::K8050Dac};

// Copies what the program uses of a model's record into the description:
// the identity block whole, the microcontroller's name and text bounded and
// terminated within their fields, the clocks bit for bit, and the unit
// blocks the model has. from must hold layout.Size bytes.
void FillDescription(const TRecordLayout& layout, const unsigned char* from, ModuleDescription& record);

}  // namespace Corvane
