// Writes seed inputs for the fuzz targets: the description records the
// stand-in library makes for every module of the scenario files named on the
// command line (and of its built-in demonstration), each as the record
// target reads it (a model byte, then the record), and a set of clocks for
// the clock-text target.
//
//   SeedCorpus OUTPUT-FOLDER SCENARIO-FILE...
//
// Writes OUTPUT-FOLDER/FuzzRecordFill/seed-* and OUTPUT-FOLDER/FuzzClockText/seed-*.
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "corvane/Records.h"
#include "corvane/Scenario.h"

namespace {

bool Write(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

// The record target's first byte: 0 K3-200, 1 K-390, 2 K3-600, 3 K80-50.
int ModelByte(Standin::Model model) {
  switch (model) {
    case Standin::Model::K3200: return 0;
    case Standin::Model::K390: return 1;
    case Standin::Model::K3600: return 2;
    case Standin::Model::K8050: return 3;
    case Standin::Model::None: break;
  }
  return -1;
}

int WriteRecords(const std::string& folder, const std::string& name, const std::string& text) {
  Standin::Scenario scenario;
  std::string error;
  if (!Standin::ParseScenario(text, scenario, error)) {
    std::fprintf(stderr, "SeedCorpus: %s: %s\n", name.c_str(), error.c_str());
    return 0;
  }
  int written = 0;
  for (int slot = 0; slot < Standin::SlotCount; ++slot) {
    const Standin::Module& module = scenario.slots[slot];
    int model = ModelByte(module.model);
    if (!module.declared || model < 0) continue;
    std::vector<unsigned char> bytes(1 + Standin::RecordSize(module.model));
    bytes[0] = static_cast<unsigned char>(model);
    Standin::FillRecord(module, bytes.data() + 1);
    if (Write(folder + "/FuzzRecordFill/seed-" + name + "-slot" + std::to_string(slot), bytes)) ++written;
  }
  return written;
}

int WriteClocks(const std::string& folder) {
  const double clocks[] = {0.0, -0.0, 48000, 24000.5, 7.3728e4, 47923.2, 1e-5, 9.99999999999999e-6, 1.5e-5,
                           0.0001, 123456789012345.0, 999999999999999.0, 1e15, 1e300, -1e-300, 4.9e-324,
                           DBL_MAX, -DBL_MAX, DBL_MIN, 0.1, 1.0 / 3, -2.5e-7,
                           std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN()};
  int written = 0;
  for (std::size_t i = 0; i < sizeof clocks / sizeof clocks[0]; ++i) {
    std::vector<unsigned char> bytes(9, 0);
    std::memcpy(bytes.data(), &clocks[i], 8);
    bytes[8] = static_cast<unsigned char>(i & 1);  // every other one under a comma locale
    if (Write(folder + "/FuzzClockText/seed-clock" + std::to_string(i), bytes)) ++written;
  }
  return written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: SeedCorpus OUTPUT-FOLDER SCENARIO-FILE...\n");
    return 2;
  }
  const std::string folder = argv[1];
  int records = WriteRecords(folder, "demo", Standin::DemoScenarioText());
  for (int i = 2; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string name = argv[i];
    std::size_t slash = name.find_last_of('/');
    if (slash != std::string::npos) name.erase(0, slash + 1);
    records += WriteRecords(folder, name, text);
  }
  int clocks = WriteClocks(folder);
  std::printf("SeedCorpus: %d records, %d clocks\n", records, clocks);
  return records > 0 && clocks > 0 ? 0 : 1;
}
