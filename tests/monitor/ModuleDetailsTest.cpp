// The details presentation: what the window shows for a given selected
// record, and the enabling of the group box's controls.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

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

class MonitorDetails : public MonitorFixture {
 protected:
  void Show(const SlotRecord& selected, int selectedIndex, uint8_t shown = 1) {
    Thread->Current.Selected = selected;
    if (selected.SlotNumber >= 0) Thread->Current.Slots[selected.SlotNumber] = selected;
    Thread->SelectedIndex = selectedIndex;
    ShowModuleDetails(*Thread, shown);
  }

  // A group that the module does not have: everything off, dashes.
  void ExpectAbsent(const TGroup& g) {
    EXPECT_FALSE(Window.EnabledOf(g.Box)) << g.Box;
    for (const char* l : g.Labels) EXPECT_FALSE(Window.EnabledOf(l)) << l;
    for (const char* v : g.Values) {
      EXPECT_FALSE(Window.EnabledOf(v)) << v;
      EXPECT_EQ(Text(v), Dashes) << v;
    }
  }

  void ExpectShown(const TGroup& g, const std::vector<std::string>& texts) {
    EXPECT_TRUE(Window.EnabledOf(g.Box)) << g.Box;
    for (const char* l : g.Labels) EXPECT_TRUE(Window.EnabledOf(l)) << l;
    for (size_t i = 0; i < g.Values.size(); ++i) {
      EXPECT_TRUE(Window.EnabledOf(g.Values[i])) << g.Values[i];
      EXPECT_EQ(Text(g.Values[i]), texts[i]) << g.Values[i];
    }
  }

  void ExpectNotReadyBoxes() {
    EXPECT_EQ(Window.Text(), NoModule);
    EXPECT_EQ(Text("ModuleGroupBox"), "Модуль ????");
    EXPECT_EQ(Window.LampOf("UsbSpeedLed"), clBtnFace);
    EXPECT_EQ(Text("SpeedModeStaticText"), "??");
    EXPECT_EQ(Text("SerialNumberLMDStaticText"), "--------");
    EXPECT_EQ(Text("ModuleRevisionLMDStaticText"), "-");
    EXPECT_EQ(Text("DacLMDStaticText"), "----");
    EXPECT_FALSE(Window.EnabledOf("SerialNumberLMDStaticText"));
    EXPECT_FALSE(Window.EnabledOf("ModuleRevisionLMDStaticText"));
    EXPECT_FALSE(Window.EnabledOf("DacLMDStaticText"));
  }
};

TEST_F(MonitorDetails, StartUpRenderingShowsThePlaceholders) {
  // SetUp ran the start-up step: its rendering replaced the creation texts.
  ASSERT_EQ(List().Count(), 25);
  for (int i = 0; i < 25; ++i) EXPECT_EQ(Line(i), "") << i;
  EXPECT_EQ(Text("VirtualSlotStaticText"), "");
  ExpectNotReadyBoxes();
  EXPECT_EQ(Window.LampOf("ModuleLoadingLed"), clBtnFace);
  EXPECT_FALSE(Window.EnabledOf("ModuleStatusLMDStaticText"));
  EXPECT_FALSE(Window.EnabledOf("SpeedModeStaticText"));
  for (const TGroup* g : {&McuGroup, &BootGroup, &DspGroup, &PldGroup}) ExpectAbsent(*g);
  EXPECT_FALSE(List().Enabled());
  EXPECT_TRUE(Window.EnabledOf("ModuleGroupBox")) << "the group box itself is left alone";
}

TEST_F(MonitorDetails, NotShownIgnoresAReadyRecord) {
  Show(ReadyRecord(3, "K600", {true, false, true, false}), 3, 0);
  ExpectNotReadyBoxes();
  EXPECT_EQ(Window.LampOf("ModuleLoadingLed"), clBtnFace);
  EXPECT_EQ(Text("VirtualSlotStaticText"), "");
  // The units it has stay enabled as groups, with their controls off.
  EXPECT_TRUE(Window.EnabledOf("McuLMDGroupBox"));
  EXPECT_FALSE(Window.EnabledOf("McuTypeLMDStaticText"));
  EXPECT_EQ(Text("McuTypeLMDStaticText"), Dashes);
  EXPECT_EQ(Text("DspTypeLMDStaticText"), Questions);
  EXPECT_FALSE(Window.EnabledOf("DspTypeLabelLMDStaticText"));
}

struct ModelCase {
  const char* Name;
  TUnits Units;
};

