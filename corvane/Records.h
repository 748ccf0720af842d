// The description records the model interfaces fill, in the byte layouts the
// program reads (device/CorvaneAbi.h).
#pragma once

#include <cstddef>

#include "corvane/Scenario.h"

namespace Standin {

// The size of the model's record; 0 for Model::None.
std::size_t RecordSize(Model model);

// Fills a record of the module's model: RecordSize(module.model) bytes at
// record, and not one byte more.
void FillRecord(const Module& module, unsigned char* record);

}  // namespace Standin
