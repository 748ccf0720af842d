// The details: what they show of a selected record (a function of the
// record alone), how the window is drawn from it, the report that Ctrl+C
// copies, and the enabling of the group box's controls.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "monitor/DetailsReport.h"
#include "monitor/DetailsTexts.h"
#include "monitor/ModuleDetails.h"
#include "tests/monitor/MonitorFixture.h"
#include "tests/monitor/MonitorTexts.h"

namespace MonitorTest {
namespace {

const TColor Green = RGB(0, 255, 0), Red = RGB(255, 0, 0), Orange = RGB(255, 150, 0);

struct TUnits {
  bool Mcu, Boot, Dsp, Pld;
};

// A module brought up in the slot, with the units given.
SlotRecord ReadyRecord(int slot, const char* name, TUnits units, unsigned char speed = 1) {
  SlotRecord r = DefaultSlotRecord();
  r.SlotNumber = slot;
  r.InitPending = 0;
  r.ModuleReady = 1;
  r.DescriptionValid = 1;
  r.UsbSpeed = speed;
  std::strncpy(r.ModuleName, name, sizeof r.ModuleName - 1);
  ModuleDescription& d = r.Description;
  std::strcpy(d.Identity.ModuleName, name);
  std::strcpy(d.Identity.SerialNumber, "SN000042");
  d.Identity.Revision = 'C';
  d.Filled = 1;
  d.McuPresent = units.Mcu;
  std::strcpy(d.McuName, "AT89C52");
  d.McuClockKhz = 24000;
  std::strcpy(d.McuFirmware.Version, "1.11");
  std::strcpy(d.McuFirmware.Date, "03.02.2004");
  d.BootLoaderPresent = units.Boot;
  std::strcpy(d.BootLoader.Version, "1.00");
  std::strcpy(d.BootLoader.Date, "01.03.2007");
  d.DspPresent = units.Dsp;
  std::strcpy(d.Dsp.Name, "ADSP-2185M");
  d.Dsp.ClockKhz = 73728;
  std::strcpy(d.Dsp.Firmware.Version, "3.20");
  std::strcpy(d.Dsp.Firmware.Date, "11.11.2004");
  d.PldPresent = units.Pld;
  std::strcpy(d.Pld.Name, "EP1C3T100");
  d.Pld.ClockKhz = 50000.25;
  std::strcpy(d.Pld.Firmware.Version, "2.05");
  std::strcpy(d.Pld.Firmware.Date, "17.06.2007");
  d.Dac.DacPresent = 1;
  std::strcpy(r.SerialNumber, "SN000042");
  r.Revision = 'C';
  r.DacPresent = 1;
  std::snprintf(r.ListLine, sizeof r.ListLine, "Слот %2u: Модуль %s", static_cast<unsigned>(slot), name);
  return r;
}

// ---- What the details show of a record, without a window ---------------------------

// The first row of each unit group, a placeholder as "-" or "?".
std::string FirstRows(const TDetailsTexts& t) {
  std::string out;
  for (const TDetailsGroup& g : t.Groups) {
    const std::string& row = g.Rows[0];
    out += (out.empty() ? "" : "|") + (row == Dashes ? "-" : row == Questions ? "?" : row);
  }
  return out;
}

std::string Present(const TDetailsTexts& t) {
  std::string out;
  for (const TDetailsGroup& g : t.Groups) out += g.Present ? '1' : '0';
  return out;
}

TEST(DetailsTexts, WhatTheDetailsShowOfARecord) {
  const TUnits k600 = {true, false, true, false};
  const SlotRecord notShown = ReadyRecord(3, "K600", k600), empty = DefaultSlotRecord();
  SlotRecord fullSpeed = ReadyRecord(1, "K600", k600, 0), speedByte7 = ReadyRecord(1, "K600", k600, 7);
  SlotRecord notUp = ReadyRecord(4, "K600", k600);
  notUp.ModuleReady = 0;
  SlotRecord noDescription = DefaultSlotRecord();
  noDescription.SlotNumber = 2;
  noDescription.InitPending = 0;
  noDescription.ModuleReady = 1;
  noDescription.UsbSpeed = 0;
  std::strcpy(noDescription.ModuleName, "K600");
  noDescription.Revision = 'A';
  SlotRecord longSerial = ReadyRecord(0, "K200", {true, false, false, false});
  std::memcpy(longSerial.Description.Identity.SerialNumber, "ABCDEFGH12345678", 16);  // no terminator
  std::memcpy(longSerial.SerialNumber, "ABCDEFGH12345678", 16);
  longSerial.Revision = 'Z';
  SlotRecord noMcu = ReadyRecord(0, "XYZ", {false, false, false, false});
  std::memcpy(noMcu.ModuleName, "0123456789abcdef", 16);  // fills its field
  std::memcpy(noMcu.SerialNumber, "SSSSSSSSTTTTTTTT", 16);
  noMcu.Revision = 0;  // a zero revision is an empty text
  const std::string caption = "Мониторинг USB модулей: ";
  const struct {
    const char* Name;
    const SlotRecord& Record;
    int Index;
    bool Shown;
    std::string Caption, Slot, Group;
    TColor Loading, Speed;
    std::string SpeedText, Serial, Revision, Dac, Present, Rows;
  } cases[] = {
      {"not shown", notShown, 3, false, NoModule, "", "Модуль ????", clBtnFace, clBtnFace, "??",
       "--------", "-", "----", "1010", "-|-|?|-"},
      {"full speed", fullSpeed, 1, true, caption + "K600 --> S/N SN000042", "1", "Модуль K600", Green, Orange, "FS",
       "SN000042", "C", "ЕСТЬ", "1010", "AT89C52|-|ADSP-2185M|-"},
      {"speed byte 7", speedByte7, 1, true, caption + "K600 --> S/N SN000042", "1", "Модуль K600", Green, Green, "HS",
       "SN000042", "C", "ЕСТЬ", "1010", "AT89C52|-|ADSP-2185M|-"},
      {"not brought up", notUp, 4, true, NoModule, "4", "Модуль ????", Red, clBtnFace, "??", "--------", "-", "----",
       "1010", "-|-|?|-"},
      {"empty slot", empty, 5, true, NoModule, "5", "Модуль ????", clBtnFace, clBtnFace, "??", "--------",
       "-", "----", "0000", "-|-|-|-"},
      {"no line selected", empty, -1, true, NoModule, "", "Модуль ????", clBtnFace, clBtnFace, "??",
       "--------", "-", "----", "0000", "-|-|-|-"},
      {"failed description", noDescription, 2, true, caption + "K600 --> S/N ", "2", "Модуль ", Green, Orange, "FS", "",
       "A", "НЕТ", "0000", "-|-|-|-"},
      {"sixteen-character serial", longSerial, 0, true, caption + "K200 --> S/N ABCDEFGH12345678", "0", "Модуль K200",
       Green, Green, "HS", "ABCDEFGH", "Z", "ЕСТЬ", "1000", "AT89C52|-|-|-"},
      {"no microcontroller", noMcu, 0, true, caption + "0123456789abcdef --> S/N SSSSSSSSTTTTTTTT", "0", "Модуль XYZ",
       Green, Green, "HS", "SSSSSSSS", "", "ЕСТЬ", "0000", "-|-|-|-"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const TDetailsTexts t = DetailsTexts(c.Record, c.Index, c.Shown);
    EXPECT_EQ(t.Caption, c.Caption);
    EXPECT_EQ(t.SlotNumber, c.Slot);
    EXPECT_EQ(t.ModuleGroup, c.Group);
    EXPECT_EQ(t.LoadingLamp, c.Loading);
    EXPECT_EQ(t.SpeedLamp, c.Speed);
    EXPECT_EQ(t.Speed, c.SpeedText);
    EXPECT_EQ(t.Serial, c.Serial);
    EXPECT_EQ(t.Revision, c.Revision);
    EXPECT_EQ(t.Dac, c.Dac);
    EXPECT_EQ(Present(t), c.Present);
    EXPECT_EQ(FirstRows(t), c.Rows);
    EXPECT_EQ(t.Ready, c.Dac != "----");
  }
}

TEST(DetailsTexts, TextsThatFillTheirFieldsAreReadNoFurther) {
  SlotRecord r = ReadyRecord(9, "K600", {true, true, true, true});
  ModuleDescription& d = r.Description;
  std::memset(d.Identity.ModuleName, 'M', sizeof d.Identity.ModuleName);
  std::memset(d.McuName, 'U', sizeof d.McuName);
  std::memset(d.McuFirmware.Version, 'V', sizeof d.McuFirmware.Version);
  std::memset(d.Dsp.Name, 'D', sizeof d.Dsp.Name);
  std::memset(d.Pld.Name, 'P', sizeof d.Pld.Name);
  std::memset(d.Pld.Firmware.Date, 'T', sizeof d.Pld.Firmware.Date);
  const TDetailsTexts t = DetailsTexts(r, 9, true);
  EXPECT_EQ(t.ModuleGroup, "Модуль " + std::string(25, 'M'));
  EXPECT_EQ(t.Groups[0].Rows[0], std::string(28, 'U'));
  EXPECT_EQ(t.Groups[0].Rows[2], std::string(10, 'V') + " от 03.02.2004");
  EXPECT_EQ(t.Groups[2].Rows[0], std::string(25, 'D'));
  EXPECT_EQ(t.Groups[3].Rows[0], std::string(25, 'P'));
  EXPECT_EQ(t.Groups[3].Rows[2], "2.05 от " + std::string(320, 'T'));
  EXPECT_EQ(t.Caption, "Мониторинг USB модулей: " + std::string(25, 'M') + " --> S/N SN000042");
}

TEST(DetailsTexts, NonFiniteClocksShowTheUnknownPlaceholder) {
  SlotRecord r = ReadyRecord(1, "K600", {true, false, true, false});
  r.Description.McuClockKhz = 0;
  unsigned long long nanBits = 0x7FF8000000000001ull;
  std::memcpy(&r.Description.Dsp.ClockKhz, &nanBits, sizeof nanBits);
  const TDetailsTexts t = DetailsTexts(r, 1, true);
  EXPECT_EQ(t.Groups[0].Rows[1], "0 кГц");
  EXPECT_EQ(t.Groups[2].Rows[1], Questions);
}

// The report of a table: every listed module, with the labels given.
TEST(DetailsReport, EveryListedModuleWithTheLabelsGiven) {
  TReportLabels labels = {"1.2", "S", "R", "D", {"MCU", "BOOT", "DSP", "PLD"},
                          {{"a", "b", "c"}, {"v"}, {"x", "y", "z"}, {"p", "q", "r"}}};
  SlotTable table = {};
  for (SlotRecord& slot : table.Slots) slot = DefaultSlotRecord();
  EXPECT_EQ(DetailsReport(table, labels, 0x00030003, true), "Quendal 1.2, Corvane.dll 3.3\r\nМодули не обнаружены\r\n");
  table.Slots[6] = ReadyRecord(6, "K200", {true, false, false, false});
  const std::string k200 = "Слот  6: Модуль K200\r\n", dashes = ": ------------\r\n";
  EXPECT_EQ(DetailsReport(table, labels, 0x00030003, true),
            "Quendal 1.2, Corvane.dll 3.3\r\n" + k200 + "  USB: HS\r\n  S: SN000042\r\n  R: C\r\n  D: ЕСТЬ\r\n" +
                "  MCU\r\n    a: AT89C52\r\n    b: 24000 кГц\r\n    c: 1.11 от 03.02.2004\r\n  BOOT\r\n    v" + dashes +
                "  DSP\r\n    x" + dashes + "    y" + dashes + "    z" + dashes + "  PLD\r\n    p" + dashes + "    q" +
                dashes + "    r" + dashes);
  // Before the first scan, and without a version block.
  labels.ProgramVersion.clear();
  EXPECT_EQ(DetailsReport(table, labels, 0xFFFFFFFF, false),
            "Quendal, Corvane.dll 65535.65535\r\n" + k200 + "  Сведений о модуле ещё нет\r\n");
}

// ---- The window drawn from them ---------------------------------------------------

struct TGroup {
  const char* Box;
  std::vector<const char*> Labels, Values;
};

const TGroup McuGroup = {"McuLMDGroupBox",
                         {"McuTypeLabelLMDStaticText", "McuFreqLabelLMDStaticText", "McuFirmwareVersionLabelLMDStaticText"},
                         {"McuTypeLMDStaticText", "McuFreqLMDStaticText", "McuFirmwareVersionLMDStaticText"}};
const TGroup BootGroup = {"BootLoaderLMDGroupBox", {"McuBootLoadeVersionLabelLMDStaticText"}, {"McuBootLoaderVersionLMDStaticText"}};
const TGroup DspGroup = {"DspLMDGroupBox",
                         {"DspTypeLabelLMDStaticText", "DspFreqLabelLMDStaticText", "DspFirmwareVersionLabelLMDStaticText"},
                         {"DspTypeLMDStaticText", "DspFreqLMDStaticText", "DspFirmwareVersionLMDStaticText"}};
const TGroup PldGroup = {"PldLMDGroupBox",
                         {"PldTypeLabelLMDStaticText", "PldFreqLabelLMDStaticText", "PldFirmwareVersionLabelLMDStaticText"},
                         {"PldTypeLMDStaticText", "PldFreqLMDStaticText", "PldFirmwareVersionLMDStaticText"}};

// The main window's procedure, with the caption writes watched in front of it.
WNDPROC gMainProc = nullptr;
std::function<void()> gOnCaption;
LRESULT CALLBACK WatchCaption(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SETTEXT && gOnCaption) gOnCaption();
  return CallWindowProcW(gMainProc, h, msg, wParam, lParam);
}

class MonitorDetails : public MonitorFixture {
 protected:
  void TearDown() override {
    gOnCaption = nullptr;
    MonitorFixture::TearDown();
  }
  void Show(const SlotRecord& selected, int selectedIndex, bool shown = true) {
    Thread->Current.Selected = selected;
    if (selected.SlotNumber >= 0) Thread->Current.Slots[selected.SlotNumber] = selected;
    Thread->SelectedIndex = selectedIndex;
    Thread->ShowDetails(shown);
  }
  // Runs whenever the main window's caption is set.
  void OnCaption(std::function<void()> watch) {
    gOnCaption = std::move(watch);
    gMainProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(Window->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchCaption)));
  }

