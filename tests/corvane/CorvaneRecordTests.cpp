// The description records: sizes, offsets, bad texts and clocks, encodings.
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "CorvaneTestSupport.h"

namespace CorvaneTest {
namespace {

namespace R = Corvane::Record;

std::string TextAt(const std::vector<unsigned char>& r, std::size_t offset, std::size_t width) {
  std::string s(reinterpret_cast<const char*>(&r[offset]), width);
  std::size_t nul = s.find('\0');
  return nul == std::string::npos ? s : s.substr(0, nul);
}

bool HasNul(const std::vector<unsigned char>& r, std::size_t offset, std::size_t width) {
  return std::memchr(&r[offset], 0, width) != nullptr;
}

uint64_t BitsAt(const std::vector<unsigned char>& r, std::size_t offset) {
  uint64_t bits;
  std::memcpy(&bits, &r[offset], sizeof bits);
  return bits;
}

double DoubleAt(const std::vector<unsigned char>& r, std::size_t offset) {
  double d;
  std::memcpy(&d, &r[offset], sizeof d);
  return d;
}

int32_t Int32At(const std::vector<unsigned char>& r, std::size_t offset) {
  int32_t v;
  std::memcpy(&v, &r[offset], sizeof v);
  return v;
}

// Where each model keeps its blocks.
struct Layout {
  const char* device;
  std::size_t mcuText, dac, unit, boot;  // unit/boot 0: none
};
const Layout Layouts[] = {
    {"k200", R::K3200McuText, R::K3200Dac, 0, 0},
    {"k390", R::K3200McuText, R::K3200Dac, 0, 0},
    {"k600", R::K3600McuText, R::K3600Dac, R::K3600Dsp, 0},
    {"k8050", R::K8050McuText, R::K8050Dac, R::K8050Pld, R::K8050BootLoader},
};

using TRecord = std::vector<unsigned char>;

class CorvaneRecords : public CorvaneFixture {
 protected:
  // The record of the device's model in the slot; a fatal failure when it
  // is not read whole.
  void ReadWhole(int slot, const char* device, TRecord& r) {
    const ModelInfo& m = ModelByDevice(device);
    r = Record(slot, m);
    ASSERT_EQ(r.size(), m.recordSize);
  }
  // The check, for the record of each slot's model read whole.
  template <class F>
  void EachRecord(std::initializer_list<int> slots, F check) {
    for (int slot : slots) {
      const Layout& l = Layouts[slot];
      SCOPED_TRACE(l.device);
      TRecord r;
      ASSERT_NO_FATAL_FAILURE(ReadWhole(slot, l.device, r));
      check(slot, l, ModelByDevice(l.device), r);
    }
  }
};

TEST_F(CorvaneRecords, EachModelWritesItsWholeRecordAndNotOneByteMore) {
  UseScenario(
      "slot 0 model=k200 junk=yes\n"
      "slot 1 model=k390 junk=yes\n"
      "slot 2 model=k600 junk=yes\n"
      "slot 3 model=k8050 junk=yes\n");
  const std::size_t guard = 512;
  for (int slot = 0; slot < 4; ++slot) {
    const ModelInfo& m = Models()[static_cast<std::size_t>(slot)];
    SCOPED_TRACE(m.device);
    IModuleInterface* i = Create(m.device);
    ASSERT_NE(i, nullptr);
    ASSERT_TRUE(Open(i, static_cast<DWORD>(slot)));
    std::vector<unsigned char> buffer(m.recordSize + guard, 0xCD);
    ASSERT_TRUE(ReadDescription(i, m, buffer.data()));
    for (std::size_t b = m.recordSize; b < buffer.size(); ++b)
      ASSERT_EQ(buffer[b], 0xCD) << "wrote byte " << b << " past the " << m.recordSize << "-byte record";
    // Its own bytes reach the record's last one: it fills all of it.
    EXPECT_EQ(buffer[m.recordSize - 1], 0xA5);
    EXPECT_EQ(buffer[0], 0xA5);
  }
}

TEST_F(CorvaneRecords, FieldsLieAtTheirOffsets) {
  const char* const body =
      " record-name=RecName serial=SER-12345 revision=Q dac=1"
      " mcu.name=McuName mcu.clock=1234.5 mcu.version=MV1 mcu.date=MDATE mcu.text=McuText"
      " boot.version=BV2 boot.date=BDATE"
      " dsp.name=DspName dsp.clock=2345.25 dsp.version=DV3 dsp.date=DDATE dsp.text=DspText dsp.active=7"
      " pld.name=PldName pld.clock=3456.125 pld.version=PV4 pld.date=PDATE pld.text=PldText pld.active=9\n";
  std::string scenario;
  for (int slot = 0; slot < 4; ++slot)
    scenario += "slot " + std::to_string(slot) + " model=" + Layouts[slot].device + body;
  UseScenario(scenario);
  EachRecord({0, 1, 2, 3}, [&](int, const Layout& l, const ModelInfo& m, const TRecord& r) {
    EXPECT_EQ(TextAt(r, R::IdentityModuleName, R::IdentityModuleNameSize), "RecName");
    EXPECT_EQ(TextAt(r, R::IdentitySerial, R::IdentitySerialSize), "SER-12345");
    EXPECT_EQ(r[R::IdentityRevision], 'Q');
    EXPECT_EQ(TextAt(r, R::McuName, R::McuNameSize), "McuName");
    EXPECT_EQ(DoubleAt(r, R::McuClock), 1234.5);
    EXPECT_EQ(TextAt(r, R::McuFirmware + R::FirmwareVersion, R::FirmwareVersionSize), "MV1");
    EXPECT_EQ(TextAt(r, R::McuFirmware + R::FirmwareDate, R::FirmwareBlockSize - R::FirmwareDate), "MDATE");
    EXPECT_EQ(TextAt(r, l.mcuText, R::McuTextSize), "McuText");
    EXPECT_EQ(Int32At(r, l.dac), 1);
    if (l.boot) {
      EXPECT_EQ(TextAt(r, l.boot + R::FirmwareVersion, R::FirmwareVersionSize), "BV2");
      EXPECT_EQ(TextAt(r, l.boot + R::FirmwareDate, 320), "BDATE");
    }
    if (l.unit) {
      bool dsp = std::string(l.device) == "k600";
      EXPECT_EQ(Int32At(r, l.unit + R::UnitActive), dsp ? 7 : 9);
      EXPECT_EQ(TextAt(r, l.unit + R::UnitName, R::UnitNameSize), dsp ? "DspName" : "PldName");
      EXPECT_EQ(DoubleAt(r, l.unit + R::UnitClock), dsp ? 2345.25 : 3456.125);
      EXPECT_EQ(TextAt(r, l.unit + R::UnitFirmware, R::FirmwareVersionSize), dsp ? "DV3" : "PV4");
      EXPECT_EQ(TextAt(r, l.unit + R::UnitFirmware + R::FirmwareDate, 320), dsp ? "DDATE" : "PDATE");
      EXPECT_EQ(TextAt(r, l.unit + R::UnitText, R::McuTextSize), dsp ? "DspText" : "PldText");
    }
    // Without junk, the bytes the program does not read stay zero; in
    // particular no other model's block leaks into this layout.
    for (std::size_t b = R::IdentitySize; b < R::McuName - R::UnitName; ++b) ASSERT_EQ(r[b], 0) << b;
    for (std::size_t b = l.dac + 4; b < m.recordSize; ++b) ASSERT_EQ(r[b], 0) << b;
    std::size_t aux = l.unit ? (l.boot ? R::K8050Aux : R::K3600Aux) : R::K3200Aux;
    for (std::size_t b = aux; b < l.dac; ++b) ASSERT_EQ(r[b], 0) << b;
  });
}

TEST_F(CorvaneRecords, DefaultModulesDescribeTheirUnits) {
  UseScenario("slot 0 model=k200\nslot 1 model=k390\nslot 2 model=k600\nslot 3 model=k8050\n");
  EachRecord({0, 1, 2, 3}, [&](int, const Layout& l, const ModelInfo& m, const TRecord& r) {
    EXPECT_EQ(TextAt(r, R::IdentityModuleName, 25), m.moduleName);
    EXPECT_FALSE(TextAt(r, R::IdentitySerial, 16).empty());
    EXPECT_NE(r[R::IdentityRevision], 0);
    EXPECT_TRUE(HasNul(r, R::McuName, R::McuNameSize));
    EXPECT_FALSE(TextAt(r, R::McuName, R::McuNameSize).empty());
    double clock = DoubleAt(r, R::McuClock);
    EXPECT_TRUE(std::isfinite(clock) && clock > 0) << clock;
    EXPECT_FALSE(TextAt(r, R::McuFirmware, R::FirmwareVersionSize).empty());
    EXPECT_TRUE(HasNul(r, l.mcuText, R::McuTextSize));
    if (l.unit) {
      EXPECT_NE(Int32At(r, l.unit + R::UnitActive), 0);
      EXPECT_FALSE(TextAt(r, l.unit + R::UnitName, R::UnitNameSize).empty());
      double unitClock = DoubleAt(r, l.unit + R::UnitClock);
      EXPECT_TRUE(std::isfinite(unitClock) && unitClock > 0);
    }
    if (l.boot) {
      EXPECT_FALSE(TextAt(r, l.boot, R::FirmwareVersionSize).empty());
    }
  });
}

TEST_F(CorvaneRecords, SerialNumberOfSixteenCharactersHasNoTerminator) {
  UseScenario(
      "slot 0 model=k200 serial=0123456789ABCDEF revision=R\n"
      "slot 1 model=k200 serial=0123456789ABCDEFGHIJ revision=S\n"
      "slot 2 model=k200 serial=012345678901234 revision=T\n");
  const ModelInfo& m = ModelByDevice("k200");
  std::vector<unsigned char> full = Record(0, m), longer = Record(1, m), fifteen = Record(2, m);
  ASSERT_FALSE(full.empty() || longer.empty() || fifteen.empty());
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&full[50]), 16), "0123456789ABCDEF");
  EXPECT_EQ(full[66], 'R') << "the revision follows the serial number";
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&longer[50]), 16), "0123456789ABCDEF");
  EXPECT_EQ(longer[66], 'S') << "a longer serial number is cut at its field";
  EXPECT_EQ(TextAt(fifteen, 50, 16), "012345678901234");
  EXPECT_EQ(fifteen[65], 0);
}

