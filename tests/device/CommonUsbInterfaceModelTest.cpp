// Which model interface the module name reported by the base interface
// picks, and what the wrapper does for a name it does not know.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "device/CommonUsbInterface.h"
#include "tests/device/UntouchedOutputs.h"
#include "tests/support/FakeCorvane.h"

namespace {

using namespace CorvaneFake;

class DeviceWrapperModel : public ::testing::Test {
 protected:
  void SetUp() override {
    Wrapper.reset(new TCommonUsbInterface(Fake.Library()));
    ASSERT_TRUE(Wrapper->CreateInterfaces());
    Fake.ClearCalls();
  }
  // The interface kind that OpenSlot opened after the base, or -1.
  int OpenedModel(const char* name) {
    Fake.SetModuleName(name);
    return OpenedModelAfterSetup();
  }
  int OpenedModelAfterSetup() {
    Fake.ClearCalls();
    EXPECT_EQ(Wrapper->OpenSlot(5), TRUE);
    int opened = -1;
    for (const TCall& c : Fake.Calls)
      if (c.Kind > KindBase && c.Slot == 0) opened = c.Kind;
    return opened;
  }

  TFakeCorvane Fake;
  std::unique_ptr<TCommonUsbInterface> Wrapper;
};

TEST_F(DeviceWrapperModel, TheFourModelNamesPickTheirInterfaces) {
  EXPECT_EQ(OpenedModel("K200"), KindK200);
  EXPECT_EQ(OpenedModel("K390"), KindK390);
  EXPECT_EQ(OpenedModel("K600"), KindK600);
  EXPECT_EQ(OpenedModel("K80-50"), KindK8050);
}

TEST_F(DeviceWrapperModel, LetterCaseDoesNotMatter) {
  EXPECT_EQ(OpenedModel("k600"), KindK600);
  EXPECT_EQ(OpenedModel("k200"), KindK200);
  EXPECT_EQ(OpenedModel("k80-50"), KindK8050);
}

TEST_F(DeviceWrapperModel, ANameMustMatchWhole) {
  EXPECT_EQ(OpenedModel("K600 "), -1);
  EXPECT_EQ(OpenedModel(" K600"), -1);
  EXPECT_EQ(OpenedModel("K60"), -1);
  EXPECT_EQ(OpenedModel("K8050"), -1);
  EXPECT_EQ(OpenedModel("K80-500"), -1);
  EXPECT_EQ(OpenedModel(""), -1);
}

TEST_F(DeviceWrapperModel, OnlyAsciiLettersFoldCase) {
  // A Cyrillic К (cp1251 0xCA, whose lower case is 0xEA) is not a Latin K.
  EXPECT_EQ(OpenedModel("К600"), -1);
  EXPECT_EQ(OpenedModel("к600"), -1);
}

TEST_F(DeviceWrapperModel, BytesAfterTheTerminatorAreIgnored) {
  const unsigned char bytes[16] = {'K', '3', '9', '0', 0, 'X', 'Y', 'Z', 'K', '6', '0', '0', 0xFF, 0xFF, 0xFF, 0xFF};
  Fake.SetModuleNameBytes(bytes);
  EXPECT_EQ(OpenedModelAfterSetup(), KindK390);
}

TEST_F(DeviceWrapperModel, TheStoredNameIsAlwaysTerminated) {
  unsigned char bytes[16];
  std::memset(bytes, 'Q', sizeof bytes);
  Fake.SetModuleNameBytes(bytes);
  EXPECT_EQ(OpenedModelAfterSetup(), -1);
  EXPECT_EQ(Wrapper->CurrentModuleName()[15], 0);
  EXPECT_EQ(std::string(Wrapper->CurrentModuleName()), std::string(15, 'Q'));
}

TEST_F(DeviceWrapperModel, AShortNameDoesNotKeepThePreviousNamesTail) {
  EXPECT_EQ(OpenedModel("K80-50"), KindK8050);
  // A library that writes the four characters and no terminator.
  Fake.SetModuleName("K600");
  Fake.Of(KindBase).NameBytes = 4;
  EXPECT_EQ(OpenedModelAfterSetup(), KindK600);
  EXPECT_STREQ(Wrapper->CurrentModuleName(), "K600");
}

TEST_F(DeviceWrapperModel, ReadModuleNameTerminatesTheCallersBuffer) {
  Fake.SetModuleName("K200");
  ASSERT_TRUE(Wrapper->OpenSlot(1));
  unsigned char bytes[16];
  std::memset(bytes, 'W', sizeof bytes);
  std::memcpy(Fake.Of(KindK200).Name, bytes, 16);
  struct {
    char Buffer[16];
    char Guard[8];
  } out;
  std::memset(&out, 0x11, sizeof out);
  EXPECT_EQ(Wrapper->ReadModuleName(out.Buffer), TRUE);
  EXPECT_EQ(out.Buffer[15], 0);
  EXPECT_EQ(std::string(out.Buffer), std::string(15, 'W'));
  for (char g : out.Guard) EXPECT_EQ(g, 0x11);
}

TEST_F(DeviceWrapperModel, NullArgumentsAreRefusedWithoutCallingTheLibrary) {
  Fake.SetModuleName("K390");
  ASSERT_TRUE(Wrapper->OpenSlot(1));
  Fake.ClearCalls();
  EXPECT_EQ(Wrapper->ReadModuleName(nullptr), FALSE);
  EXPECT_EQ(Wrapper->ReadUsbSpeed(nullptr), FALSE);
  EXPECT_TRUE(Fake.Calls.empty());
}

// A module whose name is none of the four: present, and every later
// operation succeeds without a call and without writing.
TEST_F(DeviceWrapperModel, AnUnknownModuleOpensAndEveryLaterOperationSucceedsUntouched) {
  Fake.SetModuleName("K300");
  EXPECT_EQ(Wrapper->OpenSlot(9), TRUE);
  EXPECT_EQ(Fake.Trace(), (std::vector<std::string>{"base.1", "k200.1", "k390.1", "k600.1", "k8050.1", "base.0(9)",
                                                     "base.4(ptr)", "base.1"}));
  Fake.ClearCalls();
  ExpectOutputsUntouched(*Wrapper, TRUE);
  EXPECT_TRUE(Fake.Calls.empty());
}

TEST_F(DeviceWrapperModel, AfterAnUnknownModuleAKnownOneIsServedAgain) {
  EXPECT_EQ(OpenedModel("XYZ"), -1);
  EXPECT_EQ(OpenedModel("K390"), KindK390);
  Fake.ClearCalls();
  BYTE speed = 0;
  EXPECT_EQ(Wrapper->ReadUsbSpeed(&speed), TRUE);
  EXPECT_EQ(Fake.Trace(), std::vector<std::string>{"k390.5(ptr)"});
}

TEST_F(DeviceWrapperModel, K3200AndK390NeedNoLoadAndNoTest) {
  for (const char* name : {"K200", "K390"}) {
    Fake.SetModuleName(name);
    ASSERT_TRUE(Wrapper->OpenSlot(0));
    // Even a library that would fail them is not asked.
    for (int k = KindK200; k < KindCount; ++k)
      for (int s : {8, 9, 10}) Fake.Of(k).Result[s] = FALSE;
    Fake.ClearCalls();
    EXPECT_EQ(Wrapper->LoadFirmware(), TRUE) << name;
    EXPECT_EQ(Wrapper->TestModule(), TRUE) << name;
    EXPECT_TRUE(Fake.Calls.empty()) << name;
  }
}

}  // namespace
