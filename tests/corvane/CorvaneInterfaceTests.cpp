// The stand-in's entry points, its five interfaces and their function tables.
#include <cstring>
#include <set>

#include "CorvaneTestSupport.h"

namespace CorvaneTest {
namespace {

// One module of every model, and one of a model no interface knows.
const char* const AllModels =
    "slot 1 model=k200 load-ms=0\n"
    "slot 2 model=k390\n"
    "slot 3 model=k600 load-ms=10\n"
    "slot 4 model=k8050 load-ms=10\n"
    "slot 5 name=K800\n";

int SlotOfModel(const ModelInfo& m) {
  std::string d = m.device;
  return d == "k200" ? 1 : d == "k390" ? 2 : d == "k600" ? 3 : 4;
}

TEST(CorvaneEntryPoints, AreExportedByOrdinalOnly) {
  HMODULE module = TheLibrary().module;
  ASSERT_NE(module, nullptr);
  EXPECT_NE(GetProcAddress(module, MAKEINTRESOURCEA(1)), nullptr);
  EXPECT_NE(GetProcAddress(module, MAKEINTRESOURCEA(2)), nullptr);
  EXPECT_EQ(GetProcAddress(module, MAKEINTRESOURCEA(3)), nullptr);
  EXPECT_EQ(GetProcAddress(module, "GetLibraryVersion"), nullptr);
  EXPECT_EQ(GetProcAddress(module, "CreateModuleInterface"), nullptr);
  EXPECT_EQ(GetProcAddress(module, "GetLibraryVersion@0"), nullptr);
  EXPECT_EQ(GetProcAddress(module, "CreateModuleInterface@4"), nullptr);
}

class CorvaneInterfaces : public CorvaneFixture {};

TEST_F(CorvaneInterfaces, FactoryKnowsExactlyTheFiveDeviceNames) {
  UseScenario(AllModels);
  std::set<IModuleInterface*> made;
  for (const char* name : {"Corvroot", "k200", "k390", "k600", "k8050"}) {
    IModuleInterface* i = Create(name);
    ASSERT_NE(i, nullptr) << name;
    ASSERT_NE(i->Table, nullptr) << name;
    made.insert(i);
  }
  EXPECT_EQ(made.size(), 5u) << "each call makes a new object";
  for (const char* name : {"K600", "k600 ", "", "corvroot", "k80-50", "K80-50", "k3600", "Corvroot2"})
    EXPECT_EQ(TheLibrary().create(name), nullptr) << '"' << name << '"';
  EXPECT_EQ(TheLibrary().create(nullptr), nullptr);
  auto stats = Stats();
  EXPECT_EQ(stats["library.created"], 5u);
  EXPECT_EQ(stats["library.unknown-names"], 9u);
  EXPECT_EQ(stats["library.live-interfaces"], 5u);
}

TEST_F(CorvaneInterfaces, ReleaseFreesTheObject) {
  UseScenario(AllModels);
  IModuleInterface* a = Create("k600");
  IModuleInterface* b = Create("Corvroot");
  ASSERT_TRUE(a && b);
  ASSERT_TRUE(Open(a, 3));
  EXPECT_EQ(Stats()["library.live-interfaces"], 2u);
  EXPECT_TRUE(ReleaseNow(a));
  EXPECT_EQ(Stats()["library.live-interfaces"], 1u);
  EXPECT_TRUE(ReleaseNow(b));
  EXPECT_EQ(Stats()["library.live-interfaces"], 0u);
  EXPECT_EQ(Stats()["library.release-calls"], 2u);
}

TEST_F(CorvaneInterfaces, EverySlotOutsideTheContractFails) {
  UseScenario(AllModels);
  // Listed slots per interface; every other slot up to the highest fails,
  // even with a module of the interface's model open.
  struct Case {
    const char* device;
    int slot;
    int highest;
    std::set<int> listed;
  };
  const Case cases[] = {
      {"Corvroot", 1, Corvane::SlotReadModuleName, {0, 1, 2, 4}},
      {"k200", 1, Corvane::SlotK3200ReadDescription, {0, 1, 2, 4, 5, 28}},
      {"k390", 2, Corvane::SlotK390ReadDescription, {0, 1, 2, 4, 5, 26}},
      {"k600", 3, Corvane::SlotK3600ReadDescription, {0, 1, 2, 4, 5, 9, 10, 31}},
      {"k8050", 4, Corvane::SlotK8050ReadDescription, {0, 1, 2, 4, 5, 8, 9, 23}},
  };
  for (const Case& c : cases) {
    IModuleInterface* i = Create(c.device);
    ASSERT_NE(i, nullptr) << c.device;
    ASSERT_TRUE(Open(i, static_cast<DWORD>(c.slot))) << c.device;
    int failing = 0;
    for (int slot = 0; slot <= c.highest; ++slot) {
      ASSERT_NE(i->Table[slot], nullptr) << c.device << " slot " << slot;
      if (c.listed.count(slot)) continue;
      EXPECT_FALSE(CallNoArg(i, slot)) << c.device << " slot " << slot;
      ++failing;
    }
    EXPECT_EQ(failing, c.highest + 1 - static_cast<int>(c.listed.size()));
    // The fill slots change nothing: the module is still open.
    char name[16] = {};
    EXPECT_TRUE(ReadName(i, name)) << c.device;
  }
  auto stats = Stats();
  EXPECT_EQ(stats["total.load"], 0u) << "no fill slot reached an operation";
  EXPECT_EQ(stats["total.test"], 0u);
  EXPECT_EQ(stats["total.description"], 0u);
}

TEST_F(CorvaneInterfaces, ListedSlotsCarryTheirOperations) {
  UseScenario(AllModels);
  for (const ModelInfo& m : Models()) {
    SCOPED_TRACE(m.device);
    int slot = SlotOfModel(m);
    IModuleInterface* i = Create(m.device);
    ASSERT_NE(i, nullptr);
    ASSERT_TRUE(Open(i, static_cast<DWORD>(slot)));
    char name[16];
    std::memset(name, 'x', sizeof name);
    ASSERT_TRUE(ReadName(i, name));
    EXPECT_STREQ(name, m.moduleName);
    BYTE speed = 7;
    EXPECT_TRUE(ReadSpeed(i, &speed));
    EXPECT_LE(speed, 1);
    if (m.loadSlot >= 0) {
      EXPECT_TRUE(LoadFirmware(i, m));
      EXPECT_TRUE(TestModule(i, m));
    }
    std::vector<unsigned char> record(m.recordSize, 0);
    EXPECT_TRUE(ReadDescription(i, m, record.data()));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(&record[Corvane::Record::IdentityModuleName])), m.moduleName);
    EXPECT_TRUE(Close(i));
    auto stats = Stats();
    std::string s = "slot" + std::to_string(slot);
    EXPECT_EQ(stats[s + ".open"], 1u);
    EXPECT_EQ(stats[s + ".name"], 1u);
    EXPECT_EQ(stats[s + ".speed"], 1u);
    EXPECT_EQ(stats[s + ".load"], m.loadSlot >= 0 ? 1u : 0u);
    EXPECT_EQ(stats[s + ".test"], m.testSlot >= 0 ? 1u : 0u);
    EXPECT_EQ(stats[s + ".description"], 1u);
    EXPECT_EQ(stats[s + ".close"], 1u);
  }
}

