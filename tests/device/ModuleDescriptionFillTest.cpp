// Filling the model-independent description from each model's library
// record: which bytes go where, what is cut, and that nothing the library
// writes can reach outside the description.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <ostream>
#include <string>

#include "device/CommonUsbInterface.h"
#include "device/FieldText.h"
#include "tests/support/Bytes.h"
#include "tests/support/FakeCorvane.h"

namespace {

using namespace CorvaneFake;

constexpr std::size_t Absent = 0;

// Where each model keeps its blocks, as the library's records lay them out.
struct TModelRecord {
  const char* ModuleName;
  int Kind;
  std::size_t McuText, BootLoader, Dsp, Pld, Aux, Dac;
};

const TModelRecord kModels[] = {
    {"K200", KindK200, 976, Absent, Absent, Absent, 1232, 3565},
    {"K390", KindK390, 976, Absent, Absent, Absent, 1232, 3565},
    {"K600", KindK600, 976, Absent, 1232, Absent, 1855, 4188},
    {"K80-50", KindK8050, 1306, 976, Absent, 1562, 2185, 4518},
};

void PrintTo(const TModelRecord& model, std::ostream* os) { *os << model.ModuleName; }

std::string Name(const ::testing::TestParamInfo<TModelRecord>& info) {
  std::string s;
  for (const char* p = info.param.ModuleName; *p; ++p)
    if (*p != '-') s += *p;
  return s;
}

constexpr unsigned char kGuard = 0xA5;

// A description with guard bytes on both sides, as a slot record embeds it.
struct TGuardedDescription {
  unsigned char Before[512];
  ModuleDescription Record;
  unsigned char After[512];

