// The tests' in-process device library: raw function tables of real
// __stdcall functions, laid out as the library's interface objects are and
// numbered as the library's contract numbers them (not from the program's
// own header, so that a wrong slot there shows).
//
// The library surface (TFakeLibrary) makes the interface objects, counts
// their releases and answers each call with its kind's TBehaviour (results,
// scripts, faults); what an operation does behind that answer is one of two
// behaviours, chosen by the class made:
// - per interface (TFakeCorvane): every interface of a kind answers as its
//   TBehaviour says, whatever the slot, and every call is recorded (which
//   interface object, which table slot, which argument, in which order);
//   for the device layer's tests.
// - from its 25 slots (TFakeSlots): modules are plugged into slots and pulled
//   out between scans; an interface opens a slot only where a module of its
//   model sits, each slot counts the calls it gets and fails the operations
//   the test tells it to; nothing is recorded and nothing is allocated while
//   a scan calls it; for the monitor's tests and the scan benchmark.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "device/CorvaneLibrary.h"
#include "framework/NoCopy.h"

namespace CorvaneFake {

// The five interfaces, in the wrapper's field order. A module's model is the
// model interface that answers for it; KindBase: the base interface only.
enum TKind { KindBase = 0, KindK200 = 1, KindK390 = 2, KindK600 = 3, KindK8050 = 4, KindCount = 5 };
constexpr int FactoryKind = -1;
constexpr int TableSize = 32;  // the highest slot called is 31
constexpr int FakeSlotCount = 25;
constexpr std::size_t MaxRecordSize = 7140;

const char* KindName(int kind);  // "base", "k200", ... as in traces
// The size of the description record of a model; 0 for the base interface.
std::size_t RecordSizeOf(int kind);
// The model whose module-name string the name is, ignoring case; KindBase
// for any other name.
TKind ModelOfName(const char* name);

enum class TArg { None, Dword, Pointer };

struct TCall {
  int Kind;                // TKind, or FactoryKind for a request to the factory
  int Instance;            // creation number of the object, from 1 (0 for the factory)
  int Slot;                // table slot; -1 for a factory request
  TArg ArgKind;
  std::uintptr_t Arg;      // the DWORD or the pointer's value
  std::string Device;      // factory: the device name asked for
  bool Listed;             // false: a slot the contract does not list for that interface
};

// How one interface kind answers.
struct TBehaviour {
  BOOL Result[TableSize];
  std::vector<BOOL> Script[TableSize];  // answers used first, in order, before Result
  // Per interface only: what the reads write.
  unsigned char Name[16] = {};         // what ReadModuleName writes
  std::size_t NameBytes = 16;          // how many of those bytes it writes
  BYTE Speed = 0;
  std::vector<unsigned char> Record;   // the bytes ReadDescription writes, all of them
  // Table slots whose calls, once recorded, raise an access violation
  // inside the library.
  std::set<int> Faults;
  TBehaviour();
};

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

// The calls a slot got from the model interfaces.
struct TSlotCalls {
  int Opens = 0, Names = 0, Speeds = 0, Loads = 0, Tests = 0, Descriptions = 0;
};

struct TFakeModule {
  bool Present = false;
  TKind Model = KindBase;    // the model interface that answers for it
  char Name[16] = {};        // what ReadModuleName gives, on every interface
  unsigned char Speed = 1;
  unsigned char Record[MaxRecordSize] = {};  // what ReadDescription writes
  std::size_t RecordSize = 0;                // that many bytes of Record
  TFailure FailName, FailSpeed, FailLoad, FailTest, FailDescription;
  bool Silent = false;  // the model interface's name and speed reads succeed and write nothing
};

struct TFakeObject {
  IModuleInterface Header;  // first: the object's first word is its table
  int Kind;
  int Instance;
  int Releases;
  int Open;  // from its slots: the open slot, -1 for none
};

// The library surface: the two entry points and the interface objects.
// While it lives, it is the library that the entry points serve.
class TFakeLibrary : TNoCopy {
 public:
  virtual ~TFakeLibrary();

  TCorvaneLibrary Library() const;
  TBehaviour& Of(int kind) { return FBehaviour[kind]; }

  // What the library reports as its version.
  DWORD Version;
  std::set<std::string> Refused;  // device names the factory answers with null
  // The factory call (from 1) that throws instead of answering; 0: none.
  int ThrowAtCreate = 0;

  int Created() const { return static_cast<int>(FObjects.size()); }
  int CreatedOf(int kind) const;
  int LiveObjects() const;  // created and not yet released
  int Released() const { return Created() - LiveObjects(); }
  int ReleasesOf(int instance) const;
  int CallsAfterRelease() const { return FCallsAfterRelease; }

  // Used by the fake's entry points and table functions.
  static TFakeLibrary* Active();
  IModuleInterface* Create(const char* device);
  TFakeObject* Enter(IModuleInterface* self, int slot, TArg kind, std::uintptr_t arg);
  // The operations behind the table entries, before the behaviour's answer.
  virtual BOOL Open(TFakeObject* o, DWORD slot) = 0;
  virtual BOOL Close(TFakeObject* o) = 0;
  virtual BOOL Release(TFakeObject* o) = 0;  // counts the release in o
  virtual BOOL Name(TFakeObject* o, char* name) = 0;
  virtual BOOL Speed(TFakeObject* o, BYTE* speed) = 0;
  virtual BOOL Load(TFakeObject* o) = 0;
  virtual BOOL Test(TFakeObject* o) = 0;
  virtual BOOL Describe(TFakeObject* o, void* record) = 0;

