// The texts the monitor's tests expect in the main window, written out.
#pragma once

namespace MonitorTest {

const char* const NoModule = "Мониторинг USB модулей: No Module  --> S/N ????????";
const char* const Dashes = "------------";
const char* const Questions = "????????????";

}  // namespace MonitorTest
