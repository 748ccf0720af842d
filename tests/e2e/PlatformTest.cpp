// The program as a Windows citizen: the manifest it carries, the common
// controls it gets from it, the caption colours the group boxes keep with
// them, and the order of its windows that accessibility tools read labels by.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "e2e/E2EPixels.h"
#include "e2e/Harness.h"
#include "e2e/RunSupport.h"

using namespace Inspector;
using namespace E2ERun;

namespace {

std::wstring ShippedExe() { return TQuendalRun::ShippedDir() + L"\\Quendal.exe"; }

// The application manifest embedded in the program (resource 1 of type 24).
std::string EmbeddedManifest() {
  HMODULE exe = LoadLibraryExW(ShippedExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!exe) return std::string();
  std::string text;
  HRSRC found = FindResourceW(exe, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  HGLOBAL loaded = found ? LoadResource(exe, found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (bytes) text.assign(static_cast<const char*>(bytes), SizeofResource(exe, found));
  FreeLibrary(exe);
  return text;
}

// The manifest with its blanks squeezed to single spaces, so that checks do
// not depend on its indentation.
std::string Squeezed(const std::string& text) {
  std::string out;
  for (char c : text) {
    bool blank = std::isspace(static_cast<unsigned char>(c)) != 0;
    if (blank && (out.empty() || out.back() == ' ')) continue;
    out += blank ? ' ' : c;
  }
  return out;
}

TEST(Manifest, AsksForNoElevationSystemDpiAwarenessCommonControls6AndNamesVistaTo10) {
  std::string m = Squeezed(EmbeddedManifest());
  ASSERT_FALSE(m.empty()) << "the program carries no manifest";
  EXPECT_EQ(m.compare(0, 5, "<?xml"), 0) << "not an XML document";
  EXPECT_NE(m.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\""), std::string::npos) << m;
  // System aware: the Vista element, true, and no per-monitor setting.
  EXPECT_NE(m.find(">true</dpiAware>"), std::string::npos) << m;
  EXPECT_EQ(m.find("permonitor"), std::string::npos) << m;
  EXPECT_EQ(m.find("PerMonitor"), std::string::npos) << m;
  EXPECT_NE(m.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos) << m;
  EXPECT_NE(m.find("publicKeyToken=\"6595b64144ccf1df\""), std::string::npos) << m;
  const char* const systems[] = {
      "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Vista
      "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
      "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
      "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
      "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
  };
  for (const char* id : systems)
    EXPECT_NE(m.find(std::string("<supportedOS Id=\"") + id + "\""), std::string::npos) << id;
}

// The comctl32.dll the running program loaded.
std::string LoadedCommonControls(DWORD processId) {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
  if (snap == INVALID_HANDLE_VALUE) return std::string();
  std::string path;
  MODULEENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Module32FirstW(snap, &entry); more; more = Module32NextW(snap, &entry)) {
    std::wstring name = entry.szModule;
    std::transform(name.begin(), name.end(), name.begin(), ::towlower);
    if (name != L"comctl32.dll") continue;
    char narrow[MAX_PATH * 2] = {};
    WideCharToMultiByte(CP_ACP, 0, entry.szExePath, -1, narrow, sizeof narrow - 1, nullptr, nullptr);
    path = narrow;
  }
  CloseHandle(snap);
  std::transform(path.begin(), path.end(), path.begin(), ::tolower);
  return path;
}

// Pixels near a colour in the top strip of a window: where a group box
// writes its caption.
int CaptionPixels(HWND box, COLORREF colour) {
  RECT r = E2E::ScreenRect(box);
  RECT strip = {r.left, r.top, r.right, r.top + (r.bottom - r.top < 24 ? r.bottom - r.top : 24)};
  return E2E::TScreenArea(strip).Count(colour, 40);
}

TEST(CommonControls, TheManifestBringsVersion6AndTheCaptionsKeepTheirColours) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start(OneModule));
  ASSERT_TRUE(WaitFor([&] { return run.Text("McuTypeLMDStaticText") != "CCCCCC"; }, 8000)) << "no module shown";

  std::string comctl = LoadedCommonControls(run.ProcessId());
  ASSERT_FALSE(comctl.empty()) << "comctl32.dll not loaded";
  EXPECT_NE(comctl.find("winsxs"), std::string::npos) << comctl;
  EXPECT_NE(comctl.find("common-controls"), std::string::npos) << comctl;
  EXPECT_NE(comctl.find("6.0"), std::string::npos) << comctl;

  // Navy for the module's box, purple for the unit boxes, maroon for the
  // captions of the value boxes.
  SetForegroundWindow(run.Main());
  HWND module = run.Control("ModuleGroupBox"), mcu = run.Control("McuLMDGroupBox");
  HWND status = run.Control("ModuleStatusLMDStaticText");
  ASSERT_TRUE(module && mcu && status);
  const COLORREF navy = RGB(0, 0, 128), purple = RGB(128, 0, 128), maroon = RGB(128, 0, 0);
  WaitFor([&] { return CaptionPixels(module, navy) > 10 && CaptionPixels(mcu, purple) > 10; }, 3000, 50);
  EXPECT_GT(CaptionPixels(module, navy), 10) << "the module box's caption is not navy";
  EXPECT_GT(CaptionPixels(mcu, purple), 10) << "the microcontroller box's caption is not purple";
  EXPECT_EQ(CaptionPixels(mcu, navy), 0) << "the microcontroller box's caption in its parent's colour";
  EXPECT_GT(E2E::TScreenArea(E2E::ScreenRect(status)).Count(maroon, 40), 10) << "the status label is not maroon";
  QuitWithShortCut(run);
}

// Every value box follows its label in the window order, as accessibility
// tools expect to find the label that names a control.
TEST(Accessibility, EveryValueBoxComesRightAfterItsLabel) {
  const char* const pairs[][2] = {
      {"SerialNumberLabelLMDStaticText", "SerialNumberLMDStaticText"},
      {"RevisionLabelLMDStaticText", "ModuleRevisionLMDStaticText"},
      {"DacLabelLMDStaticText", "DacLMDStaticText"},
      {"McuTypeLabelLMDStaticText", "McuTypeLMDStaticText"},
      {"McuFreqLabelLMDStaticText", "McuFreqLMDStaticText"},
      {"McuFirmwareVersionLabelLMDStaticText", "McuFirmwareVersionLMDStaticText"},
      {"McuBootLoadeVersionLabelLMDStaticText", "McuBootLoaderVersionLMDStaticText"},
      {"DspTypeLabelLMDStaticText", "DspTypeLMDStaticText"},
      {"DspFreqLabelLMDStaticText", "DspFreqLMDStaticText"},
      {"DspFirmwareVersionLabelLMDStaticText", "DspFirmwareVersionLMDStaticText"},
      {"PldTypeLabelLMDStaticText", "PldTypeLMDStaticText"},
      {"PldFreqLabelLMDStaticText", "PldFreqLMDStaticText"},
      {"PldFirmwareVersionLabelLMDStaticText", "PldFirmwareVersionLMDStaticText"},
  };
  TQuendalRun run;
  ASSERT_TRUE(run.Start(OneModule));
  for (const auto& pair : pairs) {
    SCOPED_TRACE(pair[1]);
    HWND label = run.Control(pair[0]), value = run.Control(pair[1]);
    ASSERT_TRUE(label && value) << "a control is missing";
    EXPECT_EQ(GetParent(label), GetParent(value)) << "label and value in different boxes";
    EXPECT_EQ(GetWindow(label, GW_HWNDNEXT), value) << "the value box does not follow its label";
  }
  QuitWithShortCut(run);
}

}  // namespace
