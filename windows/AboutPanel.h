// The About window: shown modally from the main window's menu.
#pragma once

#include "framework/Form.h"

class TAboutProgramPanel : public TForm {
 public:
  explicit TAboutProgramPanel(TComponent* owner);
};

extern TAboutProgramPanel* AboutProgramPanel;
