// The details of the selected module as the shipped program shows them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "e2e/Harness.h"
#include "e2e/RunSupport.h"
#include "e2e/MonitorSupport.h"

using namespace Inspector;
using namespace MonitorE2E;
using E2ERun::Shows;

namespace {

// The units of every model, with their values spelled out in the scenario.
const char* const Units =
    " mcu.name=MCU-E2E mcu.clock=48000 mcu.version=1.5 mcu.date=01.02.2003"
    " boot.version=0.9 boot.date=04.05.2006"
    " dsp.name=DSP-E2E dsp.clock=73728.5 dsp.version=3.2 dsp.date=07.08.2009"
    " pld.name=PLD-E2E pld.clock=50000 pld.version=2.1 pld.date=10.11.2012";

struct TGroup {
  const char* Box;
  std::vector<const char*> Labels, Values;
  std::vector<const char*> Texts;  // when shown
};

const TGroup McuGroup = {"McuLMDGroupBox",
                         {"McuTypeLabelLMDStaticText", "McuFreqLabelLMDStaticText", "McuFirmwareVersionLabelLMDStaticText"},
                         {"McuTypeLMDStaticText", "McuFreqLMDStaticText", "McuFirmwareVersionLMDStaticText"},
                         {"MCU-E2E", "48000 кГц", "1.5 от 01.02.2003"}};
const TGroup BootGroup = {"BootLoaderLMDGroupBox",
                          {"McuBootLoadeVersionLabelLMDStaticText"},
                          {"McuBootLoaderVersionLMDStaticText"},
                          {"0.9 от 04.05.2006"}};
const TGroup DspGroup = {"DspLMDGroupBox",
                         {"DspTypeLabelLMDStaticText", "DspFreqLabelLMDStaticText", "DspFirmwareVersionLabelLMDStaticText"},
                         {"DspTypeLMDStaticText", "DspFreqLMDStaticText", "DspFirmwareVersionLMDStaticText"},
                         {"DSP-E2E", "73728.5 кГц", "3.2 от 07.08.2009"}};
const TGroup PldGroup = {"PldLMDGroupBox",
                         {"PldTypeLabelLMDStaticText", "PldFreqLabelLMDStaticText", "PldFirmwareVersionLabelLMDStaticText"},
                         {"PldTypeLMDStaticText", "PldFreqLMDStaticText", "PldFirmwareVersionLMDStaticText"},
                         {"PLD-E2E", "50000 кГц", "2.1 от 10.11.2012"}};

void ExpectGroup(const TControlMap& c, const TGroup& g, bool shown) {
  EXPECT_EQ(c.Enabled(g.Box), shown) << g.Box;
  for (const char* l : g.Labels) EXPECT_EQ(c.Enabled(l), shown) << l;
  for (size_t i = 0; i < g.Values.size(); ++i) {
    EXPECT_EQ(c.Enabled(g.Values[i]), shown) << g.Values[i];
    EXPECT_EQ(c.Text(g.Values[i]), shown ? g.Texts[i] : Dashes) << g.Values[i];
  }
}

// No module ready. Before the first applied scan (startUp) every control of
// the group box is disabled; afterwards the fixed labels are enabled again.
void ExpectNothingShown(const TQuendalRun& run, bool startUp) {
  TControlMap c(run);
  EXPECT_EQ(Caption(run), NoModuleCaption);
  EXPECT_EQ(c.Text("ModuleGroupBox"), "Модуль ????");
  EXPECT_EQ(c.Text("SpeedModeStaticText"), "??");
  EXPECT_EQ(c.Text("SerialNumberLMDStaticText"), "--------");
  EXPECT_EQ(c.Text("ModuleRevisionLMDStaticText"), "-");
  EXPECT_EQ(c.Text("DacLMDStaticText"), "----");
  EXPECT_FALSE(c.Enabled("SerialNumberLMDStaticText"));
  EXPECT_FALSE(c.Enabled("DacLMDStaticText"));
  EXPECT_EQ(c.Enabled("ModuleStatusLMDStaticText"), !startUp);
  EXPECT_EQ(c.Enabled("SerialNumberLabelLMDStaticText"), !startUp);
  for (const TGroup* g : {&McuGroup, &BootGroup, &DspGroup, &PldGroup}) ExpectGroup(c, *g, false);
  ExpectLamps(run, LampUnlit(), LampUnlit());
}

// The clipboard's Unicode text in cp1251, read from this process, which is
// not the program's; "" when it holds none.
std::string ClipboardText() {
  if (!OpenClipboard(nullptr)) return "<clipboard not opened>";
  std::string text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
      int n = WideCharToMultiByte(1251, 0, wide, -1, nullptr, 0, nullptr, nullptr);
      text.resize(static_cast<size_t>(n > 0 ? n : 1));
      WideCharToMultiByte(1251, 0, wide, -1, &text[0], n, nullptr, nullptr);
      text.resize(text.size() - 1);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

void PutOnClipboard(const wchar_t* text) {
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    std::memcpy(GlobalLock(memory), text, bytes);
    GlobalUnlock(memory);
    if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
  }
  CloseClipboard();
}

// Presses the short cut in the main window until the clipboard holds more
// than the marker this test put there.
std::string CopyWith(const TQuendalRun& run, WORD key) {
  PutOnClipboard(L"marker");
  SetForegroundWindow(run.Main());
  WaitFor([&] { return GetForegroundWindow() == run.Main(); }, 2000);
  SendKey(run.Main(), key, true);
  std::string text;
  WaitFor([&] { return (text = ClipboardText()) != "marker"; }, 5000);
  return text;
}

struct TModelCase {
  const char* Device;  // model= of the scenario
  const char* Name;    // the module-name string
  bool Boot, Dsp, Pld;
};

class ModelDetailsEndToEnd : public ::testing::TestWithParam<TModelCase> {};

TEST_P(ModelDetailsEndToEnd, ReadyModuleShowsItsUnitsAndTheOthersAreDashed) {
  const TModelCase& c = GetParam();
  TQuendalRun run;
  ASSERT_TRUE(run.Start(std::string("version 3.3\nslot 2 model=") + c.Device + " serial=E2E00002 revision=D dac=yes" +
                        " speed=high load-ms=50" + Units + "\n"));
  // The speed box is designed with "HS" in it: the caption is what shows
  // that the module has been drawn.
  const std::string caption = std::string("Мониторинг USB модулей: ") + c.Name + " --> S/N E2E00002";
  ASSERT_TRUE(WaitFor([&] { return Caption(run) == caption; }, 10000)) << Caption(run);
  EXPECT_EQ(run.Text("SpeedModeStaticText"), "HS");
  TControlMap controls(run);
  EXPECT_EQ(controls.Text("ModuleGroupBox"), std::string("Модуль ") + c.Name);
  EXPECT_EQ(controls.Text("VirtualSlotStaticText"), "2");
  EXPECT_EQ(run.Lines("ModulesListBox")[2], std::string("Слот  2: Модуль ") + c.Name);
  EXPECT_EQ(controls.Text("SerialNumberLMDStaticText"), "E2E00002");
  EXPECT_EQ(controls.Text("ModuleRevisionLMDStaticText"), "D");
  EXPECT_EQ(controls.Text("DacLMDStaticText"), "ЕСТЬ");
  EXPECT_TRUE(controls.Enabled("SerialNumberLMDStaticText"));
  EXPECT_TRUE(controls.Enabled("ModuleStatusLMDStaticText"));
  ExpectGroup(controls, McuGroup, true);
  ExpectGroup(controls, BootGroup, c.Boot);
  ExpectGroup(controls, DspGroup, c.Dsp);
  ExpectGroup(controls, PldGroup, c.Pld);
  ExpectLamps(run, LampGreen, LampGreen);
}

INSTANTIATE_TEST_SUITE_P(Models, ModelDetailsEndToEnd,
                         ::testing::Values(TModelCase{"k200", "K200", false, false, false},
                                           TModelCase{"k390", "K390", false, false, false},
                                           TModelCase{"k600", "K600", false, true, false},
                                           TModelCase{"k8050", "K80-50", true, false, true}),
                         [](const ::testing::TestParamInfo<TModelCase>& info) { return std::string(info.param.Device); });

TEST(DetailsEndToEnd, K600AtFullSpeedThenAnotherAtHighSpeed) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start("version 3.3\nslot 1 model=k600 speed=full load-ms=50 serial=FULL0001\n"
                        "slot 4 model=k600 speed=high load-ms=50 serial=HIGH0004\n"));
  ASSERT_TRUE(Shows(run, "SpeedModeStaticText", "FS", 10000));
  EXPECT_EQ(Caption(run), "Мониторинг USB модулей: K600 --> S/N FULL0001");
  ExpectLamps(run, LampGreen, LampOrange);
  TControlMap controls(run);
  ExpectGroup(controls, BootGroup, false);
  ExpectGroup(controls, PldGroup, false);
  EXPECT_TRUE(controls.Enabled("DspLMDGroupBox"));
  ClickLine(run.Control("ModulesListBox"), 4);
  ASSERT_TRUE(Shows(run, "SpeedModeStaticText", "HS", 5000));
  EXPECT_EQ(Caption(run), "Мониторинг USB модулей: K600 --> S/N HIGH0004");
  ExpectLamps(run, LampGreen, LampGreen);
}

