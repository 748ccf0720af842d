#include "windows/AboutPanel.h"

#include <string>

#include "controls/CaptionButton.h"
#include "device/CorvaneAbi.h"
#include "framework/Application.h"

TAboutProgramPanel* AboutProgramPanel = nullptr;

namespace {

constexpr BYTE Russian = RUSSIAN_CHARSET;
constexpr BYTE Western = ANSI_CHARSET;
constexpr TFontDesc Courier = {"Courier New", 18, 0, Western, clWindowText};
constexpr TFontDesc CourierCyrillic = {"Courier New", 18, 0, Russian, clWindowText};
constexpr TFontDesc LinkFont = {"Courier New", 18, fsBold, Western, clNavy};
constexpr TFontDesc LinkFocusFont = {"Courier New", 18, fsBold, Russian, clBlue};
constexpr TFontDesc GroupFont = {"Arial", 18, 0, Russian, clBlack};
constexpr TFontDesc VersionLabelFont = {"Arial", 17, 0, Russian, clMaroon};
constexpr TFontDesc OkFont = {"Monotype Corsiva", 47, fsBold | fsItalic, Russian, clNavy};

constexpr unsigned Panel = cfDisabled | cfCentre;  // the coloured memos: static text panels
constexpr unsigned Link = cfHandCursor;

// The maker's addresses and numbers. Reserved names: they reach no one.
// Each fits its label: the links' Courier New, bold at 18 pixels, takes
// 11 pixels a letter, so the site's 148 pixels hold 13 letters.
const char* const SiteCaption = "orvek.test";
const char* const SiteLink = "http://orvek.test";
const char* const MailCaption = "info@orvek.test";
const char* const MailLink = "mailto:info@orvek.test?subject=Orvek";
const char* const SupportCaption = "help@orvek.test";
const char* const SupportLink = "mailto:help@orvek.test?subject=Orvek%20support";
const char* const Telephone = "+7 (000) 000-00-00";
const char* const Fax = "+7 (000) 000-00-01";

const std::string PhoneLines = std::string("тел.  ") + Telephone + "\nфакс. " + Fax + "\n ";

const TControlDesc Controls[] = {
    {Make<TCaptionButton>, "OkLMDButton", "", 6, 347, 154, 65, "OK", OkFont, clParent, cfDefault | cfHandCursor},
    {Make<TGroupBox>, "VersionsLMDGroupBox", "", 168, 335, 271, 80, "Версии", GroupFont, clParent, 0},
    {Make<TStaticText>, "QuendalVersionLabelLMDStaticText", "VersionsLMDGroupBox", 7, 23, 119, 21, "Quendal:",
     VersionLabelFont, clParent, cfVCentre},
    {Make<TStaticText>, "CorvaneVersionLabelLMDStaticText", "VersionsLMDGroupBox", 7, 48, 119, 21, "Corvane:",
     VersionLabelFont, clParent, cfVCentre},
    {Make<TStaticText>, "QuendalVersionLMDStaticText", "VersionsLMDGroupBox", 128, 21, 136, 26,
     "--------------------", ParentFont, clWhite, cfBump | cfCentre | cfVCentre},
    {Make<TStaticText>, "CorvaneVersionLMDStaticText", "VersionsLMDGroupBox", 128, 48, 136, 26,
     "--------------------", ParentFont, clWhite, cfBump | cfCentre | cfVCentre},
    {Make<TESColorMemo>, "AboutESColorMemo", "", 3, 0, 442, 233,
     "Данная утилита предназначена для мониторинга \n"
     "внешних модулей, подключённых к USB шине \n"
     "компьютера. Утилита поддерживает контроль только \n"
     "над изделиями, разработанными ЗАО \"Orvek\". Для \n"
     "корректной работы необходима операционная среда \n"
     "Windows'98/Me/2000/XP/Vista.\n"
     "  Поддерживаются следующие внешние  USB модули:\n"
     "  1. K3-200;\n"
     "  2. K3-600;\n"
     "  3. K80-50;\n"
     "  4. K-390.\n"
     "\n"
     "© ЗАО \"Orvek\", декабрь 2026",
     ParentFont, clBtnFace, Panel},
    {Make<TStaticText>, "StaticText1", "", 3, 240, 48, 24, "WWW:", Courier, clParent, 0},
    {Make<TURLLink>, "OrvekUrlLink", "", 86, 240, 148, 19, SiteCaption, LinkFont, clParent, Link},
    {Make<TStaticText>, "StaticText2", "", 3, 262, 81, 24, "E-mail:", Courier, clParent, 0},
    {Make<TURLLink>, "URLLink", "", 86, 262, 167, 19, MailCaption, LinkFont, clParent, Link},
    {Make<TURLLink>, "URLLink1", "", 256, 262, 189, 19, SupportCaption, LinkFont, clParent, Link},
    {Make<TESColorMemo>, "ESColorMemo1", "", 3, 289, 440, 46, PhoneLines.c_str(), CourierCyrillic, clBtnFace, Panel},
};

const TColorItemDesc AboutItems[] = {
    {clOlive, "мониторинга "}, {clMaroon, "USB"},   {clTeal, "ЗАО \"Orvek\""},
    {clGreen, "98/Me/2000/XP/Vista"}, {clBlue, "K3-200"}, {clBlue, "K3-600"},
    {clBlue, "K80-50"},        {clBlue, "K-390"},   {clMaroon, "Windows"},
};
const TColorItemDesc PhoneItems[] = {
    {clOlive, "мониторинга "}, {clMaroon, "USB"},    {clTeal, "ЗАО \"Orvek\""},
    {clOlive, "Windows'98/Me/2000/XP"}, {clBlue, "K3-200"}, {clBlue, "K3-600"},
    {clBlue, "K80-50"},        {clPurple, Telephone}, {clPurple, Fax},
};

void SetupLink(TURLLink& link, const char* target) {
  link.Link = target;
  TFont focus;
  focus.Assign(LinkFocusFont, DesignPixelsPerInch);
  link.SetFocusFont(focus);
}

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
    Controls,
    sizeof(Controls) / sizeof(Controls[0]),
};

}  // namespace

