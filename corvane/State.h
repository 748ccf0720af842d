// The library's process-wide state: the scenario in force (and the watch on
// the file it came from), the failure-switch call counts, the call counters
// written to the stats file, and the interface objects handed out.
//
// Every function here expects the caller to hold a StateLock.
#pragma once

#include <windows.h>

#include "corvane/Scenario.h"

namespace Standin {

// The environment variables the stand-in reads, at every check (not only at
// load), so that one process can switch scenarios.
constexpr const wchar_t* ScenarioVariable = L"CORVANE_SCENARIO";
constexpr const wchar_t* StatsVariable = L"CORVANE_STATS";
constexpr const wchar_t* LogVariable = L"CORVANE_LOG";

// How often the scenario file is looked at, at most.
constexpr DWORD CheckIntervalMs = 50;
// Scenario files larger than this are not read.
constexpr unsigned long long MaxScenarioBytes = 1024 * 1024;

struct SlotCounters {
  unsigned long open = 0, opened = 0, name = 0, speed = 0, load = 0, test = 0, description = 0, close = 0;
};

struct Counters {
  unsigned long versionCalls = 0, createCalls = 0, created = 0, refused = 0, unknownNames = 0, releaseCalls = 0;
  unsigned long scenarioLoads = 0, scenarioErrors = 0;
  SlotCounters total;
  SlotCounters slot[SlotCount];
};

// Held while the state is used; not while a firmware load sleeps.
class StateLock {
 public:
  StateLock();
  ~StateLock();
  StateLock(const StateLock&) = delete;
  StateLock& operator=(const StateLock&) = delete;
};

void AttachState();
void DetachState(bool processExit);

// At the start of every call: follows a change of the stats file's name and
// writes pending counts that are due.
void BeginCall();
// Rereads the scenario when its name or its file changed (at most every
// CheckIntervalMs unless the name changed).
void CheckScenario();

const Scenario& CurrentScenario();
// Milliseconds since the scenario in force took effect.
DWORD ScenarioElapsed();
// Counts a call of the operation on the slot and tells whether its switch
// makes this call fail. The call's other switches (fault, hang, unmask) act
// when the outermost StateLock is released.
bool SwitchFails(int slot, Op op);
// Counts a call of the library's own (version, create, release) for its
// switches.
void CountLibraryCall(Op op);

Counters& Stats();
// The counters changed; urgent ones are written at once, the others at most
// every CheckIntervalMs.
void StatsChanged(bool urgent);

void RegisterInterface(const void* object);
void UnregisterInterface(const void* object);
bool IsLiveInterface(const void* object);

}  // namespace Standin
