// Helpers for the stand-in library's tests: the library loaded from beside
// the test program and reached by ordinal, calls through the interface
// tables with the contract's signatures, a private folder per test with its
// own scenario, stats and log files.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "device/CorvaneAbi.h"
#include "tests/support/Files.h"

namespace CorvaneTest {

typedef DWORD(__stdcall* VersionFn)(void);
typedef IModuleInterface*(__stdcall* CreateFn)(const char*);

struct Library {
  HMODULE module = nullptr;
  VersionFn version = nullptr;
  CreateFn create = nullptr;
};

// Corvane.dll from the test program's folder, loaded once per process.
const Library& TheLibrary();

inline void* SlotOf(IModuleInterface* i, int slot) { return i->Table[slot]; }

inline BOOL Open(IModuleInterface* i, DWORD slot) {
  return reinterpret_cast<Corvane::OpenSlotFn>(SlotOf(i, Corvane::SlotOpen))(i, slot);
}
inline BOOL Close(IModuleInterface* i) {
  return reinterpret_cast<Corvane::NoArgFn>(SlotOf(i, Corvane::SlotClose))(i);
}
inline BOOL Release(IModuleInterface* i) {
  return reinterpret_cast<Corvane::NoArgFn>(SlotOf(i, Corvane::SlotRelease))(i);
}
inline BOOL ReadName(IModuleInterface* i, char* name) {
  return reinterpret_cast<Corvane::ReadNameFn>(SlotOf(i, Corvane::SlotReadModuleName))(i, name);
}
inline BOOL ReadSpeed(IModuleInterface* i, BYTE* speed) {
  return reinterpret_cast<Corvane::ReadSpeedFn>(SlotOf(i, Corvane::SlotReadUsbSpeed))(i, speed);
}
inline BOOL CallNoArg(IModuleInterface* i, int slot) {
  return reinterpret_cast<Corvane::NoArgFn>(SlotOf(i, slot))(i);
}
inline BOOL LoadFirmwareAt(IModuleInterface* i, int slot) {
  return reinterpret_cast<Corvane::LoadFirmwareFn>(SlotOf(i, slot))(i, nullptr);
}
inline BOOL ReadDescriptionAt(IModuleInterface* i, int slot, void* record) {
  return reinterpret_cast<Corvane::ReadDescriptionFn>(SlotOf(i, slot))(i, record);
}

// The model interfaces by device name, with their record size and slots.
struct ModelInfo {
  const char* device;       // "k200", ...
  const char* moduleName;   // "K200", ...
  std::size_t recordSize;
  int descriptionSlot;
  int loadSlot;             // -1: the model has no load
  int testSlot;             // -1: the model has no test
  bool testTakesArgument;
  int highestSlot;
};
const std::vector<ModelInfo>& Models();
const ModelInfo& ModelByDevice(const std::string& device);

// Load and test through the model's own slots and signatures.
BOOL LoadFirmware(IModuleInterface* i, const ModelInfo& model);
BOOL TestModule(IModuleInterface* i, const ModelInfo& model);
BOOL ReadDescription(IModuleInterface* i, const ModelInfo& model, void* record);

std::string Utf8(const std::wstring& text);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
// How many times text occurs in haystack.
int Occurrences(const std::string& haystack, const std::string& text);

// A test with its own folder and environment: CORVANE_SCENARIO, CORVANE_STATS
// and CORVANE_LOG name files in it; the previous values come back afterwards.
// Interfaces made through Create are released at the end.
class CorvaneFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes text to a new scenario file and names it: in force at the next call.
  void UseScenario(const std::string& text);
  // Rewrites the named scenario file in place and waits past the library's
  // check interval.
  void RewriteScenario(const std::string& text);

  IModuleInterface* Create(const char* device);
  // Releases an interface made through Create.
  BOOL ReleaseNow(IModuleInterface* i);
  // A module record read through the model's interface from the slot; empty
  // when a step fails.
  std::vector<unsigned char> Record(int slot, const ModelInfo& model);
  // The speed byte of the K3-200 in the slot, or -1 when a step fails.
  int SpeedIn(int slot) {
    IModuleInterface* i = Create("k200");
    BYTE speed = 0;
    int result = i && Open(i, static_cast<DWORD>(slot)) && ReadSpeed(i, &speed) ? speed : -1;
    if (i) ReleaseNow(i);
    return result;
  }

  // The stats file as "line.key" -> value, e.g. "slot3.load", "total.open",
  // "library.live-interfaces".
  std::map<std::string, unsigned long> Stats();
  std::string Log() { return ReadWholeFile(FLogPath); }

  std::wstring FFolder;
  std::wstring FScenarioPath;
  std::wstring FStatsPath;
  std::wstring FLogPath;

 private:
  std::vector<IModuleInterface*> FCreated;
  std::map<std::wstring, std::pair<bool, std::wstring>> FSavedEnvironment;
  int FScenarioNumber = 0;
};

}  // namespace CorvaneTest
