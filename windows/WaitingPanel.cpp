#include "windows/WaitingPanel.h"

TWaitingPanel* WaitingPanel = nullptr;

namespace {

constexpr TColor BarColor = 0x00FF0080;

const TControlDesc Controls[] = {
    {Make<TESColorMemo>, "ESColorMemo1", "", 5, 0, 410, 82,
     "Обнаружен один или несколько модулей K3-600. \n"
     "Время необходимое для загрузки одного модуля \n"
     "K3-600 составляет порядка 2 сек.\n"
     "Так что ждём-с...",
     ParentFont, clBtnFace, cfDisabled | cfCentre},
    {Make<TProgressBar>, "WaitingLMDProgress", "", 4, 94, 409, 34, "21", ParentFont, clParent, cfSunken},
};

const TColorItemDesc MemoItems[] = {{clBlue, "K3-600"}, {clPurple, "2 сек."}, {clMaroon, "ждём-с"}};

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
    Controls,
    sizeof(Controls) / sizeof(Controls[0]),
};

}  // namespace

TWaitingPanel::TWaitingPanel(TComponent* owner) : TForm(owner, Description) {
  Timer = new TTimer(this);
  Timer->SetName("Timer");
  Timer->SetInterval(200);
  Timer->SetRunning(false);
}

void TWaitingPanel::BindControls() {
  BIND_CONTROL(ESColorMemo1);
  BIND_CONTROL(WaitingLMDProgress);
  ESColorMemo1->AddColorItems(MemoItems);
  WaitingLMDProgress->SetBars(25, 5, BarColor);
  WaitingLMDProgress->SetStep(10);
  Timer->OnTimer = [this] { TimerTimer(); };
}

void TWaitingPanel::FormShow() {
  Timer->SetInterval(200);
  Timer->SetRunning(true);
  WaitingLMDProgress->SetPosition(0);
}

void TWaitingPanel::FormHide() { Timer->SetRunning(false); }

void TWaitingPanel::TimerTimer() {
  if (WaitingLMDProgress->Position() == 100) {
    WaitingLMDProgress->SetPosition(0);
    return;
  }
  int next = WaitingLMDProgress->Position() + WaitingLMDProgress->Step();
  WaitingLMDProgress->SetPosition(next > 100 ? 100 : next);
}