TEST_F(CorvaneInterfaces, ModelInterfacesOpenOnlyTheirOwnModel) {
  UseScenario(AllModels);
  IModuleInterface* base = Create("Corvroot");
  ASSERT_NE(base, nullptr);
  for (int slot = 0; slot < 25; ++slot) {
    bool occupied = slot >= 1 && slot <= 5;
    EXPECT_EQ(Open(base, static_cast<DWORD>(slot)) != FALSE, occupied) << "base, slot " << slot;
  }
  for (const ModelInfo& m : Models()) {
    IModuleInterface* i = Create(m.device);
    ASSERT_NE(i, nullptr);
    for (int slot = 0; slot < 25; ++slot)
      EXPECT_EQ(Open(i, static_cast<DWORD>(slot)) != FALSE, slot == SlotOfModel(m)) << m.device << ", slot " << slot;
    EXPECT_FALSE(Open(i, 25)) << m.device;
    EXPECT_FALSE(Open(i, 0xFFFFFFFFu)) << m.device;
  }
  // The unknown model answers on the base interface with its own name.
  ASSERT_TRUE(Open(base, 5));
  char name[16] = {};
  ASSERT_TRUE(ReadName(base, name));
  EXPECT_STREQ(name, "K800");
}

TEST_F(CorvaneInterfaces, OperationsNeedAnOpenSlotAndCloseFreesIt) {
  UseScenario(AllModels);
  IModuleInterface* k600 = Create("k600");
  ASSERT_NE(k600, nullptr);
  const ModelInfo& m = ModelByDevice("k600");
  char name[16];
  BYTE speed;
  std::vector<unsigned char> record(m.recordSize, 0xCD);
  EXPECT_TRUE(Close(k600)) << "closing with nothing open succeeds";
  EXPECT_FALSE(ReadName(k600, name));
  EXPECT_FALSE(ReadSpeed(k600, &speed));
  EXPECT_FALSE(LoadFirmware(k600, m));
  EXPECT_FALSE(TestModule(k600, m));
  EXPECT_FALSE(ReadDescription(k600, m, record.data()));
  EXPECT_EQ(record, std::vector<unsigned char>(m.recordSize, 0xCD));
  ASSERT_TRUE(Open(k600, 3));
  EXPECT_TRUE(ReadName(k600, name));
  EXPECT_TRUE(Close(k600));
  EXPECT_FALSE(ReadName(k600, name)) << "closed";
  ASSERT_TRUE(Open(k600, 3));
  EXPECT_FALSE(Open(k600, 4)) << "a K80-50 is in slot 4";
  EXPECT_FALSE(ReadName(k600, name)) << "a failed open leaves nothing open";
  // Null buffers are refused, not written through.
  ASSERT_TRUE(Open(k600, 3));
  EXPECT_FALSE(ReadName(k600, nullptr));
  EXPECT_FALSE(ReadSpeed(k600, nullptr));
  EXPECT_FALSE(ReadDescription(k600, m, nullptr));
}

