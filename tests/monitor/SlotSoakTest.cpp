// A long run of scans against the slot fake: modules of every model come and
// go in random slots, every operation fails now and then, and records arrive
// damaged (texts without terminators, random bytes, clocks that are no
// numbers). After every scan the slot tables must still hold what the scan
// promises, and no scan may allocate. The scans run on a worker thread, as in
// the program, while this thread serves their hand-overs as the window
// thread does; only the worker's allocations count. The random events come
// from a fixed seed, so a failure repeats. QUENDAL_SOAK_SCANS sets the
// number of scans (100 000 when unset).
#include <gtest/gtest.h>
#include <windows.h>

#include <cfloat>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <random>
#include <string>

#include "device/CorvaneAbi.h"
#include "framework/NoCopy.h"
#include "framework/Thread.h"
#include "monitor/ModulesMonitorThread.h"
#include "tests/monitor/MonitorFixture.h"
#include "tests/monitor/MonitorTexts.h"
#include "tests/support/CountingNew.h"
#include "tests/support/FakeCorvane.h"

namespace MonitorTest {

using namespace CorvaneFake;
namespace {

namespace R = Corvane::Record;

// ---- What a scan must leave in the tables --------------------------------------

std::string Line(const char* format, int slot) {
  char line[ListLineSize];
  std::snprintf(line, sizeof line, format, static_cast<unsigned>(slot));
  return line;
}

bool ZeroFrom(const char* field, std::size_t from, std::size_t size) {
  for (std::size_t i = from; i < size; ++i)
    if (field[i]) return false;
  return true;
}

bool Terminated(const char* field, std::size_t size) { return std::memchr(field, 0, size) != nullptr; }

// The first slot whose record the scan did not finish (a failed scan stops in
// an occupied slot, before its line is written); SlotCount if it finished.
int StoppedAt(const SlotTable& t) {
  for (int i = 0; i < SlotCount; ++i)
    if (t.Slots[i].ListLine[0] == 0) return i;
  return SlotCount;
}

// Checks one table; an empty result is a good table.
std::string CheckTable(const SlotTable& t, bool committed) {
  static const SlotRecord defaults = DefaultSlotRecord();
  const int stop = StoppedAt(t);
  if (committed && stop != SlotCount) return "a committed table with a record the scan did not finish";
  int occupied = 0;
  for (int i = 0; i < SlotCount; ++i) {
    const SlotRecord& r = t.Slots[i];
    const std::string where = "slot " + std::to_string(i) + ": ";
    if (r.SlotNumber == -1) {
      SlotRecord bare = r;
      std::memset(bare.ListLine, 0, sizeof bare.ListLine);
      if (std::memcmp(&bare, &defaults, sizeof bare) != 0) return where + "empty but not the default record";
      if (i < stop) {
        std::string empty = Line("Слот %2u: -----", i);
        if (!Terminated(r.ListLine, ListLineSize) || r.ListLine != empty)
          return where + "empty slot's line is \"" + std::string(r.ListLine, strnlen(r.ListLine, ListLineSize)) + "\"";
        if (!ZeroFrom(r.ListLine, empty.size(), ListLineSize)) return where + "bytes after the empty line";
      } else if (r.ListLine[0] != 0) {
        return where + "a line behind the slot where the scan stopped";
      }
      continue;
    }
    if (r.SlotNumber != i) return where + "holds slot number " + std::to_string(r.SlotNumber);
    ++occupied;
    if (i > stop) return where + "occupied behind the slot where the scan stopped";
    if (i == stop) continue;  // the slot whose operation failed: left half-made
    std::string prefix = Line("Слот %2u: Модуль ", i);
    if (!Terminated(r.ListLine, ListLineSize)) return where + "line without terminator";
    if (std::strncmp(r.ListLine, prefix.c_str(), prefix.size()) != 0) return where + "line without its prefix";
    if (!ZeroFrom(r.ListLine, std::strlen(r.ListLine) + 1, ListLineSize)) return where + "bytes after the line";
    if (r.InitPending != 0 || r.ModuleReady != 1) return where + "listed but not set up";
    if (!Terminated(r.ModuleName, sizeof r.ModuleName)) return where + "module name without terminator";
    std::size_t serial = strnlen(r.SerialNumber, sizeof r.SerialNumber);
    if (!ZeroFrom(r.SerialNumber, serial, sizeof r.SerialNumber)) return where + "bytes after the serial number";
    const ModuleDescription& d = r.Description;
    if (d.Filled) {
      if (!Terminated(d.McuName, sizeof d.McuName)) return where + "microcontroller name without terminator";
      if (!Terminated(d.McuText, sizeof d.McuText)) return where + "microcontroller text without terminator";
      if (r.DescriptionValid != 1) return where + "a filled description not marked valid";
      if (static_cast<uint32_t>(d.Dac.DacPresent) != r.DacPresent) return where + "DAC flag differs from the record's";
      if (r.Revision != d.Identity.Revision) return where + "revision differs from the record's";
      if (std::memcmp(r.SerialNumber, d.Identity.SerialNumber, serial) != 0) return where + "serial differs";
    }
  }
  if (t.ModuleCount != occupied)
    return "ModuleCount " + std::to_string(t.ModuleCount) + " for " + std::to_string(occupied) + " occupied slots";
  return std::string();
}

// ---- Random events ----------------------------------------------------------------

class TEvents {
 public:
  explicit TEvents(uint32_t seed) : FRandom(seed) {}
  uint32_t Below(uint32_t n) { return static_cast<uint32_t>(FRandom() % n); }
  bool OneIn(uint32_t n) { return Below(n) == 0; }
  unsigned char Byte() { return static_cast<unsigned char>(FRandom() & 0xFF); }
  unsigned char TextByte() { return static_cast<unsigned char>(1 + Below(255)); }  // never NUL
  uint64_t Bits() { return (static_cast<uint64_t>(FRandom()) << 32) | FRandom(); }

