#include "corvane/State.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace Standin {

namespace {

struct FileStamp {
  unsigned long long size = 0;
  unsigned long long written = 0;  // last-write time, 100 ns units
  bool operator==(const FileStamp& o) const { return size == o.size && written == o.written; }
  bool operator!=(const FileStamp& o) const { return !(*this == o); }
};

enum class Source { Nothing, Empty, Demo, File };

// Where a faulting call writes: the first page is never mapped. Kept in a
// variable so that the compiler does not see the fault coming.
volatile std::uintptr_t gUnmappedAddress = 0x10;

// What DLLs of some Pascal-era toolchains leave behind: x87 invalid
// operation, divide by zero and overflow unmasked (control word 0x1332), and
// the same in MXCSR where the processor has one.
void UnmaskTraps() {
  unsigned short cw = 0x1332;
  asm volatile("fldcw %0" : : "m"(cw));
#if defined(__i386__)
  if (!IsProcessorFeaturePresent(PF_XMMI_INSTRUCTIONS_AVAILABLE)) return;
#endif
  unsigned mxcsr;
  asm volatile("stmxcsr %0" : "=m"(mxcsr));
  mxcsr &= ~0x0680u;  // the IM, ZM and OM mask bits
  asm volatile("ldmxcsr %0" : : "m"(mxcsr));
}

struct State {
  CRITICAL_SECTION lock;
  DWORD loadTick = 0;

  Scenario scenario;
  Source source = Source::Nothing;
  DWORD timeBase = 0;
  // Per slot, and last the library's own calls.
  unsigned calls[SlotCount + 1][OpCount] = {};
  // What the calls counted under the lock do once it is released.
  unsigned pendingMischief = 0;
  int lockDepth = 0;

  bool checked = false;
  DWORD lastCheck = 0;
  std::wstring scenarioPath;
  bool stampValid = false;
  FileStamp stamp;
  bool fresh = false;  // the file was new when read: its time stamp may hide a rewrite
  std::wstring appliedPath;
  unsigned long long appliedHash = 0;
  std::string lastReport;

  bool statsChecked = false;
  std::wstring statsPath;
  Counters counters;
  bool statsDirty = false;
  DWORD lastStatsWrite = 0;

  std::vector<const void*> live;
};

State* g = nullptr;

unsigned long long ToUll(const FILETIME& t) {
  return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

unsigned long long Fnv1a(const std::string& bytes) {
  unsigned long long h = 1469598103934665603ull;
  for (unsigned char c : bytes) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

std::wstring Env(const wchar_t* name) {
  wchar_t buffer[512];
  DWORD n = GetEnvironmentVariableW(name, buffer, 512);
  if (n == 0) return std::wstring();
  if (n < 512) return std::wstring(buffer, n);
  std::wstring big(n, L'\0');
  DWORD m = GetEnvironmentVariableW(name, &big[0], n);
  if (m == 0 || m >= n) return std::wstring();
  big.resize(m);
  return big;
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
  return out;
}

std::wstring FromCodePage(UINT codePage, DWORD flags, const std::string& bytes, bool& ok) {
  ok = true;
  if (bytes.empty()) return std::wstring();
  int n = MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (n <= 0) {
    ok = false;
    return std::wstring();
  }
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), &out[0], n);
  return out;
}

std::string Cp1251ToUtf8(const std::string& bytes) {
  bool ok;
  return Utf8(FromCodePage(1251, 0, bytes, ok));
}

// The scenario file's bytes as cp1251 text: UTF-8 when they are valid UTF-8
// (a byte order mark is dropped), otherwise taken as cp1251 already.
bool DecodeScenario(const std::string& raw, std::string& text, std::string& error) {
  if (raw.size() >= 2 && ((static_cast<unsigned char>(raw[0]) == 0xFF && static_cast<unsigned char>(raw[1]) == 0xFE) ||
                          (static_cast<unsigned char>(raw[0]) == 0xFE && static_cast<unsigned char>(raw[1]) == 0xFF))) {
    error = "the file is UTF-16 text; save it as UTF-8 or cp1251";
    return false;
  }
  std::size_t nul = raw.find('\0');
  if (nul != std::string::npos) {
    error = "the file holds binary data (a NUL byte at offset " + std::to_string(nul) + "), not scenario text";
    return false;
  }
  std::string body = raw;
  if (body.size() >= 3 && body.compare(0, 3, "\xEF\xBB\xBF") == 0) body.erase(0, 3);
  bool ok;
  std::wstring wide = FromCodePage(CP_UTF8, MB_ERR_INVALID_CHARS, body, ok);
  if (!ok) {
    text = body;  // not UTF-8: cp1251
    return true;
  }
  if (wide.empty()) {
    text.clear();
    return true;
  }
  int n = WideCharToMultiByte(1251, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, "?", nullptr);
  text.assign(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(1251, 0, wide.data(), static_cast<int>(wide.size()), &text[0], n, "?", nullptr);
  return true;
}

enum class ReadOutcome { Ok, Busy, Missing, TooLarge, Failed };

bool StampOf(HANDLE file, FileStamp& stamp) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file, &info)) return false;
  stamp.size = (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  stamp.written = ToUll(info.ftLastWriteTime);
  return true;
}

