// TXJustOne keeps a second copy of the program from running. Placed on the
// main window, it acts once, when the window has been built from its
// description: a named mutex called after the application title marks a
// running instance.
#pragma once

#include <windows.h>

#include <functional>

#include "framework/Component.h"
#include "framework/Handles.h"

class TXJustOne : public TComponent {
 public:
  explicit TXJustOne(TComponent* owner);

  bool SwitchToPrevious = true;
  std::function<void(TComponent* sender)> AlreadyExist;

  void Loaded() override;

 private:
  TKernelHandle FMutex;
};