  // A group that the module does not have: everything off, dashes.
  void ExpectAbsent(const TGroup& g) {
    EXPECT_FALSE(Enabled(g.Box)) << g.Box;
    for (const char* l : g.Labels) EXPECT_FALSE(Enabled(l)) << l;
    for (const char* v : g.Values) {
      EXPECT_FALSE(Enabled(v)) << v;
      EXPECT_EQ(Text(v), Dashes) << v;
    }
  }

  void ExpectShown(const TGroup& g, const std::vector<std::string>& texts) {
    EXPECT_TRUE(Enabled(g.Box)) << g.Box;
    for (const char* l : g.Labels) EXPECT_TRUE(Enabled(l)) << l;
    for (size_t i = 0; i < g.Values.size(); ++i) {
      EXPECT_TRUE(Enabled(g.Values[i])) << g.Values[i];
      EXPECT_EQ(Text(g.Values[i]), texts[i]) << g.Values[i];
    }
  }

  void ExpectNotReadyBoxes() {
    EXPECT_EQ(Window->Text(), NoModule);
    EXPECT_EQ(Text("ModuleGroupBox"), "Модуль ????");
    EXPECT_EQ(Lamp("UsbSpeedLed"), clBtnFace);
    EXPECT_EQ(Text("SpeedModeStaticText"), "??");
    EXPECT_EQ(Text("SerialNumberLMDStaticText"), "--------");
    EXPECT_EQ(Text("ModuleRevisionLMDStaticText"), "-");
    EXPECT_EQ(Text("DacLMDStaticText"), "----");
    EXPECT_FALSE(Enabled("SerialNumberLMDStaticText"));
    EXPECT_FALSE(Enabled("ModuleRevisionLMDStaticText"));
    EXPECT_FALSE(Enabled("DacLMDStaticText"));
  }
};

