// Scenario files that no writer meant to leave: cut anywhere, random bytes,
// other encodings, sizes at the cap, and a file rewritten over and over
// while the library keeps looking at it. Each is reported, never applied
// half, and the last good scenario stays in force.
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "CorvaneTestSupport.h"

namespace CorvaneTest {
namespace {

class CorvaneHostileScenario : public CorvaneFixture {
 protected:

  // Puts a good scenario in force, replaces it by the bad text and checks
  // that the bad one is reported once and the good one stays.
  void ExpectRejected(const std::string& bad, const char* reason) {
    UseScenario("slot 3 model=k200 speed=high\n");
    ASSERT_EQ(SpeedIn(3), 1);
    std::string logBefore = Log();
    RewriteScenario(bad);
    for (int call = 0; call < 3; ++call) {
      if (call) Sleep(55);  // past the check interval
      EXPECT_EQ(SpeedIn(3), 1) << "the last good scenario stays in force";
      EXPECT_EQ(TheLibrary().version(), 0x00030003u);
    }
    std::string added = Log().substr(logBefore.size());
    EXPECT_EQ(Occurrences(added, "cannot be used"), 1) << added;
    EXPECT_NE(added.find(reason), std::string::npos) << added;
  }
};

TEST_F(CorvaneHostileScenario, AFileCutAnywhereIsNeverAppliedHalf) {
  const std::string good = "slot 3 model=k200 speed=high\n";
  struct Case {
    const char* what;
    std::string text;
    const char* reason;
  } cases[] = {
      {"inside a setting's name", good + "slot 4 mod", "mod"},
      {"after the directive", good + "slot", "line 2"},
      {"inside the slot number", good + "slot 4", "line 2"},
      {"after the equals sign", good + "slot 4 model=", "line 2"},
      {"inside a hex escape", good + "slot 4 model=k200 name=\"\\x4", "line 2"},
      {"right after a backslash", good + "slot 4 model=k200 name=\"ab\\", "line 2"},
      {"inside a clock's bit pattern", good + "slot 4 model=k200 mcu.clock=bits:0x", "bits"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectRejected(c.text, c.reason);
  }
}

TEST_F(CorvaneHostileScenario, RandomBytesAndOtherEncodingsAreRefused) {
  std::mt19937 random(20261208);
  std::string noise;
  for (int i = 0; i < 4000; ++i) noise += static_cast<char>(1 + random() % 255);  // no NUL: not plainly binary
  // A name of 40 bytes: letters and high bytes, none with a meaning in the format.
  std::string noisyLine = "slot 3 model=k200 name=";
  while (noisyLine.size() < 23 + 40) {
    unsigned char ch = static_cast<unsigned char>(0x21 + random() % (0x100 - 0x21));
    if ((ch < 0x7F || ch >= 0xC0) && std::strchr("\"#\\=", ch) == nullptr) noisyLine += static_cast<char>(ch);
  }
  noisyLine += "\n";
  std::string utf16be("\xFE\xFF", 2), utf16leBare;
  for (char ch : std::string("slot 3 model=k200\n")) {
    utf16be += '\0';
    utf16be += ch;
    utf16leBare += ch;
    utf16leBare += '\0';
  }
  struct Case {
    const char* what;
    std::string text;
    const char* reason;
  } cases[] = {
      {"random bytes", "slot 3 model=k200\n" + noise, "line"},
      {"random bytes with a NUL", noise.substr(0, 100) + std::string(1, '\0') + noise.substr(100), "binary"},
      {"UTF-16 big-endian", utf16be, "UTF-16"},
      {"UTF-16 without byte order mark", utf16leBare, "binary"},
      {"a NUL in a value", "slot 3 model=k200 name=K2" + std::string(1, '\0') + "00\n", "binary"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectRejected(c.text, c.reason);
  }
  // Random high bytes inside a name are only text: cp1251, cut to the field.
  UseScenario(noisyLine);
  IModuleInterface* base = Create("Corvroot");
  char name[16];
  std::memset(name, 0x5A, sizeof name);
  ASSERT_TRUE(Open(base, 3) && ReadName(base, name));
  EXPECT_EQ(std::string(name), noisyLine.substr(23, 15));
}

TEST_F(CorvaneHostileScenario, TheSizeCapIsOneMebibyteExactly) {
  const std::string head = "slot 3 model=k200 speed=full\n#";
  const std::size_t cap = 1024 * 1024;
  std::string atCap = head + std::string(cap - head.size() - 1, '#') + "\n";
  ASSERT_EQ(atCap.size(), cap);
  UseScenario("slot 3 model=k200 speed=high\n");
  ASSERT_EQ(SpeedIn(3), 1);
  RewriteScenario(atCap);
  EXPECT_EQ(SpeedIn(3), 0) << "a file of exactly 1 MiB is read";

  std::string overCap = atCap + "#";
  ExpectRejected(overCap, "1048577 bytes");
}

// A writer that rewrites the file in place as fast as it can, cycling
// through its texts: it empties the file, pauses a moment, then writes the
// whole text at once. The library looks at the file meanwhile.
struct TRewriter {
  std::wstring Path;
  std::vector<std::string> Texts;
  volatile LONG Stop = 0;
  volatile LONG Writes[8] = {};  // by text

  static DWORD WINAPI Run(void* self) {
    TRewriter& w = *static_cast<TRewriter*>(self);
    for (std::size_t n = 0; !w.Stop; ++n) {
      const std::size_t which = n % w.Texts.size();
      const std::string& text = w.Texts[which];
      HANDLE file = CreateFileW(w.Path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file == INVALID_HANDLE_VALUE) {
        Sleep(1);
        continue;
      }
      Sleep(n % 3);
      DWORD written = 0;
      WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
      CloseHandle(file);
      InterlockedIncrement(&w.Writes[which]);
      Sleep(n % 5);
    }
    return 0;
  }
};

TEST_F(CorvaneHostileScenario, AFileRewrittenWhileItIsReadKeepsAGoodScenarioInForce) {
  const std::string first = "slot 3 model=k200 speed=high\n# first\n";
  const std::string second = "slot 3 model=k200 speed=high\nslot 4 model=k390\n";
  const std::string broken = "slot 3 model=k200 speed=high\nslot 4 mod\n";
  UseScenario(first);
  ASSERT_EQ(SpeedIn(3), 1);
  std::string logBefore = Log();

  TRewriter writer;
  writer.Path = FScenarioPath;
  writer.Texts = {first, second, broken};
  HANDLE thread = CreateThread(nullptr, 0, &TRewriter::Run, &writer, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  DWORD start = GetTickCount();
  int checks = 0, wrong = 0;
  while (GetTickCount() - start < 1500) {
    // Every scenario the library may put in force holds slot 3 at high
    // speed: neither the empty file nor the broken one may take it away.
    if (SpeedIn(3) != 1) ++wrong;
    ++checks;
    Sleep(checks % 7);
  }
  InterlockedExchange(&writer.Stop, 1);
  WaitForSingleObject(thread, 5000);
  CloseHandle(thread);
  // The library's look at whatever the writer left, before the counts.
  Sleep(60);
  if (SpeedIn(3) != 1) ++wrong;
  EXPECT_EQ(wrong, 0) << "of " << checks << " checks";
  EXPECT_GT(writer.Writes[2], 5);

  // Only the broken text is reported, at most once for each time it was written.
  std::string added = Log().substr(logBefore.size());
  int reports = Occurrences(added, "cannot be used");
  EXPECT_LE(reports, writer.Writes[2]);
  EXPECT_EQ(Occurrences(added, "cannot be used: line 2: \"mod\""), reports) << added;
  EXPECT_EQ(Stats()["library.scenario-errors"], static_cast<unsigned long>(reports)) << added;

  // The writer's last word counts once it is done.
  RewriteScenario("slot 3 model=k200 speed=full\n");
  EXPECT_EQ(SpeedIn(3), 0);
}

}  // namespace
}  // namespace CorvaneTest
