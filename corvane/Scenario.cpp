// The scenario format: a line-based text, one directive per line
// ("version", "refuse", "slot"), settings as key=value. README.md describes it.
#include "corvane/Scenario.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Standin {

namespace {

const char* const OpNames[OpCount] = {"open",  "base-open", "model-open", "name",        "base-name",
                                      "model-name", "speed", "load", "test", "description", "close",
                                      "version", "create", "release"};
const char* const KindNames[KindCount] = {"fail", "fault", "hang", "unmask"};

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameText(const std::string& a, const char* b) {
  std::size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (std::size_t i = 0; i < n; ++i)
    if (Upper(a[i]) != Upper(b[i])) return false;
  return true;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

std::string LineMessage(int line, const std::string& what) { return "line " + std::to_string(line) + ": " + what; }

// One token of a line: its text with quotes and escapes resolved, and where
// its first unquoted '=' was (npos if none).
struct Token {
  std::string text;
  std::size_t eq = std::string::npos;
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool Tokenize(const std::string& line, std::vector<Token>& tokens, std::string& error) {
  std::size_t i = 0, n = line.size();
  while (true) {
    while (i < n && IsSpace(line[i])) ++i;
    if (i >= n || line[i] == '#') return true;
    Token token;
    while (i < n && !IsSpace(line[i])) {
      char c = line[i];
      if (c == '=' && token.eq == std::string::npos) {
        token.eq = token.text.size();
        token.text += c;
        ++i;
      } else if (c == '"') {
        ++i;
        bool closed = false;
        while (i < n) {
          c = line[i++];
          if (c == '"') {
            closed = true;
            break;
          }
          if (c != '\\') {
            token.text += c;
            continue;
          }
          if (i >= n) break;
          char e = line[i++];
          switch (e) {
            case '\\': token.text += '\\'; break;
            case '"': token.text += '"'; break;
            case 'n': token.text += '\n'; break;
            case 'r': token.text += '\r'; break;
            case 't': token.text += '\t'; break;
            case '0': token.text += '\0'; break;
            case 'x': {
              int hi = i < n ? HexDigit(line[i]) : -1;
              int lo = i + 1 < n ? HexDigit(line[i + 1]) : -1;
              if (hi < 0 || lo < 0) {
                error = "\\x needs two hexadecimal digits";
                return false;
              }
              token.text += static_cast<char>(hi * 16 + lo);
              i += 2;
              break;
            }
            default:
              error = std::string("unknown escape \\") + e + " (known: \\\\ \\\" \\n \\r \\t \\0 \\xHH)";
              return false;
          }
        }
        if (!closed) {
          error = "a quoted text is not closed";
          return false;
        }
      } else {
        token.text += c;
        ++i;
      }
    }
    tokens.push_back(token);
  }
}

bool ParseUnsigned(const std::string& s, unsigned long long max, unsigned long long& out) {
  if (s.empty()) return false;
  unsigned long long v = 0;
  std::size_t i = 0;
  unsigned base = 10;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    i = 2;
  }
  for (; i < s.size(); ++i) {
    int d = base == 16 ? HexDigit(s[i]) : (s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : -1);
    if (d < 0) return false;
    if (v > (max - static_cast<unsigned>(d)) / base) return false;
    v = v * base + static_cast<unsigned>(d);
  }
  out = v;
  return true;
}

bool ParseInt32(const std::string& s, int32_t& out) {
  unsigned long long v;
  if (!s.empty() && s[0] == '-') {
    if (!ParseUnsigned(s.substr(1), 0x80000000ull, v)) return false;
    out = static_cast<int32_t>(-static_cast<long long>(v));
    return true;
  }
  bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
  if (!ParseUnsigned(s, hex ? 0xFFFFFFFFull : 0x7FFFFFFFull, v)) return false;
  out = static_cast<int32_t>(static_cast<uint32_t>(v));
  return true;
}

bool ParseBool(const std::string& s, bool& out) {
  if (s == "1" || SameText(s, "yes") || SameText(s, "on") || SameText(s, "true")) {
    out = true;
    return true;
  }
  if (s == "0" || SameText(s, "no") || SameText(s, "off") || SameText(s, "false")) {
    out = false;
    return true;
  }
  return false;
}

// A decimal number: [+-]digits[.digits][(e|E)[+-]digits], at least one digit.
bool IsDecimalNumber(const std::string& s) {
  std::size_t i = 0, n = s.size();
  if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < n && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  if (i < n && s[i] == '.') {
    ++i;
    while (i < n && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < n && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t exp = 0;
    while (i < n && s[i] >= '0' && s[i] <= '9') ++i, ++exp;
    if (exp == 0) return false;
  }
  return i == n;
}

uint64_t ToBits(double d) {
  uint64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  return bits;
}

bool ParseClock(const std::string& s, uint64_t& out, std::string& error) {
  std::string body = s;
  bool negative = false;
  if (!body.empty() && (body[0] == '+' || body[0] == '-')) {
    negative = body[0] == '-';
    body.erase(0, 1);
  }
  if (SameText(body, "inf") || SameText(body, "infinity")) {
    out = negative ? 0xFFF0000000000000ull : 0x7FF0000000000000ull;
    return true;
  }
  if (SameText(body, "nan")) {
    out = negative ? 0xFFF8000000000000ull : 0x7FF8000000000000ull;
    return true;
  }
  if (SameText(body, "snan")) {  // signalling: quiet bit clear, payload 1
    out = negative ? 0xFFF0000000000001ull : 0x7FF0000000000001ull;
    return true;
  }
  if (s.size() > 5 && SameText(s.substr(0, 5), "bits:")) {
    unsigned long long bits;
    std::string hex = s.substr(5);
    if (hex.size() < 3 || hex[0] != '0' || (hex[1] != 'x' && hex[1] != 'X') ||
        !ParseUnsigned(hex, 0xFFFFFFFFFFFFFFFFull, bits)) {
      error = "bits: needs a 64-bit hexadecimal pattern such as bits:0x7FF0000000000001";
      return false;
    }
    out = bits;
    return true;
  }
  if (!IsDecimalNumber(s)) {
    error = "\"" + s + "\" is not a clock (a decimal number of kHz, inf, -inf, nan, snan or bits:0x...)";
    return false;
  }
  // The C runtime is shared with the program, whose locale may use another
  // decimal separator.
  std::string local = s;
  const char* point = std::localeconv() ? std::localeconv()->decimal_point : ".";
  if (point && point[0] && point[0] != '.') {
    std::size_t dot = local.find('.');
    if (dot != std::string::npos) local.replace(dot, 1, point);
  }
  char* end = nullptr;
  double v = std::strtod(local.c_str(), &end);
  if (end != local.c_str() + local.size()) {
    error = "\"" + s + "\" is not a clock";
    return false;
  }
  if (v - v != 0) {  // an infinity from a finite-looking number
    error = "\"" + s + "\" is too large for a double; write inf if an infinite clock is meant";
    return false;
  }
  out = ToBits(v);
  return true;
}

bool ParsePresence(const std::string& s, std::vector<Presence>& out, std::string& error) {
  out.clear();
  if (SameText(s, "always")) {
    out.push_back(Presence{});
    return true;
  }
  if (SameText(s, "never")) return true;
  std::size_t start = 0;
  while (start <= s.size()) {
    std::size_t comma = s.find(',', start);
    std::string part = s.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    std::size_t dash = part.find('-');
    unsigned long long from = 0, until = 0;
    Presence p;
    bool ok = dash != std::string::npos && ParseUnsigned(part.substr(0, dash), 0x7FFFFFFFull, from);
    if (ok) {
      std::string rest = part.substr(dash + 1);
      p.open = rest.empty();
      if (!p.open) ok = ParseUnsigned(rest, 0x7FFFFFFFull, until) && until > from;
    }
    if (!ok) {
      error = "present= takes always, never or spans of milliseconds such as 0-5000,8000- (\"" + part +
              "\" is not one)";
      return false;
    }
    p.from = static_cast<DWORD>(from);
    p.until = static_cast<DWORD>(until);
    out.push_back(p);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return true;
}

bool ParseFailure(const std::string& s, FailureSwitch& out) {
  unsigned long long n;
  out = FailureSwitch{};
  if (SameText(s, "never") || s == "0") return true;
  if (SameText(s, "always")) {
    out.mode = FailureSwitch::Always;
    return true;
  }
  if (SameText(s, "once")) {
    out.mode = FailureSwitch::FirstCalls;
    out.count = 1;
    return true;
  }
  if (s.size() > 6 && SameText(s.substr(0, 6), "after:")) {
    if (!ParseUnsigned(s.substr(6), 1000000000ull, n)) return false;
    out.mode = FailureSwitch::AfterCalls;
    out.count = static_cast<unsigned>(n);
    return true;
  }
  if (!ParseUnsigned(s, 1000000000ull, n)) return false;
  out.mode = FailureSwitch::FirstCalls;
  out.count = static_cast<unsigned>(n);
  return true;
}

bool ParseModel(const std::string& s, Model& out) {
  static const Model models[] = {Model::None, Model::K3200, Model::K390, Model::K3600, Model::K8050};
  for (Model m : models)
    if (SameText(s, DeviceNameOf(m))) {
      out = m;
      return true;
    }
  return false;
}

// The model whose module-name string the name is, compared without regard to case.
Model ModelOfName(const std::string& name) {
  static const Model models[] = {Model::K3200, Model::K390, Model::K3600, Model::K8050};
  for (Model m : models)
    if (SameText(name, ModuleNameOf(m))) return m;
  return Model::None;
}

UnitInfo Unit(const char* name, double clock, const char* version, const char* date, const char* text) {
  UnitInfo u;
  u.name = name;
  u.clockBits = ToBits(clock);
  u.firmware.version = version;
  u.firmware.date = date;
  u.text = text;
  return u;
}

// A module of the model as it comes from the factory; the scenario changes
// what it sets.
void ApplyDefaults(Module& m, Model model, int slot) {
  m.model = model;
  m.name = ModuleNameOf(model);
  m.presence.assign(1, Presence{});
  char serial[32];
  std::snprintf(serial, sizeof serial, "%s-%02d%03d", model == Model::None ? "X" : ModuleNameOf(model) + 1, slot,
                101 + 7 * slot);
  m.serial = serial;
  switch (model) {
    case Model::K3200:
      m.speed = 0;
      m.revision = 'B';
      m.dac = 1;
      m.mcu = Unit("ATmega8535", 8000.0, "1.07", "14.05.2003", "Управляющий микроконтроллер K3-200");
      break;
    case Model::K390:
      m.speed = 1;
      m.revision = 'A';
      m.dac = 0;
      m.mcu = Unit("AT91SAM7S64", 47923.2, "2.03", "20.09.2006", "Управляющий микроконтроллер K-390");
      break;
    case Model::K3600:
      m.speed = 1;
      m.revision = 'C';
      m.dac = 1;
      m.loadMs = 2000;
      m.mcu = Unit("AT89C52", 24000.0, "1.11", "03.02.2004", "Управляющий микроконтроллер K3-600");
      m.dsp = Unit("ADSP-2185M", 73728.0, "3.20", "11.11.2004", "Сигнальный процессор K3-600");
      break;
    case Model::K8050:
      m.speed = 1;
      m.revision = 'A';
      m.dac = 1;
      m.loadMs = 150;
      m.mcu = Unit("AT91SAM7S256", 48000.0, "1.02", "17.06.2007", "Управляющий микроконтроллер K80-50");
      m.boot.version = "1.00";
      m.boot.date = "01.03.2007";
      m.pld = Unit("EP1C3T100", 50000.0, "2.05", "17.06.2007", "Программируемая логика K80-50");
      break;
    case Model::None:
      m.speed = 0;
      m.revision = 0;
      m.dac = 0;
      break;
  }
}

struct Setting {
  std::string key;
  std::string value;
  int line;
};

// Sets the error; false.
bool Refuse(std::string& error, const std::string& message) {
  error = message;
  return false;
}

bool ApplyUnit(UnitInfo& unit, const std::string& field, const std::string& value, std::string& error,
               bool& known) {
  known = true;
  if (field == "name") unit.name = value;
  else if (field == "version") unit.firmware.version = value;
  else if (field == "date") unit.firmware.date = value;
  else if (field == "text") unit.text = value;
  else if (field == "clock") return ParseClock(value, unit.clockBits, error);
  else if (field == "active") {
    if (!ParseInt32(value, unit.active)) return Refuse(error, "active= takes a 32-bit integer");
  } else known = false;
  return true;
}

// Applies a switch KIND.OP=value for an operation in [first, last); known
// tells whether the key was a switch at all.
bool ApplySwitch(FailureSwitch (&switches)[KindCount][OpCount], int first, int last, const std::string& k,
                 const std::string& v, std::string& error, bool& known) {
  std::size_t dot = k.find('.');
  known = false;
  for (int kind = 0; kind < KindCount && dot != std::string::npos; ++kind) {
    if (k.compare(0, dot, KindNames[kind]) != 0 || std::strlen(KindNames[kind]) != dot) continue;
    known = true;
    for (int op = first; op < last; ++op)
      if (k.compare(dot + 1, std::string::npos, OpNames[op]) == 0) {
        if (ParseFailure(v, switches[kind][op])) return true;
        return Refuse(error, k + "= takes never, always, once, a number of calls (that many, then no more) or after:N");
      }
    error = "unknown switch \"" + k + "\" (known operations:";
    for (int op = first; op < last; ++op) error += std::string(" ") + OpNames[op];
    error += ")";
    return false;
  }
  return false;
}

// The settings whose value is kept as it is written, and those that take yes or no.
const struct {
  const char* key;
  std::string Module::*field;
} TextSettings[] = {{"name", &Module::name}, {"record-name", &Module::recordName}, {"serial", &Module::serial}};
const struct {
  const char* key;
  bool Module::*field;
} YesNoSettings[] = {{"load-notice", &Module::loadNotice}, {"junk", &Module::junk}};

// Applies a setting of the module's own values; known tells whether the
// key was one of them.
bool ApplyValue(Module& m, const std::string& k, const std::string& v, std::string& error, bool& known) {
  unsigned long long n;
  known = true;
  for (const auto& t : TextSettings)
    if (k == t.key) {
      m.*t.field = v;
      return true;
    }
  for (const auto& y : YesNoSettings)
    if (k == y.key) return ParseBool(v, m.*y.field) || Refuse(error, k + "= takes yes or no");
  if (k == "revision") {
    if (v.size() > 1) return Refuse(error, "revision= takes one character (or nothing)");
    m.revision = v.empty() ? 0 : v[0];
    return true;
  }
  if (k == "speed") {
    if (SameText(v, "full")) m.speed = 0;
    else if (SameText(v, "high")) m.speed = 1;
    else if (ParseUnsigned(v, 255, n)) m.speed = static_cast<BYTE>(n);
    else return Refuse(error, "speed= takes full, high or a byte value 0-255");
    return true;
  }
  if (k == "dac") {
    bool b;
    if (ParseBool(v, b)) m.dac = b ? 1 : 0;
    else if (!ParseInt32(v, m.dac)) return Refuse(error, "dac= takes yes, no or a 32-bit integer");
    return true;
  }
  if (k == "load-ms") {
    if (!ParseUnsigned(v, MaxLoadMs, n))
      return Refuse(error, "load-ms= takes milliseconds from 0 to " + std::to_string(MaxLoadMs));
    m.loadMs = static_cast<DWORD>(n);
    return true;
  }
  if (k == "present") return ParsePresence(v, m.presence, error);
  if (k == "texts") {
    if (SameText(v, "unterminated")) m.unterminated = true;
    else if (SameText(v, "terminated")) m.unterminated = false;
    else return Refuse(error, "texts= takes terminated or unterminated");
    return true;
  }
  known = false;
  return true;
}

// Applies one setting; false with error set when the value is bad or the key unknown.
bool ApplySetting(Module& m, const Setting& s, std::string& error) {
  const std::string& k = s.key;
  const std::string& v = s.value;
  if (k == "model") return true;  // settled before the others
  bool known = false;
  const bool applied = ApplyValue(m, k, v, error, known);
  if (known) return applied;
  bool isSwitch = false;
  if (ApplySwitch(m.switches, 0, SlotOpCount, k, v, error, isSwitch)) return true;
  if (isSwitch) return false;
  std::size_t dot = k.find('.');
  if (dot != std::string::npos) {
    std::string unit = k.substr(0, dot), field = k.substr(dot + 1);
    bool ok = true;
    if (unit == "mcu") ok = ApplyUnit(m.mcu, field, v, error, known);
    else if (unit == "dsp") ok = ApplyUnit(m.dsp, field, v, error, known);
    else if (unit == "pld") ok = ApplyUnit(m.pld, field, v, error, known);
    else if (unit == "boot") {
      known = true;
      if (field == "version") m.boot.version = v;
      else if (field == "date") m.boot.date = v;
      else known = false;
    }
    if (!ok) return false;
    if (known) return true;
  }
  error = "unknown setting \"" + k + "\"";
  return false;
}

bool BuildModule(int slot, const std::vector<Setting>& settings, Module& m, std::string& error) {
  const Setting* model = nullptr;
  const Setting* name = nullptr;
  for (const Setting& s : settings) {
    if (s.key == "model") model = &s;
    if (s.key == "name") name = &s;
  }
  Model chosen = Model::None;
  if (model) {
    if (!ParseModel(model->value, chosen)) {
      error = LineMessage(model->line, "model= takes k200, k390, k600, k8050 or none, not \"" + model->value + "\"");
      return false;
    }
  } else if (name) {
    chosen = ModelOfName(name->value);
  } else {
    error = LineMessage(settings.empty() ? 0 : settings.front().line,
                        "slot " + std::to_string(slot) + " needs model= or name=");
    return false;
  }
  if (chosen == Model::None && !name) {
    error = LineMessage(model->line, "slot " + std::to_string(slot) + " of model none needs name=");
    return false;
  }
  m = Module{};
  ApplyDefaults(m, chosen, slot);
  m.declared = true;
  bool recordNameSet = false;
  for (const Setting& s : settings) {
    std::string what;
    if (!ApplySetting(m, s, what)) {
      error = LineMessage(s.line, "slot " + std::to_string(slot) + ": " + what);
      return false;
    }
    if (s.key == "record-name") recordNameSet = true;
  }
  if (!recordNameSet) m.recordName = m.name;
  return true;
}

}  // namespace

const char* SwitchName(Op op) {
  return op >= 0 && op < OpCount ? OpNames[op] : "?";
}

const char* KindName(SwitchKind kind) { return kind >= 0 && kind < KindCount ? KindNames[kind] : "?"; }

bool FailureSwitch::Fails(unsigned call) const {
  switch (mode) {
    case Always: return true;
    case FirstCalls: return call <= count;
    case AfterCalls: return call > count;
    case Never: break;
  }
  return false;
}

bool Module::PresentAt(DWORD elapsedMs) const {
  if (!declared) return false;
  for (const Presence& p : presence)
    if (elapsedMs >= p.from && (p.open || elapsedMs < p.until)) return true;
  return false;
}

int Scenario::ModuleCount() const {
  int n = 0;
  for (const Module& m : slots) n += m.declared ? 1 : 0;
  return n;
}

bool Scenario::Refuses(const char* deviceName) const {
  for (const std::string& r : refused)
    if (SameText(r, deviceName)) return true;
  return false;
}

const char* ModuleNameOf(Model model) {
  switch (model) {
    case Model::K3200: return "K200";
    case Model::K390: return "K390";
    case Model::K3600: return "K600";
    case Model::K8050: return "K80-50";
    case Model::None: break;
  }
  return "";
}

const char* DeviceNameOf(Model model) {
  switch (model) {
    case Model::K3200: return "k200";
    case Model::K390: return "k390";
    case Model::K3600: return "k600";
    case Model::K8050: return "k8050";
    case Model::None: break;
  }
  return "none";
}

bool ModelOfDeviceName(const char* deviceName, Model& model, bool& base) {
  base = false;
  if (std::strcmp(deviceName, "Corvroot") == 0) {
    base = true;
    model = Model::None;
    return true;
  }
  static const Model models[] = {Model::K3200, Model::K390, Model::K3600, Model::K8050};
  for (Model m : models)
    if (std::strcmp(deviceName, DeviceNameOf(m)) == 0) {
      model = m;
      return true;
    }
  return false;
}

bool ParseScenario(const std::string& text, Scenario& out, std::string& error) {
  out = Scenario{};
  std::vector<Setting> slotSettings[SlotCount];
  bool slotSeen[SlotCount] = {};
  bool versionSeen = false;
  int lineNo = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    std::string line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    pos = end == std::string::npos ? text.size() : end + 1;
    ++lineNo;
    std::vector<Token> tokens;
    std::string what;
    if (!Tokenize(line, tokens, what)) {
      error = LineMessage(lineNo, what);
      return false;
    }
    if (tokens.empty()) continue;
    const std::string& directive = tokens[0].text;
    if (directive == "version") {
      unsigned long long major, minor, raw;
      std::size_t dot = tokens.size() == 2 ? tokens[1].text.find('.') : std::string::npos;
      if (tokens.size() != 2) {
        error = LineMessage(lineNo, "version takes one value, e.g. version 3.3");
        return false;
      }
      const std::string& v = tokens[1].text;
      if (dot != std::string::npos && ParseUnsigned(v.substr(0, dot), 0xFFFF, major) &&
          ParseUnsigned(v.substr(dot + 1), 0xFFFF, minor)) {
        out.version = static_cast<DWORD>((major << 16) | minor);
      } else if (v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X') &&
                 ParseUnsigned(v, 0xFFFFFFFFull, raw)) {
        out.version = static_cast<DWORD>(raw);
      } else {
        error = LineMessage(lineNo, "version takes major.minor (each 0-65535) or a hexadecimal 32-bit value "
                                    "such as 0x00030003, not \"" + v + "\"");
        return false;
      }
      if (versionSeen) {
        error = LineMessage(lineNo, "version is given twice");
        return false;
      }
      versionSeen = true;
    } else if (directive == "refuse") {
      if (tokens.size() < 2) {
        error = LineMessage(lineNo, "refuse takes one or more device names, e.g. refuse k600");
        return false;
      }
      for (std::size_t i = 1; i < tokens.size(); ++i) out.refused.push_back(tokens[i].text);
    } else if (directive == "library") {
      for (std::size_t i = 1; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        std::string key = t.eq == std::string::npos ? t.text : t.text.substr(0, t.eq);
        std::string value = t.eq == std::string::npos ? std::string() : t.text.substr(t.eq + 1);
        bool isSwitch = false;
        bool fail = key.compare(0, 5, "fail.") == 0;
        if (t.eq != std::string::npos && !fail &&
            ApplySwitch(out.library.switches, OpVersion, OpCount, key, value, error, isSwitch))
          continue;
        if (!isSwitch || fail || t.eq == std::string::npos)
          error = "\"" + t.text + "\" is not a switch of the library's calls (fault.OP=, hang.OP=, unmask.OP=)";
        error = LineMessage(lineNo, error);
        return false;
      }
    } else if (directive == "slot") {
      unsigned long long slot;
      if (tokens.size() < 2 || !ParseUnsigned(tokens[1].text, SlotCount - 1, slot)) {
        error = LineMessage(lineNo, tokens.size() < 2 ? std::string("slot takes a slot number 0-24 and settings key=value")
                                                      : "\"" + tokens[1].text + "\" is not a slot number 0-24");
        return false;
      }
      for (std::size_t i = 2; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.eq == std::string::npos || t.eq == 0) {
          error = LineMessage(lineNo, "\"" + t.text + "\" is not a setting key=value");
          return false;
        }
        slotSettings[slot].push_back(Setting{t.text.substr(0, t.eq), t.text.substr(t.eq + 1), lineNo});
      }
      if (!slotSeen[slot] && slotSettings[slot].empty()) {
        error = LineMessage(lineNo, "slot " + std::to_string(slot) + " needs model= or name=");
        return false;
      }
      slotSeen[slot] = true;
    } else {
      error = LineMessage(lineNo, "unknown directive \"" + directive + "\" (known: version, refuse, library, slot)");
      return false;
    }
  }
  for (int slot = 0; slot < SlotCount; ++slot)
    if (slotSeen[slot] && !BuildModule(slot, slotSettings[slot], out.slots[slot], error)) return false;
  return true;
}

const char* DemoScenarioText() {
  return "# The built-in demonstration. Times count from the moment the library was loaded.\n"
         "slot 0 model=k200 speed=full present=always\n"
         "slot 3 model=k600 speed=high present=1200- load-ms=2000\n"
         "slot 6 model=k8050 speed=high present=2000-\n"
         "slot 9 model=k390 speed=full present=2800-10000,13000-\n";
}

}  // namespace Standin
