#include "monitor/DetailsReport.h"

#include "controls/FileVersionInfo.h"
#include "device/FieldText.h"
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
std::string LabelOf(const TWinControl* control) {
  return control ? control->Text() : std::string();
}

void AddRow(std::string& out, const char* indent, const std::string& label, const std::string& text) {
  out += indent + label + ": " + text + LineEnd;
}

void AddModule(std::string& out, const TMonitorView& view, const SlotRecord& slot, bool ready) {
  out += FieldText(slot.ListLine) + LineEnd;
  if (!ready) {
    out += std::string("  Сведений о модуле ещё нет") + LineEnd;
    return;
  }
  const TDetailsTexts texts = DetailsTexts(slot, ready);
  AddRow(out, "  ", "USB", texts.Speed);
  AddRow(out, "  ", LabelOf(view.SerialLabel), texts.Serial);
  AddRow(out, "  ", LabelOf(view.RevisionLabel), texts.Revision);
  AddRow(out, "  ", LabelOf(view.DacLabel), texts.Dac);
  for (int u = 0; u < 4; ++u) {
    const TMonitorUnitView& unit = view.Units[u];
    const TDetailsGroup& group = texts.Groups[u];
    out += "  " + LabelOf(unit.Box) + LineEnd;
    for (int i = 0; i < group.RowCount; ++i) AddRow(out, "    ", LabelOf(unit.Labels[i]), group.Rows[i]);
  }
}

}  // namespace

std::string DetailsReport(const TMonitorView& view, const TModulesMonitorThread& thread, bool shown) {
  const unsigned library = thread.LibraryVersion;
  const std::string& program = ProgramVersion();
  std::string out = "Quendal" + (program.empty() ? std::string() : " " + program) + ", Corvane.dll " + std::to_string(library >> 16) + "." +
                    std::to_string(library & 0xFFFF) + LineEnd;
  bool listed = false;
  for (const SlotRecord& slot : thread.Current.Slots) {
    if (slot.SlotNumber < 0) continue;
    listed = true;
    AddModule(out, view, slot, shown && slot.ModuleReady != 0);
  }
  if (!listed) out += std::string("Модули не обнаружены") + LineEnd;
  return out;
}
