#include "app/JustOne.h"

#include <cstring>

#include "framework/Application.h"
#include "framework/Text.h"

TXJustOne::TXJustOne(TComponent* owner) : TComponent(owner), SwitchToPrevious(true) {}

void TXJustOne::Loaded() {
  TComponent::Loaded();
  // The lock's name: the application title, at most 256 characters.
  char name[257] = {};
  std::string title = Application ? Application->Title() : std::string();
  std::strncpy(name, title.c_str(), sizeof(name) - 1);
  // The W function, so that the Russian name is the same on every locale.
  HANDLE mutex = CreateMutexW(nullptr, FALSE, Widen(name).c_str());
  DWORD error = GetLastError();
  FMutex.Reset(mutex);
  if (error == ERROR_ALREADY_EXISTS || !FMutex) {
    if (AlreadyExist) AlreadyExist(this);
    if (SwitchToPrevious && Application) {
      Application->SetText("");
      HWND previous = FindWindowW(nullptr, Widen(name).c_str());
      if (previous) {
        if (IsIconic(previous))
          ShowWindow(previous, SW_RESTORE);
        else
          BringWindowToTop(previous);
      }
      SetForegroundWindow(previous);
    }
    if (Application) {
      Application->ShowMainForm = false;
      Application->Terminate();
    }
  }
}
