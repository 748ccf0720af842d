#include "monitor/DetailsReport.h"

#include "controls/FileVersionInfo.h"
#include "device/FieldText.h"
#include "framework/Form.h"
#include "monitor/ModuleDetails.h"
#include "monitor/ModulesMonitorThread.h"

namespace {

const char* const LineEnd = "\r\n";

// The program's version as the About window shows it, read once.
const std::string& ProgramVersion() {
  static const std::string version = TFileVersionInfo().GetStringFileInfo("FileVersion");
  return version;
}

// The text of one of the window's labels, so that the report says what the
// window says.
std::string LabelOf(const TForm& form, const char* name) {
  auto* control = form.Find<TWinControl>(name);
  return control ? control->Text() : std::string();
}

void AddRow(std::string& out, const char* indent, const std::string& label, const std::string& text) {
  out += indent + label + ": " + text + LineEnd;
}

void AddModule(std::string& out, const TForm& form, const SlotRecord& slot, bool ready) {
  out += FieldText(slot.ListLine) + LineEnd;
  if (!ready) {
    out += std::string("  Сведений о модуле ещё нет") + LineEnd;
    return;
  }
  const TDetailsTexts texts = DetailsTexts(slot, ready);
  AddRow(out, "  ", "USB", texts.Speed);
  AddRow(out, "  ", LabelOf(form, "SerialNumberLabelLMDStaticText"), texts.Serial);
  AddRow(out, "  ", LabelOf(form, "RevisionLabelLMDStaticText"), texts.Revision);
  AddRow(out, "  ", LabelOf(form, "DacLabelLMDStaticText"), texts.Dac);
  for (const TDetailsGroup& unit : texts.Groups) {
    out += "  " + LabelOf(form, unit.Box) + LineEnd;
    for (int i = 0; i < unit.RowCount; ++i) AddRow(out, "    ", LabelOf(form, unit.Rows[i].Label), unit.Rows[i].Text);
  }
}

}  // namespace

std::string DetailsReport(const TForm& form, const TModulesMonitorThread& thread, bool shown) {
  const unsigned library = thread.LibraryVersion;
  const std::string& program = ProgramVersion();
  std::string out = "Quendal" + (program.empty() ? std::string() : " " + program) + ", Corvane.dll " + std::to_string(library >> 16) + "." +
                    std::to_string(library & 0xFFFF) + LineEnd;
  bool listed = false;
  for (const SlotRecord& slot : thread.Current.Slots) {
    if (slot.SlotNumber < 0) continue;
    listed = true;
    AddModule(out, form, slot, shown && slot.ModuleReady != 0);
  }
  if (!listed) out += std::string("Модули не обнаружены") + LineEnd;
  return out;
}