TEST_F(MonitorDetails, StartUpRenderingShowsThePlaceholders) {
  // SetUp ran the start-up step: its rendering replaced the creation texts.
  ASSERT_EQ(List().Count(), 25);
  for (int i = 0; i < 25; ++i) EXPECT_EQ(Line(i), "") << i;
  EXPECT_EQ(Text("VirtualSlotStaticText"), "");
  ExpectNotReadyBoxes();
  EXPECT_EQ(Lamp("ModuleLoadingLed"), clBtnFace);
  EXPECT_FALSE(Enabled("ModuleStatusLMDStaticText"));
  EXPECT_FALSE(Enabled("SpeedModeStaticText"));
  for (const TGroup* g : {&McuGroup, &BootGroup, &DspGroup, &PldGroup}) ExpectAbsent(*g);
  EXPECT_FALSE(List().Enabled());
  EXPECT_TRUE(Enabled("ModuleGroupBox")) << "the group box itself is left alone";
  Thread->ApplyScan();  // a first scan with nothing to select in
  EXPECT_EQ(Thread->DetailsDirty, 1);
  EXPECT_EQ(Thread->SelectedIndex, -1);
}

TEST_F(MonitorDetails, NotShownIgnoresAReadyRecord) {
  Show(ReadyRecord(3, "K600", {true, false, true, false}), 3, false);
  ExpectNotReadyBoxes();
  EXPECT_EQ(Lamp("ModuleLoadingLed"), clBtnFace);
  EXPECT_EQ(Text("VirtualSlotStaticText"), "");
  // The units it has stay enabled as groups, with their controls off.
  EXPECT_TRUE(Enabled("McuLMDGroupBox"));
  EXPECT_FALSE(Enabled("McuTypeLMDStaticText"));
  EXPECT_EQ(Text("McuTypeLMDStaticText"), Dashes);
  EXPECT_EQ(Text("DspTypeLMDStaticText"), Questions);
  EXPECT_FALSE(Enabled("DspTypeLabelLMDStaticText"));
}

