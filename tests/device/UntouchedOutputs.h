// The wrapper's five operations after OpenSlot, on outputs filled with
// markers: for a wrapper that has nothing to ask the library.
#pragma once

#include <gtest/gtest.h>

#include <cstring>

#include "device/CommonUsbInterface.h"

// Each operation answers `answer`, and none of them writes.
inline void ExpectOutputsUntouched(TCommonUsbInterface& wrapper, BOOL answer) {
  char name[16];
  std::memset(name, 0x33, sizeof name);
  BYTE speed = 0x44;
  ModuleDescription record;
  std::memset(&record, 0x55, sizeof record);
  const ModuleDescription before = record;
  EXPECT_EQ(wrapper.ReadModuleName(name), answer);
  EXPECT_EQ(wrapper.ReadUsbSpeed(&speed), answer);
  EXPECT_EQ(wrapper.LoadFirmware(), answer);
  EXPECT_EQ(wrapper.TestModule(), answer);
  EXPECT_EQ(wrapper.ReadDescription(record), answer);
  for (char c : name) EXPECT_EQ(c, 0x33);
  EXPECT_EQ(speed, 0x44);
  EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0);
}
