#include "windows/AboutPanel.h"

TAboutProgramPanel* AboutProgramPanel = nullptr;

namespace {
const TFormDesc Description = {
    "AboutProgramPanel",
    "О программе ...",
    447,
    416,
    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME,
    WS_EX_DLGMODALFRAME | WS_EX_TOPMOST,
    TPosition::MainFormCenter,
    false,
    {"Arial", 17, 0, RUSSIAN_CHARSET, clWindowText},
    clBtnFace,
    nullptr,
    0,
};
}  // namespace

TAboutProgramPanel::TAboutProgramPanel(TComponent* owner) : TForm(owner, Description) {}