TEST_F(CorvaneRecords, TextsAreCutAtTheirFieldsAndNeighboursKeepTheirValues) {
  const std::string forty(40, 'N');
  UseScenario("slot 2 model=k600 revision=Z mcu.clock=111.5 dsp.clock=222.5 record-name=" + forty +
              " mcu.name=" + forty + " mcu.version=" + forty + " dsp.name=" + forty + " dsp.version=" + forty + "\n");
  TRecord r;
  ASSERT_NO_FATAL_FAILURE(ReadWhole(2, "k600", r));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&r[25]), 25), std::string(25, 'N'));
  EXPECT_NE(r[50], 'N') << "the serial number starts where the name's field ends";
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&r[R::McuName]), 25), std::string(25, 'N'));
  EXPECT_EQ(DoubleAt(r, R::McuClock), 111.5);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&r[R::McuFirmware]), 10), std::string(10, 'N'));
  EXPECT_NE(r[R::McuFirmware + 10], 'N') << "the date begins after the version's 10 bytes";
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&r[R::K3600Dsp + 4]), 25), std::string(25, 'N'));
  EXPECT_EQ(DoubleAt(r, R::K3600Dsp + 29), 222.5);
  EXPECT_EQ(r[R::IdentityRevision], 'Z');
}

TEST_F(CorvaneRecords, TextFillingItsFieldWritesNoTerminatorBeyondIt) {
  // The last text of each block borders the library's own bytes, 0xA5 here.
  const std::string full(256, 'T'), longer(300, 'T');
  UseScenario("slot 2 model=k600 junk=yes dsp.text=" + full + "\n" +
              "slot 3 model=k8050 junk=yes pld.text=" + longer + "\n" +
              "slot 1 model=k200 junk=yes mcu.text=" + full + "\n");
  std::vector<unsigned char> k600 = Record(2, ModelByDevice("k600"));
  std::vector<unsigned char> k8050 = Record(3, ModelByDevice("k8050"));
  std::vector<unsigned char> k200 = Record(1, ModelByDevice("k200"));
  ASSERT_FALSE(k600.empty() || k8050.empty() || k200.empty());
  EXPECT_FALSE(HasNul(k600, R::K3600Dsp + R::UnitText, 256));
  EXPECT_EQ(k600[R::K3600Aux], 0xA5);
  EXPECT_FALSE(HasNul(k8050, R::K8050Pld + R::UnitText, 256));
  EXPECT_EQ(k8050[R::K8050Aux], 0xA5);
  EXPECT_FALSE(HasNul(k200, R::K3200McuText, 256));
  EXPECT_EQ(k200[R::K3200Aux], 0xA5);
}