 protected:
  TFakeLibrary();
  // What is noted of a request to the factory and of a call as it comes in.
  virtual void NoteCreate(const std::string&) {}
  virtual void NoteCall(const TFakeObject&, int, TArg, std::uintptr_t) {}

  TBehaviour FBehaviour[KindCount];

 private:
  std::vector<std::unique_ptr<TFakeObject>> FObjects;
  int FCallsAfterRelease = 0;
};

// Per interface: each kind answers from its TBehaviour; every call recorded.
class TFakeCorvane : public TFakeLibrary {
 public:
  TFakeCorvane();

  // The name the base interface reports, and the model interfaces too.
  void SetModuleName(const char* name);
  void SetModuleNameBytes(const unsigned char (&bytes)[16]);

  std::vector<TCall> Calls;
  // "create k200", "base.0(3)", "k600.4(ptr)", "k8050.8(null)", "k600.10";
  // a slot the contract does not list for the interface is marked "!".
  std::vector<std::string> Trace() const;
  void ClearCalls() { Calls.clear(); }

  // Opening, closing, the load and the test do nothing but answer.
  BOOL Open(TFakeObject*, DWORD) override { return TRUE; }
  BOOL Close(TFakeObject*) override { return TRUE; }
  BOOL Release(TFakeObject* o) override {
    ++o->Releases;
    return TRUE;
  }
  BOOL Name(TFakeObject* o, char* name) override;
  BOOL Speed(TFakeObject* o, BYTE* speed) override;
  BOOL Load(TFakeObject*) override { return TRUE; }
  BOOL Test(TFakeObject*) override { return TRUE; }
  BOOL Describe(TFakeObject* o, void* record) override;

 protected:
  void NoteCreate(const std::string& device) override;
  void NoteCall(const TFakeObject& o, int slot, TArg kind, std::uintptr_t arg) override;
};

// From the 25 slots: what the module in the open slot gives.
class TFakeSlots : public TFakeLibrary {
 public:
  // A module whose model follows from its name ("K600", "k80-50" ...; any
  // other name answers on the base interface only), with a description
  // record of its model: identity name = name, serial "SN<slot>", revision
  // 'B', a DAC, and the units its model reports.
  TFakeModule& Plug(int slot, const char* name, unsigned char speed = 1);
  void Unplug(int slot);
  TFakeModule& Module(int slot) { return FModules[slot]; }
  TSlotCalls& SlotCalls(int slot) { return FCalls[slot]; }
  TSlotFailures& Failures(int slot) { return FFailures[slot]; }
  int TotalLoads() const;
  int TotalTests() const;
  // Called inside the firmware load and the test, with the slot.
  std::function<void(int)> OnLoad;
  std::function<void(int)> OnTest;

  // Writers into a module's description record at library offsets.
  static void Text(TFakeModule& m, std::size_t offset, std::size_t width, const std::string& text);  // NUL if it fits
  static void Double(TFakeModule& m, std::size_t offset, double value);
  static void Int32(TFakeModule& m, std::size_t offset, int32_t value);

  BOOL Open(TFakeObject* o, DWORD slot) override;
  BOOL Close(TFakeObject* o) override;
  BOOL Release(TFakeObject* o) override;  // a second release fails
  BOOL Name(TFakeObject* o, char* name) override;
  BOOL Speed(TFakeObject* o, BYTE* speed) override;
  BOOL Load(TFakeObject* o) override;
  BOOL Test(TFakeObject* o) override;
  BOOL Describe(TFakeObject* o, void* record) override;

 private:
  // A firmware load or a test of the module in the open slot.
  BOOL Operate(TFakeObject* o, int TSlotCalls::*count, const std::function<void(int)>& during,
               TFailure TFakeModule::*failure);

  TFakeModule FModules[FakeSlotCount];
  TSlotCalls FCalls[FakeSlotCount];
  TSlotFailures FFailures[FakeSlotCount];
};

// The library records as the contract describes them, for building test
// records.
class TLibraryRecord {
 public:
  // A record of the model's size filled with a pattern that differs at
  // every offset of a block, so a block copied from the wrong place shows.
  explicit TLibraryRecord(int kind);
  TLibraryRecord& Fill(unsigned char byte);
  TLibraryRecord& Text(std::size_t offset, const std::string& text);  // with its NUL
  TLibraryRecord& Bytes(std::size_t offset, const std::string& bytes);  // without a NUL
  TLibraryRecord& Double(std::size_t offset, double value);
  TLibraryRecord& Int32(std::size_t offset, std::int32_t value);
  const unsigned char* At(std::size_t offset) const { return FBytes.data() + offset; }
  const std::vector<unsigned char>& Data() const { return FBytes; }

 private:
  std::vector<unsigned char> FBytes;
};

}  // namespace CorvaneFake
