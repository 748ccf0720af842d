// What the monitor knows about the 25 virtual slots: one packed record per
// slot, compared byte by byte, and the table of them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "device/ModuleDescription.h"

constexpr int SlotCount = 25;
constexpr size_t ListLineSize = 77;

#pragma pack(push, 1)
struct SlotRecord {
  int32_t SlotNumber;        // -1: nothing answered in the slot
  uint32_t InitPending;      // 1 until the module's load step succeeded
  uint32_t ModuleReady;      // 1 once the module's test step succeeded
  uint32_t DescriptionValid; // 1 if the description was read
  ModuleDescription Description;
  char ListLine[ListLineSize];
  uint8_t UsbSpeed;          // 0 full speed, nonzero high speed; 2 unknown
  char ModuleName[16];
  char SerialNumber[16];     // no NUL when all 16 are used
  char Revision;
  uint32_t DacPresent;
};

struct SlotTable {
  uint16_t ModuleCount;
  SlotRecord Selected;
  SlotRecord Slots[SlotCount];
};
#pragma pack(pop)

static_assert(offsetof(SlotRecord, InitPending) == 4, "SlotRecord layout");
static_assert(offsetof(SlotRecord, ModuleReady) == 8, "SlotRecord layout");
static_assert(offsetof(SlotRecord, DescriptionValid) == 12, "SlotRecord layout");
static_assert(offsetof(SlotRecord, Description) == 16, "SlotRecord layout");
static_assert(offsetof(SlotRecord, ListLine) == 16 + sizeof(ModuleDescription), "SlotRecord layout");
static_assert(offsetof(SlotRecord, UsbSpeed) == 16 + 7224 + 77, "SlotRecord layout");
static_assert(offsetof(SlotRecord, ModuleName) == 16 + 7224 + 78, "SlotRecord layout");
static_assert(offsetof(SlotRecord, SerialNumber) == 16 + 7224 + 94, "SlotRecord layout");
static_assert(offsetof(SlotRecord, Revision) == 16 + 7224 + 110, "SlotRecord layout");
static_assert(offsetof(SlotRecord, DacPresent) == 16 + 7224 + 111, "SlotRecord layout");
static_assert(sizeof(SlotRecord) == 16 + 7224 + 115, "SlotRecord has no gaps");
static_assert(offsetof(SlotTable, Selected) == 2, "SlotTable layout");
static_assert(offsetof(SlotTable, Slots) == 2 + sizeof(SlotRecord), "SlotTable layout");
static_assert(sizeof(SlotTable) == 2 + 26 * sizeof(SlotRecord), "SlotTable has no gaps");

// The record of a slot where nothing answered.
SlotRecord DefaultSlotRecord();
