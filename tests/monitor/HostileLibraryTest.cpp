// A device library that answers but cannot be trusted: versions no library
// of this program has, records of random bytes without a single terminator,
// and reads that succeed without writing anything. The window shows the
// program's message or placeholders, and never a byte from outside a field.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>

#include "device/CorvaneAbi.h"
#include "framework/Application.h"
#include "framework/Thread.h"
#include "monitor/DetailsFormat.h"
#include "monitor/ModulesMonitorThread.h"
#include "tests/monitor/MonitorFixture.h"
#include "tests/monitor/MonitorTexts.h"
#include "tests/support/BoxAnswerer.h"
#include "tests/support/FakeCorvane.h"

namespace MonitorTest {

using namespace CorvaneFake;
namespace {

namespace R = Corvane::Record;

// The windows only: each case starts its own thread.
class MonitorHostileLibrary : public MonitorFixture {
 protected:
  void SetUp() override { BuildWindows(); }
};

TEST_F(MonitorHostileLibrary, AbsurdLibraryVersionsAreReportedAndNoInterfaceIsAskedFor) {
  struct {
    DWORD Version;
    const char* Shown;
  } cases[] = {{0, "0.0"}, {0xFFFFFFFF, "65535.65535"}, {0x00030002, "3.2"}, {0x00040003, "4.3"}, {0x00030004, "3.4"}};
  Fake.Plug(0, "K200");
  TBoxAnswerer boxes(GetCurrentThreadId());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Shown);
    Fake.Version = c.Version;
    Start();
    EXPECT_EQ(Thread->ErrorReported, 1);
    EXPECT_EQ(Thread->ErrorText,
              std::string("Неправильная версия библиотеки Corvane.dll!\nТекущая: ") + c.Shown + " Требуется: 3.3");
    EXPECT_EQ(Thread->Device, nullptr);
    EXPECT_EQ(Fake.Created(), 0);
    // The start-up rendering stays: placeholders and a disabled list.
    EXPECT_EQ(Window->Text(), NoModule);
    EXPECT_EQ(Text("ModuleGroupBox"), "Модуль ????");
    EXPECT_EQ(Text("McuTypeLMDStaticText"), Dashes);
    EXPECT_FALSE(List().Enabled());
    Stop();
  }
  EXPECT_EQ(boxes.Texts().size(), sizeof cases / sizeof cases[0]) << "one message box each";
  // The one version the program takes.
  Fake.Version = Corvane::RequiredVersion;
  Start();
  EXPECT_EQ(Thread->ErrorReported, 0);
  EXPECT_NE(Thread->Device, nullptr);
}

// The thread's own body this time, with this thread serving its hand-overs.
TEST_F(MonitorHostileLibrary, AnExceptionInTheStartUpIsReportedAndTheThreadWaitsToBeStopped) {
  Fake.ThrowAtCreate = 3;  // the wrapper holds two interfaces by then
  Thread.reset(new TModulesMonitorThread(true, Window->MonitorView(), Fake.Library()));
  TBoxAnswerer boxes(Thread->ThreadId());  // the report's message box, shown by the thread
  Thread->Start();
  auto serveUntil = [&](const std::function<bool()>& done, DWORD ms = 10000) {
    for (DWORD start = GetTickCount(); !done(); Sleep(1)) {
      CheckSynchronize();
      if (GetTickCount() - start > ms) return false;
    }
    return true;
  };
  // The wrapper is set in the start-up step; it is gone again only once the
  // final hand-over has run.
  ASSERT_TRUE(serveUntil([&] { return Thread->Finished() || (Thread->ErrorReported == 1 && Thread->Device == nullptr); }));
  EXPECT_FALSE(Thread->Finished()) << "the thread ended on its own";
  EXPECT_EQ(Thread->ErrorReported, 1);
  EXPECT_EQ(Thread->ErrorText, "Опаньки!!! Поймали неустранимое исключение!!!\nСрочно сообщите разработчику!");
  EXPECT_EQ(Fake.Created(), 2);
  EXPECT_EQ(Fake.Released(), 2);
  EXPECT_EQ(Window->Text(), NoModule);
  EXPECT_FALSE(List().Enabled());
  // It still idles, and it ends when it is asked to.
  serveUntil([&] { return Thread->Finished(); }, 300);
  EXPECT_FALSE(Thread->Finished());
  Thread.reset();
}

// Random letters and high cp1251 bytes, never a NUL.
void FillWithGarbage(unsigned char* bytes, size_t size, std::mt19937& random) {
  for (size_t i = 0; i < size; ++i) {
    unsigned value = random() % 158;
    bytes[i] = static_cast<unsigned char>(value < 94 ? 0x21 + value : 0xC0 + (value - 94));
  }
}

double ClockAt(const unsigned char* record, size_t offset) {
  double value;
  std::memcpy(&value, record + offset, sizeof value);
  return value;
}

std::string Bytes(const unsigned char* record, size_t offset, size_t size) {
  return std::string(reinterpret_cast<const char*>(record + offset), size);
}

std::string VersionAt(const unsigned char* record, size_t block) {
  return Bytes(record, block + R::FirmwareVersion, R::FirmwareVersionSize) + " от " +
         Bytes(record, block + R::FirmwareDate, R::FirmwareBlockSize - R::FirmwareDate);
}