struct ModelCase {
  const char* Name;
  TUnits Units;
};

class MonitorModelDetails : public MonitorDetails, public ::testing::WithParamInterface<ModelCase> {};

TEST_P(MonitorModelDetails, ShowsTheUnitsOfItsModel) {
  const ModelCase& c = GetParam();
  Show(ReadyRecord(6, c.Name, c.Units), 6);
  EXPECT_EQ(Window->Text(), std::string("Мониторинг USB модулей: ") + c.Name + " --> S/N SN000042");
  EXPECT_EQ(Text("ModuleGroupBox"), std::string("Модуль ") + c.Name);
  EXPECT_EQ(Text("VirtualSlotStaticText"), "6");
  EXPECT_EQ(Lamp("ModuleLoadingLed"), Green);
  EXPECT_EQ(Lamp("UsbSpeedLed"), Green);
  EXPECT_EQ(Text("SpeedModeStaticText"), "HS");
  EXPECT_EQ(Text("SerialNumberLMDStaticText"), "SN000042");
  EXPECT_EQ(Text("ModuleRevisionLMDStaticText"), "C");
  EXPECT_EQ(Text("DacLMDStaticText"), "ЕСТЬ");
  EXPECT_TRUE(Enabled("SerialNumberLMDStaticText"));
  EXPECT_TRUE(Enabled("ModuleStatusLMDStaticText"));
  ExpectShown(McuGroup, {"AT89C52", "24000 кГц", "1.11 от 03.02.2004"});
  if (c.Units.Boot)
    ExpectShown(BootGroup, {"1.00 от 01.03.2007"});
  else
    ExpectAbsent(BootGroup);
  if (c.Units.Dsp)
    ExpectShown(DspGroup, {"ADSP-2185M", "73728 кГц", "3.20 от 11.11.2004"});
  else
    ExpectAbsent(DspGroup);
  if (c.Units.Pld)
    ExpectShown(PldGroup, {"EP1C3T100", "50000.25 кГц", "2.05 от 17.06.2007"});
  else
    ExpectAbsent(PldGroup);
}

