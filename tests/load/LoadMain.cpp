// QuendalLoad: runs the real Quendal.exe under load and prints figures.
//   QuendalLoad soak [cycles] [--seed=N]
//   QuendalLoad exits [runs] [--seed=N]
//   QuendalLoad bench [cpu-seconds] [changes] [runs] [--seed=N]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "load/LoadCommands.h"

namespace Load {

bool Answers(HWND window, DWORD ms) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, ms, &result) != 0;
}

bool OpenBox(const TQuendalRun& run, Inspector::TMessageBox& box) { return run.FindBox(box, 0); }

bool WaitEnd(TQuendalRun& run, DWORD ms, DWORD& code, std::string& boxSeen, HWND expected) {
  DWORD start = GetTickCount();
  for (;;) {
    if (WaitForSingleObject(run.ProcessHandle(), 50) == WAIT_OBJECT_0) break;
    Inspector::TMessageBox box;
    if (boxSeen.empty() && OpenBox(run, box) && box.Handle != expected) boxSeen = Inspector::ToUtf8(box.Caption + ": " + box.Text);
    if (GetTickCount() - start >= ms) return false;
  }
  return GetExitCodeProcess(run.ProcessHandle(), &code) != 0;
}

}  // namespace Load

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: QuendalLoad soak [cycles] [--seed=N]\n"
               "       QuendalLoad exits [runs] [--seed=N]\n"
               "       QuendalLoad bench [cpu-seconds] [changes] [runs] [--seed=N]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IONBF, 0);
  if (argc < 2) return Usage();
  std::string command = argv[1];
  std::vector<int> numbers;
  unsigned seed = 20261208;
  for (int i = 2; i < argc; ++i) {
    if (std::strncmp(argv[i], "--seed=", 7) == 0)
      seed = static_cast<unsigned>(std::strtoul(argv[i] + 7, nullptr, 0));
    else if (std::atoi(argv[i]) > 0)
      numbers.push_back(std::atoi(argv[i]));
    else
      return Usage();
  }
  auto number = [&](size_t i, int fallback) { return i < numbers.size() ? numbers[i] : fallback; };
  if (command == "soak") return Load::Soak(number(0, 1500), seed);
  if (command == "exits") return Load::Exits(number(0, 200), seed);
  if (command == "bench") return Load::Bench(number(0, 60), number(1, 100), number(2, 20), seed);
  return Usage();
}