TEST(DetailsEndToEnd, AFailedDescriptionReadShowsTheInterfaceNameAndNoUnits) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start("version 3.3\nslot 5 model=k600 speed=full load-ms=50 fail.description=always\n"));
  ASSERT_TRUE(Shows(run, "SpeedModeStaticText", "FS", 10000));
  EXPECT_EQ(Caption(run), "Мониторинг USB модулей: K600 --> S/N ");
  EXPECT_EQ(run.Text("ModuleGroupBox"), "Модуль ");
  EXPECT_EQ(run.Lines("ModulesListBox")[5], "Слот  5: Модуль K600");
  EXPECT_EQ(run.Text("ModuleRevisionLMDStaticText"), "A");
  EXPECT_EQ(run.Text("DacLMDStaticText"), "НЕТ");
  EXPECT_EQ(run.Text("SerialNumberLMDStaticText"), "");
  TControlMap controls(run);
  for (const TGroup* g : {&McuGroup, &BootGroup, &DspGroup, &PldGroup}) ExpectGroup(controls, *g, false);
  ExpectLamps(run, LampGreen, LampOrange);
}

TEST(DetailsEndToEnd, ASixteenCharacterSerialIsWholeInTheCaptionAndCutInTheBox) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start("version 3.3\nslot 0 model=k390 serial=ABCDEFGH12345678 revision=Z\n"));
  ASSERT_TRUE(Shows(run, "SerialNumberLMDStaticText", "ABCDEFGH", 10000));
  EXPECT_EQ(Caption(run), "Мониторинг USB модулей: K390 --> S/N ABCDEFGH12345678");
  EXPECT_EQ(run.Text("ModuleRevisionLMDStaticText"), "Z");
}

