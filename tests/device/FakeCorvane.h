// A fake device library for the device layer's tests: raw function tables of
// real __stdcall functions, laid out as the library's interface objects are,
// that record every call (which interface object, which table slot, which
// argument, in which order) and answer as the test tells them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "device/CorvaneLibrary.h"

namespace DeviceTest {

// The five interfaces, in the wrapper's field order.
enum TKind { KindBase = 0, KindK200 = 1, KindK390 = 2, KindK600 = 3, KindK8050 = 4, KindCount = 5 };
constexpr int FactoryKind = -1;
constexpr int TableSize = 32;  // the highest slot called is 31

const char* KindName(int kind);  // "base", "k200", ... as in traces

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
  unsigned char Name[16] = {};         // what ReadModuleName writes
  std::size_t NameBytes = 16;          // how many of those bytes it writes
  BYTE Speed = 0;
  std::vector<unsigned char> Record;   // the bytes ReadDescription writes, all of them
  TBehaviour();
};

struct TFakeObject;

BOOL Answer(TBehaviour& behaviour, int slot);

class TFakeCorvane {
 public:
  TFakeCorvane();  // becomes the library that the entry points below serve
  ~TFakeCorvane();
  TFakeCorvane(const TFakeCorvane&) = delete;
  TFakeCorvane& operator=(const TFakeCorvane&) = delete;

  TCorvaneLibrary Library() const;
  TBehaviour& Of(int kind) { return FBehaviour[kind]; }

  // The name the base interface reports, and the model interfaces too.
  void SetModuleName(const char* name);
  void SetModuleNameBytes(const unsigned char (&bytes)[16]);

  std::set<std::string> Refused;  // device names the factory answers with null
  std::vector<TCall> Calls;

  // "create k200", "base.0(3)", "k600.4(ptr)", "k8050.8(null)", "k600.10";
  // a slot the contract does not list for the interface is marked "!".
  std::vector<std::string> Trace() const;
  void ClearCalls() { Calls.clear(); }

  int Created() const { return static_cast<int>(FObjects.size()); }
  int CreatedOf(int kind) const;
  int LiveObjects() const;  // created and not yet released
  int ReleasesOf(int instance) const;
  int CallsAfterRelease() const { return FCallsAfterRelease; }

  // Used by the fake's entry points and table functions.
  static TFakeCorvane* Active();
  IModuleInterface* Create(const char* device);
  TFakeObject* Enter(IModuleInterface* self, int slot, TArg kind, std::uintptr_t arg);

 private:
  TBehaviour FBehaviour[KindCount];
  std::vector<std::unique_ptr<TFakeObject>> FObjects;
  int FCallsAfterRelease = 0;
};

struct TFakeObject {
  IModuleInterface Header;  // first: the object's first word is its table
  int Kind;
  int Instance;
  int Releases;
};

// The library records as the contract describes them, for building test
// records.
std::size_t RecordSizeOf(int kind);

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

}  // namespace DeviceTest
