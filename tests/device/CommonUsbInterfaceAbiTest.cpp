// The binary boundary: which slot of which interface object each wrapper
// operation calls, with which argument, in which order.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "device/CommonUsbInterface.h"
#include "tests/support/FakeCorvane.h"

namespace {

using namespace CorvaneFake;
using Trace = std::vector<std::string>;

struct TModelAbi {
  const char* ModuleName;
  int Kind;
  int ReadSlot;
  int LoadSlot;  // -1: the model needs no load
  int TestSlot;  // -1: the model needs no test
  bool TestTakesArg;
};

const TModelAbi kModels[] = {
    {"K200", KindK200, 28, -1, -1, false},
    {"K390", KindK390, 26, -1, -1, false},
    {"K600", KindK600, 31, 9, 10, false},
    {"K80-50", KindK8050, 23, 8, 9, true},
};

void PrintTo(const TModelAbi& model, std::ostream* os) { *os << model.ModuleName; }

std::string Name(const ::testing::TestParamInfo<TModelAbi>& info) {
  std::string s;
  for (const char* p = info.param.ModuleName; *p; ++p)
    if (*p != '-') s += *p;
  return s;
}

std::string Call(int kind, int slot, const std::string& arg = "") {
  return std::string(KindName(kind)) + "." + std::to_string(slot) + arg;
}

const Trace kCloseAll = {"base.1", "k200.1", "k390.1", "k600.1", "k8050.1"};

Trace Concat(Trace a, const Trace& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class DeviceWrapperAbi : public ::testing::TestWithParam<TModelAbi> {
 protected:
  void SetUp() override {
    Wrapper.reset(new TCommonUsbInterface(Fake.Library()));
    ASSERT_TRUE(Wrapper->CreateInterfaces());
    Fake.SetModuleName(GetParam().ModuleName);
    Fake.ClearCalls();
  }
  void OpenAndClear(DWORD slot = 7) {
    ASSERT_TRUE(Wrapper->OpenSlot(slot));
    Fake.ClearCalls();
  }
  int Kind() const { return GetParam().Kind; }

  TFakeCorvane Fake;
  std::unique_ptr<TCommonUsbInterface> Wrapper;
};

TEST_P(DeviceWrapperAbi, OpenSlotClosesAllAsksTheBaseAndOpensTheModel) {
  EXPECT_EQ(Wrapper->OpenSlot(17), TRUE);
  EXPECT_EQ(Fake.Trace(), Concat(kCloseAll, {"base.0(17)", "base.4(ptr)", "base.1", Call(Kind(), 0, "(17)")}));
}

TEST_P(DeviceWrapperAbi, ReadModuleNameGoesToTheModelWithTheCallersBuffer) {
  OpenAndClear();
  char buffer[16] = {};
  EXPECT_EQ(Wrapper->ReadModuleName(buffer), TRUE);
  EXPECT_EQ(Fake.Trace(), Trace{Call(Kind(), 4, "(ptr)")});
  EXPECT_EQ(Fake.Calls[0].Arg, reinterpret_cast<std::uintptr_t>(buffer));
  EXPECT_STREQ(buffer, GetParam().ModuleName);
}

TEST_P(DeviceWrapperAbi, ReadUsbSpeedGoesToTheModel) {
  Fake.Of(Kind()).Speed = 1;
  OpenAndClear();
  BYTE speed = 0x55;
  EXPECT_EQ(Wrapper->ReadUsbSpeed(&speed), TRUE);
  EXPECT_EQ(Fake.Trace(), Trace{Call(Kind(), 5, "(ptr)")});
  EXPECT_EQ(Fake.Calls[0].Arg, reinterpret_cast<std::uintptr_t>(&speed));
  EXPECT_EQ(speed, 1);
}

TEST_P(DeviceWrapperAbi, LoadFirmwareUsesTheModelsSlotOrNone) {
  OpenAndClear();
  EXPECT_EQ(Wrapper->LoadFirmware(nullptr), TRUE);
  Trace expected;
  if (GetParam().LoadSlot >= 0) expected.push_back(Call(Kind(), GetParam().LoadSlot, "(null)"));
  EXPECT_EQ(Fake.Trace(), expected);
}

TEST_P(DeviceWrapperAbi, LoadFirmwarePassesItsArgumentThrough) {
  OpenAndClear();
  const char* file = "firmware.bin";
  EXPECT_EQ(Wrapper->LoadFirmware(file), TRUE);
  if (GetParam().LoadSlot < 0) {
    EXPECT_TRUE(Fake.Calls.empty());
  } else {
    ASSERT_EQ(Fake.Calls.size(), 1u);
    EXPECT_EQ(Fake.Calls[0].Arg, reinterpret_cast<std::uintptr_t>(file));
  }
}

TEST_P(DeviceWrapperAbi, TestModuleUsesTheModelsSlotAndArgument) {
  OpenAndClear();
  EXPECT_EQ(Wrapper->TestModule(), TRUE);
  Trace expected;
  if (GetParam().TestSlot >= 0)
    expected.push_back(Call(Kind(), GetParam().TestSlot, GetParam().TestTakesArg ? "(0)" : ""));
  EXPECT_EQ(Fake.Trace(), expected);
}

TEST_P(DeviceWrapperAbi, ReadDescriptionUsesTheModelsSlot) {
  OpenAndClear();
  ModuleDescription record = {};
  EXPECT_EQ(Wrapper->ReadDescription(record), TRUE);
  EXPECT_EQ(Fake.Trace(), Trace{Call(Kind(), GetParam().ReadSlot, "(ptr)")});
}

TEST_P(DeviceWrapperAbi, TheMonitorsSequenceTouchesOnlyListedSlots) {
  ASSERT_TRUE(Wrapper->OpenSlot(3));
  char name[16];
  BYTE speed;
  ModuleDescription record = {};
  ASSERT_TRUE(Wrapper->ReadModuleName(name));
  ASSERT_TRUE(Wrapper->ReadUsbSpeed(&speed));
  ASSERT_TRUE(Wrapper->LoadFirmware());
  ASSERT_TRUE(Wrapper->TestModule());
  ASSERT_TRUE(Wrapper->ReadDescription(record));
  for (const TCall& c : Fake.Calls) {
    EXPECT_TRUE(c.Listed) << KindName(c.Kind) << " slot " << c.Slot;
    // The other models' interfaces are only ever closed.
    if (c.Kind != KindBase && c.Kind != Kind()) {
      EXPECT_EQ(c.Slot, 1) << KindName(c.Kind);
    }
  }
}

TEST_P(DeviceWrapperAbi, EveryModelOperationReportsTheLibrarysFailure) {
  OpenAndClear();
  TBehaviour& b = Fake.Of(Kind());
  char name[16];
  BYTE speed;
  ModuleDescription record = {};
  b.Result[4] = FALSE;
  EXPECT_EQ(Wrapper->ReadModuleName(name), FALSE);
  b.Result[5] = FALSE;
  EXPECT_EQ(Wrapper->ReadUsbSpeed(&speed), FALSE);
  b.Result[GetParam().ReadSlot] = FALSE;
  EXPECT_EQ(Wrapper->ReadDescription(record), FALSE);
  if (GetParam().LoadSlot >= 0) {
    b.Result[GetParam().LoadSlot] = FALSE;
    EXPECT_EQ(Wrapper->LoadFirmware(), FALSE);
  }
  if (GetParam().TestSlot >= 0) {
    b.Result[GetParam().TestSlot] = FALSE;
    EXPECT_EQ(Wrapper->TestModule(), FALSE);
  }
  b.Result[0] = FALSE;
  EXPECT_EQ(Wrapper->OpenSlot(7), FALSE);
}

TEST_P(DeviceWrapperAbi, AnyNonzeroAnswerIsSuccessAndComesBackAsTrue) {
  for (int k = 0; k < KindCount; ++k)
    for (BOOL& r : Fake.Of(k).Result) r = k % 2 ? 2 : -1;
  char name[16];
  BYTE speed;
  ModuleDescription record = {};
  EXPECT_EQ(Wrapper->CloseAll(), TRUE);
  EXPECT_EQ(Wrapper->OpenSlot(7), TRUE);
  EXPECT_EQ(Wrapper->ReadModuleName(name), TRUE);
  EXPECT_EQ(Wrapper->ReadUsbSpeed(&speed), TRUE);
  EXPECT_EQ(Wrapper->LoadFirmware(), TRUE);
  EXPECT_EQ(Wrapper->TestModule(), TRUE);
  EXPECT_EQ(Wrapper->ReadDescription(record), TRUE);
  EXPECT_EQ(Wrapper->ReleaseInterfaces(), TRUE);
}

INSTANTIATE_TEST_SUITE_P(Models, DeviceWrapperAbi, ::testing::ValuesIn(kModels), Name);

// Where OpenSlot stops when a step fails.
class DeviceWrapperOpenSlot : public ::testing::Test {
 protected:
  void SetUp() override {
    Wrapper.reset(new TCommonUsbInterface(Fake.Library()));
    ASSERT_TRUE(Wrapper->CreateInterfaces());
    Fake.SetModuleName("K600");
    Fake.ClearCalls();
  }
  TFakeCorvane Fake;
  std::unique_ptr<TCommonUsbInterface> Wrapper;
};

TEST_F(DeviceWrapperOpenSlot, AFailedCloseStillClosesTheOthersAndStops) {
  Fake.Of(KindK390).Result[1] = FALSE;
  EXPECT_EQ(Wrapper->OpenSlot(2), FALSE);
  EXPECT_EQ(Fake.Trace(), kCloseAll);
}

TEST_F(DeviceWrapperOpenSlot, NothingAnsweringOnTheBaseStopsBeforeTheName) {
  Fake.Of(KindBase).Result[0] = FALSE;
  EXPECT_EQ(Wrapper->OpenSlot(2), FALSE);
  EXPECT_EQ(Fake.Trace(), Concat(kCloseAll, {"base.0(2)"}));
}

TEST_F(DeviceWrapperOpenSlot, AFailedNameReadStops) {
  Fake.Of(KindBase).Result[4] = FALSE;
  EXPECT_EQ(Wrapper->OpenSlot(2), FALSE);
  EXPECT_EQ(Fake.Trace(), Concat(kCloseAll, {"base.0(2)", "base.4(ptr)"}));
}

TEST_F(DeviceWrapperOpenSlot, AFailedBaseCloseStopsBeforeTheModel) {
  Fake.Of(KindBase).Script[1] = {TRUE, FALSE};  // CloseAll's close passes, the second fails
  EXPECT_EQ(Wrapper->OpenSlot(2), FALSE);
  EXPECT_EQ(Fake.Trace(), Concat(kCloseAll, {"base.0(2)", "base.4(ptr)", "base.1"}));
}

TEST_F(DeviceWrapperOpenSlot, TheModelsAnswerIsTheResult) {
  Fake.Of(KindK600).Result[0] = FALSE;
  EXPECT_EQ(Wrapper->OpenSlot(2), FALSE);
  EXPECT_EQ(Fake.Trace(), Concat(kCloseAll, {"base.0(2)", "base.4(ptr)", "base.1", "k600.0(2)"}));
}

TEST_F(DeviceWrapperOpenSlot, CloseAllClosesEveryInterfaceInFieldOrder) {
  EXPECT_EQ(Wrapper->CloseAll(), TRUE);
  EXPECT_EQ(Fake.Trace(), kCloseAll);
}

TEST_F(DeviceWrapperOpenSlot, EachOpenActsOnTheModelNamedByTheLatestOne) {
  ASSERT_TRUE(Wrapper->OpenSlot(1));
  Fake.SetModuleName("K80-50");
  ASSERT_TRUE(Wrapper->OpenSlot(4));
  Fake.ClearCalls();
  ASSERT_TRUE(Wrapper->TestModule());
  EXPECT_EQ(Fake.Trace(), Trace{"k8050.9(0)"});
}

}  // namespace
