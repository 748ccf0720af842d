// What the stand-in library simulates: the modules in the 25 virtual slots,
// the library version, the device names the factory refuses, and the switches
// that make single operations fail. Read from a scenario file (see README.md)
// or taken from the built-in demonstration.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace Standin {

constexpr int SlotCount = 25;

// The model a module belongs to, i.e. the interface that opens it. None: a
// module only the base interface answers for (an unknown model).
enum class Model { None, K3200, K390, K3600, K8050 };

// Operations a failure switch can be set on. Open and Name act on every
// interface; the Base and Model variants only on the base interface or only
// on the model interfaces.
enum Op {
  OpOpen,
  OpBaseOpen,
  OpModelOpen,
  OpName,
  OpBaseName,
  OpModelName,
  OpSpeed,
  OpLoad,
  OpTest,
  OpDescription,
  OpClose,
  // The library's own calls, not a slot's: switched by the library directive.
  OpVersion,
  OpCreate,
  OpRelease,
  OpCount
};
constexpr int SlotOpCount = OpVersion;

// What a switch does to the calls it picks: fail answers FALSE; the others
// misbehave as foreign libraries do, once the call's work is done: fault
// raises an access violation inside the call, hang never returns, unmask
// returns with the caller's x87 control word at 0x1332 and the MXCSR
// invalid, divide-by-zero and overflow traps unmasked.
enum SwitchKind { KindFail, KindFault, KindHang, KindUnmask, KindCount };

// The setting name of an operation's switch, e.g. "open" for fail.open.
const char* SwitchName(Op op);
// The setting prefix of a kind: "fail", "fault", "hang", "unmask".
const char* KindName(SwitchKind kind);

struct FailureSwitch {
  enum Mode { Never, Always, FirstCalls, AfterCalls };
  Mode mode = Never;
  unsigned count = 0;
  // call: 1 for the first call of the operation on the slot, 2 for the next...
  bool Fails(unsigned call) const;
};

struct FirmwareInfo {
  std::string version;  // text[10]
  std::string date;     // the rest of the 330-byte block
};

struct UnitInfo {
  int32_t active = 1;
  std::string name;  // text[25]
  // The clock in kHz as the bit pattern of an IEEE 754 double. Kept as bits
  // from the scenario to the record: a double that passes through an x87
  // register on i686 has a signalling NaN quieted.
  uint64_t clockBits = 0;
  FirmwareInfo firmware;
  std::string text;  // text[256]
};

// A span of time, in milliseconds since the scenario came into force, in
// which the module is in its slot: [from, until), or [from, ∞) when open.
struct Presence {
  DWORD from = 0;
  DWORD until = 0;
  bool open = true;
};

struct Module {
  bool declared = false;  // false: the slot is empty
  Model model = Model::None;
  std::string name;        // the module-name string ReadModuleName gives
  std::string recordName;  // the identity block's module name
  BYTE speed = 0;
  std::string serial;
  char revision = 0;
  int32_t dac = 0;
  UnitInfo mcu;
  FirmwareInfo boot;
  UnitInfo dsp;
  UnitInfo pld;
  DWORD loadMs = 0;
  // After its load the module re-enumerates, and Windows tells the
  // programs that devices changed.
  bool loadNotice = false;
  bool unterminated = false;  // every text fills its field, no terminator
  bool junk = false;          // bytes the program does not interpret are 0xA5, not 0
  std::vector<Presence> presence;  // empty: never in the slot
  FailureSwitch switches[KindCount][OpCount];

  bool PresentAt(DWORD elapsedMs) const;
};

struct Scenario {
  DWORD version = 0x00030003;
  std::vector<std::string> refused;  // device names, compared without regard to case
  Module slots[SlotCount];
  // The switches of the library's own calls (version, create, release).
  Module library;

  int ModuleCount() const;
  bool Refuses(const char* deviceName) const;
};

constexpr DWORD MaxLoadMs = 60000;

// Parses a scenario held as cp1251 text. On failure returns false and sets
// error to a message naming the line; out is then unspecified.
bool ParseScenario(const std::string& text, Scenario& out, std::string& error);

// The built-in demonstration, in the scenario format; its times count from
// the moment the library was loaded.
const char* DemoScenarioText();

// Model of a factory device name ("k200", ...), exact spelling; false for
// names the factory does not know. "Corvroot" gives the base interface.
bool ModelOfDeviceName(const char* deviceName, Model& model, bool& base);

// The module-name string of a model: "K200", "K390", "K600", "K80-50".
const char* ModuleNameOf(Model model);
// The factory device name of a model: "k200", ..., "none" for Model::None.
const char* DeviceNameOf(Model model);

}  // namespace Standin
