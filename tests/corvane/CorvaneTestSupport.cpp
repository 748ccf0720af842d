#include "CorvaneTestSupport.h"

#include <cstdio>
#include <cstring>

namespace CorvaneTest {

namespace {

const wchar_t* const Variables[] = {L"CORVANE_SCENARIO", L"CORVANE_STATS", L"CORVANE_LOG"};

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path, n);
  std::size_t slash = p.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : p.substr(0, slash + 1);
}

void RemoveFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = found.cFileName;
      if (name != L"." && name != L"..") DeleteFileW((folder + L"\\" + name).c_str());
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

}  // namespace

const Library& TheLibrary() {
  static Library library = [] {
    Library l;
    l.module = LoadLibraryW((ProgramFolder() + L"Corvane.dll").c_str());
    if (l.module) {
      l.version = reinterpret_cast<VersionFn>(reinterpret_cast<void*>(GetProcAddress(l.module, MAKEINTRESOURCEA(1))));
      l.create = reinterpret_cast<CreateFn>(reinterpret_cast<void*>(GetProcAddress(l.module, MAKEINTRESOURCEA(2))));
    }
    return l;
  }();
  return library;
}

const std::vector<ModelInfo>& Models() {
  static const std::vector<ModelInfo> models = {
      {"k200", "K200", Corvane::K3200RecordSize, Corvane::SlotK3200ReadDescription, -1, -1, false,
       Corvane::SlotK3200ReadDescription},
      {"k390", "K390", Corvane::K390RecordSize, Corvane::SlotK390ReadDescription, -1, -1, false,
       Corvane::SlotK390ReadDescription},
      {"k600", "K600", Corvane::K3600RecordSize, Corvane::SlotK3600ReadDescription, Corvane::SlotK3600LoadFirmware,
       Corvane::SlotK3600Test, false, Corvane::SlotK3600ReadDescription},
      {"k8050", "K80-50", Corvane::K8050RecordSize, Corvane::SlotK8050ReadDescription,
       Corvane::SlotK8050LoadFirmware, Corvane::SlotK8050Test, true, Corvane::SlotK8050ReadDescription},
  };
  return models;
}

const ModelInfo& ModelByDevice(const std::string& device) {
  for (const ModelInfo& m : Models())
    if (device == m.device) return m;
  ADD_FAILURE() << "no model " << device;
  return Models().front();
}

BOOL LoadFirmware(IModuleInterface* i, const ModelInfo& model) {
  return model.loadSlot < 0 ? FALSE : LoadFirmwareAt(i, model.loadSlot);
}

BOOL TestModule(IModuleInterface* i, const ModelInfo& model) {
  if (model.testSlot < 0) return FALSE;
  if (model.testTakesArgument)
    return reinterpret_cast<Corvane::TestWithArgFn>(SlotOf(i, model.testSlot))(i, 0);
  return CallNoArg(i, model.testSlot);
}

BOOL ReadDescription(IModuleInterface* i, const ModelInfo& model, void* record) {
  return ReadDescriptionAt(i, model.descriptionSlot, record);
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
  return out;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = bytes.empty() ||
            (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
             written == bytes.size());
  CloseHandle(file);
  return ok;
}

int Occurrences(const std::string& haystack, const std::string& text) {
  int count = 0;
  for (std::size_t at = haystack.find(text); at != std::string::npos; at = haystack.find(text, at + text.size()))
    ++count;
  return count;
}

