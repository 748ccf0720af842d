// A model's description record of arbitrary bytes, filled into the
// model-independent description: the first input byte picks the model, the
// rest fills the record (zero-padded when short). The record lies in a heap
// block of exactly the model's size, so a read past it is caught.
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "tests/fuzz/RecordChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace Corvane;
  static const TRecordLayout* const layouts[] = {&K3200Layout, &K390Layout, &K3600Layout, &K8050Layout};
  if (size == 0) return 0;
  const TRecordLayout& layout = *layouts[data[0] % 4];
  std::vector<unsigned char> record(layout.Size, 0);
  std::memcpy(record.data(), data + 1, size - 1 < layout.Size ? size - 1 : layout.Size);
  std::unique_ptr<ModuleDescription> d(new ModuleDescription());
  FillDescription(layout, record.data(), *d);
  FuzzChecks::CheckDescription(layout, record.data(), *d);
  return 0;
}
