// What the monitor's end-to-end tests share: the colour a lamp shows on the
// screen, a click on one line of the slot list, and the texts the details
// show when no module is ready.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>

#include "e2e/Harness.h"

namespace MonitorE2E {

const char* const NoModuleCaption = "Мониторинг USB модулей: No Module  --> S/N ????????";
const char* const Dashes = "------------";

const COLORREF LampGreen = RGB(0, 255, 0), LampRed = RGB(255, 0, 0), LampOrange = RGB(255, 150, 0);
inline COLORREF LampUnlit() { return GetSysColor(COLOR_BTNFACE); }

inline bool SameColour(COLORREF a, COLORREF b) {
  auto close = [](int x, int y) { return (x > y ? x - y : y - x) <= 8; };
  return close(GetRValue(a), GetRValue(b)) && close(GetGValue(a), GetGValue(b)) && close(GetBValue(a), GetBValue(b));
}

// The screen pixel at the lamp's centre: inside its filled circle.
inline COLORREF LampColour(HWND lamp) {
  RECT r = {};
  if (!lamp || !GetWindowRect(lamp, &r)) return CLR_INVALID;
  return Inspector::ScreenPixel((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

inline bool WaitLamp(const TQuendalRun& run, const char* name, COLORREF colour, DWORD ms = 5000) {
  HWND lamp = run.Control(name);
  return Inspector::WaitFor([&] { return SameColour(LampColour(lamp), colour); }, ms);
}

inline std::string ColourText(COLORREF c) {
  char text[32];
  std::snprintf(text, sizeof text, "RGB(%u,%u,%u)", GetRValue(c), GetGValue(c), GetBValue(c));
  return text;
}

// The loading and speed lamps reach their colours in time.
inline void ExpectLamps(const TQuendalRun& run, COLORREF loading, COLORREF speed) {
  for (const auto& lamp : {std::make_pair("ModuleLoadingLed", loading), std::make_pair("UsbSpeedLed", speed)})
    EXPECT_TRUE(WaitLamp(run, lamp.first, lamp.second))
        << lamp.first << ": " << ColourText(LampColour(run.Control(lamp.first)));
}

// Clicks the middle of a line of the list, as a user would.
inline void ClickLine(HWND list, int index) {
  int top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
  int height = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
  RECT window = {};
  GetWindowRect(list, &window);
  POINT client = {0, 0};
  ClientToScreen(list, &client);
  Inspector::Click(list, false, client.x - window.left + 60, client.y - window.top + (index - top) * height + height / 2);
}

inline std::string Caption(const TQuendalRun& run) { return Inspector::Text(run.Main()); }

// The main window's controls by name, looked up once: finding a control by
// name asks every control of the window for its name.
class TControlMap {
 public:
  explicit TControlMap(const TQuendalRun& run) {
    for (HWND h : Inspector::Controls(run.Main())) FMap[Inspector::ControlName(h)] = h;
  }
  HWND operator[](const std::string& name) const {
    auto it = FMap.find(name);
    return it == FMap.end() ? nullptr : it->second;
  }
  std::string Text(const std::string& name) const {
    HWND h = (*this)[name];
    return h ? Inspector::Text(h) : "<no control " + name + ">";
  }
  bool Enabled(const std::string& name) const {
    HWND h = (*this)[name];
    return h && Inspector::Enabled(h);
  }

 private:
  std::map<std::string, HWND> FMap;
};

}  // namespace MonitorE2E