void CorvaneFixture::SetUp() {
  ASSERT_NE(TheLibrary().module, nullptr) << "Corvane.dll is not beside the test program";
  ASSERT_NE(TheLibrary().version, nullptr);
  ASSERT_NE(TheLibrary().create, nullptr);
  static int folderNumber = 0;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  FFolder = std::wstring(temp) + L"corvane-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++folderNumber);
  ASSERT_TRUE(CreateDirectoryW(FFolder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  FStatsPath = FFolder + L"\\stats.txt";
  FLogPath = FFolder + L"\\corvane.log";
  for (const wchar_t* v : Variables) {
    wchar_t value[1024];
    DWORD n = GetEnvironmentVariableW(v, value, 1024);
    FSavedEnvironment[v] = {n > 0 && n < 1024, std::wstring(value, n < 1024 ? n : 0)};
  }
  // Until the test writes its scenario, the name points to a file that does
  // not exist yet.
  FScenarioPath = FFolder + L"\\scenario-0.txt";
  SetEnvironmentVariableW(L"CORVANE_STATS", FStatsPath.c_str());
  SetEnvironmentVariableW(L"CORVANE_LOG", FLogPath.c_str());
}

void CorvaneFixture::TearDown() {
  for (IModuleInterface* i : FCreated) Release(i);
  FCreated.clear();
  for (auto& saved : FSavedEnvironment)
    SetEnvironmentVariableW(saved.first.c_str(), saved.second.first ? saved.second.second.c_str() : nullptr);
  // One call so that the library lets go of this test's files.
  if (TheLibrary().version) TheLibrary().version();
  if (!FFolder.empty()) RemoveFolder(FFolder);
}

void CorvaneFixture::UseScenario(const std::string& text) {
  FScenarioPath = FFolder + L"\\scenario-" + std::to_wstring(++FScenarioNumber) + L".txt";
  ASSERT_TRUE(WriteFileBytes(FScenarioPath, text));
  SetEnvironmentVariableW(L"CORVANE_SCENARIO", FScenarioPath.c_str());
}

void CorvaneFixture::RewriteScenario(const std::string& text) {
  ASSERT_TRUE(WriteFileBytes(FScenarioPath, text));
  // The stand-in looks again 50 ms after its last look, by GetTickCount.
  // Wine's tick count can lag behind a Sleep on a busy machine: wait for the
  // count itself, so that the next call surely looks.
  DWORD start = GetTickCount();
  do Sleep(10);
  while (GetTickCount() - start < 80);
}

IModuleInterface* CorvaneFixture::Create(const char* device) {
  IModuleInterface* i = TheLibrary().create(device);
  if (i) FCreated.push_back(i);
  return i;
}

BOOL CorvaneFixture::ReleaseNow(IModuleInterface* i) {
  for (auto it = FCreated.begin(); it != FCreated.end(); ++it)
    if (*it == i) {
      FCreated.erase(it);
      return Release(i);
    }
  ADD_FAILURE() << "not made by Create";
  return FALSE;
}

std::vector<unsigned char> CorvaneFixture::Record(int slot, const ModelInfo& model) {
  IModuleInterface* i = Create(model.device);
  std::vector<unsigned char> record(model.recordSize, 0xCD);
  if (!i || !Open(i, static_cast<DWORD>(slot)) || !ReadDescription(i, model, record.data())) record.clear();
  if (i) {
    Close(i);
    ReleaseNow(i);
  }
  return record;
}

std::map<std::string, unsigned long> CorvaneFixture::Stats() {
  // The library writes the file aside and moves it over; counts of frequent
  // calls may wait up to its check interval: one more call brings them.
  Sleep(60);
  TheLibrary().version();
  std::map<std::string, unsigned long> values;
  std::string text = ReadWholeFile(FStatsPath);
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    std::string line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    pos = end == std::string::npos ? text.size() : end + 1;
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < line.size()) {
      std::size_t space = line.find_first_of(" \r", at);
      std::string word = line.substr(at, space == std::string::npos ? std::string::npos : space - at);
      if (!word.empty()) words.push_back(word);
      at = space == std::string::npos ? line.size() : space + 1;
    }
    if (words.empty()) continue;
    std::string prefix = words[0];
    std::size_t first = 1;
    if (prefix == "slot" && words.size() > 1) {
      prefix += words[1];
      first = 2;
    }
    for (std::size_t w = first; w < words.size(); ++w) {
      std::size_t eq = words[w].find('=');
      if (eq == std::string::npos) continue;
      values[prefix + "." + words[w].substr(0, eq)] = std::strtoul(words[w].c_str() + eq + 1, nullptr, 10);
    }
  }
  return values;
}

}  // namespace CorvaneTest