TEST_F(CorvaneRecords, UnterminatedTextsFillEveryTextField) {
  UseScenario(
      "slot 0 model=k200 texts=unterminated mcu.clock=10\n"
      "slot 2 model=k600 texts=unterminated mcu.clock=20 dsp.clock=30 dsp.name=\"\"\n"
      "slot 3 model=k8050 texts=unterminated mcu.clock=40 pld.clock=50\n");
  struct Field {
    std::size_t offset, width;
  };
  EachRecord({0, 2, 3}, [&](int slot, const Layout& l, const ModelInfo&, const TRecord& r) {
    std::vector<Field> fields = {{25, 25}, {50, 16}, {R::McuName, 25}, {R::McuFirmware, 10},
                                 {R::McuFirmware + 10, 320}, {l.mcuText, 256}};
    if (l.boot) fields.insert(fields.end(), {{l.boot, 10}, {l.boot + 10, 320}});
    if (l.unit)
      fields.insert(fields.end(), {{l.unit + 4, 25}, {l.unit + 37, 10}, {l.unit + 47, 320}, {l.unit + 367, 256}});
    for (const Field& f : fields) EXPECT_FALSE(HasNul(r, f.offset, f.width)) << "field at " << f.offset;
    // The numbers between the texts are untouched.
    EXPECT_EQ(DoubleAt(r, R::McuClock), slot == 0 ? 10.0 : slot == 2 ? 20.0 : 40.0);
    if (l.unit) {
      EXPECT_EQ(DoubleAt(r, l.unit + 29), slot == 2 ? 30.0 : 50.0);
    }
    EXPECT_EQ(Int32At(r, l.dac), 1);
  });
}

