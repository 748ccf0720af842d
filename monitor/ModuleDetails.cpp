#include "monitor/ModuleDetails.h"

#include "framework/Controls.h"
#include "monitor/ModulesMonitorThread.h"

void EnableGroupControls(TWinControl* container, bool enabled) {
  if (!container) return;
  for (TComponent* c : container->Owner()->Components()) {
    auto* w = dynamic_cast<TWinControl*>(c);
    if (!w || !w->Handle() || GetParent(w->Handle()) != container->Handle()) continue;
    EnableGroupControls(w, enabled);
    w->SetEnabled(enabled);
  }
}

void ShowModuleDetails(TModulesMonitorThread& thread, uint8_t shown) {
  const TMonitorView& view = thread.View();
  if (!view.MainForm) return;
  if (view.Busy) *view.Busy = true;
  if (auto* list = view.MainForm->Find<TListBox>("ModulesListBox")) {
    for (int i = 0; i < SlotCount; ++i) {
      const char* line = thread.Current.Slots[i].ListLine;
      std::string text(line, strnlen(line, ListLineSize));
      if (i < list->Count())
        list->SetItem(i, text);
      else
        list->Add(text);
    }
  }
  (void)shown;
  if (view.Busy) *view.Busy = false;
}