TEST(DetailsEndToEnd, AnUnknownModuleIsReadyWithoutUnits) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start("version 3.3\nslot 7 model=none name=XQ-1\n"));
  ASSERT_TRUE(Shows(run, "VirtualSlotStaticText", "7", 10000));
  EXPECT_EQ(run.Lines("ModulesListBox")[7], "Слот  7: Модуль ");
  // Its interface wrote no name, and there is no description to take one from.
  EXPECT_EQ(Caption(run), "Мониторинг USB модулей:  --> S/N ");
  EXPECT_EQ(run.Text("ModuleGroupBox"), "Модуль ");
  EXPECT_EQ(run.Text("ModuleRevisionLMDStaticText"), "");
  EXPECT_EQ(run.Text("DacLMDStaticText"), "НЕТ");
  TControlMap controls(run);
  for (const TGroup* g : {&McuGroup, &BootGroup, &DspGroup, &PldGroup}) ExpectGroup(controls, *g, false);
  EXPECT_TRUE(WaitLamp(run, "ModuleLoadingLed", LampGreen)) << ColourText(LampColour(run.Control("ModuleLoadingLed")));
}

// The first scan has listed all 25 slots, the last of them empty.
bool WaitForAllSlotsListed(const TQuendalRun& run) {
  return WaitFor([&] {
    std::vector<std::string> lines = run.Lines("ModulesListBox");
    return lines.size() == 25 && lines[24] == "Слот 24: -----";
  }, 10000);
}

TEST(DetailsEndToEnd, NoModuleAtAllShowsTheStartUpPlaceholders) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start("version 3.3\n"));
  ASSERT_TRUE(WaitForAllSlotsListed(run));
  HWND list = run.Control("ModulesListBox");
  EXPECT_FALSE(Enabled(list));
  EXPECT_EQ(ListSelection(list), -1);
  EXPECT_EQ(run.Text("VirtualSlotStaticText"), "");
  EXPECT_EQ(run.Lines("ModulesListBox")[3], "Слот  3: -----");
  EXPECT_EQ(run.Lines("ModulesListBox")[12], "Слот 12: -----");
  ExpectNothingShown(run, false);
}

TEST(DetailsEndToEnd, AModuleWhoseTestKeepsFailingLeavesTheStartUpState) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start("version 3.3\nslot 0 model=k200\nslot 3 model=k8050 load-ms=10 fail.test=always\n"));
  // Every scan fails at slot 3; nothing is applied, so the window keeps what
  // the start-up step drew: 25 empty lines and no module.
  ASSERT_TRUE(WaitFor([&] { return StatValue(run.Stats(), "test") >= 3; }, 10000)) << run.Stats();
  EXPECT_GE(StatValue(run.Stats(), "load"), 3) << "loaded again every cycle";
  std::vector<std::string> lines = run.Lines("ModulesListBox");
  ASSERT_EQ(lines.size(), 25u);
  for (const std::string& line : lines) EXPECT_EQ(line, "");
  EXPECT_FALSE(Enabled(run.Control("ModulesListBox")));
  ExpectNothingShown(run, true);
}