TAboutProgramPanel::TAboutProgramPanel(TComponent* owner) : TForm(owner, Description) {
  // Reads the running program's own version block.
  VersionInfo = new TFileVersionInfo(this);
  VersionInfo->SetName("VersionInfo");
}

std::string TAboutProgramPanel::RequiredLibraryVersion() {
  return std::to_string(Corvane::RequiredVersion >> 16) + "." + std::to_string(Corvane::RequiredVersion & 0xFFFF);
}

void TAboutProgramPanel::BindControls() {
  BIND_CONTROL(AboutESColorMemo);
  BIND_CONTROL(StaticText1);
  BIND_CONTROL(OrvekUrlLink);
  BIND_CONTROL(StaticText2);
  BIND_CONTROL(URLLink);
  BIND_CONTROL(URLLink1);
  BIND_CONTROL(ESColorMemo1);
  BIND_CONTROL(VersionsLMDGroupBox);
  BIND_CONTROL(QuendalVersionLabelLMDStaticText);
  BIND_CONTROL(CorvaneVersionLabelLMDStaticText);
  BIND_CONTROL(QuendalVersionLMDStaticText);
  BIND_CONTROL(CorvaneVersionLMDStaticText);
  BIND_CONTROL(OkLMDButton);
  AboutESColorMemo->AddColorItems(AboutItems);
  ESColorMemo1->AddColorItems(PhoneItems);
  SetupLink(*OrvekUrlLink, SiteLink);
  SetupLink(*URLLink, MailLink);
  SetupLink(*URLLink1, SupportLink);
  OkLMDButton->OnClick = [this] { OkLMDButtonClick(); };
}

void TAboutProgramPanel::FormCreate() {
  if (VersionInfo->HaveInfo()) QuendalVersionLMDStaticText->SetText(VersionInfo->GetStringFileInfoByIdx(3));
  CorvaneVersionLMDStaticText->SetText(RequiredLibraryVersion());
}

void TAboutProgramPanel::FormShow() {
  if (!FShortCutSaved && Application) {
    FSavedOnShortCut = Application->OnShortCut;
    FShortCutSaved = true;
    Application->OnShortCut = [this](const MSG& msg, bool& handled) { AboutShortCut(msg, handled); };
  }
  if (OkLMDButton->Handle()) SetFocus(OkLMDButton->Handle());
}

void TAboutProgramPanel::FormHide() {
  // Only what FormShow put aside goes back.
  if (!FShortCutSaved) return;
  FShortCutSaved = false;
  if (Application) Application->OnShortCut = FSavedOnShortCut;
  FSavedOnShortCut = nullptr;
}

void TAboutProgramPanel::AboutShortCut(const MSG& msg, bool& handled) {
  if (msg.wParam != VK_ESCAPE) return;
  handled = true;
  SetModalResult(mrOk);
}

void TAboutProgramPanel::OkLMDButtonClick() { SetModalResult(mrOk); }