INSTANTIATE_TEST_SUITE_P(Models, MonitorModelDetails,
                         ::testing::Values(ModelCase{"K200", {true, false, false, false}},
                                           ModelCase{"K390", {true, false, false, false}},
                                           ModelCase{"K600", {true, false, true, false}},
                                           ModelCase{"K80-50", {true, true, false, true}}));

TEST_F(MonitorDetails, ASixteenCharacterSerialIsWholeInTheCaptionAndCutInTheBox) {
  SlotRecord r = ReadyRecord(0, "K200", {true, false, false, false});
  std::memcpy(r.Description.Identity.SerialNumber, "ABCDEFGH12345678", 16);  // no terminator
  r.Description.Identity.Revision = 'Z';
  std::memcpy(r.SerialNumber, "ABCDEFGH12345678", 16);
  r.Revision = 'Z';
  Show(r, 0);
  EXPECT_EQ(Window->Text(), "Мониторинг USB модулей: K200 --> S/N ABCDEFGH12345678");
  EXPECT_EQ(Text("SerialNumberLMDStaticText"), "ABCDEFGH");
  EXPECT_EQ(Thread->Current.Selected.SerialNumber[8], 0);
  EXPECT_EQ(std::string(Thread->Current.Slots[0].SerialNumber, 16), "ABCDEFGH12345678");
}

