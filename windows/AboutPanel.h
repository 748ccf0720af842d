// The About window: the program's description, the maker's addresses and
// numbers, the versions of the program and of the device library. Shown
// modally from the main window's menu.
#pragma once

#include <windows.h>

#include <functional>

#include "controls/ESColorMemo.h"
#include "controls/FileVersionInfo.h"
#include "controls/URLLink.h"
#include "framework/Controls.h"
#include "framework/Form.h"

class TAboutProgramPanel : public TForm {
 public:
  explicit TAboutProgramPanel(TComponent* owner);

  TESColorMemo* AboutESColorMemo = nullptr;
  TStaticText* StaticText1 = nullptr;
  TURLLink* OrvekUrlLink = nullptr;
  TStaticText* StaticText2 = nullptr;
  TURLLink* URLLink = nullptr;
  TURLLink* URLLink1 = nullptr;
  TESColorMemo* ESColorMemo1 = nullptr;
  TGroupBox* VersionsLMDGroupBox = nullptr;
  TStaticText* QuendalVersionLabelLMDStaticText = nullptr;
  TStaticText* CorvaneVersionLabelLMDStaticText = nullptr;
  TStaticText* QuendalVersionLMDStaticText = nullptr;
  TStaticText* CorvaneVersionLMDStaticText = nullptr;
  TButton* OkLMDButton = nullptr;
  TFileVersionInfo* VersionInfo = nullptr;

  void FormCreate() override;
  void FormShow() override;
  void FormHide() override;
  // Esc ends the showing with OK; every other key goes on.
  void AboutShortCut(const MSG& msg, bool& handled);
  void OkLMDButtonClick();

  // The device library version the program requires, as "major.minor".
  static std::string RequiredLibraryVersion();

 protected:
  void BindControls() override;

 private:
  // The application's short-cut hook from before the window was shown.
  std::function<void(const MSG&, bool&)> FSavedOnShortCut;
  bool FShortCutSaved = false;
};

extern TAboutProgramPanel* AboutProgramPanel;