class MonitorModelDetails : public MonitorDetails, public ::testing::WithParamInterface<ModelCase> {};

TEST_P(MonitorModelDetails, ShowsTheUnitsOfItsModel) {
  const ModelCase& c = GetParam();
  Show(ReadyRecord(6, c.Name, c.Units), 6);
  EXPECT_EQ(Window.Text(), std::string("Мониторинг USB модулей: ") + c.Name + " --> S/N SN000042");
  EXPECT_EQ(Text("ModuleGroupBox"), std::string("Модуль ") + c.Name);
  EXPECT_EQ(Text("VirtualSlotStaticText"), "6");
  EXPECT_EQ(Window.LampOf("ModuleLoadingLed"), Green);
  EXPECT_EQ(Window.LampOf("UsbSpeedLed"), Green);
  EXPECT_EQ(Text("SpeedModeStaticText"), "HS");
  EXPECT_EQ(Text("SerialNumberLMDStaticText"), "SN000042");
  EXPECT_EQ(Text("ModuleRevisionLMDStaticText"), "C");
  EXPECT_EQ(Text("DacLMDStaticText"), "ЕСТЬ");
  EXPECT_TRUE(Window.EnabledOf("SerialNumberLMDStaticText"));
  EXPECT_TRUE(Window.EnabledOf("ModuleStatusLMDStaticText"));
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

TEST_F(MonitorDetails, SpeedLampAndTextFollowTheSpeedByte) {
  Show(ReadyRecord(1, "K600", {true, false, true, false}, 0), 1);
  EXPECT_EQ(Window.LampOf("ModuleLoadingLed"), Green);
  EXPECT_EQ(Window.LampOf("UsbSpeedLed"), Orange);
  EXPECT_EQ(Text("SpeedModeStaticText"), "FS");
  Show(ReadyRecord(1, "K600", {true, false, true, false}, 7), 1);
  EXPECT_EQ(Window.LampOf("UsbSpeedLed"), Green);
  EXPECT_EQ(Text("SpeedModeStaticText"), "HS");
}

TEST_F(MonitorDetails, AModuleNotBroughtUpLightsTheStateLampRed) {
  SlotRecord r = ReadyRecord(4, "K600", {true, false, true, false});
  r.ModuleReady = 0;
  Show(r, 4);
  EXPECT_EQ(Window.LampOf("ModuleLoadingLed"), Red);
  ExpectNotReadyBoxes();
  EXPECT_EQ(Text("VirtualSlotStaticText"), "4");
  EXPECT_EQ(Text("McuTypeLMDStaticText"), Dashes);
  EXPECT_EQ(Text("DspTypeLMDStaticText"), Questions);
  EXPECT_TRUE(Window.EnabledOf("ModuleStatusLMDStaticText"));
}

TEST_F(MonitorDetails, AnEmptySlotLeavesTheStateLampUnlit) {
  Show(DefaultSlotRecord(), 5);
  EXPECT_EQ(Window.LampOf("ModuleLoadingLed"), clBtnFace);
  EXPECT_EQ(Text("VirtualSlotStaticText"), "5");
  ExpectNotReadyBoxes();
}

TEST_F(MonitorDetails, AFailedDescriptionShowsTheInterfaceNameAndNoUnits) {
  SlotRecord r = DefaultSlotRecord();
  r.SlotNumber = 2;
  r.InitPending = 0;
  r.ModuleReady = 1;
  r.UsbSpeed = 0;
  std::strcpy(r.ModuleName, "K600");
  r.Revision = 'A';
  Show(r, 2);
  EXPECT_EQ(Window.Text(), "Мониторинг USB модулей: K600 --> S/N ");
  EXPECT_EQ(Text("ModuleGroupBox"), "Модуль ");
  EXPECT_EQ(Text("ModuleRevisionLMDStaticText"), "A");
  EXPECT_EQ(Text("DacLMDStaticText"), "НЕТ");
  EXPECT_EQ(Text("SerialNumberLMDStaticText"), "");
  EXPECT_EQ(Text("SpeedModeStaticText"), "FS");
  EXPECT_EQ(Window.LampOf("ModuleLoadingLed"), Green);
  EXPECT_EQ(Window.LampOf("UsbSpeedLed"), Orange);
  for (const TGroup* g : {&McuGroup, &BootGroup, &DspGroup, &PldGroup}) ExpectAbsent(*g);
}

TEST_F(MonitorDetails, ASixteenCharacterSerialIsWholeInTheCaptionAndCutInTheBox) {
  SlotRecord r = ReadyRecord(0, "K200", {true, false, false, false});
  std::memcpy(r.Description.Identity.SerialNumber, "ABCDEFGH12345678", 16);  // no terminator
  r.Description.Identity.Revision = 'Z';
  std::memcpy(r.SerialNumber, "ABCDEFGH12345678", 16);
  r.Revision = 'Z';
  Show(r, 0);
  EXPECT_EQ(Window.Text(), "Мониторинг USB модулей: K200 --> S/N ABCDEFGH12345678");
  EXPECT_EQ(Text("SerialNumberLMDStaticText"), "ABCDEFGH");
  EXPECT_EQ(Thread->Current.Selected.SerialNumber[8], 0);
  EXPECT_EQ(std::string(Thread->Current.Slots[0].SerialNumber, 16), "ABCDEFGH12345678");
}

TEST_F(MonitorDetails, WithoutTheMicrocontrollerTheCaptionTakesTheRecordsOwnSerial) {
  SlotRecord r = ReadyRecord(0, "XYZ", {false, false, false, false});
  std::memcpy(r.ModuleName, "0123456789abcdef", 16);  // fills its field
  std::memcpy(r.SerialNumber, "SSSSSSSSTTTTTTTT", 16);
  r.Revision = 0;
  Show(r, 0);
  EXPECT_EQ(Window.Text(), "Мониторинг USB модулей: 0123456789abcdef --> S/N SSSSSSSSTTTTTTTT");
  EXPECT_EQ(Text("ModuleRevisionLMDStaticText"), "") << "a zero revision is an empty text";
  // A second rendering shows the cut serial, as the record now holds it.
  ShowModuleDetails(*Thread, 1);
  EXPECT_EQ(Window.Text(), "Мониторинг USB модулей: 0123456789abcdef --> S/N SSSSSSSS");
}

TEST_F(MonitorDetails, TextsThatFillTheirFieldsAreReadNoFurther) {
  SlotRecord r = ReadyRecord(9, "K600", {true, true, true, true});
  ModuleDescription& d = r.Description;
  std::memset(d.Identity.ModuleName, 'M', sizeof d.Identity.ModuleName);
  std::memset(d.McuName, 'U', sizeof d.McuName);
  std::memset(d.McuFirmware.Version, 'V', sizeof d.McuFirmware.Version);
  std::memset(d.Dsp.Name, 'D', sizeof d.Dsp.Name);
  std::memset(d.Pld.Name, 'P', sizeof d.Pld.Name);
  std::memset(d.Pld.Firmware.Date, 'T', sizeof d.Pld.Firmware.Date);
  std::memset(r.ListLine, 'L', sizeof r.ListLine);
  Show(r, 9);
  EXPECT_EQ(Text("ModuleGroupBox"), "Модуль " + std::string(25, 'M'));
  EXPECT_EQ(Text("McuTypeLMDStaticText"), std::string(28, 'U'));
  EXPECT_EQ(Text("McuFirmwareVersionLMDStaticText"), std::string(10, 'V') + " от 03.02.2004");
  EXPECT_EQ(Text("DspTypeLMDStaticText"), std::string(25, 'D'));
  EXPECT_EQ(Text("PldTypeLMDStaticText"), std::string(25, 'P'));
  EXPECT_EQ(Text("PldFirmwareVersionLMDStaticText"), "2.05 от " + std::string(320, 'T'));
  EXPECT_EQ(Line(9), std::string(77, 'L'));
  EXPECT_EQ(Window.Text(), "Мониторинг USB модулей: " + std::string(25, 'M') + " --> S/N SN000042");
}

TEST_F(MonitorDetails, NonFiniteClocksShowTheUnknownPlaceholder) {
  SlotRecord r = ReadyRecord(1, "K600", {true, false, true, false});
  r.Description.McuClockKhz = 0;
  unsigned long long nanBits = 0x7FF8000000000001ull;
  std::memcpy(&r.Description.Dsp.ClockKhz, &nanBits, sizeof nanBits);
  Show(r, 1);
  EXPECT_EQ(Text("McuFreqLMDStaticText"), "0 кГц");
  EXPECT_EQ(Text("DspFreqLMDStaticText"), Questions);
}

TEST_F(MonitorDetails, ListLinesAreReplacedInPlaceAndTheSelectionStays) {
  for (int i = 0; i < 25; ++i)
    std::snprintf(Thread->Current.Slots[i].ListLine, ListLineSize, "Слот %2d: -----", i);
  ShowModuleDetails(*Thread, 1);
  List().SetItemIndex(3);
  std::strcpy(Thread->Current.Slots[5].ListLine, "Слот  5: Модуль K200");
  ShowModuleDetails(*Thread, 1);
  EXPECT_EQ(List().Count(), 25);
  EXPECT_EQ(Line(5), "Слот  5: Модуль K200");
  EXPECT_EQ(Line(4), "Слот  4: -----");
  EXPECT_EQ(List().ItemIndex(), 3);
}

TEST_F(MonitorDetails, BusyIsSetForTheRenderingAndClearedAfter) {
  std::vector<bool> busyAtCaption;
  Window.OnCaption = [&](const std::string&) { busyAtCaption.push_back(Window.Busy); };
  Show(ReadyRecord(2, "K200", {true, false, false, false}), 2);
  EXPECT_EQ(busyAtCaption, std::vector<bool>({true}));
  EXPECT_FALSE(Window.Busy);
}

TEST_F(MonitorDetails, UnchangedTextsAreNotWrittenAgain) {
  SlotRecord r = ReadyRecord(2, "K200", {true, false, false, false});
  Show(r, 2);
  int captions = 0;
  Window.OnCaption = [&](const std::string&) { ++captions; };
  Show(r, 2);
  EXPECT_EQ(captions, 0);
  r.Description.Identity.ModuleName[0] = 'Q';
  Show(r, 2);
  EXPECT_EQ(captions, 1);
}

TEST_F(MonitorDetails, AWindowWithoutTheControlsIsLeftAlone) {
  TMonitorView view;  // no windows at all
  bool busy = true;
  view.Busy = &busy;
  std::unique_ptr<TModulesMonitorThread> bare(new TModulesMonitorThread(true, view, Fake.Library()));
  bare->Current.Selected = ReadyRecord(1, "K200", {true, false, false, false});
  ShowModuleDetails(*bare, 1);
  EXPECT_FALSE(busy);
  bare->ApplyScan();  // nothing to select in
  EXPECT_EQ(bare->DetailsDirty, 1);
  EXPECT_EQ(bare->SelectedIndex, -1);
}

// ---- Enabling the controls of a container --------------------------------------

using MonitorGroupControls = MonitorDetails;

TEST_F(MonitorGroupControls, EveryDepthIsReachedAndTheContainerItselfStays) {
  TWinControl* box = Window.Control("ModuleGroupBox");
  HWND raw = CreateWindowExW(0, L"STATIC", L"raw", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10,
                             Window.Control("DspLMDGroupBox")->Handle(), nullptr, nullptr, nullptr);
  ASSERT_NE(raw, nullptr);
  EnableGroupControls(box, true);
  EXPECT_TRUE(Window.EnabledOf("McuLMDGroupBox"));
  EXPECT_TRUE(Window.EnabledOf("McuTypeLMDStaticText"));
  EXPECT_TRUE(Window.EnabledOf("SerialNumberLMDStaticText"));
  EXPECT_TRUE(IsWindowEnabled(raw));
  EnableGroupControls(box, false);
  EXPECT_TRUE(box->Enabled());
  EXPECT_FALSE(Window.EnabledOf("McuLMDGroupBox"));
  EXPECT_FALSE(Window.EnabledOf("PldFirmwareVersionLabelLMDStaticText"));
  EXPECT_FALSE(Window.EnabledOf("ModuleStatusLMDStaticText"));
  EXPECT_FALSE(IsWindowEnabled(raw)) << "a window the framework did not make";
  // Controls outside the container keep their state.
  EXPECT_TRUE(Window.EnabledOf("VirtualSlotStaticText"));
  box->SetEnabled(false);
  EnableGroupControls(Window.Control("McuLMDGroupBox"), true);
  EXPECT_FALSE(box->Enabled());
  EXPECT_FALSE(Window.EnabledOf("McuLMDGroupBox"));
  EXPECT_TRUE(Window.EnabledOf("McuFreqLMDStaticText"));
  EXPECT_FALSE(Window.EnabledOf("DspTypeLMDStaticText"));
  DestroyWindow(raw);
}

TEST_F(MonitorGroupControls, NoContainerIsNoFault) {
  ASSERT_FALSE(Window.EnabledOf("McuTypeLMDStaticText"));
  EnableGroupControls(nullptr, true);
  TMonitorWindow unbuilt;  // no windows made
  EnableGroupControls(&unbuilt, true);
  EXPECT_FALSE(Window.EnabledOf("McuTypeLMDStaticText"));
}

}  // namespace
}  // namespace MonitorTest