  TGuardedDescription() {
    std::memset(Before, kGuard, sizeof Before);
    std::memset(&Record, 0, sizeof Record);
    std::memset(After, kGuard, sizeof After);
  }
  bool GuardsIntact() const {
    for (unsigned char b : Before)
      if (b != kGuard) return false;
    for (unsigned char b : After)
      if (b != kGuard) return false;
    return true;
  }
};

const unsigned char* Bytes(const void* p) { return static_cast<const unsigned char*>(p); }

std::uint64_t Bits(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

std::uint64_t BitsAt(const void* record, std::size_t offset) {
  std::uint64_t bits;
  std::memcpy(&bits, Bytes(record) + offset, sizeof bits);
  return bits;
}

class DeviceDescriptionFill : public ::testing::TestWithParam<TModelRecord> {
 protected:
  void SetUp() override {
    Wrapper.reset(new TCommonUsbInterface(Fake.Library()));
    ASSERT_TRUE(Wrapper->CreateInterfaces());
    Fake.SetModuleName(GetParam().ModuleName);
    ASSERT_TRUE(Wrapper->OpenSlot(4));
  }
  // Reads the description from the given library record.
  BOOL Read(const TLibraryRecord& record, ModuleDescription& into) {
    Fake.Of(GetParam().Kind).Record = record.Data();
    return Wrapper->ReadDescription(into);
  }
  const TModelRecord& Model() const { return GetParam(); }

  TFakeCorvane Fake;
  std::unique_ptr<TCommonUsbInterface> Wrapper;
};

TEST_P(DeviceDescriptionFill, SetsThePresenceFlagsOfTheModelsUnits) {
  TGuardedDescription d;
  ASSERT_EQ(Read(TLibraryRecord(Model().Kind), d.Record), TRUE);
  EXPECT_EQ(d.Record.Filled, 1);
  EXPECT_EQ(d.Record.McuPresent, 1);
  EXPECT_EQ(d.Record.BootLoaderPresent, Model().BootLoader != Absent ? 1 : 0);
  EXPECT_EQ(d.Record.DspPresent, Model().Dsp != Absent ? 1 : 0);
  EXPECT_EQ(d.Record.PldPresent, Model().Pld != Absent ? 1 : 0);
}

TEST_P(DeviceDescriptionFill, CopiesEachBlockFromTheModelsOffset) {
  TLibraryRecord lib(Model().Kind);
  lib.Text(613, "ATmega128").Text(Model().McuText, "microcontroller text");
  TGuardedDescription d;
  ASSERT_EQ(Read(lib, d.Record), TRUE);
  const ModuleDescription& r = d.Record;

  EXPECT_EQ(std::memcmp(&r.Identity, lib.At(0), 324), 0);
  EXPECT_EQ(FieldText(r.McuName), "ATmega128");
  EXPECT_EQ(BitsAt(&r, 360), BitsAt(lib.At(0), 638));
  EXPECT_EQ(std::memcmp(&r.McuFirmware, lib.At(646), 330), 0);
  EXPECT_EQ(FieldText(r.McuText), "microcontroller text");
  EXPECT_EQ(std::memcmp(r.Aux, lib.At(Model().Aux), 2333), 0);
  EXPECT_EQ(std::memcmp(&r.Dac, lib.At(Model().Dac), 2333), 0);

  if (Model().BootLoader != Absent) {

    EXPECT_EQ(std::memcmp(&r.BootLoader, lib.At(Model().BootLoader), 330), 0);

  } else {

    EXPECT_TRUE(AllZero(&r.BootLoader, sizeof r.BootLoader));

  }
  if (Model().Dsp != Absent) {
    EXPECT_EQ(std::memcmp(&r.Dsp, lib.At(Model().Dsp), 623), 0);
  } else {
    EXPECT_TRUE(AllZero(&r.Dsp, sizeof r.Dsp));
  }
  if (Model().Pld != Absent) {
    EXPECT_EQ(std::memcmp(&r.Pld, lib.At(Model().Pld), 623), 0);
  } else {
    EXPECT_TRUE(AllZero(&r.Pld, sizeof r.Pld));
  }

  // The description's own gaps are never written.
  EXPECT_TRUE(AllZero(r.Unused324, sizeof r.Unused324));
  EXPECT_TRUE(AllZero(r.Unused702, sizeof r.Unused702));
  EXPECT_TRUE(AllZero(r.Unused1038, sizeof r.Unused1038));
  EXPECT_TRUE(AllZero(r.Unused1923, sizeof r.Unused1923));
  EXPECT_TRUE(AllZero(r.Unused2551, sizeof r.Unused2551));
  EXPECT_TRUE(AllZero(r.Unused7218, sizeof r.Unused7218));
  EXPECT_TRUE(d.GuardsIntact());
}

TEST_P(DeviceDescriptionFill, DacFlagComesFromTheModelsDacBlock) {
  TLibraryRecord lib(Model().Kind);
  lib.Int32(Model().Dac, 1);
  ModuleDescription r = {};
  ASSERT_EQ(Read(lib, r), TRUE);
  EXPECT_EQ(r.Dac.DacPresent, 1);
  lib.Int32(Model().Dac, 0);
  ASSERT_EQ(Read(lib, r), TRUE);
  EXPECT_EQ(r.Dac.DacPresent, 0);
}

TEST_P(DeviceDescriptionFill, AFailedLibraryReadLeavesTheRecordUntouched) {
  Fake.Of(Model().Kind).Result[Model().Kind == KindK200 ? 28 : Model().Kind == KindK390 ? 26
                                : Model().Kind == KindK600 ? 31 : 23] = FALSE;
  TGuardedDescription d;
  std::memset(&d.Record, 0x5A, sizeof d.Record);
  // The library scribbles over its buffer and then fails.
  EXPECT_EQ(Read(TLibraryRecord(Model().Kind).Fill(0xEE), d.Record), FALSE);
  for (std::size_t i = 0; i < sizeof d.Record; ++i) ASSERT_EQ(Bytes(&d.Record)[i], 0x5A) << "byte " << i;
  EXPECT_TRUE(d.GuardsIntact());
}

TEST_P(DeviceDescriptionFill, BytesTheLibraryLeavesUnwrittenDoNotCarryOver) {
  TLibraryRecord lib(Model().Kind);
  lib.Int32(Model().Dac, 1).Text(613, "FIRST");
  ModuleDescription first = {};
  ASSERT_EQ(Read(lib, first), TRUE);
  ASSERT_EQ(first.Dac.DacPresent, 1);

  // The next module's library writes its identity block only.
  Fake.Of(Model().Kind).Record.assign(lib.Data().begin(), lib.Data().begin() + 324);
  ModuleDescription second = {};
  ASSERT_EQ(Wrapper->ReadDescription(second), TRUE);
  EXPECT_EQ(second.Dac.DacPresent, 0);
  EXPECT_EQ(FieldText(second.McuName), "");
  EXPECT_EQ(std::memcmp(&second.Identity, lib.At(0), 324), 0);
}

// Texts without terminators, in every field and everywhere else.
TEST_P(DeviceDescriptionFill, UnterminatedTextsEndInsideTheirFields) {
  for (unsigned char fill : {static_cast<unsigned char>(0xFF), static_cast<unsigned char>('A')}) {
    TGuardedDescription d;
    ASSERT_EQ(Read(TLibraryRecord(Model().Kind).Fill(fill), d.Record), TRUE);
    const ModuleDescription& r = d.Record;
    EXPECT_TRUE(d.GuardsIntact());

    // The 25-byte name fits McuName's 28 whole, then ends.
    for (int i = 0; i < 25; ++i) ASSERT_EQ(static_cast<unsigned char>(r.McuName[i]), fill) << i;
    EXPECT_TRUE(AllZero(r.McuName + 25, 3));
    // The 256-byte text keeps 255 characters and its terminator.
    EXPECT_EQ(FieldLength(r.McuText, sizeof r.McuText), 255u);
    EXPECT_EQ(r.McuText[255], 0);

    // The blocks are carried raw; reading their texts stays bounded.
    EXPECT_EQ(FieldText(r.Identity.ModuleName).size(), 25u);
    EXPECT_EQ(FieldText(r.Identity.SerialNumber).size(), 16u);
    EXPECT_EQ(FieldText(r.McuFirmware.Version).size(), 10u);
    EXPECT_EQ(FieldText(r.McuFirmware.Date).size(), 320u);
    if (Model().BootLoader != Absent) {
      EXPECT_EQ(FieldText(r.BootLoader.Date).size(), 320u);
    }
    if (Model().Dsp != Absent) {
      EXPECT_EQ(FieldText(r.Dsp.Name).size(), 25u);
    }
    if (Model().Pld != Absent) {
      EXPECT_EQ(FieldText(r.Pld.Firmware.Date).size(), 320u);
    }
  }
}

TEST_P(DeviceDescriptionFill, ClocksArriveBitForBitWhateverTheirValue) {
  // Bit patterns, never doubles: on i686 a double that passes through an x87
  // register has a signalling NaN quieted, and the test would no longer
  // offer one.
  const std::uint64_t patterns[] = {Bits(std::numeric_limits<double>::quiet_NaN()),
                                    0x7FF0000000000001ull,  // signalling NaN
                                    0xFFF0000000000001ull,  // negative signalling NaN
                                    Bits(-std::numeric_limits<double>::quiet_NaN()),
                                    Bits(std::numeric_limits<double>::infinity()),
                                    Bits(-std::numeric_limits<double>::infinity()),
                                    Bits(DBL_MAX),
                                    Bits(-DBL_MAX),
                                    Bits(std::numeric_limits<double>::denorm_min()),
                                    Bits(-0.0),
                                    Bits(1e300),
                                    Bits(48000.0)};
  for (std::uint64_t v : patterns) {
    const std::string bytes(reinterpret_cast<const char*>(&v), sizeof v);
    TLibraryRecord lib(Model().Kind);
    lib.Bytes(638, bytes);
    if (Model().Dsp != Absent) lib.Bytes(Model().Dsp + 29, bytes);
    if (Model().Pld != Absent) lib.Bytes(Model().Pld + 29, bytes);
    TGuardedDescription d;
    ASSERT_EQ(Read(lib, d.Record), TRUE);
    EXPECT_EQ(BitsAt(&d.Record, 360), v) << std::hex << v;
    if (Model().Dsp != Absent) {
      EXPECT_EQ(BitsAt(&d.Record, 1300 + 29), v);
    }
    if (Model().Pld != Absent) {
      EXPECT_EQ(BitsAt(&d.Record, 1928 + 29), v);
    }
    EXPECT_TRUE(d.GuardsIntact());
  }
}

// A library that writes the largest model's record whatever model it was
// asked for still writes inside the wrapper.
TEST_P(DeviceDescriptionFill, AnOversizedLibraryRecordStaysInsideTheWrapper) {
  struct TGuardedWrapper {
    unsigned char Before[256];
    TCommonUsbInterface Wrapper;
    unsigned char After[256];
    explicit TGuardedWrapper(const TCorvaneLibrary& library) : Wrapper(library) {
      std::memset(Before, kGuard, sizeof Before);
      std::memset(After, kGuard, sizeof After);
    }
  };
  std::unique_ptr<TGuardedWrapper> guarded(new TGuardedWrapper(Fake.Library()));
  ASSERT_TRUE(guarded->Wrapper.CreateInterfaces());
  ASSERT_TRUE(guarded->Wrapper.OpenSlot(2));
  Fake.Of(Model().Kind).Record.assign(7140, 0xFF);
  ModuleDescription r = {};
  EXPECT_EQ(guarded->Wrapper.ReadDescription(r), TRUE);
  for (unsigned char b : guarded->Before) ASSERT_EQ(b, kGuard);
  for (unsigned char b : guarded->After) ASSERT_EQ(b, kGuard);
}

INSTANTIATE_TEST_SUITE_P(Models, DeviceDescriptionFill, ::testing::ValuesIn(kModels), Name);

// Single models, as a module reports itself.
class DeviceDescriptionModule : public ::testing::Test {
 protected:
  BOOL Read(const char* name, int kind, const TLibraryRecord& record, ModuleDescription& into) {
    Wrapper.reset(new TCommonUsbInterface(Fake.Library()));
    EXPECT_TRUE(Wrapper->CreateInterfaces());
    Fake.SetModuleName(name);
    EXPECT_TRUE(Wrapper->OpenSlot(0));
    Fake.Of(kind).Record = record.Data();
    return Wrapper->ReadDescription(into);
  }
  TFakeCorvane Fake;
  std::unique_ptr<TCommonUsbInterface> Wrapper;
};

TEST_F(DeviceDescriptionModule, K8050TakesItsMcuTextFrom1306AndItsBootLoaderFrom976) {
  TLibraryRecord lib(KindK8050);
  lib.Text(976, "2.05").Text(986, "12.03.2009").Text(1306, "mcu text");
  ModuleDescription r = {};
  ASSERT_EQ(Read("K80-50", KindK8050, lib, r), TRUE);
  EXPECT_EQ(FieldText(r.McuText), "mcu text");
  EXPECT_EQ(FieldText(r.BootLoader.Version), "2.05");
  EXPECT_EQ(FieldText(r.BootLoader.Date), "12.03.2009");
}

TEST_F(DeviceDescriptionModule, ASixteenCharacterSerialNumberIsKeptWithoutTerminator) {
  TLibraryRecord lib(KindK200);
  lib.Text(25, "K200").Bytes(50, "0123456789ABCDEF").Bytes(66, "C");
  ModuleDescription r = {};
  ASSERT_EQ(Read("K200", KindK200, lib, r), TRUE);
  EXPECT_EQ(std::memcmp(r.Identity.SerialNumber, "0123456789ABCDEF", 16), 0);
  EXPECT_EQ(FieldText(r.Identity.SerialNumber), "0123456789ABCDEF");
  EXPECT_EQ(r.Identity.Revision, 'C');
  EXPECT_EQ(FieldText(r.Identity.ModuleName), "K200");
}

TEST_F(DeviceDescriptionModule, ATwentyFourCharacterMcuNameIsCopiedWholeWithItsTerminator) {
  const std::string name = "ADuC841BSZ62-5-REVISIONC";
  ASSERT_EQ(name.size(), 24u);
  TLibraryRecord lib(KindK390);
  lib.Text(613, name);
  ModuleDescription r;
  std::memset(&r, 0x77, sizeof r);
  ASSERT_EQ(Read("K390", KindK390, lib, r), TRUE);
  EXPECT_EQ(std::memcmp(r.McuName, name.c_str(), 25), 0);
  EXPECT_TRUE(AllZero(r.McuName + 24, 4));
}

// A unit's fields as the record gives them.
void ExpectUnit(const UnitInfoBlock& u, const char* name, double clock, const char* version, const char* date) {
  EXPECT_EQ(FieldText(u.Name), name);
  EXPECT_EQ(u.ClockKhz, clock);
  EXPECT_EQ(FieldText(u.Firmware.Version), version);
  EXPECT_EQ(FieldText(u.Firmware.Date), date);
}

TEST_F(DeviceDescriptionModule, K3600ReportsItsDspUnitFieldByField) {
  TLibraryRecord lib(KindK600);
  lib.Text(613, "AT89C51").Double(638, 24000.0).Text(646, "1.7").Text(656, "01.02.2007");
  lib.Text(1232 + 4, "ADSP-2185M").Double(1232 + 29, 48000.5).Text(1232 + 37, "3.1").Text(1232 + 47, "05.06.2008");
  ModuleDescription r = {};
  ASSERT_EQ(Read("k600", KindK600, lib, r), TRUE);
  EXPECT_EQ(FieldText(r.McuName), "AT89C51");
  EXPECT_EQ(r.McuClockKhz, 24000.0);
  EXPECT_EQ(FieldText(r.McuFirmware.Version), "1.7");
  EXPECT_EQ(FieldText(r.McuFirmware.Date), "01.02.2007");
  EXPECT_EQ(r.DspPresent, 1);
  ExpectUnit(r.Dsp, "ADSP-2185M", 48000.5, "3.1", "05.06.2008");
  EXPECT_EQ(r.PldPresent, 0);
  EXPECT_EQ(r.BootLoaderPresent, 0);
}

TEST_F(DeviceDescriptionModule, K8050ReportsItsPldUnitFieldByField) {
  TLibraryRecord lib(KindK8050);
  lib.Text(1562 + 4, "EPM3064").Double(1562 + 29, 33333.0).Text(1562 + 37, "0.9").Text(1562 + 47, "2009");
  ModuleDescription r = {};
  ASSERT_EQ(Read("K80-50", KindK8050, lib, r), TRUE);
  EXPECT_EQ(r.PldPresent, 1);
  ExpectUnit(r.Pld, "EPM3064", 33333.0, "0.9", "2009");
  EXPECT_EQ(r.DspPresent, 0);
}

TEST_F(DeviceDescriptionModule, ATrailingBlankMatchesNoModelAndLeavesTheRecordZero) {
  ModuleDescription r = {};
  EXPECT_EQ(Read("K600 ", KindK600, TLibraryRecord(KindK600), r), TRUE);
  EXPECT_TRUE(AllZero(&r, sizeof r));
}

}  // namespace