// Reads the whole file, unless it is larger than the cap or changes while it
// is read (then Busy: try again later).
ReadOutcome ReadCapped(const std::wstring& path, std::string& bytes, FileStamp& stamp, DWORD& error) {
  error = 0;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return ReadOutcome::Busy;
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return ReadOutcome::Missing;
    return ReadOutcome::Failed;
  }
  ReadOutcome outcome = ReadOutcome::Ok;
  FileStamp before, after;
  if (!StampOf(file, before)) {
    error = GetLastError();
    outcome = ReadOutcome::Failed;
  } else if (before.size > MaxScenarioBytes) {
    stamp = before;
    outcome = ReadOutcome::TooLarge;
  } else {
    bytes.assign(static_cast<std::size_t>(before.size), '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
      DWORD n = 0;
      if (!ReadFile(file, &bytes[got], static_cast<DWORD>(bytes.size() - got), &n, nullptr)) {
        error = GetLastError();
        outcome = error == ERROR_LOCK_VIOLATION ? ReadOutcome::Busy : ReadOutcome::Failed;
        break;
      }
      if (n == 0) break;
      got += n;
    }
    if (outcome == ReadOutcome::Ok) {
      char extra;
      DWORD n = 0;
      bool grew = ReadFile(file, &extra, 1, &n, nullptr) && n > 0;
      if (got != bytes.size() || grew || !StampOf(file, after) || after != before) outcome = ReadOutcome::Busy;
      stamp = before;
    }
  }
  CloseHandle(file);
  return outcome;
}

