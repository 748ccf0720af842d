#include "monitor/DetailsReport.h"

#include "device/FieldText.h"
#include "monitor/DetailsTexts.h"

namespace {

const char* const LineEnd = "\r\n";

void AddRow(std::string& out, const char* indent, const std::string& label, const std::string& text) {
  out += indent + label + ": " + text + LineEnd;
}

void AddModule(std::string& out, const TReportLabels& labels, const SlotRecord& slot, bool shown) {
  out += FieldText(slot.ListLine) + LineEnd;
  const TDetailsTexts texts = DetailsTexts(slot, slot.SlotNumber, shown);
  if (!texts.Ready) {
    out += std::string("  Сведений о модуле ещё нет") + LineEnd;
    return;
  }
  AddRow(out, "  ", "USB", texts.Speed);
  AddRow(out, "  ", labels.Serial, texts.Serial);
  AddRow(out, "  ", labels.Revision, texts.Revision);
  AddRow(out, "  ", labels.Dac, texts.Dac);
  for (int u = 0; u < 4; ++u) {
    const TDetailsGroup& group = texts.Groups[u];
    out += "  " + labels.Units[u] + LineEnd;
    for (int i = 0; i < group.RowCount; ++i) AddRow(out, "    ", labels.Rows[u][i], group.Rows[i]);
  }
}

}  // namespace

std::string DetailsReport(const SlotTable& table, const TReportLabels& labels, unsigned libraryVersion, bool shown) {
  const std::string& program = labels.ProgramVersion;
  std::string out = "Quendal" + (program.empty() ? std::string() : " " + program) + ", Corvane.dll " +
                    std::to_string(libraryVersion >> 16) + "." + std::to_string(libraryVersion & 0xFFFF) + LineEnd;
  bool listed = false;
  for (const SlotRecord& slot : table.Slots) {
    if (slot.SlotNumber < 0) continue;
    listed = true;
    AddModule(out, labels, slot, shown);
  }
  if (!listed) out += std::string("Модули не обнаружены") + LineEnd;
  return out;
}
