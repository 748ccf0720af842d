// Random scenarios for the stand-in library: modules of every model coming
// and going in random slots, failing operations, bad records and short
// K3-600 loads; with, for each slot, the list lines that the scenario lets
// the program show.
#pragma once

#include <random>
#include <set>
#include <string>

namespace Load {

constexpr int Slots = 25;

// "Слот  3: -----" and "Слот  3: Модуль K600", as the program writes them (cp1251).
std::string EmptyLine(int slot);
std::string ModuleLine(int slot, const std::string& name);

struct TScenario {
  std::string Text;                  // the file's contents (UTF-8, as the stand-in reads it)
  std::set<std::string> Lines[Slots];  // module lines it allows per slot (cp1251); the empty line is always allowed
  int Modules = 0, Failures = 0, BadRecords = 0, Loads = 0;
};

class TScenarioMaker {
 public:
  explicit TScenarioMaker(unsigned seed) : FRandom(seed) {}
  // A scenario of the soak: anything goes. Without K3-600 modules no
  // Waiting window comes up to take the keyboard from the main window.
  TScenario Next(bool withK600 = true);

 private:
  int Pick(int from, int to) { return std::uniform_int_distribution<int>(from, to)(FRandom); }
  bool Chance(int percent) { return Pick(1, 100) <= percent; }
  std::string Clock();
  std::string Spans();

  std::mt19937 FRandom;
  int FGeneration = 0;
};

}  // namespace Load