bool WriteWhole(const std::wstring& path, const std::string& text, DWORD disposition, bool append) {
  HANDLE file = CreateFileW(path.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = text.empty() ||
            (WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size());
  CloseHandle(file);
  return ok;
}

std::wstring LogPath() {
  std::wstring log = Env(LogVariable);
  if (!log.empty()) return log;
  if (!g->scenarioPath.empty()) return g->scenarioPath + L".log";
  return std::wstring();
}

void WriteLog(const std::string& line) {
  std::wstring path = LogPath();
  if (path.empty()) return;
  SYSTEMTIME t;
  GetLocalTime(&t);
  char stampText[40];
  std::snprintf(stampText, sizeof stampText, "%04u-%02u-%02u %02u:%02u:%02u.%03u ", t.wYear, t.wMonth, t.wDay,
                t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
  WriteWhole(path, stampText + line, OPEN_ALWAYS, true);
}

// Reports a fault with the scenario once: on the standard error stream and
// in the log. A fault with the same key as the last one is not repeated.
void Report(const std::string& key, const std::string& message) {
  if (key == g->lastReport) return;
  g->lastReport = key;
  ++g->counters.scenarioErrors;
  StatsChanged(true);
  std::string line = "Corvane stand-in: " + message + "\r\n";
  HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  if (err && err != INVALID_HANDLE_VALUE) {
    DWORD written;
    WriteFile(err, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  }
  WriteLog(line);
}

void Apply(Scenario&& scenario, Source source, DWORD timeBase) {
  g->scenario = std::move(scenario);
  g->source = source;
  g->timeBase = timeBase;
  std::memset(g->calls, 0, sizeof g->calls);
}

// Before any scenario was read from the named file, no module is in any slot.
void FallBackToEmpty() {
  if (g->source != Source::Nothing) return;
  Apply(Scenario{}, Source::Empty, GetTickCount());
}

std::string Quoted(const std::wstring& path) { return "\"" + Utf8(path) + "\""; }

void ReportUnusable(const std::string& key, const std::string& why) {
  Report(key, "the scenario " + Quoted(g->scenarioPath) + " cannot be used: " + why +
                  ". The last good scenario stays in force.");
  FallBackToEmpty();
}

std::string Describe(const Scenario& s) {
  char version[32];
  std::snprintf(version, sizeof version, "%lu.%lu", static_cast<unsigned long>(s.version >> 16),
                static_cast<unsigned long>(s.version & 0xFFFF));
  std::string text = std::to_string(s.ModuleCount()) + " module(s), version " + version;
  if (!s.refused.empty()) {
    text += ", refusing";
    for (const std::string& r : s.refused) text += " " + Cp1251ToUtf8(r);
  }
  return text;
}

void ReadScenarioFile() {
  std::string raw;
  FileStamp stamp;
  DWORD error = 0;
  const std::string pathKey = Utf8(g->scenarioPath);
  switch (ReadCapped(g->scenarioPath, raw, stamp, error)) {
    case ReadOutcome::Busy:
      return;  // being written: look again at the next check
    case ReadOutcome::Missing:
      g->stampValid = false;
      ReportUnusable("missing:" + pathKey, "the file does not exist");
      return;
    case ReadOutcome::Failed:
      g->stampValid = false;
      ReportUnusable("failed:" + pathKey + ":" + std::to_string(error),
                     "the file cannot be read (Windows error " + std::to_string(error) + ")");
      return;
    case ReadOutcome::TooLarge:
      g->stamp = stamp;
      g->stampValid = true;
      g->fresh = false;
      ReportUnusable("large:" + pathKey + ":" + std::to_string(stamp.size),
                     "the file has " + std::to_string(stamp.size) + " bytes, more than the " +
                         std::to_string(MaxScenarioBytes) + " a scenario may have");
      return;
    case ReadOutcome::Ok:
      break;
  }
  g->stamp = stamp;
  g->stampValid = true;
  FILETIME nowTime;
  GetSystemTimeAsFileTime(&nowTime);
  unsigned long long now = ToUll(nowTime);
  g->fresh = stamp.written + 20000000ull > now;  // written in the last 2 s, or in the future
  if (raw.empty()) {
    FallBackToEmpty();  // a file being rewritten is empty for a moment: wait for its text
    return;
  }
  unsigned long long hash = Fnv1a(raw);
  if (g->source == Source::File && g->appliedPath == g->scenarioPath && g->appliedHash == hash) return;
  const std::string key = "bad:" + pathKey + ":" + std::to_string(hash);
  if (key == g->lastReport) return;
  std::string text, why;
  Scenario scenario;
  if (!DecodeScenario(raw, text, why) || !ParseScenario(text, scenario, why)) {
    ReportUnusable(key, Cp1251ToUtf8(why));
    return;
  }
  std::string description = Describe(scenario);
  Apply(std::move(scenario), Source::File, GetTickCount());
  g->appliedPath = g->scenarioPath;
  g->appliedHash = hash;
  g->lastReport.clear();
  ++g->counters.scenarioLoads;
  StatsChanged(true);
  WriteLog("Corvane stand-in: the scenario " + Quoted(g->scenarioPath) + " is in force: " + description + ".\r\n");
}

std::string FormatCounters(const SlotCounters& c) {
  char line[256];
  std::snprintf(line, sizeof line, "open=%lu opened=%lu name=%lu speed=%lu load=%lu test=%lu description=%lu close=%lu",
                c.open, c.opened, c.name, c.speed, c.load, c.test, c.description, c.close);
  return line;
}

std::string FormatStats() {
  const Counters& c = g->counters;
  char line[512];
  std::string text = "# Corvane stand-in: calls since this stats file was named\r\n";
  std::snprintf(line, sizeof line,
                "library version-calls=%lu create-calls=%lu created=%lu refused=%lu unknown-names=%lu "
                "release-calls=%lu live-interfaces=%lu scenario-loads=%lu scenario-errors=%lu\r\n",
                c.versionCalls, c.createCalls, c.created, c.refused, c.unknownNames, c.releaseCalls,
                static_cast<unsigned long>(g->live.size()), c.scenarioLoads, c.scenarioErrors);
  text += line;
  text += "total " + FormatCounters(c.total) + "\r\n";
  for (int s = 0; s < SlotCount; ++s) text += "slot " + std::to_string(s) + " " + FormatCounters(c.slot[s]) + "\r\n";
  return text;
}

void WriteStats() {
  g->statsDirty = false;
  g->lastStatsWrite = GetTickCount();
  if (g->statsPath.empty()) return;
  std::string text = FormatStats();
  // Written aside and moved over, so that a reader never sees half a file.
  std::wstring aside = g->statsPath + L".tmp";
  if (WriteWhole(aside, text, CREATE_ALWAYS, false) &&
      MoveFileExW(aside.c_str(), g->statsPath.c_str(), MOVEFILE_REPLACE_EXISTING))
    return;
  DeleteFileW(aside.c_str());
  if (!WriteWhole(g->statsPath, text, CREATE_ALWAYS, false)) g->statsDirty = true;
}

}  // namespace

StateLock::StateLock() {
  EnterCriticalSection(&g->lock);
  ++g->lockDepth;
}

// The misbehaviour comes last, with the lock released: a library that
// faulted or hangs must not leave the state locked for the other thread.
StateLock::~StateLock() {
  unsigned mischief = 0;
  if (--g->lockDepth == 0) std::swap(mischief, g->pendingMischief);
  LeaveCriticalSection(&g->lock);
  if (mischief & (1u << KindUnmask)) UnmaskTraps();
  if (mischief & (1u << KindFault)) *reinterpret_cast<volatile int*>(gUnmappedAddress) = 0;
  if (mischief & (1u << KindHang))
    for (;;) Sleep(INFINITE);
}

void AttachState() {
  g = new State;
  InitializeCriticalSection(&g->lock);
  g->loadTick = GetTickCount();
}

void DetachState(bool processExit) {
  if (!g) return;
  // At process exit another thread may have died holding the lock.
  if (TryEnterCriticalSection(&g->lock)) {
    if (g->statsDirty) WriteStats();
    LeaveCriticalSection(&g->lock);
  }
  if (processExit) return;
  DeleteCriticalSection(&g->lock);
  delete g;
  g = nullptr;
}

void BeginCall() {
  std::wstring stats = Env(StatsVariable);
  if (!g->statsChecked || stats != g->statsPath) {
    g->statsChecked = true;
    g->statsPath = stats;
    g->counters = Counters{};
    WriteStats();
  } else if (g->statsDirty && GetTickCount() - g->lastStatsWrite >= CheckIntervalMs) {
    WriteStats();
  }
}

void CheckScenario() {
  std::wstring path = Env(ScenarioVariable);
  DWORD now = GetTickCount();
  bool renamed = !g->checked || path != g->scenarioPath;
  if (!renamed && now - g->lastCheck < CheckIntervalMs) return;
  g->checked = true;
  g->lastCheck = now;
  if (renamed) {
    g->scenarioPath = path;
    g->stampValid = false;
    g->fresh = false;
    g->lastReport.clear();  // a newly named file's fault is reported anew
  }
  if (path.empty()) {
    if (g->source != Source::Demo) {
      Scenario demo;
      std::string error;
      if (ParseScenario(DemoScenarioText(), demo, error)) Apply(std::move(demo), Source::Demo, g->loadTick);
    }
    return;
  }
  WIN32_FILE_ATTRIBUTE_DATA attributes;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes)) {
    DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION) return;
    g->stampValid = false;
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
      ReportUnusable("missing:" + Utf8(path), "the file does not exist");
    else
      ReportUnusable("failed:" + Utf8(path) + ":" + std::to_string(error),
                     "the file cannot be read (Windows error " + std::to_string(error) + ")");
    return;
  }
  FileStamp stamp;
  stamp.size = (static_cast<unsigned long long>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
  stamp.written = ToUll(attributes.ftLastWriteTime);
  if (g->stampValid && stamp == g->stamp && !g->fresh) return;
  ReadScenarioFile();
}

