// The wrapper against a library that reports success and writes nothing:
// the caller's buffers hold what was there before, and the wrapper's own
// scratch record must not hand the previous module's bytes to the next.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "device/CommonUsbInterface.h"
#include "device/FieldText.h"
#include "tests/support/Bytes.h"
#include "tests/support/FakeCorvane.h"

namespace {

using namespace CorvaneFake;

class DeviceWrapperSilentLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    Wrapper.reset(new TCommonUsbInterface(Fake.Library()));
    ASSERT_TRUE(Wrapper->CreateInterfaces());
  }
  TFakeCorvane Fake;
  std::unique_ptr<TCommonUsbInterface> Wrapper;
};

TEST_F(DeviceWrapperSilentLibrary, ANameReadThatWritesNothingLeavesABoundedBuffer) {
  Fake.SetModuleName("K80-50");
  ASSERT_TRUE(Wrapper->OpenSlot(2));
  Fake.Of(KindK8050).NameBytes = 0;
  // The caller's buffer still holds a longer name of another module, unterminated.
  char buffer[16];
  std::memset(buffer, 0xCA, sizeof buffer);
  EXPECT_EQ(Wrapper->ReadModuleName(buffer), TRUE);
  EXPECT_EQ(buffer[15], 0);
  EXPECT_EQ(FieldLength(buffer, sizeof buffer), 15u);
}

TEST_F(DeviceWrapperSilentLibrary, ADescriptionReadThatWritesNothingCarriesNothingOver) {
  const struct {
    const char* Name;
    int Kind;
  } models[] = {{"K200", KindK200}, {"K390", KindK390}, {"K600", KindK600}, {"K80-50", KindK8050}};
  for (const auto& model : models) {
    SCOPED_TRACE(model.Name);
    Fake.SetModuleName(model.Name);
    ASSERT_TRUE(Wrapper->OpenSlot(4));
    // The module before: every byte of its record set, no text terminated.
    Fake.Of(model.Kind).Record = TLibraryRecord(model.Kind).Fill(0xEE).Data();
    ModuleDescription first = {};
    ASSERT_EQ(Wrapper->ReadDescription(first), TRUE);
    ASSERT_EQ(static_cast<unsigned char>(first.McuName[0]), 0xEE);

    // The next read succeeds and writes not one byte.
    Fake.Of(model.Kind).Record.clear();
    ModuleDescription next = {};
    ASSERT_EQ(Wrapper->ReadDescription(next), TRUE);
    EXPECT_EQ(next.Filled, 1);
    EXPECT_EQ(next.McuPresent, 1);
    EXPECT_TRUE(AllZero(&next.Identity, sizeof next.Identity));
    EXPECT_TRUE(AllZero(next.McuName, sizeof next.McuName));
    EXPECT_TRUE(AllZero(&next.McuClockKhz, sizeof next.McuClockKhz));
    EXPECT_TRUE(AllZero(&next.McuFirmware, sizeof next.McuFirmware));
    EXPECT_TRUE(AllZero(&next.BootLoader, sizeof next.BootLoader));
    EXPECT_TRUE(AllZero(next.McuText, sizeof next.McuText));
    EXPECT_TRUE(AllZero(&next.Dsp, sizeof next.Dsp));
    EXPECT_TRUE(AllZero(&next.Pld, sizeof next.Pld));
    EXPECT_TRUE(AllZero(next.Aux, sizeof next.Aux));
    EXPECT_TRUE(AllZero(&next.Dac, sizeof next.Dac));
  }
}

}  // namespace
