#include "tests/device/FakeCorvane.h"

#include <cstring>
#include <utility>

namespace DeviceTest {

namespace {

TFakeCorvane* gActive = nullptr;

DWORD __stdcall FakeGetLibraryVersion() { return 0x00030003; }

IModuleInterface* __stdcall FakeCreateModuleInterface(const char* device) {
  return gActive ? gActive->Create(device) : nullptr;
}

TBehaviour& BehaviourOf(TFakeObject* object) { return TFakeCorvane::Active()->Of(object->Kind); }

// One function per signature and slot, so that each table entry knows
// which slot it sits in.
template <int S>
BOOL __stdcall FakeNoArg(IModuleInterface* self) {
  TFakeObject* o = TFakeCorvane::Active()->Enter(self, S, TArg::None, 0);
  if (S == 2) ++o->Releases;
  return Answer(BehaviourOf(o), S);
}

template <int S>
BOOL __stdcall FakeDword(IModuleInterface* self, DWORD value) {
  TFakeObject* o = TFakeCorvane::Active()->Enter(self, S, TArg::Dword, value);
  return Answer(BehaviourOf(o), S);
}

template <int S>
BOOL __stdcall FakeReadName(IModuleInterface* self, char* name) {
  TFakeObject* o = TFakeCorvane::Active()->Enter(self, S, TArg::Pointer, reinterpret_cast<std::uintptr_t>(name));
  if (name) std::memcpy(name, BehaviourOf(o).Name, BehaviourOf(o).NameBytes);
  return Answer(BehaviourOf(o), S);
}

template <int S>
BOOL __stdcall FakeReadSpeed(IModuleInterface* self, BYTE* speed) {
  TFakeObject* o = TFakeCorvane::Active()->Enter(self, S, TArg::Pointer, reinterpret_cast<std::uintptr_t>(speed));
  if (speed) *speed = BehaviourOf(o).Speed;
  return Answer(BehaviourOf(o), S);
}

template <int S>
BOOL __stdcall FakeLoad(IModuleInterface* self, const char* file) {
  TFakeObject* o = TFakeCorvane::Active()->Enter(self, S, TArg::Pointer, reinterpret_cast<std::uintptr_t>(file));
  return Answer(BehaviourOf(o), S);
}

template <int S>
BOOL __stdcall FakeReadDescription(IModuleInterface* self, void* record) {
  TFakeObject* o = TFakeCorvane::Active()->Enter(self, S, TArg::Pointer, reinterpret_cast<std::uintptr_t>(record));
  const std::vector<unsigned char>& bytes = BehaviourOf(o).Record;
  if (record && !bytes.empty()) std::memcpy(record, bytes.data(), bytes.size());
  return Answer(BehaviourOf(o), S);
}

// A slot the contract does not list: recorded, and it fails.
template <int S>
BOOL __stdcall FakeUnlisted(IModuleInterface* self) {
  TFakeCorvane::Active()->Enter(self, S, TArg::None, 0);
  return FALSE;
}

template <int... S>
void FillUnlisted(void** table, std::integer_sequence<int, S...>) {
  ((table[S] = reinterpret_cast<void*>(&FakeUnlisted<S>)), ...);
}

template <typename Fn>
void* Put(Fn fn) {
  return reinterpret_cast<void*>(fn);
}

struct TTables {
  void* Entries[KindCount][TableSize];
  TTables() {
    for (int k = 0; k < KindCount; ++k) {
      void** t = Entries[k];
      FillUnlisted(t, std::make_integer_sequence<int, TableSize>());
      t[0] = Put(&FakeDword<0>);
      t[1] = Put(&FakeNoArg<1>);
      t[2] = Put(&FakeNoArg<2>);
      t[4] = Put(&FakeReadName<4>);
      if (k != KindBase) t[5] = Put(&FakeReadSpeed<5>);
    }
    Entries[KindK8050][8] = Put(&FakeLoad<8>);
    Entries[KindK8050][9] = Put(&FakeDword<9>);
    Entries[KindK8050][23] = Put(&FakeReadDescription<23>);
    Entries[KindK600][9] = Put(&FakeLoad<9>);
    Entries[KindK600][10] = Put(&FakeNoArg<10>);
    Entries[KindK600][31] = Put(&FakeReadDescription<31>);
    Entries[KindK390][26] = Put(&FakeReadDescription<26>);
    Entries[KindK200][28] = Put(&FakeReadDescription<28>);
  }
};

TTables& Tables() {
  static TTables tables;
  return tables;
}

bool Listed(int kind, int slot) {
  switch (slot) {
    case 0: case 1: case 2: case 4: return true;
    case 5: return kind != KindBase;
    case 8: case 23: return kind == KindK8050;
    case 9: return kind == KindK8050 || kind == KindK600;
    case 10: case 31: return kind == KindK600;
    case 26: return kind == KindK390;
    case 28: return kind == KindK200;
    default: return false;
  }
}

const char* const kDevices[KindCount] = {"Corvroot", "k200", "k390", "k600", "k8050"};

}  // namespace

BOOL Answer(TBehaviour& behaviour, int slot) {
  std::vector<BOOL>& script = behaviour.Script[slot];
  if (script.empty()) return behaviour.Result[slot];
  BOOL next = script.front();
  script.erase(script.begin());
  return next;
}

const char* KindName(int kind) {
  static const char* const names[KindCount] = {"base", "k200", "k390", "k600", "k8050"};
  return kind >= 0 && kind < KindCount ? names[kind] : "factory";
}

TBehaviour::TBehaviour() {
  for (BOOL& r : Result) r = TRUE;
}

TFakeCorvane::TFakeCorvane() {
  Tables();
  gActive = this;
  for (int k = KindK200; k < KindCount; ++k) FBehaviour[k].Record.assign(RecordSizeOf(k), 0);
}

TFakeCorvane::~TFakeCorvane() {
  if (gActive == this) gActive = nullptr;
}

TFakeCorvane* TFakeCorvane::Active() { return gActive; }

TCorvaneLibrary TFakeCorvane::Library() const { return {&FakeGetLibraryVersion, &FakeCreateModuleInterface}; }

void TFakeCorvane::SetModuleName(const char* name) {
  unsigned char bytes[16] = {};
  std::strncpy(reinterpret_cast<char*>(bytes), name, 15);
  SetModuleNameBytes(bytes);
}

void TFakeCorvane::SetModuleNameBytes(const unsigned char (&bytes)[16]) {
  for (TBehaviour& b : FBehaviour) std::memcpy(b.Name, bytes, 16);
}

IModuleInterface* TFakeCorvane::Create(const char* device) {
  std::string name = device ? device : "";
  TCall call{FactoryKind, 0, -1, TArg::None, 0, name, true};
  Calls.push_back(call);
  if (Refused.count(name)) return nullptr;
  for (int k = 0; k < KindCount; ++k) {
    if (name != kDevices[k]) continue;
    std::unique_ptr<TFakeObject> object(new TFakeObject{{Tables().Entries[k]}, k, Created() + 1, 0});
    FObjects.push_back(std::move(object));
    return &FObjects.back()->Header;
  }
  return nullptr;
}

TFakeObject* TFakeCorvane::Enter(IModuleInterface* self, int slot, TArg kind, std::uintptr_t arg) {
  TFakeObject* o = reinterpret_cast<TFakeObject*>(self);
  if (o->Releases > 0) ++FCallsAfterRelease;
  Calls.push_back(TCall{o->Kind, o->Instance, slot, kind, arg, std::string(), Listed(o->Kind, slot)});
  return o;
}

std::vector<std::string> TFakeCorvane::Trace() const {
  std::vector<std::string> out;
  for (const TCall& c : Calls) {
    if (c.Kind == FactoryKind) {
      out.push_back("create " + c.Device);
      continue;
    }
    std::string s = std::string(c.Listed ? "" : "!") + KindName(c.Kind) + "." + std::to_string(c.Slot);
    if (c.ArgKind == TArg::Dword) s += "(" + std::to_string(c.Arg) + ")";
    if (c.ArgKind == TArg::Pointer) s += c.Arg ? "(ptr)" : "(null)";
    out.push_back(s);
  }
  return out;
}

int TFakeCorvane::CreatedOf(int kind) const {
  int n = 0;
  for (const auto& o : FObjects) n += o->Kind == kind;
  return n;
}

int TFakeCorvane::LiveObjects() const {
  int n = 0;
  for (const auto& o : FObjects) n += o->Releases == 0;
  return n;
}

int TFakeCorvane::ReleasesOf(int instance) const {
  for (const auto& o : FObjects)
    if (o->Instance == instance) return o->Releases;
  return -1;
}

std::size_t RecordSizeOf(int kind) {
  switch (kind) {
    case KindK200: case KindK390: return 6188;
    case KindK600: return 6812;
    case KindK8050: return 7140;
    default: return 0;
  }
}

TLibraryRecord::TLibraryRecord(int kind) : FBytes(RecordSizeOf(kind)) {
  // Odd bytes only: the pattern holds no NUL, so its texts have no end.
  for (std::size_t i = 0; i < FBytes.size(); ++i)
    FBytes[i] = static_cast<unsigned char>(((static_cast<std::uint32_t>(i) + 1) * 2654435761u >> 24) | 1);
}

TLibraryRecord& TLibraryRecord::Fill(unsigned char byte) {
  std::memset(FBytes.data(), byte, FBytes.size());
  return *this;
}

TLibraryRecord& TLibraryRecord::Text(std::size_t offset, const std::string& text) {
  std::memcpy(FBytes.data() + offset, text.c_str(), text.size() + 1);
  return *this;
}

TLibraryRecord& TLibraryRecord::Bytes(std::size_t offset, const std::string& bytes) {
  std::memcpy(FBytes.data() + offset, bytes.data(), bytes.size());
  return *this;
}

TLibraryRecord& TLibraryRecord::Double(std::size_t offset, double value) {
  std::memcpy(FBytes.data() + offset, &value, sizeof value);
  return *this;
}

TLibraryRecord& TLibraryRecord::Int32(std::size_t offset, std::int32_t value) {
  std::memcpy(FBytes.data() + offset, &value, sizeof value);
  return *this;
}

}  // namespace DeviceTest