TEST_F(MonitorHostileLibrary, ARecordWithoutOneTerminatorShowsEachFieldToItsEndAndNoFurther) {
  struct {
    const char* Name;
    size_t Boot, Dsp, Pld;  // 0: the model has no such unit
  } models[] = {{"K200", 0, 0, 0}, {"K390", 0, 0, 0}, {"K600", 0, R::K3600Dsp, 0}, {"K80-50", R::K8050BootLoader, 0, R::K8050Pld}};
  std::mt19937 random(7224);
  for (const auto& model : models) {
    SCOPED_TRACE(model.Name);
    TFakeModule& m = Fake.Plug(3, model.Name, 0);
    FillWithGarbage(m.Record, m.RecordSize, random);
    const unsigned char* g = m.Record;
    Start();
    Cycle();
    ASSERT_EQ(Thread->SelectedIndex, 3);

    const std::string name = Bytes(g, R::IdentityModuleName, R::IdentityModuleNameSize);
    EXPECT_EQ(List().Item(3), "Слот  3: Модуль " + name);
    EXPECT_EQ(Window->Text(), "Мониторинг USB модулей: " + name + " --> S/N " + Bytes(g, R::IdentitySerial, 16));
    EXPECT_EQ(Text("ModuleGroupBox"), "Модуль " + name);
    EXPECT_EQ(Text("SerialNumberLMDStaticText"), Bytes(g, R::IdentitySerial, 8));
    EXPECT_EQ(Text("ModuleRevisionLMDStaticText"), Bytes(g, R::IdentityRevision, 1));
    EXPECT_EQ(Text("SpeedModeStaticText"), "FS");
    EXPECT_EQ(Text("McuTypeLMDStaticText"), Bytes(g, R::McuName, R::McuNameSize));
    EXPECT_EQ(Text("McuFreqLMDStaticText"), ClockText(ClockAt(g, R::McuClock)));
    EXPECT_EQ(Text("McuFirmwareVersionLMDStaticText"), VersionAt(g, R::McuFirmware));
    if (model.Boot)
      EXPECT_EQ(Text("McuBootLoaderVersionLMDStaticText"), VersionAt(g, model.Boot));
    else
      EXPECT_EQ(Text("McuBootLoaderVersionLMDStaticText"), Dashes);
    const struct {
      size_t Block;
      const char *Type, *Freq, *Version;
    } units[] = {{model.Dsp, "DspTypeLMDStaticText", "DspFreqLMDStaticText", "DspFirmwareVersionLMDStaticText"},
                 {model.Pld, "PldTypeLMDStaticText", "PldFreqLMDStaticText", "PldFirmwareVersionLMDStaticText"}};
    for (const auto& unit : units) {
      if (!unit.Block) {
        EXPECT_EQ(Text(unit.Type), Dashes);
        EXPECT_EQ(Text(unit.Freq), Dashes);
        EXPECT_EQ(Text(unit.Version), Dashes);
        continue;
      }
      EXPECT_EQ(Text(unit.Type), Bytes(g, unit.Block + R::UnitName, R::UnitNameSize));
      EXPECT_EQ(Text(unit.Freq), ClockText(ClockAt(g, unit.Block + R::UnitClock)));
      EXPECT_EQ(Text(unit.Version), VersionAt(g, unit.Block + R::UnitFirmware));
    }
    Stop();
  }
}

TEST_F(MonitorHostileLibrary, ReadsThatWriteNothingShowEmptyValuesAndNothingOfTheModuleBefore) {
  Fake.Plug(3, "K600");  // a whole record, read first in the same scan
  TFakeModule& silent = Fake.Plug(5, "K600");
  silent.RecordSize = 0;  // its description read succeeds and writes nothing
  silent.Silent = true;
  Start();
  Cycle();
  ASSERT_EQ(Thread->SelectedIndex, 3);
  ASSERT_EQ(Text("McuTypeLMDStaticText"), "MCU-K600");
  List().SetItemIndex(5);
  Cycle();
  ASSERT_EQ(Thread->SelectedIndex, 5);

  const SlotRecord& r = Thread->Current.Slots[5];
  EXPECT_EQ(r.ModuleReady, 1u);
  EXPECT_EQ(r.DescriptionValid, 1u);
  const char none[16] = {};
  EXPECT_EQ(std::memcmp(r.ModuleName, none, sizeof none), 0);
  EXPECT_EQ(List().Item(5), "Слот  5: Модуль ");
  EXPECT_EQ(Window->Text(), "Мониторинг USB модулей:  --> S/N ");
  EXPECT_EQ(Text("ModuleGroupBox"), "Модуль ");
  EXPECT_EQ(Text("SerialNumberLMDStaticText"), "");
  EXPECT_EQ(Text("ModuleRevisionLMDStaticText"), "");
  EXPECT_EQ(Text("DacLMDStaticText"), "НЕТ");
  EXPECT_EQ(Text("McuTypeLMDStaticText"), "");
  EXPECT_EQ(Text("McuFreqLMDStaticText"), "0 кГц");
  EXPECT_EQ(Text("McuFirmwareVersionLMDStaticText"), " от ");
  EXPECT_EQ(Text("DspTypeLMDStaticText"), "");
  EXPECT_EQ(Text("DspFreqLMDStaticText"), "0 кГц");
  EXPECT_EQ(Text("DspFirmwareVersionLMDStaticText"), " от ");
  EXPECT_EQ(Text("McuBootLoaderVersionLMDStaticText"), Dashes);
  EXPECT_EQ(Text("PldTypeLMDStaticText"), Dashes);
}

}  // namespace
}  // namespace MonitorTest
