// The stand-in library's scenario parser on arbitrary text. Whatever it
// accepts must give records that stay inside their model's size (each lies
// in a heap block of exactly that size) and that the program fills and
// shows within bounds, as it does the real library's.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "corvane/Records.h"
#include "corvane/Scenario.h"
#include "tests/fuzz/RecordChecks.h"

namespace {

const Corvane::TRecordLayout* LayoutOf(Standin::Model model) {
  switch (model) {
    case Standin::Model::K3200: return &Corvane::K3200Layout;
    case Standin::Model::K390: return &Corvane::K390Layout;
    case Standin::Model::K3600: return &Corvane::K3600Layout;
    case Standin::Model::K8050: return &Corvane::K8050Layout;
    case Standin::Model::None: break;
  }
  return nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::unique_ptr<Standin::Scenario> scenario(new Standin::Scenario());
  std::string error;
  if (!Standin::ParseScenario(text, *scenario, error)) {
    REQUIRE(!error.empty());
    return 0;
  }
  for (const Standin::Module& module : scenario->slots) {
    if (!module.declared) continue;
    const Corvane::TRecordLayout* layout = LayoutOf(module.model);
    REQUIRE(Standin::RecordSize(module.model) == (layout ? layout->Size : 0));
    REQUIRE(module.loadMs <= Standin::MaxLoadMs);
    if (!layout) continue;
    std::vector<unsigned char> record(layout->Size);
    Standin::FillRecord(module, record.data());
    std::unique_ptr<ModuleDescription> d(new ModuleDescription());
    Corvane::FillDescription(*layout, record.data(), *d);
    FuzzChecks::CheckDescription(*layout, record.data(), *d);
  }
  return 0;
}