TEST_F(CorvaneInterfaces, ModuleNameFitsSixteenBytes) {
  UseScenario(
      "slot 0 model=k200 name=ABCDEFGHIJKLMNOPQRST\n"
      "slot 1 model=k390 name=ABCDEFGHIJKLMNO\n"
      "slot 2 name=k600\n"
      "slot 3 name=\"K600 \"\n"
      "slot 4 model=k8050 name=\"\"\n");
  IModuleInterface* base = Create("Corvroot");
  ASSERT_NE(base, nullptr);
  struct Case {
    int slot;
    std::string expected;
  } cases[] = {{0, "ABCDEFGHIJKLMNO"}, {1, "ABCDEFGHIJKLMNO"}, {2, "k600"}, {3, "K600 "}, {4, ""}};
  for (const Case& c : cases) {
    unsigned char buffer[16 + 16];
    std::memset(buffer, 0xEE, sizeof buffer);
    ASSERT_TRUE(Open(base, static_cast<DWORD>(c.slot))) << c.slot;
    ASSERT_TRUE(ReadName(base, reinterpret_cast<char*>(buffer))) << c.slot;
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer)), c.expected);
    for (std::size_t b = 16; b < sizeof buffer; ++b) ASSERT_EQ(buffer[b], 0xEE) << "slot " << c.slot << " byte " << b;
  }
  // "k600" belongs to the K3-600 interface; "K600 " to none.
  IModuleInterface* k600 = Create("k600");
  ASSERT_NE(k600, nullptr);
  EXPECT_TRUE(Open(k600, 2));
  EXPECT_FALSE(Open(k600, 3));
}

TEST_F(CorvaneInterfaces, UsbSpeedIsTheScenariosByte) {
  UseScenario(
      "slot 0 model=k200 speed=full\n"
      "slot 1 model=k200 speed=high\n"
      "slot 2 model=k200 speed=0\n"
      "slot 3 model=k200 speed=255\n");
  IModuleInterface* k200 = Create("k200");
  ASSERT_NE(k200, nullptr);
  const BYTE expected[] = {0, 1, 0, 255};
  for (int slot = 0; slot < 4; ++slot) {
    BYTE speed = 77;
    ASSERT_TRUE(Open(k200, static_cast<DWORD>(slot)));
    ASSERT_TRUE(ReadSpeed(k200, &speed));
    EXPECT_EQ(speed, expected[slot]) << slot;
  }
}

TEST_F(CorvaneInterfaces, FirmwareLoadTakesTheModulesLoadTime) {
  UseScenario(
      "slot 3 model=k600 load-ms=150\n"
      "slot 4 model=k8050 load-ms=0\n");
  IModuleInterface* k600 = Create("k600");
  IModuleInterface* k8050 = Create("k8050");
  ASSERT_TRUE(k600 && k8050);
  ASSERT_TRUE(Open(k600, 3));
  ASSERT_TRUE(Open(k8050, 4));
  DWORD start = GetTickCount();
  EXPECT_TRUE(LoadFirmware(k600, ModelByDevice("k600")));
  DWORD took = GetTickCount() - start;
  EXPECT_GE(took, 130u) << "the load sleeps its time";
  EXPECT_TRUE(LoadFirmware(k8050, ModelByDevice("k8050")));
  // The program passes null; a file name is taken as well.
  EXPECT_TRUE(LoadFirmwareAt(k8050, Corvane::SlotK8050LoadFirmware) &&
              reinterpret_cast<Corvane::LoadFirmwareFn>(k8050->Table[Corvane::SlotK8050LoadFirmware])(
                  k8050, "firmware.bin"));
}

}  // namespace
}  // namespace CorvaneTest
