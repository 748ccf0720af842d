// The Waiting window: shown by the monitor thread while K3-600 modules take
// their firmware load.
#pragma once

#include "framework/Form.h"

class TWaitingPanel : public TForm {
 public:
  explicit TWaitingPanel(TComponent* owner);
};

extern TWaitingPanel* WaitingPanel;
