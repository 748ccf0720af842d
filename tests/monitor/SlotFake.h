// A fake device library with 25 virtual slots for the monitor's tests and
// the scan benchmark: raw function tables of __stdcall functions laid out as
// the library's interface objects are. Modules are plugged into slots and
// pulled out between scans; each slot counts the calls it gets and fails
// the operations the test tells it to. Nothing is allocated while a scan
// calls it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "device/CorvaneLibrary.h"

namespace MonitorTest {

// The interface that answers for a module: the base interface answers for
// every module, one model interface for modules of its model.
enum TModel { ModelNone = 0, ModelK200 = 1, ModelK390 = 2, ModelK600 = 3, ModelK8050 = 4, KindBase = 5 };
constexpr int FakeSlotCount = 25;
constexpr size_t MaxRecordSize = 7140;

// How often an operation fails: 0 never, -1 always, n > 0 the next n calls.
struct TFailure {
  int Remaining = 0;
  bool Fails();
};

// Failures of a slot whoever is plugged into it: opening it (which leaves
// nothing open), closing it (closed all the same), the base interface's name.
struct TSlotFailures {
  TFailure Open, Close, BaseName;
};

struct TSlotCalls {
  int Opens = 0, Names = 0, Speeds = 0, Loads = 0, Tests = 0, Descriptions = 0;
};

struct TFakeModule {
  bool Present = false;
  TModel Model = ModelNone;  // the model interface that answers for it
  char Name[16] = {};        // what ReadModuleName gives, on every interface
  unsigned char Speed = 1;
  unsigned char Record[MaxRecordSize] = {};  // what ReadDescription writes
  size_t RecordSize = 0;                     // that many bytes of Record
  TFailure FailName, FailSpeed, FailLoad, FailTest, FailDescription;
  bool Silent = false;  // the model interface's name and speed reads succeed and write nothing
};

class TFakeSlots {
 public:
  TFakeSlots();  // becomes the library that the fake's entry points serve
  ~TFakeSlots();
  TFakeSlots(const TFakeSlots&) = delete;
  TFakeSlots& operator=(const TFakeSlots&) = delete;

  TCorvaneLibrary Library() const;

  // A module whose model follows from its name ("K600", "k80-50" ...; any
  // other name answers on the base interface only), with a description
  // record of its model: identity name = name, serial "SN<slot>", revision
  // 'B', a DAC, and the units its model reports.
  TFakeModule& Plug(int slot, const char* name, unsigned char speed = 1);
  void Unplug(int slot);
  TFakeModule& Module(int slot) { return FModules[slot]; }
  TSlotCalls& Calls(int slot) { return FCalls[slot]; }
  TSlotFailures& Failures(int slot) { return FFailures[slot]; }
  int TotalLoads() const;
  int TotalTests() const;
  void ClearCalls();

  // Writers into a module's description record at library offsets.
  static void Text(TFakeModule& m, size_t offset, size_t width, const std::string& text);  // NUL if it fits
  static void Double(TFakeModule& m, size_t offset, double value);
  static void Int32(TFakeModule& m, size_t offset, int32_t value);

  // What the library reports as its version.
  DWORD Version;
  // The factory call (from 1) that throws instead of answering; 0: none.
  int ThrowAtCreate = 0;

  // Called inside the firmware load and the test, with the slot.
  std::function<void(int)> OnLoad;
  std::function<void(int)> OnTest;

  int Created() const { return FCreated; }
  int Released() const { return FReleased; }

  // Used by the entry points and table functions.
  static TFakeSlots* Active();
  IModuleInterface* Create(const char* device);
  struct TObject;
  BOOL Open(TObject* o, DWORD slot);
  BOOL Close(TObject* o);
  BOOL Release(TObject* o);
  BOOL Name(TObject* o, char* name);
  BOOL Speed(TObject* o, BYTE* speed);
  BOOL Load(TObject* o);
  BOOL Test(TObject* o);
  BOOL Describe(TObject* o, void* record);

 private:
  TFakeModule FModules[FakeSlotCount];
  TSlotCalls FCalls[FakeSlotCount];
  TSlotFailures FFailures[FakeSlotCount];
  TObject* FObjects[64] = {};
  int FCreated = 0, FReleased = 0;
};

struct TFakeSlots::TObject {
  IModuleInterface Header;  // first: the object's first word is its table
  TModel Kind;
  int Open;  // the open slot, -1 for none
  bool Released;
};

// The model whose module-name string the name is, ignoring case.
TModel ModelOfName(const char* name);

}  // namespace MonitorTest
