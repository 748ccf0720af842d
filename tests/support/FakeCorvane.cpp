#include "tests/support/FakeCorvane.h"

#include <cstring>
#include <stdexcept>
#include <utility>

#include "device/CorvaneAbi.h"

namespace CorvaneFake {

namespace {

TFakeLibrary* gActive = nullptr;

DWORD __stdcall FakeGetLibraryVersion() { return gActive ? gActive->Version : 0; }

IModuleInterface* __stdcall FakeCreateModuleInterface(const char* device) {
  return gActive ? gActive->Create(device) : nullptr;
}

BOOL Answer(TBehaviour& behaviour, int slot) {
  std::vector<BOOL>& script = behaviour.Script[slot];
  if (script.empty()) return behaviour.Result[slot];
  BOOL next = script.front();
  script.erase(script.begin());
  return next;
}

// What the operation did, and what the interface's behaviour answers.
BOOL Both(TFakeObject* o, int slot, BOOL done) {
  BOOL answer = Answer(TFakeLibrary::Active()->Of(o->Kind), slot);
  return done && answer ? TRUE : FALSE;
}

TFakeObject* EnterAs(IModuleInterface* self, int slot, TArg kind, std::uintptr_t arg) {
  return TFakeLibrary::Active()->Enter(self, slot, kind, arg);
}

std::uintptr_t Address(const void* p) { return reinterpret_cast<std::uintptr_t>(p); }

// One function per signature and slot, so that each table entry knows
// which slot it sits in.
template <int S>
BOOL __stdcall FakeOpen(IModuleInterface* self, DWORD slot) {
  TFakeObject* o = EnterAs(self, S, TArg::Dword, slot);
  return Both(o, S, TFakeLibrary::Active()->Open(o, slot));
}

template <int S>
BOOL __stdcall FakeClose(IModuleInterface* self) {
  TFakeObject* o = EnterAs(self, S, TArg::None, 0);
  return Both(o, S, TFakeLibrary::Active()->Close(o));
}

template <int S>
BOOL __stdcall FakeRelease(IModuleInterface* self) {
  TFakeObject* o = EnterAs(self, S, TArg::None, 0);
  return Both(o, S, TFakeLibrary::Active()->Release(o));
}

template <int S>
BOOL __stdcall FakeReadName(IModuleInterface* self, char* name) {
  TFakeObject* o = EnterAs(self, S, TArg::Pointer, Address(name));
  return Both(o, S, TFakeLibrary::Active()->Name(o, name));
}

template <int S>
BOOL __stdcall FakeReadSpeed(IModuleInterface* self, BYTE* speed) {
  TFakeObject* o = EnterAs(self, S, TArg::Pointer, Address(speed));
  return Both(o, S, TFakeLibrary::Active()->Speed(o, speed));
}

template <int S>
BOOL __stdcall FakeLoad(IModuleInterface* self, const char* file) {
  TFakeObject* o = EnterAs(self, S, TArg::Pointer, Address(file));
  return Both(o, S, TFakeLibrary::Active()->Load(o));
}

template <int S>
BOOL __stdcall FakeTest(IModuleInterface* self) {
  TFakeObject* o = EnterAs(self, S, TArg::None, 0);
  return Both(o, S, TFakeLibrary::Active()->Test(o));
}

template <int S>
BOOL __stdcall FakeTestWith(IModuleInterface* self, DWORD value) {
  TFakeObject* o = EnterAs(self, S, TArg::Dword, value);
  return Both(o, S, TFakeLibrary::Active()->Test(o));
}

template <int S>
BOOL __stdcall FakeReadDescription(IModuleInterface* self, void* record) {
  TFakeObject* o = EnterAs(self, S, TArg::Pointer, Address(record));
  return Both(o, S, TFakeLibrary::Active()->Describe(o, record));
}

// A slot the contract does not list: recorded, and it fails.
template <int S>
BOOL __stdcall FakeUnlisted(IModuleInterface* self) {
  EnterAs(self, S, TArg::None, 0);
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
      t[0] = Put(&FakeOpen<0>);
      t[1] = Put(&FakeClose<1>);
      t[2] = Put(&FakeRelease<2>);
      t[4] = Put(&FakeReadName<4>);
      if (k != KindBase) t[5] = Put(&FakeReadSpeed<5>);
    }
    Entries[KindK8050][8] = Put(&FakeLoad<8>);
    Entries[KindK8050][9] = Put(&FakeTestWith<9>);
    Entries[KindK8050][23] = Put(&FakeReadDescription<23>);
    Entries[KindK600][9] = Put(&FakeLoad<9>);
    Entries[KindK600][10] = Put(&FakeTest<10>);
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

bool SameName(const char* a, const char* b) {
  auto upper = [](unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c; };
  for (; *a && *b; ++a, ++b)
    if (upper(static_cast<unsigned char>(*a)) != upper(static_cast<unsigned char>(*b))) return false;
  return *a == *b;
}

}  // namespace

const char* KindName(int kind) {
  static const char* const names[KindCount] = {"base", "k200", "k390", "k600", "k8050"};
  return kind >= 0 && kind < KindCount ? names[kind] : "factory";
}

std::size_t RecordSizeOf(int kind) {
  switch (kind) {
    case KindK200: case KindK390: return 6188;
    case KindK600: return 6812;
    case KindK8050: return 7140;
    default: return 0;
  }
}

TKind ModelOfName(const char* name) {
  if (SameName(name, "K200")) return KindK200;
  if (SameName(name, "K390")) return KindK390;
  if (SameName(name, "K600")) return KindK600;
  if (SameName(name, "K80-50")) return KindK8050;
  return KindBase;
}

TBehaviour::TBehaviour() {
  for (BOOL& r : Result) r = TRUE;
}

// The version the contract names, not the program's own constant.
TFakeLibrary::TFakeLibrary() : Version(0x00030003) {
  Tables();
  gActive = this;
}

TFakeLibrary::~TFakeLibrary() {
  if (gActive == this) gActive = nullptr;
}

TFakeLibrary* TFakeLibrary::Active() { return gActive; }

TCorvaneLibrary TFakeLibrary::Library() const { return {&FakeGetLibraryVersion, &FakeCreateModuleInterface}; }

IModuleInterface* TFakeLibrary::Create(const char* device) {
  if (ThrowAtCreate > 0 && --ThrowAtCreate == 0) throw std::runtime_error("the factory fell over");
  std::string name = device ? device : "";
  NoteCreate(name);
  if (Refused.count(name)) return nullptr;
  for (int k = 0; k < KindCount; ++k) {
    if (name != kDevices[k]) continue;
    FObjects.emplace_back(new TFakeObject{{Tables().Entries[k]}, k, Created() + 1, 0, -1});
    return &FObjects.back()->Header;
  }
  return nullptr;
}

namespace {
// Where a faulting call writes; a variable, so the compiler cannot see it.
volatile std::uintptr_t gUnmappedAddress = 0x10;
}  // namespace

TFakeObject* TFakeLibrary::Enter(IModuleInterface* self, int slot, TArg kind, std::uintptr_t arg) {
  TFakeObject* o = reinterpret_cast<TFakeObject*>(self);
  if (o->Releases > 0) ++FCallsAfterRelease;
  NoteCall(*o, slot, kind, arg);
  if (FBehaviour[o->Kind].Faults.count(slot)) *reinterpret_cast<volatile int*>(gUnmappedAddress) = 0;
  return o;
}

int TFakeLibrary::CreatedOf(int kind) const {
  int n = 0;
  for (const auto& o : FObjects) n += o->Kind == kind;
  return n;
}

int TFakeLibrary::LiveObjects() const {
  int n = 0;
  for (const auto& o : FObjects) n += o->Releases == 0;
  return n;
}

int TFakeLibrary::ReleasesOf(int instance) const {
  for (const auto& o : FObjects)
    if (o->Instance == instance) return o->Releases;
  return -1;
}

// ---- Per interface ----

TFakeCorvane::TFakeCorvane() {
  for (int k = KindK200; k < KindCount; ++k) FBehaviour[k].Record.assign(RecordSizeOf(k), 0);
}

void TFakeCorvane::SetModuleName(const char* name) {
  unsigned char bytes[16] = {};
  std::strncpy(reinterpret_cast<char*>(bytes), name, 15);
  SetModuleNameBytes(bytes);
}

void TFakeCorvane::SetModuleNameBytes(const unsigned char (&bytes)[16]) {
  for (TBehaviour& b : FBehaviour) std::memcpy(b.Name, bytes, 16);
}

void TFakeCorvane::NoteCreate(const std::string& device) {
  Calls.push_back(TCall{FactoryKind, 0, -1, TArg::None, 0, device, true});
}

void TFakeCorvane::NoteCall(const TFakeObject& o, int slot, TArg kind, std::uintptr_t arg) {
  Calls.push_back(TCall{o.Kind, o.Instance, slot, kind, arg, std::string(), Listed(o.Kind, slot)});
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

BOOL TFakeCorvane::Name(TFakeObject* o, char* name) {
  const TBehaviour& b = FBehaviour[o->Kind];
  if (name) std::memcpy(name, b.Name, b.NameBytes);
  return TRUE;
}

BOOL TFakeCorvane::Speed(TFakeObject* o, BYTE* speed) {
  if (speed) *speed = FBehaviour[o->Kind].Speed;
  return TRUE;
}

BOOL TFakeCorvane::Describe(TFakeObject* o, void* record) {
  const std::vector<unsigned char>& bytes = FBehaviour[o->Kind].Record;
  if (record && !bytes.empty()) std::memcpy(record, bytes.data(), bytes.size());
  return TRUE;
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

}  // namespace CorvaneFake
