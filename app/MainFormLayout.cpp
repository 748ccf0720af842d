#include "app/MainFormLayout.h"

namespace {

constexpr BYTE Russian = RUSSIAN_CHARSET;
constexpr TFontDesc Heading = {"Arial", 18, 0, Russian, clWindowText};
constexpr TFontDesc SlotNumber = {"Arial", 20, 0, Russian, clWindowText};
// Courier New is asked for with a fixed pitch, so that a system without it
// still keeps the columns of the slot list aligned.
constexpr TFontDesc SlotList = {"Courier New", 17, fsFixedPitch, Russian, clWindowText};
constexpr TFontDesc GroupCaption = {"Arial", 18, 0, Russian, clNavy};
constexpr TFontDesc SubCaption = {"Arial", 18, 0, Russian, clPurple};
constexpr TFontDesc Caption = {"Arial", 18, 0, Russian, clMaroon};
constexpr TFontDesc SpeedMode = {"Courier New", 20, fsBold | fsFixedPitch, Russian, clMaroon};
constexpr TFontDesc Serial = {"Courier New", 60, fsBold | fsFixedPitch, Russian, clBlack};
constexpr TFontDesc Boxed = {"Courier New", 33, fsBold | fsFixedPitch, Russian, clBlack};
constexpr TFontDesc RowLabel = {"Arial", 15, 0, Russian, clBlack};
constexpr TFontDesc RowValue = {"Arial", 17, 0, Russian, clBlack};

constexpr unsigned Value = cfRaised | cfPopup;
constexpr unsigned RowBox = cfRaised;

const TControlDesc Controls[] = {
    {Make<TStaticText>, "SsModulesListStaticText", "", 2, 5, 284, 25, "Список обнаруженных устройств:", Heading, clParent, cfCentre | cfVCentre | cfPopup},
    {Make<TStaticText>, "VirtualSlotStaticText", "", 297, 3, 32, 25, "88", SlotNumber, clWhite, cfBorder | cfCentre | cfPopup},
    {Make<TListBox>, "ModulesListBox", "", 0, 30, 332, 513, "Слот  0: ?????", SlotList, clWhite, cfPopup | cfTabStop},
    {Make<TGroupBox>, "ModuleGroupBox", "", 333, 0, 326, 542, "Модуль ???", GroupCaption, clParent, 0},
    {Make<TLabel>, "ModuleStatusLMDStaticText", "ModuleGroupBox", 41, 31, 127, 23, "Статус модуля", Caption, clParent, cfPopup},
    {Make<TShape>, "ModuleLoadingLed", "ModuleGroupBox", 175, 26, 35, 35, "", ParentFont, clParent, 0},
    {Make<TStaticText>, "SpeedModeStaticText", "ModuleGroupBox", 226, 33, 30, 21, "HS", SpeedMode, clParent, cfPopup},
    {Make<TShape>, "UsbSpeedLed", "ModuleGroupBox", 260, 30, 25, 25, "", ParentFont, clParent, 0},
    {Make<TLabel>, "SerialNumberLabelLMDStaticText", "ModuleGroupBox", 91, 72, 145, 23, "Серийный номер", Caption, clParent, cfPopup},
    {Make<TStaticText>, "SerialNumberLMDStaticText", "ModuleGroupBox", 2, 98, 320, 64, "WWWWWWWW", Serial, clWhite, Value | cfCentre},
    {Make<TLabel>, "RevisionLabelLMDStaticText", "ModuleGroupBox", 16, 181, 72, 23, "Ревизия", Caption, clParent, cfPopup},
    {Make<TStaticText>, "ModuleRevisionLMDStaticText", "ModuleGroupBox", 94, 171, 46, 43, "C", Boxed, clWhite, Value | cfCentre | cfVCentre},
    {Make<TLabel>, "DacLabelLMDStaticText", "ModuleGroupBox", 168, 181, 39, 23, "ЦАП", Caption, clParent, cfPopup},
    {Make<TStaticText>, "DacLMDStaticText", "ModuleGroupBox", 213, 171, 97, 43, "СССС", Boxed, clWhite, Value | cfCentre | cfVCentre},

    // The sub-boxes: one row every 23 pixels, the first just below the
    // caption (three rows fill the 89 pixels of the DSP and PLD boxes down
    // to their bottom line), each label three pixels below its value box's
    // top so that the two texts share a base line.
    {Make<TGroupBox>, "McuLMDGroupBox", "ModuleGroupBox", 3, 220, 320, 93, "Микроконтроллер", SubCaption, clParent, cfPopup},
    {Make<TLabel>, "McuTypeLabelLMDStaticText", "McuLMDGroupBox", 5, 22, 58, 17, "MCU", RowLabel, clParent, 0},
    {Make<TStaticText>, "McuTypeLMDStaticText", "McuLMDGroupBox", 65, 19, 250, 23, "CCCCCC", RowValue, clWhite, RowBox},
    {Make<TLabel>, "McuFreqLabelLMDStaticText", "McuLMDGroupBox", 5, 45, 58, 17, "Частота", RowLabel, clParent, 0},
    {Make<TStaticText>, "McuFreqLMDStaticText", "McuLMDGroupBox", 65, 42, 250, 23, "CCCCCC", RowValue, clWhite, RowBox},
    {Make<TLabel>, "McuFirmwareVersionLabelLMDStaticText", "McuLMDGroupBox", 5, 68, 58, 17, "Версия", RowLabel, clParent, 0},
    {Make<TStaticText>, "McuFirmwareVersionLMDStaticText", "McuLMDGroupBox", 65, 65, 250, 23, "CCCCCC", RowValue, clWhite, RowBox},

    {Make<TGroupBox>, "BootLoaderLMDGroupBox", "ModuleGroupBox", 3, 313, 320, 48, "Загрузчик", SubCaption, clParent, cfPopup},
    {Make<TLabel>, "McuBootLoadeVersionLabelLMDStaticText", "BootLoaderLMDGroupBox", 5, 22, 58, 17, "Версия", RowLabel, clParent, 0},
    {Make<TStaticText>, "McuBootLoaderVersionLMDStaticText", "BootLoaderLMDGroupBox", 65, 19, 250, 23, "CCCCCC", RowValue, clWhite, RowBox},

    {Make<TGroupBox>, "DspLMDGroupBox", "ModuleGroupBox", 3, 362, 320, 89, "DSP", SubCaption, clParent, cfPopup},
    {Make<TLabel>, "DspTypeLabelLMDStaticText", "DspLMDGroupBox", 5, 22, 58, 17, "DSP", RowLabel, clParent, 0},
    {Make<TStaticText>, "DspTypeLMDStaticText", "DspLMDGroupBox", 65, 19, 250, 23, "CCCCCC", RowValue, clWhite, RowBox},
    {Make<TLabel>, "DspFreqLabelLMDStaticText", "DspLMDGroupBox", 5, 45, 58, 17, "Частота", RowLabel, clParent, 0},
    {Make<TStaticText>, "DspFreqLMDStaticText", "DspLMDGroupBox", 65, 42, 250, 23, "CCCCCC", RowValue, clWhite, RowBox},
    {Make<TLabel>, "DspFirmwareVersionLabelLMDStaticText", "DspLMDGroupBox", 5, 68, 58, 17, "Версия", RowLabel, clParent, 0},
    {Make<TStaticText>, "DspFirmwareVersionLMDStaticText", "DspLMDGroupBox", 65, 65, 250, 23, "CCCCCC", RowValue, clWhite, RowBox},

    {Make<TGroupBox>, "PldLMDGroupBox", "ModuleGroupBox", 3, 451, 320, 89, "ПЛИС", SubCaption, clParent, cfPopup},
    {Make<TLabel>, "PldTypeLabelLMDStaticText", "PldLMDGroupBox", 5, 22, 58, 17, "PLD", RowLabel, clParent, 0},
    {Make<TStaticText>, "PldTypeLMDStaticText", "PldLMDGroupBox", 65, 19, 250, 23, "CCCCCC", RowValue, clWhite, RowBox},
    {Make<TLabel>, "PldFreqLabelLMDStaticText", "PldLMDGroupBox", 5, 45, 58, 17, "Частота", RowLabel, clParent, 0},
    {Make<TStaticText>, "PldFreqLMDStaticText", "PldLMDGroupBox", 65, 42, 250, 23, "CCCCCC", RowValue, clWhite, RowBox},
    {Make<TLabel>, "PldFirmwareVersionLabelLMDStaticText", "PldLMDGroupBox", 5, 68, 58, 17, "Версия", RowLabel, clParent, 0},
    {Make<TStaticText>, "PldFirmwareVersionLMDStaticText", "PldLMDGroupBox", 65, 65, 250, 23, "CCCCCC", RowValue, clWhite, RowBox},
};

}  // namespace

const TFormDesc MainFormDescription = {
    "MainForm",
    "Мониторинг USB модулей от ЗАО \"Orvek\"",
    660,
    543,
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
    0,
    TPosition::ScreenCenter,
    true,
    {"Arial", 17, 0, Russian, clWindowText},
    clBtnFace,
    Controls,
    sizeof(Controls) / sizeof(Controls[0]),
};