TEST(DetailsEndToEnd, CtrlCCopiesEveryListedModuleAsTheDetailsShowIt) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start(std::string("version 3.3\n") +
                        "slot 1 model=k8050 serial=E2E00001 revision=D dac=yes speed=full load-ms=20" + Units + "\n" +
                        "slot 4 model=k600 serial=E2E00004WXYZ revision=E dac=no speed=high load-ms=50" + Units + "\n"));
  ASSERT_TRUE(WaitFor([&] {
    std::vector<std::string> lines = run.Lines("ModulesListBox");
    return lines.size() == 25 && lines[4] == "Слот  4: Модуль K600" && run.Text("SpeedModeStaticText") == "FS";
  }, 15000)) << run.Text("SpeedModeStaticText");
  const std::string dashes = std::string(": ") + Dashes + "\r\n";
  const std::string mcu = "  Микроконтроллер\r\n    MCU: MCU-E2E\r\n    Частота: 48000 кГц\r\n"
                          "    Версия: 1.5 от 01.02.2003\r\n";
  EXPECT_EQ(CopyWith(run, 'C'),
            "Quendal 1.2.0.0, Corvane.dll 3.3\r\n"
            "Слот  1: Модуль K80-50\r\n  USB: FS\r\n  Серийный номер: E2E00001\r\n  Ревизия: D\r\n  ЦАП: ЕСТЬ\r\n" +
                mcu + "  Загрузчик\r\n    Версия: 0.9 от 04.05.2006\r\n" +
                "  DSP\r\n    DSP" + dashes + "    Частота" + dashes + "    Версия" + dashes +
                "  ПЛИС\r\n    PLD: PLD-E2E\r\n    Частота: 50000 кГц\r\n    Версия: 2.1 от 10.11.2012\r\n"
                // The serial-number box shows eight characters, and so does the report.
                "Слот  4: Модуль K600\r\n  USB: HS\r\n  Серийный номер: E2E00004\r\n  Ревизия: E\r\n  ЦАП: НЕТ\r\n" +
                mcu + "  Загрузчик\r\n    Версия" + dashes +
                "  DSP\r\n    DSP: DSP-E2E\r\n    Частота: 73728.5 кГц\r\n    Версия: 3.2 от 07.08.2009\r\n" +
                "  ПЛИС\r\n    PLD" + dashes + "    Частота" + dashes + "    Версия" + dashes);
  // The report is no selection of its own: the list and the details stay.
  EXPECT_EQ(ListSelection(run.Control("ModulesListBox")), 1);
  EXPECT_EQ(run.Text("SerialNumberLMDStaticText"), "E2E00001");
}

TEST(DetailsEndToEnd, WithNoModuleTheCopySaysSoAndABusyClipboardDoesNoHarm) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start("version 3.3\n"));
  ASSERT_TRUE(WaitForAllSlotsListed(run));
  // The list is disabled and nothing in the window has the focus.
  EXPECT_EQ(CopyWith(run, VK_INSERT), "Quendal 1.2.0.0, Corvane.dll 3.3\r\nМодули не обнаружены\r\n");

  // This process holds the clipboard open: the program cannot copy, shows
  // nothing and goes on. Keys are taken in order, so once Ctrl+A has opened
  // the About window the copy has been tried.
  PutOnClipboard(L"marker");
  ASSERT_TRUE(OpenClipboard(nullptr));
  SendKey(run.Main(), 'C', true);
  SendKey(nullptr, 'A', true);
  HWND about = nullptr;
  bool aboutShown = WaitFor([&] {
    about = FindWindowNamed(run.ProcessId(), "AboutProgramPanel");
    return about && Visible(about);
  }, 5000);
  CloseClipboard();
  ASSERT_TRUE(aboutShown);
  TMessageBox box;
  EXPECT_FALSE(run.FindBox(box, 300)) << box.Caption << ": " << box.Text;
  EXPECT_EQ(ClipboardText(), "marker");
  WaitFor([&] { return GetForegroundWindow() == about; }, 2000);
  SendKey(about, VK_ESCAPE);
  EXPECT_TRUE(WaitFor([&] { return !Visible(about); }, 5000));
  EXPECT_TRUE(run.Running());
}

}  // namespace
