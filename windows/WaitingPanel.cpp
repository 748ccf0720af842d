#include "windows/WaitingPanel.h"

TWaitingPanel* WaitingPanel = nullptr;

namespace {
const TFormDesc Description = {
    "WaitingPanel",
    "Ждём-c...",
    418,
    133,
    WS_POPUP | WS_CAPTION | WS_BORDER,
    WS_EX_TOPMOST,
    TPosition::MainFormCenter,
    true,
    {"Arial", 17, 0, RUSSIAN_CHARSET, clWindowText},
    clBtnFace,
    nullptr,
    0,
};
}  // namespace

TWaitingPanel::TWaitingPanel(TComponent* owner) : TForm(owner, Description) {}
