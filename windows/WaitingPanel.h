// The Waiting window: shown by the monitor thread while K3-600 modules take
// their firmware load; a moving bar tells that the program is at work.
#pragma once

#include "controls/ESColorMemo.h"
#include "framework/Controls.h"
#include "framework/Form.h"

class TWaitingPanel : public TForm {
 public:
  explicit TWaitingPanel(TComponent* owner);

  TESColorMemo* ESColorMemo1 = nullptr;
  TProgressBar* WaitingLMDProgress = nullptr;
  TTimer* Timer = nullptr;

  void FormShow() override;
  void FormHide() override;
  // One tick: the bar advances by its step and, once full, starts again.
  void TimerTimer();

 protected:
  void BindControls() override;
};

extern TWaitingPanel* WaitingPanel;