TEST_F(MonitorDetails, WithoutTheMicrocontrollerTheCaptionTakesTheRecordsOwnSerial) {
  SlotRecord r = ReadyRecord(0, "XYZ", {false, false, false, false});
  std::memcpy(r.ModuleName, "0123456789abcdef", 16);  // fills its field
  std::memcpy(r.SerialNumber, "SSSSSSSSTTTTTTTT", 16);
  Show(r, 0);
  EXPECT_EQ(Window->Text(), "Мониторинг USB модулей: 0123456789abcdef --> S/N SSSSSSSSTTTTTTTT");
  // A second rendering shows the cut serial, as the record now holds it.
  Thread->ShowDetails(true);
  EXPECT_EQ(Window->Text(), "Мониторинг USB модулей: 0123456789abcdef --> S/N SSSSSSSS");
}

TEST_F(MonitorDetails, ListLinesAreReplacedInPlaceAndTheSelectionStays) {
  for (int i = 0; i < 25; ++i)
    std::snprintf(Thread->Current.Slots[i].ListLine, ListLineSize, "Слот %2d: -----", i);
  Thread->ShowDetails(true);
  List().SetItemIndex(3);
  std::strcpy(Thread->Current.Slots[5].ListLine, "Слот  5: Модуль K200");
  std::memset(Thread->Current.Slots[9].ListLine, 'L', ListLineSize);  // no terminator
  Thread->ShowDetails(true);
  EXPECT_EQ(List().Count(), 25);
  EXPECT_EQ(Line(5), "Слот  5: Модуль K200");
  EXPECT_EQ(Line(4), "Слот  4: -----");
  EXPECT_EQ(Line(9), std::string(77, 'L'));
  EXPECT_EQ(List().ItemIndex(), 3);
}

TEST_F(MonitorDetails, BusyIsSetForTheRenderingAndClearedAfter) {
  std::vector<bool> busyAtCaption;
  OnCaption([&] { busyAtCaption.push_back(Window->Busy); });
  Show(ReadyRecord(2, "K200", {true, false, false, false}), 2);
  EXPECT_EQ(busyAtCaption, std::vector<bool>({true}));
  EXPECT_FALSE(Window->Busy);
}

TEST_F(MonitorDetails, UnchangedTextsAreNotWrittenAgain) {
  SlotRecord r = ReadyRecord(2, "K200", {true, false, false, false});
  Show(r, 2);
  int captions = 0;
  OnCaption([&] { ++captions; });
  Show(r, 2);
  EXPECT_EQ(captions, 0);
  r.Description.Identity.ModuleName[0] = 'Q';
  Show(r, 2);
  EXPECT_EQ(captions, 1);
}

// ---- Enabling the controls of a container --------------------------------------

using MonitorGroupControls = MonitorDetails;

TEST_F(MonitorGroupControls, EveryDepthIsReachedAndTheContainerItselfStays) {
  TWinControl& box = *Window->ModuleGroupBox;
  HWND raw = CreateWindowExW(0, L"STATIC", L"raw", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, Window->DspLMDGroupBox->Handle(),
                             nullptr, nullptr, nullptr);
  ASSERT_NE(raw, nullptr);
  EnableGroupControls(box, true);
  EXPECT_TRUE(Enabled("McuLMDGroupBox"));
  EXPECT_TRUE(Enabled("McuTypeLMDStaticText"));
  EXPECT_TRUE(Enabled("SerialNumberLMDStaticText"));
  EXPECT_TRUE(IsWindowEnabled(raw));
  EnableGroupControls(box, false);
  EXPECT_TRUE(box.Enabled());
  EXPECT_FALSE(Enabled("McuLMDGroupBox"));
  EXPECT_FALSE(Enabled("PldFirmwareVersionLabelLMDStaticText"));
  EXPECT_FALSE(Enabled("ModuleStatusLMDStaticText"));
  EXPECT_FALSE(IsWindowEnabled(raw)) << "a window the framework did not make";
  // Controls outside the container keep their state.
  EXPECT_TRUE(Enabled("VirtualSlotStaticText"));
  box.SetEnabled(false);
  EnableGroupControls(*Window->McuLMDGroupBox, true);
  EXPECT_FALSE(box.Enabled());
  EXPECT_FALSE(Enabled("McuLMDGroupBox"));
  EXPECT_TRUE(Enabled("McuFreqLMDStaticText"));
  EXPECT_FALSE(Enabled("DspTypeLMDStaticText"));
  DestroyWindow(raw);
}

}  // namespace
}  // namespace MonitorTest
