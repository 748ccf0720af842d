#include "load/RandomScenario.h"

#include <cstdio>
#include <vector>

namespace Load {

std::string EmptyLine(int slot) {
  char line[32];
  std::snprintf(line, sizeof line, "Слот %2d: -----", slot);
  return line;
}

std::string ModuleLine(int slot, const std::string& name) {
  char line[32];
  std::snprintf(line, sizeof line, "Слот %2d: Модуль ", slot);
  return line + name;
}

namespace {

struct TModel {
  const char* Model;
  const char* Name;  // what the module reports
};
const TModel Models[] = {{"k200", "K200"}, {"k390", "K390"}, {"k600", "K600"}, {"k8050", "K80-50"}};

const char* const Operations[] = {"open", "base-open", "model-open", "name", "base-name", "model-name",
                                  "speed", "load",      "test",       "description", "close"};

const char* const OddClocks[] = {"nan",      "-nan",  "inf",   "-inf",  "4.9e-324", "1e300",
                                 "-0",       "1e-300", "-1",   "0",     "bits:0x7FF0000000000001",
                                 "bits:0xFFF8000000000000", "bits:0x0000000000000001", "bits:0xFFFFFFFFFFFFFFFF"};

// Record names beyond the model's own: Cyrillic and a sign cp1251 has (the
// file is then cp1251, not UTF-8), one longer than the 25-byte field.
const char* const RecordNames[] = {"Модуль-№5", "X", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", "k600"};

// The record's module name as the program reads it: up to the terminator,
// at most the 25 bytes of the field; unterminated texts repeat to fill it.
std::string RecordName(const std::string& cp1251, bool unterminated) {
  const size_t field = 25;
  if (unterminated) {
    std::string fill = cp1251.empty() ? "#" : cp1251, full;
    while (full.size() < field) full += fill;
    return full.substr(0, field);
  }
  return cp1251.substr(0, field);
}

}  // namespace

std::string TScenarioMaker::Clock() {
  if (Chance(50)) return OddClocks[Pick(0, static_cast<int>(sizeof OddClocks / sizeof *OddClocks) - 1)];
  return std::to_string(Pick(1000, 80000));
}

std::string TScenarioMaker::Spans() {
  int kind = Pick(0, 9);
  if (kind < 5) return "always";
  if (kind == 5) return "never";
  int a = Pick(0, 1500), b = a + Pick(100, 1500), c = b + Pick(100, 1500);
  return kind < 8 ? std::to_string(a) + "-" + std::to_string(b) + "," + std::to_string(c) + "-"
                  : std::to_string(a) + "-";
}

TScenario TScenarioMaker::Next(bool withK600) {
  TScenario s;
  ++FGeneration;
  s.Text = "# soak scenario " + std::to_string(FGeneration) + "\nversion 3.3\n";
  std::vector<int> free;
  for (int i = 0; i < Slots; ++i) free.push_back(i);
  int modules = Pick(0, 8);
  for (int m = 0; m < modules; ++m) {
    int pick = Pick(0, static_cast<int>(free.size()) - 1);
    int slot = free[static_cast<size_t>(pick)];
    free.erase(free.begin() + pick);
    int which = Pick(0, withK600 ? 3 : 2);
    if (!withK600 && which == 2) which = 3;  // the K80-50 in the K3-600's place
    const TModel& model = Models[which];
    std::string prefix = "slot " + std::to_string(slot) + " ";
    std::string line = prefix + "model=" + model.Model + " speed=" + (Chance(50) ? "full" : "high") +
                       " present=" + Spans() + " serial=S" + std::to_string(FGeneration) + "-" + std::to_string(slot);
    std::string name = model.Name;
    if (Chance(15)) {
      for (char& c : name) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
      line += " name=" + name;  // other letter case: still the model's interface
    }
    std::string record = name;
    if (Chance(15)) {
      record = RecordNames[Pick(0, 3)];
      line += " record-name=\"" + record + "\"";
    }
    if (model.Model[1] == '6') {
      line += " load-ms=" + std::to_string(Pick(10, 300));
      ++s.Loads;
    } else if (model.Model[1] == '8') {
      line += " load-ms=" + std::to_string(Pick(0, 100));
    }
    s.Text += line + "\n";

    bool unterminated = Chance(10), bad = unterminated;
    std::string extra;
    if (unterminated) extra += " texts=unterminated";
    if (Chance(10)) extra += " junk=yes", bad = true;
    if (Chance(25)) {
      extra += " mcu.clock=" + Clock() + " dsp.clock=" + Clock() + " pld.clock=" + Clock();
      bad = true;
    }
    if (Chance(5)) extra += " mcu.name=\"\\xFF\\x01\\x7F\" mcu.version=\"\\x00\\x01\"", bad = true;
    s.BadRecords += bad;

    bool descriptionFails = false;
    if (Chance(30)) {
      const char* op = Operations[Pick(0, 10)];
      std::string how;
      switch (Pick(0, 4)) {
        case 0: how = "once"; break;
        case 1: how = std::to_string(Pick(2, 5)); break;
        case 2: how = "after:" + std::to_string(Pick(1, 20)); break;
        case 3: how = Chance(30) ? "always" : "once"; break;
        default: how = "never"; break;
      }
      extra += std::string(" fail.") + op + "=" + how;
      descriptionFails = std::string(op) == "description";
      ++s.Failures;
    }
    if (!extra.empty()) s.Text += prefix.substr(0, prefix.size() - 1) + extra + "\n";

    // Literals are cp1251 already, as the stand-in takes a file that is not UTF-8.
    s.Lines[slot].insert(ModuleLine(slot, RecordName(record, unterminated)));
    // A failed description read lists the module by the name its interface gave (15 bytes).
    if (descriptionFails) s.Lines[slot].insert(ModuleLine(slot, name.substr(0, 15)));
    ++s.Modules;
  }
  return s;
}

}  // namespace Load
