// Creating and releasing the five library interfaces, and what a wrapper
// without all of them does.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "device/CommonUsbInterface.h"
#include "device/LibraryGuard.h"
#include "tests/device/UntouchedOutputs.h"
#include "tests/support/FakeCorvane.h"

namespace {

using namespace CorvaneFake;
using Trace = std::vector<std::string>;

const Trace kCreateAll = {"create Corvroot", "create k200", "create k390", "create k600", "create k8050"};
const Trace kReleaseAll = {"base.2", "k200.2", "k390.2", "k600.2", "k8050.2"};

TEST(DeviceWrapperFactory, ANewWrapperHoldsNothingAndCallsNothing) {
  TFakeCorvane fake;
  {
    TCommonUsbInterface wrapper(fake.Library());
    EXPECT_FALSE(wrapper.HasAllInterfaces());
    const char zero[16] = {};
    EXPECT_EQ(std::memcmp(wrapper.CurrentModuleName(), zero, 16), 0);
  }
  EXPECT_TRUE(fake.Calls.empty());
}

TEST(DeviceWrapperFactory, CreatesTheFiveInterfacesInFieldOrder) {
  TFakeCorvane fake;
  TCommonUsbInterface wrapper(fake.Library());
  EXPECT_EQ(wrapper.CreateInterfaces(), TRUE);
  EXPECT_EQ(fake.Trace(), kCreateAll);
  EXPECT_TRUE(wrapper.HasAllInterfaces());
}

TEST(DeviceWrapperFactory, DeletingACompleteWrapperReleasesEachInterfaceOnce) {
  TFakeCorvane fake;
  {
    TCommonUsbInterface wrapper(fake.Library());
    ASSERT_TRUE(wrapper.CreateInterfaces());
    fake.ClearCalls();
  }
  EXPECT_EQ(fake.Trace(), kReleaseAll);
  EXPECT_EQ(fake.LiveObjects(), 0);
  for (int i = 1; i <= fake.Created(); ++i) EXPECT_EQ(fake.ReleasesOf(i), 1) << "object " << i;
}

TEST(DeviceWrapperFactory, CreatingAgainReleasesThePreviousInterfacesFirst) {
  TFakeCorvane fake;
  TCommonUsbInterface wrapper(fake.Library());
  ASSERT_TRUE(wrapper.CreateInterfaces());
  fake.ClearCalls();
  EXPECT_EQ(wrapper.CreateInterfaces(), TRUE);
  Trace expected = kReleaseAll;
  expected.insert(expected.end(), kCreateAll.begin(), kCreateAll.end());
  EXPECT_EQ(fake.Trace(), expected);
  EXPECT_EQ(fake.Created(), 10);
  EXPECT_EQ(fake.LiveObjects(), 5);
}

TEST(DeviceWrapperFactory, ReleaseReportsAFailureButReleasesEverything) {
  TFakeCorvane fake;
  TCommonUsbInterface wrapper(fake.Library());
  ASSERT_TRUE(wrapper.CreateInterfaces());
  fake.Of(KindK390).Result[2] = FALSE;
  fake.ClearCalls();
  EXPECT_EQ(wrapper.ReleaseInterfaces(), FALSE);
  EXPECT_EQ(fake.Trace(), kReleaseAll);
  EXPECT_FALSE(wrapper.HasAllInterfaces());
  // Nothing is left to release, and nothing released is touched again.
  fake.ClearCalls();
  EXPECT_EQ(wrapper.ReleaseInterfaces(), TRUE);
  EXPECT_EQ(wrapper.CloseAll(), TRUE);
  EXPECT_EQ(wrapper.OpenSlot(0), FALSE);
  EXPECT_TRUE(fake.Calls.empty());
  EXPECT_EQ(fake.CallsAfterRelease(), 0);
}

TEST(DeviceWrapperFactory, AFaultInsideTheLibraryIsThrownAndEveryInterfaceIsStillReleased) {
  TFakeCorvane fake;
  TCommonUsbInterface wrapper(fake.Library());
  ASSERT_TRUE(wrapper.CreateInterfaces());
  fake.SetModuleName("K80-50");
  fake.Of(KindK8050).Faults = {5};  // ReadUsbSpeed
  ASSERT_EQ(wrapper.OpenSlot(2), TRUE);
  BYTE speed = 0;
  EXPECT_THROW(wrapper.ReadUsbSpeed(&speed), ELibraryFault);
  // A library that faulted is still asked to release each interface, and
  // a second fault there is swallowed.
  fake.Of(KindBase).Faults = {2};
  fake.Of(KindK390).Faults = {2};
  fake.ClearCalls();
  EXPECT_EQ(wrapper.ReleaseInterfaces(), FALSE);
  EXPECT_EQ(fake.Trace(), kReleaseAll);
  EXPECT_FALSE(wrapper.HasAllInterfaces());
}

TEST(DeviceWrapperFactory, AFactoryWithoutEntryPointCreatesNothing) {
  TCorvaneLibrary none = {nullptr, nullptr};
  TCommonUsbInterface wrapper(none);
  EXPECT_EQ(wrapper.CreateInterfaces(), FALSE);
  EXPECT_FALSE(wrapper.HasAllInterfaces());
  EXPECT_EQ(wrapper.OpenSlot(0), FALSE);
}

// The factory refuses one device name; the interfaces after it are never
// asked for, and the partly filled wrapper refuses every slot operation.
struct TRefusal {
  const char* Device;
  int Asked;  // requests made, the refused one included
};

void PrintTo(const TRefusal& refusal, std::ostream* os) { *os << refusal.Device; }

class DeviceWrapperRefusedFactory : public ::testing::TestWithParam<TRefusal> {};

TEST_P(DeviceWrapperRefusedFactory, StopsAtTheRefusalAndRefusesEverySlotOperation) {
  TFakeCorvane fake;
  fake.Refused.insert(GetParam().Device);
  fake.SetModuleName("K200");
  {
    TCommonUsbInterface wrapper(fake.Library());
    EXPECT_EQ(wrapper.CreateInterfaces(), FALSE);
    EXPECT_EQ(fake.Trace(), Trace(kCreateAll.begin(), kCreateAll.begin() + GetParam().Asked));
    EXPECT_EQ(fake.Created(), GetParam().Asked - 1);
    fake.ClearCalls();
    EXPECT_EQ(wrapper.OpenSlot(0), FALSE);
    ExpectOutputsUntouched(wrapper, FALSE);
    EXPECT_TRUE(fake.Calls.empty()) << fake.Trace().size() << " calls reached the library";
  }
  // Deleting the wrapper released what had been created, in field order.
  EXPECT_EQ(fake.Trace(), Trace(kReleaseAll.begin(), kReleaseAll.begin() + GetParam().Asked - 1));
  EXPECT_EQ(fake.LiveObjects(), 0);
}

TEST_P(DeviceWrapperRefusedFactory, CloseAllClosesOnlyWhatWasCreated) {
  TFakeCorvane fake;
  fake.Refused.insert(GetParam().Device);
  TCommonUsbInterface wrapper(fake.Library());
  ASSERT_FALSE(wrapper.CreateInterfaces());
  fake.ClearCalls();
  EXPECT_EQ(wrapper.CloseAll(), TRUE);
  const Trace closes = {"base.1", "k200.1", "k390.1", "k600.1", "k8050.1"};
  EXPECT_EQ(fake.Trace(), Trace(closes.begin(), closes.begin() + GetParam().Asked - 1));
}

INSTANTIATE_TEST_SUITE_P(Devices, DeviceWrapperRefusedFactory,
                         ::testing::Values(TRefusal{"Corvroot", 1}, TRefusal{"k200", 2}, TRefusal{"k390", 3},
                                           TRefusal{"k600", 4}, TRefusal{"k8050", 5}),
                         [](const ::testing::TestParamInfo<TRefusal>& info) {
                           return std::string(info.param.Device);
                         });

TEST(DeviceWrapperFactory, RefusingK600NeverAsksForK8050) {
  TFakeCorvane fake;
  fake.Refused.insert("k600");
  TCommonUsbInterface wrapper(fake.Library());
  EXPECT_EQ(wrapper.CreateInterfaces(), FALSE);
  EXPECT_EQ(fake.CreatedOf(KindK8050), 0);
  for (const TCall& c : fake.Calls) EXPECT_NE(c.Device, "k8050");
}

TEST(DeviceWrapperFactory, ASecondAttemptAfterARefusalCanComplete) {
  TFakeCorvane fake;
  fake.Refused.insert("k390");
  TCommonUsbInterface wrapper(fake.Library());
  ASSERT_FALSE(wrapper.CreateInterfaces());
  fake.Refused.clear();
  fake.ClearCalls();
  EXPECT_EQ(wrapper.CreateInterfaces(), TRUE);
  Trace expected = {"base.2", "k200.2"};
  expected.insert(expected.end(), kCreateAll.begin(), kCreateAll.end());
  EXPECT_EQ(fake.Trace(), expected);
  EXPECT_EQ(fake.LiveObjects(), 5);
}

}  // namespace
