#include "e2e/Harness.h"

#include <windows.h>

#include <dbt.h>

#include <cstdio>
#include <cstdlib>

#include "tests/support/Files.h"

using namespace Inspector;

namespace {
std::wstring Wide(const std::string& s) {
  int n = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, &w[0], n);
  w.resize(static_cast<size_t>(n > 0 ? n - 1 : 0));
  return w;
}

void WriteFile(const std::wstring& file, const std::string& text) {
  // Written beside and moved in place, so the stand-in never sees half a file.
  std::wstring part = file + L".part";
  FILE* f = _wfopen(part.c_str(), L"wb");
  if (!f) return;
  fwrite(text.data(), 1, text.size(), f);
  fclose(f);
  // The stand-in may have the file open for a look at this moment, and Wine
  // then refuses to replace it (access denied): the move is tried again.
  for (int attempt = 0; attempt < 200; ++attempt) {
    if (MoveFileExW(part.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING)) return;
    Sleep(5);
  }
}

int Sequence = 0;
}  // namespace

std::wstring TQuendalRun::ShippedDir() { return L"Z:" + Wide(QUENDAL_SHIPPED_DIR); }

std::wstring TQuendalRun::TempFile(const std::wstring& name) {
  wchar_t dir[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, dir);
  return std::wstring(dir) + L"quendal-" + std::to_wstring(GetCurrentProcessId()) + L"-" + name;
}

TQuendalRun::~TQuendalRun() {
  if (Running()) Kill(FProcess);
  Close(FProcess);
  if (!FScenario.empty()) DeleteFileW(FScenario.c_str());
  if (!FStats.empty()) DeleteFileW(FStats.c_str());
}

bool TQuendalRun::Start(const std::string& scenario, bool waitForMain, bool counted) {
  ++Sequence;
  std::vector<std::wstring> env;
  FStats = counted ? TempFile(L"stats-" + std::to_wstring(Sequence) + L".txt") : std::wstring();
  if (counted) DeleteFileW(FStats.c_str());
  env.push_back(L"CORVANE_STATS=" + FStats);
  if (!scenario.empty()) {
    FScenario = TempFile(L"scenario-" + std::to_wstring(Sequence) + L".txt");
    WriteFile(FScenario, scenario);
    env.push_back(L"CORVANE_SCENARIO=" + FScenario);
  } else {
    env.push_back(L"CORVANE_SCENARIO=");
  }
  if (!Launch(ShippedDir() + L"\\Quendal.exe", env, FProcess)) return false;
  if (!waitForMain) return true;
  // Generous: the test command runs several programs side by side, and the
  // i686 program may run through an emulator.
  FMain = FindWindowNamed(FProcess.Id, "MainForm", 30000);
  return FMain != nullptr;
}

void TQuendalRun::Rewrite(const std::string& scenario) {
  if (!FScenario.empty()) WriteFile(FScenario, scenario);
}

void TQuendalRun::DeviceChange() const {
  // What Windows sends a program that registered for no device notices: a
  // broadcast to the top-level windows, with no data. Posted, so that the
  // caller does not wait for every window of the desktop to take it.
  PostMessageW(HWND_BROADCAST, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
}

HWND TQuendalRun::Control(const std::string& name) const { return FMain ? FindControl(FMain, name) : nullptr; }

std::string TQuendalRun::Text(const std::string& name) const {
  HWND h = Control(name);
  return h ? Inspector::Text(h) : std::string("<no control " + name + ">");
}

std::vector<std::string> TQuendalRun::Lines(const std::string& name) const {
  HWND h = Control(name);
  return h ? ListLines(h) : std::vector<std::string>();
}

bool TQuendalRun::WaitText(const std::string& name, const std::string& text, DWORD ms) const {
  return WaitFor([&] { return Text(name) == text; }, ms);
}

bool TQuendalRun::FindBox(TMessageBox& box, DWORD ms) const { return FindMessageBox(FProcess.Id, box, ms); }

bool TQuendalRun::WaitExit(DWORD ms, DWORD& exitCode) { return Inspector::WaitExit(FProcess, ms, exitCode); }

bool TQuendalRun::Running() const { return FProcess.Handle && WaitForSingleObject(FProcess.Handle, 0) == WAIT_TIMEOUT; }

std::string TQuendalRun::Stats() const {
  // The stand-in moves each new count over the file, and where it cannot (a
  // reader holds the file) writes it in place: a read may then meet it half
  // written. Read again until the last slot's line is whole.
  std::string text;
  for (int attempt = 0; attempt < 100; ++attempt) {
    text = ReadWholeFile(FStats);
    if (text.empty() && GetFileAttributesW(FStats.c_str()) == INVALID_FILE_ATTRIBUTES) return text;
    size_t last = text.find("\nslot 24 ");
    if (last != std::string::npos && text.find('\n', last + 1) != std::string::npos) return text;
    Sleep(10);
  }
  return text;
}

long StatValue(const std::string& stats, const std::string& key) {
  size_t pos = 0;
  while ((pos = stats.find(key + "=", pos)) != std::string::npos) {
    if (pos == 0 || stats[pos - 1] == '\n' || stats[pos - 1] == ' ') return std::strtol(stats.c_str() + pos + key.size() + 1, nullptr, 10);
    pos += key.size();
  }
  return -1;
}