const Scenario& CurrentScenario() { return g->scenario; }

DWORD ScenarioElapsed() { return GetTickCount() - g->timeBase; }

bool SwitchFails(int slot, Op op) {
  if (slot < 0 || slot > SlotCount || op < 0 || op >= OpCount) return false;
  unsigned& calls = g->calls[slot][op];
  if (calls < 0xFFFFFFFFu) ++calls;
  const Module& owner = slot == SlotCount ? g->scenario.library : g->scenario.slots[slot];
  for (int kind = KindFault; kind < KindCount; ++kind)
    if (owner.switches[kind][op].Fails(calls)) g->pendingMischief |= 1u << kind;
  return owner.switches[KindFail][op].Fails(calls);
}

void CountLibraryCall(Op op) { SwitchFails(SlotCount, op); }

Counters& Stats() { return g->counters; }

void StatsChanged(bool urgent) {
  g->statsDirty = true;
  if (urgent || GetTickCount() - g->lastStatsWrite >= CheckIntervalMs) WriteStats();
}

void RegisterInterface(const void* object) { g->live.push_back(object); }

void UnregisterInterface(const void* object) {
  g->live.erase(std::remove(g->live.begin(), g->live.end(), object), g->live.end());
}

bool IsLiveInterface(const void* object) {
  return object && std::find(g->live.begin(), g->live.end(), object) != g->live.end();
}

}  // namespace Standin