 private:
  std::mt19937 FRandom;
};

double FromBits(uint64_t bits) {
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

double OddClock(TEvents& e) {
  switch (e.Below(14)) {
    case 0: return std::numeric_limits<double>::quiet_NaN();
    case 1: return -std::numeric_limits<double>::quiet_NaN();
    case 2: return FromBits(0x7FF0000000000001ull);  // signalling NaN
    case 3: return std::numeric_limits<double>::infinity();
    case 4: return -std::numeric_limits<double>::infinity();
    case 5: return std::numeric_limits<double>::denorm_min();
    case 6: return -DBL_MIN / 3;
    case 7: return -0.0;
    case 8: return DBL_MAX;
    case 9: return 1e300;
    case 10: return 0.00001;
    case 11: return 999999999999999.9;
    case 12: return -73728.125;
    default: return FromBits(e.Bits());
  }
}

struct TBlocks {
  size_t McuText, BootLoader, Dsp, Pld;
};

TBlocks BlocksOf(TKind model) {
  const size_t none = 0;
  switch (model) {
    case KindK600: return {R::K3600McuText, none, R::K3600Dsp, none};
    case KindK8050: return {R::K8050McuText, R::K8050BootLoader, none, R::K8050Pld};
    default: return {R::K3200McuText, none, none, none};
  }
}

void Fill(TFakeModule& m, TEvents& e, size_t offset, size_t width) {
  for (size_t i = 0; i < width && offset + i < sizeof m.Record; ++i) m.Record[offset + i] = e.TextByte();
}

void FirmwareUnterminated(TFakeModule& m, TEvents& e, size_t block) {
  Fill(m, e, block + R::FirmwareVersion, R::FirmwareVersionSize);
  Fill(m, e, block + R::FirmwareDate, R::FirmwareBlockSize - R::FirmwareDate);
}

// Every text of the record filled to its field's end without a terminator.
void Unterminated(TFakeModule& m, TEvents& e) {
  TBlocks b = BlocksOf(m.Model);
  Fill(m, e, R::Identity + R::IdentityModuleName, R::IdentityModuleNameSize);
  Fill(m, e, R::Identity + R::IdentitySerial, R::IdentitySerialSize);
  Fill(m, e, R::McuName, R::McuNameSize);
  FirmwareUnterminated(m, e, R::McuFirmware);
  Fill(m, e, b.McuText, R::McuTextSize);
  if (b.BootLoader) FirmwareUnterminated(m, e, b.BootLoader);
  for (size_t unit : {b.Dsp, b.Pld}) {
    if (!unit) continue;
    Fill(m, e, unit + R::UnitName, R::UnitNameSize);
    FirmwareUnterminated(m, e, unit + R::UnitFirmware);
    Fill(m, e, unit + R::UnitText, R::McuTextSize);
  }
}

void OddClocks(TFakeModule& m, TEvents& e) {
  TBlocks b = BlocksOf(m.Model);
  TFakeSlots::Double(m, R::McuClock, OddClock(e));
  if (b.Dsp) TFakeSlots::Double(m, b.Dsp + R::UnitClock, OddClock(e));
  if (b.Pld) TFakeSlots::Double(m, b.Pld + R::UnitClock, OddClock(e));
}

// ---- The worker thread ---------------------------------------------------------
// Runs one scan at a time on its own thread and counts that thread's
// allocations; the caller, the window thread, serves the scan's hand-overs
// and the messages the scan sends to the window's controls meanwhile.

class TScanWorker : TNoCopy {
 public:
  explicit TScanWorker(TModulesMonitorThread& thread) : FThread(thread) {
    FGo = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    FDone = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    FHandle = CreateThread(nullptr, 0, &TScanWorker::Entry, this, 0, nullptr);
  }
  ~TScanWorker() {
    if (FHandle) {
      InterlockedExchange(&FQuit, 1);
      SetEvent(FGo);
      WaitForSingleObject(FHandle, 10000);
      CloseHandle(FHandle);
    }
    CloseHandle(FGo);
    CloseHandle(FDone);
  }

  bool Ready() const { return FHandle && FGo && FDone; }

  // One scan; returns the allocations it made on the worker, or -1 when the
  // worker did not finish within a generous time.
  long Scan() {
    SetEvent(FGo);
    DWORD start = GetTickCount();
    for (;;) {
      DWORD r = MsgWaitForMultipleObjects(1, &FDone, FALSE, 1000, QS_ALLINPUT);
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      CheckSynchronize();
      if (r == WAIT_OBJECT_0) return FAllocations;
      if (GetTickCount() - start > 30000) return -1;
    }
  }

 private:
  static DWORD WINAPI Entry(void* p) {
    auto* self = static_cast<TScanWorker*>(p);
    for (;;) {
      WaitForSingleObject(self->FGo, INFINITE);
      if (InterlockedCompareExchange(&self->FQuit, 0, 0)) return 0;
      {
        TAllocationCount counting;
        self->FThread.ScanSlots();
        self->FAllocations = counting.Counted();
      }
      SetEvent(self->FDone);
    }
  }

  TModulesMonitorThread& FThread;
  HANDLE FGo = nullptr, FDone = nullptr, FHandle = nullptr;
  volatile LONG FQuit = 0;
  long FAllocations = 0;
};

long SoakScans() {
  char value[32] = {};
  DWORD n = GetEnvironmentVariableA("QUENDAL_SOAK_SCANS", value, sizeof value);
  long scans = n > 0 && n < sizeof value ? std::strtol(value, nullptr, 10) : 0;
  return scans > 0 ? scans : 100000;
}

struct TSoakFigures {
  long Scans = 0, Committed = 0, Failed = 0, Arrivals = 0, BadRecords = 0, Renderings = 0;
  long SetUp[5] = {};  // by model, KindBase for unknown names
  long OddClocksSetUp = 0;
};

class MonitorSoak : public MonitorFixture {
 protected:
  void Plug(TEvents& e, int slot) {
    static const char* const names[] = {"K200", "K390", "K600", "K80-50", "k600", "k80-50", "K200", "K390",
                                        "K600", "K80-50", "XYZ9", "K600 "};
    const char* name = names[e.Below(sizeof names / sizeof names[0])];
    unsigned char speed = e.OneIn(3) ? e.Byte() : static_cast<unsigned char>(e.Below(2));
    TFakeModule& m = Fake.Plug(slot, name, speed);
    ++Figures.Arrivals;
    switch (e.Below(12)) {
      case 0: Unterminated(m, e); break;
      case 1:
        for (size_t i = 0; i < m.RecordSize; ++i) m.Record[i] = e.Byte();
        break;
      case 2:
      case 3: OddClocks(m, e); break;
      case 4: m.RecordSize = 0; break;  // succeeds, writes nothing
      case 5: m.RecordSize = e.Below(static_cast<uint32_t>(m.RecordSize) + 1); break;
      case 6:  // a base name of random bytes without terminator
        for (char& c : m.Name) c = static_cast<char>(e.TextByte());
        break;
      case 7: m.Model = static_cast<TKind>(1 + e.Below(4)); break;  // perhaps not the model its name says
      case 8:
        Unterminated(m, e);
        OddClocks(m, e);
        break;
      default: return;  // a good record
    }
    ++Figures.BadRecords;
  }

  void Fail(TEvents& e, int slot) {
    TFakeModule& m = Fake.Module(slot);
    int times = e.OneIn(8) ? static_cast<int>(4 + e.Below(40)) : static_cast<int>(1 + e.Below(3));
    switch (e.Below(8)) {
      case 0: Fake.Failures(slot).Open.Remaining = times; break;
      case 1: Fake.Failures(slot).Close.Remaining = times; break;
      case 2: Fake.Failures(slot).BaseName.Remaining = times; break;
      case 3: m.FailName.Remaining = times; break;
      case 4: m.FailSpeed.Remaining = times; break;
      case 5: m.FailLoad.Remaining = times; break;
      case 6: m.FailTest.Remaining = times; break;
      default: m.FailDescription.Remaining = e.OneIn(4) ? -1 : times; break;
    }
  }

  void RandomEvent(TEvents& e) {
    int slot = static_cast<int>(e.Below(SlotCount));
    switch (e.Below(20)) {
      case 0: case 1: case 2: case 3: case 4: Plug(e, slot); break;
      case 5: case 6: case 7: case 8: Fake.Unplug(slot); break;
      case 9: case 10: case 11: case 12: case 13: Fail(e, slot); break;
      case 14: case 15: List().SetItemIndex(static_cast<int>(e.Below(SlotCount + 1)) - 1); break;
      case 16: Fake.Module(slot).Speed = e.Byte(); break;
      case 17:  // rewritten after it was read: the set-up record stays
        if (Fake.Module(slot).Present) Unterminated(Fake.Module(slot), e);
        break;
      default: break;
    }
  }

  // The clock boxes show a placeholder or a rate; the version boxes a
  // placeholder or "<version> от <date>".
  std::string CheckDetails() {
    static const char* const clocks[] = {"McuFreqLMDStaticText", "DspFreqLMDStaticText", "PldFreqLMDStaticText"};
    static const char* const versions[] = {"McuFirmwareVersionLMDStaticText", "McuBootLoaderVersionLMDStaticText",
                                           "DspFirmwareVersionLMDStaticText", "PldFirmwareVersionLMDStaticText"};
    const std::string unit = " кГц";
    for (const char* name : clocks) {
      std::string text = Text(name);
      bool placeholder = text == Dashes || text == Questions;
      bool rate = text.size() > unit.size() && text.compare(text.size() - unit.size(), unit.size(), unit) == 0;
      if (!placeholder && !rate) return std::string(name) + " shows \"" + text + "\"";
    }
    for (const char* name : versions) {
      std::string text = Text(name);
      if (text != Dashes && text != Questions && text.find(" от ") == std::string::npos)
        return std::string(name) + " shows \"" + text + "\"";
    }
    return std::string();
  }

  TSoakFigures Figures;
};

// The previous table before the scan; static, for its size.
SlotTable gBefore;

TEST_F(MonitorSoak, ScansKeepTheSlotTablesWholeAndAllocateNothing) {
  const long scans = SoakScans();
  TScanWorker worker(*Thread);
  ASSERT_TRUE(worker.Ready());
  TEvents events(20261208);
  DWORD start = GetTickCount();
  std::string fault;
  long allocations = 0, allocatingScans = 0;

  for (long n = 0; n < scans && fault.empty(); ++n) {
    if (!events.OneIn(3)) {
      int count = 1 + static_cast<int>(events.Below(2));
      for (int k = 0; k < count; ++k) RandomEvent(events);
    }
    std::memcpy(&gBefore, &Thread->Previous, sizeof gBefore);
    long allocated = worker.Scan();
    if (allocated < 0) {
      fault = "scan " + std::to_string(n) + ": the worker did not finish";
      break;
    }
    ++Figures.Scans;
    if (allocated) {
      allocations += allocated;
      ++allocatingScans;
    }

    const SlotTable& now = Thread->Current;
    const int stop = StoppedAt(now);
    const bool failed = stop != SlotCount;
    fault = CheckTable(now, false);
    if (fault.empty() && failed) {
      ++Figures.Failed;
      if (std::memcmp(&Thread->Previous, &gBefore, sizeof gBefore) != 0) fault = "a failed scan changed the committed table";
    }
    if (fault.empty() && !failed) {
      if (std::memcmp(Thread->Previous.Slots, now.Slots, sizeof now.Slots) != 0 ||
          Thread->Previous.ModuleCount != now.ModuleCount)
        fault = "a finished scan left the committed table behind";
      else
        fault = CheckTable(Thread->Previous, true);
      if (std::memcmp(gBefore.Slots, now.Slots, sizeof now.Slots) != 0) ++Figures.Committed;
    }
    // A module set up before and still answering is carried over whole.
    for (int i = 0; i < stop && fault.empty(); ++i) {
      const SlotRecord& was = gBefore.Slots[i];
      const SlotRecord& is = now.Slots[i];
      if (was.SlotNumber == i && was.InitPending == 0 && is.SlotNumber == i) {
        if (std::memcmp(&was, &is, sizeof is) != 0) fault = "slot " + std::to_string(i) + ": carried over with changes";
      } else if (is.SlotNumber == i && !failed) {
        const ModuleDescription& d = is.Description;
        TKind model = d.Filled ? ModelOfName(is.ModuleName) : KindBase;
        ++Figures.SetUp[model];
        if (d.Filled && (!std::isfinite(d.McuClockKhz) || std::fpclassify(d.McuClockKhz) == FP_SUBNORMAL))
          ++Figures.OddClocksSetUp;
      }
    }
    if (fault.empty() && n % 97 == 0) {
      Thread->RefreshDetails();
      ++Figures.Renderings;
      fault = CheckDetails();
    }
    if (!fault.empty()) fault = "scan " + std::to_string(n) + ": " + fault;
  }
  DWORD elapsed = GetTickCount() - start;

  EXPECT_EQ(fault, "");
  EXPECT_EQ(allocations, 0) << allocatingScans << " scans allocated";
  std::printf("soak: %ld scans in %lu ms (%.1f us each): %ld committed, %ld failed, %ld arrivals (%ld with bad "
              "records), set up: K200 %ld, K390 %ld, K600 %ld, K80-50 %ld, unknown %ld; %ld with odd clocks; %ld "
              "renderings; %ld allocations\n",
              Figures.Scans, static_cast<unsigned long>(elapsed), elapsed * 1000.0 / (Figures.Scans ? Figures.Scans : 1),
              Figures.Committed, Figures.Failed, Figures.Arrivals, Figures.BadRecords, Figures.SetUp[KindK200],
              Figures.SetUp[KindK390], Figures.SetUp[KindK600], Figures.SetUp[KindK8050], Figures.SetUp[KindBase],
              Figures.OddClocksSetUp, Figures.Renderings, allocations);
  // The run reached what it is for: every model set up, scans failed and committed.
  EXPECT_EQ(Figures.Scans, scans);
  // About a tenth of the scans fail, a quarter commit a change, and each
  // model is set up in about one scan in fifty: a run that reaches much less
  // did not test what it is for.
  EXPECT_GT(Figures.Failed, scans / 100);
  EXPECT_GT(Figures.Committed, scans / 10);
  for (int model = KindBase; model <= KindK8050; ++model) EXPECT_GT(Figures.SetUp[model], scans / 1000) << model;
  EXPECT_GT(Figures.OddClocksSetUp, scans / 1000);
}

// The counting itself: an allocation on the counting thread is seen.
TEST(MonitorSoakCounting, AnAllocationOnTheCountingThreadIsCounted) {
  TAllocationCount counting;
  std::string* text = new std::string(100, 'x');
  long counted = counting.Counted();
  delete text;
  EXPECT_GE(counted, 1);
}

}  // namespace
}  // namespace MonitorTest
