// The scenario file: reloads, bad files, the version and refusal settings,
// the failure switches, time spans, the stats file and the built-in
// demonstration.
#include <cstring>
#include <set>
#include <utility>

#include "CorvaneTestSupport.h"

namespace CorvaneTest {
namespace {

class CorvaneScenario : public CorvaneFixture {
 protected:
  bool Occupied(int slot) {
    IModuleInterface* base = Create("Corvroot");
    bool result = base && Open(base, static_cast<DWORD>(slot));
    if (base) ReleaseNow(base);
    return result;
  }
};

TEST_F(CorvaneScenario, RereadsTheFileWhenItChanges) {
  UseScenario("slot 3 model=k200 speed=full\n");
  EXPECT_EQ(SpeedIn(3), 0);
  // The same size: only the contents tell the change.
  RewriteScenario("slot 3 model=k200 speed=high\n");
  EXPECT_EQ(SpeedIn(3), 1);
  // A rewrite that keeps the size and the time stamp (a coarse file
  // system, or two writes in one clock tick) is seen by its contents.
  HANDLE file = CreateFileW(FScenarioPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  FILETIME written;
  ASSERT_TRUE(GetFileTime(file, nullptr, nullptr, &written));
  CloseHandle(file);
  ASSERT_TRUE(WriteFileBytes(FScenarioPath, "slot 3 model=k200 speed=0x0F\n"));
  file = CreateFileW(FScenarioPath.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &written));
  CloseHandle(file);
  Sleep(80);
  EXPECT_EQ(SpeedIn(3), 15);
  RewriteScenario("slot 4 model=k200 speed=high\n");
  EXPECT_FALSE(Occupied(3));
  EXPECT_EQ(SpeedIn(4), 1);
  RewriteScenario("# nobody here\n");
  for (int slot = 0; slot < 25; ++slot) EXPECT_FALSE(Occupied(slot)) << slot;
  EXPECT_EQ(Stats()["library.scenario-loads"], 5u);
}

TEST_F(CorvaneScenario, NamingAnotherFileTakesEffectAtTheNextCall) {
  UseScenario("slot 1 model=k200 speed=full\n");
  EXPECT_EQ(SpeedIn(1), 0);
  UseScenario("slot 1 model=k200 speed=high\n");
  EXPECT_EQ(SpeedIn(1), 1);
}

TEST_F(CorvaneScenario, ChangeIsSeenWithinOnePollCycle) {
  UseScenario("slot 3 model=k200 speed=full\n");
  IModuleInterface* base = Create("Corvroot");
  ASSERT_TRUE(Open(base, 3));
  ASSERT_TRUE(WriteFileBytes(FScenarioPath, "slot 5 model=k200\n"));
  // The program polls every 200 ms: the scan after the change sees it.
  Sleep(200);
  EXPECT_FALSE(Open(base, 3));
  EXPECT_TRUE(Open(base, 5));
}

TEST_F(CorvaneScenario, LinesMergeAndCommentsQuotesAndLineEndsAreRead) {
  UseScenario(
      "\xEF\xBB\xBF# a scenario\r\n"
      "\r\n"
      "   slot 2 model=k200   # the first line of slot 2\r\n"
      "slot 2 name=\"K 200 # not a comment\" speed=high\r\n"
      "\tslot\t7\tname=k390");  // no line end at the end
  IModuleInterface* base = Create("Corvroot");
  char name[16] = {};
  ASSERT_TRUE(Open(base, 2) && ReadName(base, name));
  EXPECT_STREQ(name, "K 200 # not a c");
  EXPECT_EQ(SpeedIn(2), 1);
  IModuleInterface* k390 = Create("k390");
  EXPECT_TRUE(Open(k390, 7)) << "model taken from the name, regardless of case";
}

TEST_F(CorvaneScenario, VersionSetting) {
  struct Case {
    const char* text;
    DWORD version;
  } cases[] = {{"# no version line\n", 0x00030003},
               {"version 3.2\n", 0x00030002},
               {"version 2.1\n", 0x00020001},
               {"version 0x00040000\n", 0x00040000},
               {"version 65535.65535\n", 0xFFFFFFFF},
               {"version 0.0\n", 0}};
  for (const Case& c : cases) {
    UseScenario(c.text);
    EXPECT_EQ(TheLibrary().version(), c.version) << c.text;
  }
}

TEST_F(CorvaneScenario, RefusedDeviceNamesGetNoInterface) {
  UseScenario("refuse k600\nrefuse K8050 Corvroot\nslot 1 model=k200\n");
  EXPECT_EQ(TheLibrary().create("k600"), nullptr);
  EXPECT_EQ(TheLibrary().create("k8050"), nullptr) << "compared without regard to case";
  EXPECT_EQ(TheLibrary().create("Corvroot"), nullptr);
  IModuleInterface* k200 = Create("k200");
  IModuleInterface* k390 = Create("k390");
  EXPECT_TRUE(k200 && k390);
  EXPECT_TRUE(Open(k200, 1));
  EXPECT_EQ(Stats()["library.refused"], 3u);
  RewriteScenario("slot 1 model=k200\n");
  EXPECT_NE(Create("k600"), nullptr) << "refusals end with the scenario that made them";
}

TEST_F(CorvaneScenario, UnreadableScenarioIsReportedOnceAndTheLastGoodStays) {
  const std::string good = "version 3.3\nslot 3 model=k200 speed=high\n";
  std::string huge = "# big\n" + std::string(1024 * 1024 + 10, '#') + "\n";
  std::string truncated = good + "slot 4 model=k200 name=\"half";
  struct Case {
    const char* what;
    std::string content;
    const char* reason;  // part of the report
  } cases[] = {
      {"unknown directive", "slot 3 model=k200\nslots 4 model=k200\n", "line 2"},
      {"unknown setting", "slot 3 model=k200 spede=high\n", "spede"},
      {"binary", std::string("\x7F" "ELF\x01\x00\x00\x00slot 3", 12), "binary"},
      {"UTF-16", std::string("\xFF\xFE" "s\0l\0o\0t\0", 10), "UTF-16"},
      {"half-written", truncated, "not closed"},
      {"too large", huge, "bytes"},
      {"bad clock", "slot 3 model=k200 mcu.clock=fast\n", "fast"},
      {"slot out of range", "slot 25 model=k200\n", "line 1"},
      {"load too long", "slot 3 model=k600 load-ms=999999\n", "load-ms"},
      {"bad version", "version 3\n", "version"},
      {"unknown model", "slot 3 model=k700\n", "k700"},
      {"neither model nor name", "slot 3 speed=high\n", "model="},
      {"bad failure switch", "slot 3 model=k200 fail.open=sometimes\n", "fail.open"},
      {"unknown failure switch", "slot 3 model=k200 fail.jump=always\n", "fail.jump"},
      {"bad misbehaviour switch", "slot 3 model=k200 hang.speed=forever\n", "hang.speed"},
      {"a slot's operation for the library", "library fault.speed=once\n", "fault.speed"},
      {"the library's operation for a slot", "slot 3 model=k200 unmask.create=once\n", "unmask.create"},
      {"a library call cannot fail", "library fail.create=once\n", "fail.create"},
      {"bad presence", "slot 3 model=k200 present=5-2\n", "present"},
      {"long revision", "slot 3 model=k200 revision=AB\n", "revision"},
      {"bad escape", "slot 3 model=k200 name=\"\\q\"\n", "escape"},
  };
  bool inPlace = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    UseScenario(good);
    ASSERT_EQ(SpeedIn(3), 1);
    std::string logBefore = Log();
    // The first bad file replaces the good one in place, the others are named anew.
    if (inPlace) RewriteScenario(c.content);
    else UseScenario(c.content);
    inPlace = false;
    for (int call = 0; call < 3; ++call) {
      if (call) Sleep(55);  // past the check interval: the file is looked at again
      EXPECT_EQ(SpeedIn(3), 1) << "the last good scenario stays in force";
      EXPECT_EQ(TheLibrary().version(), 0x00030003u);
    }
    std::string added = Log().substr(logBefore.size());
    EXPECT_EQ(Occurrences(added, "cannot be used"), 1) << added;
    EXPECT_NE(added.find(c.reason), std::string::npos) << added;
    EXPECT_NE(added.find(Utf8(FScenarioPath)), std::string::npos) << "the report names the file";
    // Mended, it is read again.
    RewriteScenario("slot 3 model=k200 speed=full\n");
    EXPECT_EQ(SpeedIn(3), 0);
  }
}

TEST_F(CorvaneScenario, MissingFileIsReportedOnceAndReadWhenItAppears) {
  UseScenario("slot 3 model=k200 speed=high\n");
  ASSERT_EQ(SpeedIn(3), 1);
  std::wstring missing = FFolder + L"\\not-there.txt";
  SetEnvironmentVariableW(L"CORVANE_SCENARIO", missing.c_str());
  for (int call = 0; call < 3; ++call) {
    EXPECT_EQ(SpeedIn(3), 1);
    Sleep(60);
  }
  EXPECT_EQ(Occurrences(Log(), "does not exist"), 1);
  ASSERT_TRUE(WriteFileBytes(missing, "slot 3 model=k200 speed=full\n"));
  Sleep(60);
  EXPECT_EQ(SpeedIn(3), 0);
  EXPECT_EQ(Stats()["library.scenario-errors"], 1u);
}

TEST_F(CorvaneScenario, LogGoesBesideTheScenarioWithoutCorvaneLog) {
  SetEnvironmentVariableW(L"CORVANE_LOG", nullptr);
  UseScenario("slot 3 model=k200\nbroken\n");
  TheLibrary().version();
  std::string beside = ReadWholeFile(FScenarioPath + L".log");
  EXPECT_EQ(Occurrences(beside, "cannot be used"), 1) << beside;
  EXPECT_NE(beside.find("line 2"), std::string::npos);
}

TEST_F(CorvaneScenario, EmptyFileIsTakenAsBeingWritten) {
  UseScenario("slot 3 model=k200\n");
  ASSERT_TRUE(Occupied(3));
  RewriteScenario("");
  EXPECT_TRUE(Occupied(3)) << "a rewrite in progress does not empty the slots";
  RewriteScenario("slot 4 model=k200\n");
  EXPECT_FALSE(Occupied(3));
  EXPECT_TRUE(Occupied(4));
}

TEST_F(CorvaneScenario, ModulesComeAndGoOnTheirSpans) {
  UseScenario("slot 6 model=k200 present=0-400,900-\nslot 7 model=k200 present=never\n");
  DWORD start = GetTickCount();
  EXPECT_TRUE(Occupied(6));
  EXPECT_FALSE(Occupied(7));
  while (GetTickCount() - start < 600) Sleep(20);
  EXPECT_FALSE(Occupied(6)) << "left at 400 ms";
  while (GetTickCount() - start < 1100) Sleep(20);
  EXPECT_TRUE(Occupied(6)) << "back at 900 ms";
}

TEST_F(CorvaneScenario, StatsCountEveryCallPerSlot) {
  UseScenario("slot 2 model=k600 load-ms=0\nslot 9 model=k200\n");
  // Nothing but version and factory calls: no slot was ever opened.
  TheLibrary().version();
  IModuleInterface* base = Create("Corvroot");
  IModuleInterface* k600 = Create("k600");
  auto before = Stats();
  EXPECT_EQ(before["total.open"], 0u);
  EXPECT_EQ(before["library.version-calls"], 2u);
  EXPECT_EQ(before["library.create-calls"], 2u);
  // A scan as the program makes it, twice.
  const ModelInfo& m = ModelByDevice("k600");
  for (int scan = 0; scan < 2; ++scan)
    for (int slot = 0; slot < 25; ++slot) {
      Close(base);
      Close(k600);
      if (!Open(base, static_cast<DWORD>(slot))) continue;
      char name[16];
      ReadName(base, name);
      Close(base);
      if (std::string(name) != "K600") continue;
      BYTE speed;
      ASSERT_TRUE(Open(k600, static_cast<DWORD>(slot)) && ReadName(k600, name) && ReadSpeed(k600, &speed));
      if (scan == 0) {
        std::vector<unsigned char> record(m.recordSize);
        ASSERT_TRUE(LoadFirmware(k600, m) && TestModule(k600, m) && ReadDescription(k600, m, record.data()));
      }
    }
  auto s = Stats();
  const std::pair<const char*, unsigned long> counts[] = {
      {"total.open", 2u * 25 + 2}, {"total.opened", 2u * 2 + 2}, {"slot2.open", 4}, {"slot2.opened", 4},
      {"slot2.name", 4},           {"slot2.speed", 2},           {"slot2.load", 1}, {"slot2.test", 1},
      {"slot2.description", 1},    {"slot9.open", 2},            {"slot9.load", 0}, {"slot0.open", 2},
      {"slot0.opened", 0},         {"total.load", 1}};
  for (const auto& c : counts) EXPECT_EQ(s[c.first], c.second) << c.first;
  // Naming another stats file starts the counts afresh.
  FStatsPath = FFolder + L"\\stats-2.txt";
  SetEnvironmentVariableW(L"CORVANE_STATS", FStatsPath.c_str());
  auto fresh = Stats();
  EXPECT_EQ(fresh["total.open"], 0u);
  EXPECT_EQ(fresh["library.live-interfaces"], 2u);
}

// ---- Failure switches ----------------------------------------------------

struct SwitchCase {
  const char* op;      // fail.<op>
  const char* device;  // the interface the call goes through
};

class CorvaneFailureSwitch : public CorvaneScenario, public ::testing::WithParamInterface<SwitchCase> {
 protected:
  // One call of the switch's operation on the slot: open, then the call.
  bool Call(IModuleInterface* i, int slot) {
    const std::string op = GetParam().op;
    if (op == "open" || op == "base-open" || op == "model-open") return Open(i, static_cast<DWORD>(slot));
    if (!Open(i, static_cast<DWORD>(slot))) return false;
    const ModelInfo* m = std::string(GetParam().device) == "Corvroot" ? nullptr : &ModelByDevice(GetParam().device);
    char name[16];
    BYTE speed;
    if (op == "name" || op == "base-name" || op == "model-name") return ReadName(i, name);
    if (op == "speed") return ReadSpeed(i, &speed);
    if (op == "load") return LoadFirmware(i, *m);
    if (op == "test") return TestModule(i, *m);
    if (op == "close") return Close(i);
    if (op == "description") {
      std::vector<unsigned char> record(m->recordSize + 64, 0xCD);
      bool ok = ReadDescription(i, *m, record.data());
      if (!ok) {
        EXPECT_EQ(record, std::vector<unsigned char>(m->recordSize + 64, 0xCD)) << "a failure writes nothing";
      }
      return ok;
    }
    ADD_FAILURE() << "no call for " << op;
    return false;
  }
  std::string Slot(int slot, const std::string& setting) {
    std::string model = std::string(GetParam().device) == "Corvroot" ? "k8050" : GetParam().device;
    return "slot " + std::to_string(slot) + " model=" + model + " load-ms=0 " + setting + "\n";
  }
};

TEST_P(CorvaneFailureSwitch, FailsAsOftenAsItSays) {
  const SwitchCase& c = GetParam();
  const std::string key = std::string("fail.") + c.op + "=";
  UseScenario(Slot(0, key + "always") + Slot(1, key + "2") + Slot(2, key + "after:2") + Slot(3, key + "once") +
              Slot(4, key + "never") + Slot(5, ""));
  const bool expected[][5] = {
      {false, false, false, false, false},  // always
      {false, false, true, true, true},     // 2: fails twice, then succeeds
      {true, true, false, false, false},    // after:2
      {false, true, true, true, true},      // once
      {true, true, true, true, true},       // never
      {true, true, true, true, true},       // no switch
  };
  IModuleInterface* i = Create(c.device);
  ASSERT_NE(i, nullptr);
  for (int slot = 0; slot < 6; ++slot)
    for (int call = 0; call < 5; ++call)
      EXPECT_EQ(Call(i, slot), expected[slot][call]) << "slot " << slot << ", call " << call + 1;
  // A reload arms the counts anew.
  RewriteScenario(Slot(1, key + "1") + "# reloaded\n");
  EXPECT_FALSE(Call(i, 1));
  EXPECT_TRUE(Call(i, 1));
}

INSTANTIATE_TEST_SUITE_P(
    EveryOperation, CorvaneFailureSwitch,
    ::testing::Values(SwitchCase{"open", "Corvroot"}, SwitchCase{"open", "k8050"}, SwitchCase{"base-open", "Corvroot"},
                      SwitchCase{"model-open", "k200"}, SwitchCase{"name", "Corvroot"}, SwitchCase{"name", "k390"},
                      SwitchCase{"base-name", "Corvroot"}, SwitchCase{"model-name", "k600"},
                      SwitchCase{"speed", "k200"}, SwitchCase{"load", "k600"}, SwitchCase{"load", "k8050"},
                      SwitchCase{"test", "k600"}, SwitchCase{"test", "k8050"}, SwitchCase{"description", "k200"},
                      SwitchCase{"description", "k390"}, SwitchCase{"description", "k600"},
                      SwitchCase{"description", "k8050"}, SwitchCase{"close", "k8050"}),
    [](const ::testing::TestParamInfo<SwitchCase>& info) {
      std::string name = std::string(info.param.op) + "_" + info.param.device;
      for (char& ch : name)
        if (ch == '-') ch = '_';
      return name;
    });

TEST_F(CorvaneScenario, NarrowSwitchesSpareTheOtherInterface) {
  UseScenario(
      "slot 1 model=k600 fail.base-open=always fail.model-name=always\n"
      "slot 2 model=k600 fail.model-open=always fail.base-name=always\n");
  IModuleInterface* base = Create("Corvroot");
  IModuleInterface* k600 = Create("k600");
  char name[16];
  EXPECT_FALSE(Open(base, 1));
  EXPECT_TRUE(Open(k600, 1));
  EXPECT_FALSE(ReadName(k600, name));
  EXPECT_TRUE(Open(base, 2));
  EXPECT_FALSE(ReadName(base, name));
  EXPECT_FALSE(Open(k600, 2));
}

TEST_F(CorvaneScenario, FailingLoadStillTakesItsTime) {
  UseScenario("slot 1 model=k8050 load-ms=120 fail.load=always\n");
  IModuleInterface* k8050 = Create("k8050");
  ASSERT_TRUE(Open(k8050, 1));
  DWORD start = GetTickCount();
  EXPECT_FALSE(LoadFirmware(k8050, ModelByDevice("k8050")));
  EXPECT_GE(GetTickCount() - start, 100u);
  EXPECT_EQ(Stats()["slot1.load"], 1u);
}

// ---- The built-in demonstration -----------------------------------------

TEST_F(CorvaneScenario, DemonstrationBringsEveryModelAtBothSpeeds) {
  SetEnvironmentVariableW(L"CORVANE_SCENARIO", nullptr);
  EXPECT_EQ(TheLibrary().version(), 0x00030003u);
  {
    // One module answers from the start, so that the program's first scan
    // selects it and a newcomer sees its details at once.
    IModuleInterface* first = Create("k200");
    BYTE speed;
    char name[16];
    EXPECT_TRUE(first && Open(first, 0) && ReadName(first, name) && ReadSpeed(first, &speed));
    if (first) ReleaseNow(first);
  }
  std::set<std::string> seen;
  std::set<int> speeds, slots;
  DWORD start = GetTickCount();
  // The modules arrive over the first seconds after the library was loaded
  // (a K-390 leaves for a while later on).
  while (seen.size() < 4 && GetTickCount() - start < 20000) {
    for (const ModelInfo& m : Models()) {
      if (seen.count(m.device)) continue;
      IModuleInterface* i = Create(m.device);
      for (int slot = 0; slot < 25 && i; ++slot) {
        BYTE speed;
        char name[16];
        if (Open(i, static_cast<DWORD>(slot)) && ReadName(i, name) && ReadSpeed(i, &speed)) {
          EXPECT_STREQ(name, m.moduleName);
          seen.insert(m.device);
          speeds.insert(speed ? 1 : 0);
          slots.insert(slot);
          if (std::string(m.device) == "k600") {
            DWORD loadStart = GetTickCount();
            EXPECT_TRUE(LoadFirmware(i, m));
            DWORD took = GetTickCount() - loadStart;
            EXPECT_GE(took, 1500u) << "the K3-600 loads for about two seconds";
            EXPECT_LE(took, 4000u);
          }
          break;
        }
      }
      if (i) ReleaseNow(i);
    }
    Sleep(100);
  }
  EXPECT_EQ(seen.size(), 4u);
  EXPECT_EQ(slots.size(), 4u) << "each in a slot of its own";
  EXPECT_EQ(speeds.size(), 2u) << "full and high speed";
}

}  // namespace
}  // namespace CorvaneTest