TEST_F(CorvaneRecords, ExtremeClocksArriveBitForBit) {
  struct Case {
    const char* text;
    uint64_t bits;
  } cases[] = {
      {"inf", 0x7FF0000000000000ull},         {"-inf", 0xFFF0000000000000ull},
      {"nan", 0x7FF8000000000000ull},         {"-nan", 0xFFF8000000000000ull},
      {"1e300", 0x7E37E43C8800759Cull},       {"4.9e-324", 0x0000000000000001ull},
      {"2.2250738585072009e-308", 0x000FFFFFFFFFFFFFull}, {"-0", 0x8000000000000000ull},
      {"bits:0x7FF0000000000001", 0x7FF0000000000001ull}, {"-1e-5", 0xBEE4F8B588E368F1ull},
  };
  std::string scenario;
  int slot = 0;
  for (const Case& c : cases) {
    scenario += "slot " + std::to_string(slot) + " model=k600 mcu.clock=" + c.text + " dsp.clock=" + c.text + "\n";
    ++slot;
  }
  UseScenario(scenario);
  const ModelInfo& m = ModelByDevice("k600");
  slot = 0;
  for (const Case& c : cases) {
    std::vector<unsigned char> r = Record(slot++, m);
    ASSERT_EQ(r.size(), m.recordSize) << c.text;
    EXPECT_EQ(BitsAt(r, R::McuClock), c.bits) << c.text;
    EXPECT_EQ(BitsAt(r, R::K3600Dsp + R::UnitClock), c.bits) << c.text;
  }
}

