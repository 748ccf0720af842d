// The slot scan: list lines, the set-up of new modules, change detection and
// the selection hand-over, driven cycle by cycle against the slot fake.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "device/CorvaneAbi.h"
#include "tests/monitor/MonitorFixture.h"
#include "tests/monitor/MonitorTexts.h"

namespace MonitorTest {

using namespace CorvaneFake;
namespace {

namespace R = Corvane::Record;

std::string EmptyLine(int slot) {
  char line[32];
  std::snprintf(line, sizeof line, "Слот %2d: -----", slot);
  return line;
}

// ---- What one scan lists ---------------------------------------------------

using MonitorScanLines = MonitorFixture;

TEST_F(MonitorScanLines, NoModuleAtAllGivesTwentyFiveEmptyLinesAndADisabledList) {
  Cycle();
  ASSERT_EQ(List().Count(), 25);
  EXPECT_EQ(Line(3), "Слот  3: -----");
  EXPECT_EQ(Line(12), "Слот 12: -----");
  for (int i = 0; i < 25; ++i) EXPECT_EQ(Line(i), EmptyLine(i)) << i;
  // The first scan applied a change: the lines differ from the start-up ones.
  EXPECT_EQ(Thread->FirstPass, 0);
  EXPECT_EQ(Field(Thread->Previous.Slots[3].ListLine), "Слот  3: -----");
  EXPECT_EQ(Thread->Previous.ModuleCount, 0);
  EXPECT_FALSE(List().Enabled());
  EXPECT_EQ(List().ItemIndex(), -1);
  EXPECT_EQ(Thread->SelectedIndex, -1);
  EXPECT_EQ(Text("VirtualSlotStaticText"), "");
  EXPECT_EQ(Window->Text(), NoModule);
}

TEST_F(MonitorScanLines, ModulesAtStartSelectTheLowestOccupiedSlot) {
  Fake.Plug(7, "K200");
  Fake.Plug(4, "K390");
  Fake.Plug(20, "K80-50");
  Window->Show();  // the focus goes to a shown window only
  Cycle();
  EXPECT_EQ(Thread->Current.ModuleCount, 3);
  EXPECT_EQ(Thread->SelectedIndex, 4);
  EXPECT_EQ(List().ItemIndex(), 4);
  EXPECT_TRUE(List().Enabled());
  EXPECT_TRUE(List().Focused());
  EXPECT_EQ(Thread->Current.Selected.SlotNumber, 4);
  EXPECT_EQ(Text("VirtualSlotStaticText"), "4");
  EXPECT_EQ(Line(4), "Слот  4: Модуль K390");
  EXPECT_EQ(Line(7), "Слот  7: Модуль K200");
  EXPECT_EQ(Line(20), "Слот 20: Модуль K80-50");
  EXPECT_EQ(Line(5), "Слот  5: -----");
  EXPECT_EQ(Window->Text(), "Мониторинг USB модулей: K390 --> S/N SN04");
}

TEST_F(MonitorScanLines, SlotZeroIsTheLowestSlot) {
  Fake.Plug(0, "K200");
  Fake.Plug(24, "K200");
  Cycle();
  EXPECT_EQ(Thread->SelectedIndex, 0);
  EXPECT_EQ(List().ItemIndex(), 0);
  EXPECT_EQ(Text("VirtualSlotStaticText"), "0");
  EXPECT_EQ(Line(24), "Слот 24: Модуль K200");
}

TEST_F(MonitorScanLines, AModuleArrivingAfterAnEmptyListIsListedButNotSelected) {
  Cycle();
  ASSERT_FALSE(List().Enabled());
  Fake.Plug(6, "K200");
  Cycle();
  EXPECT_EQ(Line(6), "Слот  6: Модуль K200");
  EXPECT_TRUE(List().Enabled());
  EXPECT_EQ(List().ItemIndex(), -1);
  EXPECT_EQ(Thread->SelectedIndex, -1);
  EXPECT_EQ(Window->Text(), NoModule);
}

TEST_F(MonitorScanLines, EveryModuleRemovedDisablesTheListAndRedrawsEmptyDetails) {
  Fake.Plug(2, "K200");
  Fake.Plug(9, "K390");
  Cycle();
  ASSERT_EQ(List().ItemIndex(), 2);
  ASSERT_EQ(Text("SpeedModeStaticText"), "HS");
  Fake.Unplug(2);
  Fake.Unplug(9);
  Cycle();
  EXPECT_FALSE(List().Enabled());
  EXPECT_EQ(List().ItemIndex(), -1);
  EXPECT_EQ(Thread->SelectedIndex, -1);
  EXPECT_EQ(Text("VirtualSlotStaticText"), "");
  EXPECT_EQ(Line(2), "Слот  2: -----");
  EXPECT_EQ(Line(9), "Слот  9: -----");
  // The details are redrawn from the now empty slot.
  EXPECT_EQ(Thread->Current.Selected.SlotNumber, -1);
  EXPECT_EQ(Window->Text(), NoModule);
  EXPECT_EQ(Text("SpeedModeStaticText"), "??");
  EXPECT_EQ(Text("SerialNumberLMDStaticText"), "--------");
  EXPECT_EQ(Lamp("ModuleLoadingLed"), clBtnFace);
}

TEST_F(MonitorScanLines, AnUnknownModuleIsListedWithAnEmptyNameAndAValidDescription) {
  Fake.Plug(5, "XYZ9");
  Cycle();
  EXPECT_EQ(Line(5), "Слот  5: Модуль ");
  const SlotRecord& r = Thread->Previous.Slots[5];
  EXPECT_EQ(r.SlotNumber, 5);
  EXPECT_EQ(r.DescriptionValid, 1u);
  EXPECT_EQ(r.ModuleReady, 1u);
  EXPECT_EQ(r.InitPending, 0u);
  EXPECT_EQ(r.Description.McuPresent, 0);
  EXPECT_EQ(r.Revision, 0);
  // Only the base interface knows it: no model interface was asked anything.
  EXPECT_EQ(Fake.SlotCalls(5).Names, 0);
  EXPECT_EQ(Fake.SlotCalls(5).Loads, 0);
  EXPECT_EQ(Fake.SlotCalls(5).Descriptions, 0);
}

TEST_F(MonitorScanLines, TheLineTakesTheNameTheDescriptionHolds) {
  TFakeModule& m = Fake.Plug(1, "K200");
  TFakeSlots::Text(m, R::IdentityModuleName, R::IdentityModuleNameSize, "K3-200 (опытный)");
  Cycle();
  EXPECT_EQ(Line(1), "Слот  1: Модуль K3-200 (опытный)");
  EXPECT_EQ(Field(Thread->Previous.Slots[1].ModuleName), "K200");
  EXPECT_EQ(Thread->Previous.Slots[1].Revision, 'B');
  EXPECT_EQ(Thread->Previous.Slots[1].DacPresent, 1u);
  EXPECT_EQ(Field(Thread->Previous.Slots[1].SerialNumber), "SN01");
}

TEST_F(MonitorScanLines, AFailedDescriptionListsTheInterfaceNameWithRevisionA) {
  TFakeModule& m = Fake.Plug(1, "K200");
  TFakeSlots::Text(m, R::IdentityModuleName, R::IdentityModuleNameSize, "never read");
  m.FailDescription.Remaining = -1;
  Cycle();
  EXPECT_EQ(Line(1), "Слот  1: Модуль K200");
  const SlotRecord& r = Thread->Previous.Slots[1];
  EXPECT_EQ(r.DescriptionValid, 0u);
  EXPECT_EQ(r.ModuleReady, 1u);
  EXPECT_EQ(r.Revision, 'A');
  EXPECT_EQ(Field(r.SerialNumber), "");
  EXPECT_EQ(r.DacPresent, 0u);
  // Not a failed scan: the change was applied and the module selected.
  EXPECT_EQ(Thread->SelectedIndex, 1);
  EXPECT_EQ(Fake.SlotCalls(1).Descriptions, 1);
  Cycle(3);
  EXPECT_EQ(Fake.SlotCalls(1).Descriptions, 1) << "carried over, not read again";
}

TEST_F(MonitorScanLines, TextsThatFillTheirFieldsAreCutAtTheFieldsEnd) {
  TFakeModule& m = Fake.Plug(0, "K200");
  // 25 name characters without a terminator, then 16 serial characters
  // without one, then the revision.
  for (size_t i = 0; i < R::IdentityModuleNameSize; ++i) m.Record[R::IdentityModuleName + i] = 'N';
  for (size_t i = 0; i < R::IdentitySerialSize; ++i) m.Record[R::IdentitySerial + i] = static_cast<unsigned char>('a' + i);
  m.Record[R::IdentityRevision] = 'Q';
  Cycle();
  EXPECT_EQ(Line(0), "Слот  0: Модуль " + std::string(25, 'N'));
  const SlotRecord& r = Thread->Previous.Slots[0];
  EXPECT_EQ(std::string(r.SerialNumber, 16), "abcdefghijklmnop");
  EXPECT_EQ(r.Revision, 'Q');
  // The rest of the list line is zero: equal modules give equal records.
  for (size_t i = 16 + 25; i < ListLineSize; ++i) EXPECT_EQ(r.ListLine[i], 0) << i;
}

TEST_F(MonitorScanLines, AShortSerialIsZeroFilled) {
  TFakeModule& m = Fake.Plug(0, "K200");
  // Bytes after the terminator are not part of the serial number.
  std::memcpy(m.Record + R::IdentitySerial, "AB\0garbage1234", 15);
  Cycle();
  const char* serial = Thread->Previous.Slots[0].SerialNumber;
  EXPECT_EQ(std::string(serial, 16), std::string("AB") + std::string(14, '\0'));
}

TEST_F(MonitorScanLines, ASlotThatKeepsAnsweringKeepsItsFirstRecord) {
  Fake.Plug(3, "K200", 1);
  Cycle();
  ASSERT_EQ(Thread->Previous.Slots[3].UsbSpeed, 1);
  // Another speed, then another module, without the slot going quiet.
  Fake.Module(3).Speed = 0;
  Cycle();
  Fake.Plug(3, "K390", 0);
  Cycle();
  EXPECT_EQ(Thread->Previous.Slots[3].UsbSpeed, 1);
  EXPECT_EQ(Field(Thread->Previous.Slots[3].ModuleName), "K200");
  EXPECT_EQ(Line(3), "Слот  3: Модуль K200");
  EXPECT_EQ(Text("SpeedModeStaticText"), "HS");
  EXPECT_EQ(Fake.SlotCalls(3).Descriptions, 1);
  EXPECT_EQ(Thread->DetailsDirty, 0);
}

TEST_F(MonitorScanLines, AFailedScanCommitsNothingAndTheNextOneRetries) {
  Fake.Plug(2, "K200");
  Cycle();
  Fake.Plug(5, "K390");
  TFakeModule& failing = Fake.Plug(10, "K200");
  failing.FailSpeed.Remaining = 1;
  Fake.Plug(15, "K200");
  Cycle();
  // The scan stopped at slot 10: later slots kept their defaults, and
  // nothing reached the list or the previous table.
  EXPECT_EQ(Thread->Current.Slots[15].SlotNumber, -1);
  EXPECT_EQ(Thread->Current.Slots[15].ListLine[0], 0);
  EXPECT_EQ(Thread->Previous.Slots[5].SlotNumber, -1);
  EXPECT_EQ(Line(5), "Слот  5: -----");
  EXPECT_EQ(Fake.SlotCalls(15).Opens, 0);
  Cycle();
  EXPECT_EQ(Line(5), "Слот  5: Модуль K390");
  EXPECT_EQ(Line(10), "Слот 10: Модуль K200");
  EXPECT_EQ(Line(15), "Слот 15: Модуль K200");
}

TEST_F(MonitorScanLines, ANameReadFailureDropsTheScan) {
  Fake.Plug(4, "K80-50").FailName.Remaining = 1;
  Cycle();
  EXPECT_EQ(Thread->FirstPass, 1);
  EXPECT_EQ(Fake.SlotCalls(4).Loads, 0);
  Cycle();
  EXPECT_EQ(Thread->FirstPass, 0);
  EXPECT_EQ(Line(4), "Слот  4: Модуль K80-50");
}

// ---- Setting up a new module -----------------------------------------------

using MonitorModuleSetUp = MonitorFixture;

TEST_F(MonitorModuleSetUp, K600IsCoveredByTheWaitingWindowUntilTheEndOfTheScan) {
  Fake.Plug(3, "K600");
  Fake.Plug(8, "K600");
  std::vector<bool> shownAtLoad;
  Fake.OnLoad = [&](int) { shownAtLoad.push_back(WaitingVisible() && Thread->WaitingShown == 1); };
  Cycle();
  EXPECT_EQ(shownAtLoad, std::vector<bool>({true, true}));
  EXPECT_FALSE(WaitingVisible());
  EXPECT_EQ(Thread->WaitingShown, 0);
  EXPECT_EQ(Fake.SlotCalls(3).Tests, 1);
  EXPECT_EQ(Line(3), "Слот  3: Модуль K600");
}

TEST_F(MonitorModuleSetUp, K600InOtherLetterCaseIsCoveredToo) {
  Fake.Plug(1, "k600");
  bool shown = false;
  Fake.OnLoad = [&](int) { shown = WaitingVisible(); };
  Cycle();
  EXPECT_TRUE(shown);
  EXPECT_EQ(Fake.SlotCalls(1).Loads, 1);
  EXPECT_FALSE(WaitingVisible());
}

TEST_F(MonitorModuleSetUp, K8050IsLoadedAndTestedWithoutTheWaitingWindow) {
  Fake.Plug(2, "K80-50");
  bool shown = true;
  Fake.OnLoad = [&](int) { shown = WaitingVisible() || Thread->WaitingShown != 0; };
  Cycle();
  EXPECT_FALSE(shown);
  EXPECT_EQ(Fake.SlotCalls(2).Loads, 1);
  EXPECT_EQ(Fake.SlotCalls(2).Tests, 1);
  EXPECT_EQ(Fake.SlotCalls(2).Descriptions, 1);
  EXPECT_EQ(Thread->Previous.Slots[2].ModuleReady, 1u);
}

TEST_F(MonitorModuleSetUp, K200AndK390AreNeitherLoadedNorTested) {
  Fake.Plug(0, "K200");
  Fake.Plug(1, "K390");
  Fake.OnLoad = [&](int) { ADD_FAILURE() << "a load"; };
  Cycle();
  EXPECT_EQ(Fake.TotalLoads(), 0);
  EXPECT_EQ(Fake.TotalTests(), 0);
  for (int slot : {0, 1}) {
    const SlotRecord& r = Thread->Previous.Slots[slot];
    EXPECT_EQ(r.InitPending, 0u) << slot;
    EXPECT_EQ(r.ModuleReady, 1u) << slot;
    EXPECT_EQ(r.DescriptionValid, 1u) << slot;
    EXPECT_EQ(Fake.SlotCalls(slot).Descriptions, 1) << slot;
  }
}

TEST_F(MonitorModuleSetUp, AModuleIsLoadedOncePerStayInItsSlot) {
  Fake.Plug(3, "K600");
  Fake.Plug(6, "K80-50");
  Cycle(12);
  EXPECT_EQ(Fake.SlotCalls(3).Loads, 1);
  EXPECT_EQ(Fake.SlotCalls(6).Loads, 1);
  EXPECT_EQ(Fake.SlotCalls(3).Tests, 1);
  // It leaves, and comes back: set up again, once.
  Fake.Unplug(3);
  Cycle();
  EXPECT_EQ(Line(3), "Слот  3: -----");
  Fake.Plug(3, "K600");
  Cycle(5);
  EXPECT_EQ(Fake.SlotCalls(3).Loads, 2);
  EXPECT_EQ(Fake.SlotCalls(6).Loads, 1);
  EXPECT_EQ(Fake.SlotCalls(3).Descriptions, 2);
}

TEST_F(MonitorModuleSetUp, ATestThatKeepsFailingAppliesNothingAndLoadsEveryCycle) {
  Fake.Plug(0, "K200");
  Fake.Plug(5, "K600").FailTest.Remaining = -1;
  int shownLoads = 0;
  Fake.OnLoad = [&](int) { shownLoads += WaitingVisible() ? 1 : 0; };
  Cycle(5);
  EXPECT_EQ(Fake.SlotCalls(5).Loads, 5);
  EXPECT_EQ(Fake.SlotCalls(5).Tests, 5);
  EXPECT_EQ(shownLoads, 5);
  EXPECT_FALSE(WaitingVisible());
  // Not even the good module in slot 0 was applied.
  EXPECT_EQ(Thread->FirstPass, 1);
  EXPECT_FALSE(List().Enabled());
  EXPECT_EQ(Line(0), "");
  EXPECT_EQ(Thread->Previous.Slots[0].SlotNumber, -1);
  // Once the test passes, everything is applied at once.
  Fake.Module(5).FailTest.Remaining = 0;
  Cycle();
  EXPECT_EQ(Fake.SlotCalls(5).Loads, 6);
  EXPECT_EQ(Line(0), "Слот  0: Модуль K200");
  EXPECT_EQ(Line(5), "Слот  5: Модуль K600");
  EXPECT_EQ(Thread->SelectedIndex, 0);
}

TEST_F(MonitorModuleSetUp, AFailedLoadIsRetriedAtTheNextCycle) {
  Fake.Plug(7, "K80-50").FailLoad.Remaining = 1;
  Cycle();
  EXPECT_EQ(Fake.SlotCalls(7).Loads, 1);
  EXPECT_EQ(Fake.SlotCalls(7).Tests, 0);
  EXPECT_EQ(Thread->FirstPass, 1);
  Cycle(3);
  EXPECT_EQ(Fake.SlotCalls(7).Loads, 2);
  EXPECT_EQ(Fake.SlotCalls(7).Tests, 1);
  EXPECT_EQ(Line(7), "Слот  7: Модуль K80-50");
}

TEST_F(MonitorModuleSetUp, AStopDuringALoadSkipsTheTestAndCommitsNothing) {
  Fake.Plug(3, "K600");
  Fake.Plug(9, "K200");
  Fake.OnLoad = [&](int) { Thread->Terminate(); };
  Cycle();
  EXPECT_EQ(Fake.SlotCalls(3).Loads, 1);
  EXPECT_EQ(Fake.SlotCalls(3).Tests, 0);
  EXPECT_EQ(Fake.SlotCalls(9).Opens, 0) << "no slot after the stop";
  EXPECT_FALSE(WaitingVisible()) << "the Waiting window is hidden after a stop too";
  EXPECT_EQ(Thread->WaitingShown, 0);
  EXPECT_EQ(Thread->FirstPass, 1);
  EXPECT_EQ(Thread->Previous.Slots[3].SlotNumber, -1);
}

TEST_F(MonitorModuleSetUp, AStopBeforeTheScanOpensNoSlot) {
  Fake.Plug(0, "K200");
  Thread->Terminate();
  Cycle();
  EXPECT_EQ(Fake.SlotCalls(0).Opens, 0);
  EXPECT_EQ(Thread->FirstPass, 1);
}

// ---- The selection ---------------------------------------------------------

using MonitorSelection = MonitorFixture;

TEST_F(MonitorSelection, AnotherOccupiedLineShowsItsSlotAfterTheNextCycle) {
  Fake.Plug(2, "K200");
  Fake.Plug(9, "K390");
  Cycle();
  ASSERT_EQ(Thread->SelectedIndex, 2);
  List().SetItemIndex(9);
  Cycle();
  EXPECT_EQ(Thread->SelectedIndex, 9);
  EXPECT_EQ(Thread->Current.Selected.SlotNumber, 9);
  EXPECT_EQ(Text("VirtualSlotStaticText"), "9");
  EXPECT_EQ(Window->Text(), "Мониторинг USB модулей: K390 --> S/N SN09");
  EXPECT_EQ(Text("ModuleGroupBox"), "Модуль K390");
}

TEST_F(MonitorSelection, NothingChangedNothingApplied) {
  Fake.Plug(2, "K200");
  Cycle();
  Window->SetText("marker");
  Cycle(3);
  EXPECT_EQ(Window->Text(), "marker");
  EXPECT_EQ(Thread->DetailsDirty, 0);
}

TEST_F(MonitorSelection, AMoveBetweenEmptySlotsChangesOnlyTheSlotBox) {
  Fake.Plug(2, "K200");
  Cycle();
  List().SetItemIndex(5);
  Cycle();  // from an occupied slot: everything is redrawn
  ASSERT_EQ(Text("VirtualSlotStaticText"), "5");
  ASSERT_EQ(Window->Text(), NoModule);
  Window->SetText("marker");
  Control("SpeedModeStaticText")->SetText("XX");
  List().SetItemIndex(7);
  Cycle();
  EXPECT_EQ(Text("VirtualSlotStaticText"), "7");
  EXPECT_EQ(Thread->SelectedIndex, 7);
  EXPECT_EQ(Window->Text(), "marker");
  EXPECT_EQ(Text("SpeedModeStaticText"), "XX");
}

TEST_F(MonitorSelection, AMoveBetweenEmptySlotsWhileAnotherSlotChangesRedrawsTheList) {
  Fake.Plug(2, "K200");
  Cycle();
  List().SetItemIndex(5);
  Cycle();
  Window->SetText("marker");
  List().SetItemIndex(7);
  Fake.Plug(11, "K390");
  Cycle();
  EXPECT_EQ(Text("VirtualSlotStaticText"), "7");
  EXPECT_EQ(Line(11), "Слот 11: Модуль K390");
  EXPECT_EQ(Window->Text(), NoModule);
  EXPECT_EQ(List().ItemIndex(), 7);
}

TEST_F(MonitorSelection, AMoveFromAnEmptyToAnOccupiedSlotRedrawsEverything) {
  Fake.Plug(2, "K200");
  Cycle();
  List().SetItemIndex(5);
  Cycle();
  List().SetItemIndex(2);
  Cycle();
  EXPECT_EQ(Window->Text(), "Мониторинг USB модулей: K200 --> S/N SN02");
  EXPECT_EQ(Text("VirtualSlotStaticText"), "2");
}

TEST_F(MonitorSelection, TheSerialIsCutInTheSelectedCopyOnly) {
  TFakeModule& m = Fake.Plug(4, "K600");
  TFakeSlots::Text(m, R::IdentitySerial, R::IdentitySerialSize, "1234567890ABCDEF");
  Cycle();
  EXPECT_EQ(Field(Thread->Current.Selected.SerialNumber), "12345678");
  EXPECT_EQ(std::string(Thread->Current.Slots[4].SerialNumber, 16), "1234567890ABCDEF");
  EXPECT_EQ(std::string(Thread->Previous.Slots[4].SerialNumber, 16), "1234567890ABCDEF");
  EXPECT_EQ(Text("SerialNumberLMDStaticText"), "12345678");
  EXPECT_EQ(Window->Text(), "Мониторинг USB модулей: K600 --> S/N 1234567890ABCDEF");
}

// ---- The slot tables ---------------------------------------------------------

using MonitorSlotTables = MonitorFixture;

TEST_F(MonitorSlotTables, DefaultsAreThoseOfASlotWhereNothingAnswered) {
  SlotRecord d = DefaultSlotRecord();
  EXPECT_EQ(d.SlotNumber, -1);
  EXPECT_EQ(d.InitPending, 1u);
  EXPECT_EQ(d.ModuleReady, 0u);
  EXPECT_EQ(d.DescriptionValid, 0u);
  EXPECT_EQ(d.UsbSpeed, 2);
  EXPECT_EQ(d.Revision, 0);
  EXPECT_EQ(d.DacPresent, 0u);
  for (int i = 0; i < SlotCount; ++i) EXPECT_EQ(std::memcmp(&Thread->DefaultSlots[i], &d, sizeof d), 0) << i;
  EXPECT_EQ(Thread->Current.Selected.SlotNumber, -1);
  EXPECT_EQ(std::memcmp(&Thread->Previous, &Thread->Current, sizeof(SlotTable)), 0);
}

TEST_F(MonitorSlotTables, AnEmptySlotDiffersFromTheDefaultOnlyInItsLine) {
  Fake.Plug(1, "K200");
  Cycle();
  SlotRecord empty = Thread->Current.Slots[3];
  SlotRecord d = DefaultSlotRecord();
  std::string line = Field(empty.ListLine);
  EXPECT_EQ(line, "Слот  3: -----");
  std::memset(empty.ListLine, 0, sizeof empty.ListLine);
  EXPECT_EQ(std::memcmp(&empty, &d, sizeof d), 0);
}

TEST_F(MonitorSlotTables, ACommitCopiesTheWholeTable) {
  Fake.Plug(1, "K200");
  Fake.Plug(2, "K390");
  Cycle();
  EXPECT_EQ(Thread->Previous.ModuleCount, 2);
  EXPECT_EQ(Thread->Previous.Selected.SlotNumber, 1);
  EXPECT_EQ(std::memcmp(Thread->Previous.Slots, Thread->Current.Slots, sizeof Thread->Current.Slots), 0);
}

TEST_F(MonitorSlotTables, ACarriedOverRecordIsTheCommittedOneByteForByte) {
  Fake.Plug(6, "K80-50");
  Cycle();
  SlotRecord committed = Thread->Previous.Slots[6];
  Cycle();
  EXPECT_EQ(std::memcmp(&Thread->Current.Slots[6], &committed, sizeof committed), 0);
  EXPECT_EQ(committed.InitPending, 0u);
  EXPECT_EQ(committed.Description.PldPresent, 1);
  EXPECT_EQ(committed.Description.BootLoaderPresent, 1);
  EXPECT_EQ(committed.Description.DspPresent, 0);
}

TEST_F(MonitorSlotTables, ALeavingModuleDropsBackToTheDefault) {
  Fake.Plug(6, "K80-50");
  Cycle();
  Fake.Unplug(6);
  Cycle();
  SlotRecord gone = Thread->Previous.Slots[6];
  std::memset(gone.ListLine, 0, sizeof gone.ListLine);
  SlotRecord d = DefaultSlotRecord();
  EXPECT_EQ(std::memcmp(&gone, &d, sizeof d), 0);
}

TEST_F(MonitorSlotTables, ADroppedScanLeavesNoStaleRecordBehind) {
  TFakeModule& failing = Fake.Plug(10, "K200");
  Fake.Plug(15, "K390");
  Cycle();
  ASSERT_EQ(Thread->Previous.Slots[15].SlotNumber, 15);
  failing.FailSpeed.Remaining = 1;
  Cycle();
  // The module set up before keeps none of its record once its speed fails,
  // only the slot and the name just read; the slot the scan never reached
  // holds its default, not what the last scan found there.
  SlotRecord dropped = Thread->Current.Slots[10];
  EXPECT_EQ(dropped.SlotNumber, 10);
  EXPECT_EQ(Field(dropped.ModuleName), "K200");
  EXPECT_EQ(dropped.InitPending, 1u);
  EXPECT_EQ(dropped.UsbSpeed, 2);
  EXPECT_EQ(dropped.ListLine[0], 0);
  SlotRecord d = DefaultSlotRecord();
  EXPECT_EQ(std::memcmp(&Thread->Current.Slots[15], &d, sizeof d), 0);
  EXPECT_EQ(Line(15), "Слот 15: Модуль K390") << "nothing of a dropped scan is shown";
  Cycle();
  EXPECT_EQ(std::memcmp(&Thread->Current.Slots[15], &Thread->Previous.Slots[15], sizeof d), 0);
  EXPECT_EQ(Thread->Current.Slots[10].InitPending, 0u);
}

}  // namespace
}  // namespace MonitorTest