TEST_F(CorvaneRecords, ClocksReadTheSameUnderADecimalCommaLocale) {
  // The C runtime is shared with the program, which may set a locale whose
  // decimal separator is a comma.
  std::string saved = std::setlocale(LC_NUMERIC, nullptr);
  const char* set = nullptr;
  for (const char* name : {"Russian_Russia.1251", "Russian", "ru-RU", "German", "de-DE"}) {
    set = std::setlocale(LC_NUMERIC, name);
    if (set && std::localeconv()->decimal_point[0] == ',') break;
    set = nullptr;
  }
  if (!set) {
    std::setlocale(LC_NUMERIC, saved.c_str());
    GTEST_SKIP() << "no locale with a decimal comma";
  }
  UseScenario("slot 2 model=k600 mcu.clock=1234.5 dsp.clock=7.3728e4\n");
  std::vector<unsigned char> r = Record(2, ModelByDevice("k600"));
  std::setlocale(LC_NUMERIC, saved.c_str());
  ASSERT_FALSE(r.empty()) << "the scenario was refused under the comma locale";
  EXPECT_EQ(DoubleAt(r, R::McuClock), 1234.5);
  EXPECT_EQ(DoubleAt(r, R::K3600Dsp + R::UnitClock), 73728.0);
}

TEST_F(CorvaneRecords, JunkFillsOnlyTheBytesTheProgramDoesNotRead) {
  UseScenario("slot 3 model=k8050 junk=yes mcu.name=Abc serial=S1 dac=0\n");
  TRecord r;
  ASSERT_NO_FATAL_FAILURE(ReadWhole(3, "k8050", r));
  EXPECT_EQ(TextAt(r, R::McuName, 25), "Abc");
  EXPECT_EQ(r[R::McuName + 4], 0xA5) << "after the terminator comes the library's own";
  EXPECT_EQ(TextAt(r, 50, 16), "S1");
  EXPECT_EQ(Int32At(r, R::K8050Dac), 0);
  EXPECT_EQ(r[R::K8050Dac + 4], 0xA5);
  EXPECT_EQ(r[R::K8050Aux], 0xA5);
}

TEST_F(CorvaneRecords, ScenarioTextsBecomeCp1251) {
  // The same Russian text from a UTF-8 file (with and without a byte order
  // mark) and from a cp1251 file.
  const std::string cp1251 = "Процессор";  // compiled as cp1251 bytes
  const std::string utf8 = u8"Процессор";
  ASSERT_NE(cp1251, utf8);
  const std::string files[] = {"slot 0 model=k200 mcu.text=" + utf8 + " name=" + utf8 + " model=k200\n",
                               "\xEF\xBB\xBF" "slot 0 model=k200 mcu.text=" + utf8 + " name=" + utf8 + "\n",
                               "slot 0 model=k200 mcu.text=" + cp1251 + " name=" + cp1251 + "\n"};
  for (const std::string& file : files) {
    UseScenario(file);
    TRecord r;
    ASSERT_NO_FATAL_FAILURE(ReadWhole(0, "k200", r));
    EXPECT_EQ(TextAt(r, R::K3200McuText, 256), cp1251);
    EXPECT_EQ(TextAt(r, R::IdentityModuleName, 25), cp1251);
    IModuleInterface* base = Create("Corvroot");
    char name[16] = {};
    ASSERT_TRUE(Open(base, 0) && ReadName(base, name));
    EXPECT_EQ(std::string(name), cp1251);
  }
}

TEST_F(CorvaneRecords, EscapesGiveAnyByte) {
  UseScenario("slot 1 model=k390 mcu.name=\"a b\\\"c\\\\d\\x01\\xFF\" mcu.text=\"x\\0y\" serial=\"#1 2\"\n");
  TRecord r;
  ASSERT_NO_FATAL_FAILURE(ReadWhole(1, "k390", r));
  EXPECT_EQ(TextAt(r, R::McuName, 25), "a b\"c\\d\x01\xFF");
  EXPECT_EQ(r[R::K3200McuText], 'x');
  EXPECT_EQ(r[R::K3200McuText + 1], 0);
  EXPECT_EQ(r[R::K3200McuText + 2], 'y');
  EXPECT_EQ(TextAt(r, 50, 16), "#1 2");
}

}  // namespace
}  // namespace CorvaneTest
