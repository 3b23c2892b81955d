// The split of setup.exe's command line into options.
#include "setup/command_line.h"

#include "engine/component_table.h"

namespace {

static_assert(kComponentCount < 32, "one bit per row");

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool SameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

// The first n bytes (n at most the size): std::string_view::substr would bring the
// library's exception machinery into a program that has none.
std::string_view Head(std::string_view text, std::size_t n) { return std::string_view(text.data(), n); }

bool StartsNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && SameNoCase(Head(text, prefix.size()), prefix);
}

// Bit of the row with this short name, or 0. An empty name names no row, not even
// the shared files, which have none.
std::uint32_t RowBit(std::string_view name) {
  for (int i = 0; i < kComponentCount; ++i) {
    if (!name.empty() && SameNoCase(name, kComponentShortNames[i])) return 1u << i;
  }
  return 0;
}

const char* FirstOption(const char* line) {
  const char* p = line;
  if (*p == '"') {
    ++p;
    while (*p != '\0' && *p != '"') ++p;
    if (*p == '"') ++p;
    if (*p == '/') return p;  // "setup.exe"/S: the quote ends the name
  }
  for (; *p != '\0'; ++p) {
    if (IsBlank(p[0]) && p[1] == '/') return p + 1;
  }
  return p;
}

void Refuse(SetupOptions& o, const char* problem, std::string_view what) {
  if (o.problem != nullptr) return;  // the first problem is the one reported
  o.problem = problem;
  o.refused = what;
}

void ReadComponents(SetupOptions& o, std::string_view token, std::string_view list) {
  if (o.componentsNamed) Refuse(o, "given twice", token);
  o.componentsNamed = true;
  for (;;) {
    const std::size_t comma = list.find(',');
    const std::string_view name = Head(list, comma == std::string_view::npos ? list.size() : comma);
    const std::uint32_t bit = RowBit(name);
    if (bit == 0) Refuse(o, name.empty() ? "empty component name" : "unknown component", name.empty() ? token : name);
    o.components |= bit;
    if (comma == std::string_view::npos) return;
    list.remove_prefix(comma + 1);
  }
}

}  // namespace

SetupOptions ReadSetupCommandLine(const char* commandLine) {
  SetupOptions o = {};
  bool usage = false;
  std::string_view extra;  // /COMPONENTS=, which needs /S
  const char* p = commandLine != nullptr ? FirstOption(commandLine) : "";
  for (;;) {
    while (IsBlank(*p)) ++p;
    if (*p == '\0') break;
    const char* end = p;
    while (*end != '\0' && !IsBlank(*end)) ++end;
    const std::string_view token(p, static_cast<std::size_t>(end - p));
    if (StartsNoCase(token, "/D=")) {
      const char* last = end = p + 3;
      while (*end != '\0') {
        if (!IsBlank(*end)) last = end + 1;
        ++end;
      }
      o.destination = std::string_view(p + 3, static_cast<std::size_t>(last - (p + 3)));
      if (o.destination.empty()) Refuse(o, "empty destination", token);
      break;
    }
    if (SameNoCase(token, "/S")) {
      o.silent = true;
    } else if (SameNoCase(token, "/CLOSEAPPLICATIONS")) {
      if (extra.empty()) extra = token;
      o.closeApplications = true;
    } else if (token == "/?") {
      usage = true;
    } else if (StartsNoCase(token, "/LOG=")) {
      // A refused /LOG= keeps no file: a malformed line's log goes only where it was asked for.
      const char* from = p + 5;
      bool closed = true;
      if (*from == '"') {
        end = ++from;
        while (*end != '\0' && *end != '"') ++end;
        closed = *end == '"';
      }
      const std::string_view log(from, static_cast<std::size_t>(end - from));
      if (*end == '"') ++end;
      if (o.log.data() != nullptr) {
        Refuse(o, "given twice", token);
      } else if (!closed) {
        Refuse(o, "no closing quote", token);
      } else if (log.empty()) {
        Refuse(o, "empty log path", token);
      } else {
        o.log = log;
      }
    } else if (StartsNoCase(token, "/COMPONENTS=")) {
      if (extra.empty()) extra = token;
      ReadComponents(o, token, std::string_view(token.data() + 12, token.size() - 12));
    } else {
      Refuse(o, "unknown option", token);
    }
    p = end;
  }
  if (!o.silent && !extra.empty()) Refuse(o, "needs /S", extra);
  if (usage) {
    o.kind = StartKind::Usage;
  } else if (o.problem != nullptr) {
    o.kind = StartKind::Malformed;
  } else {
    o.kind = o.silent ? StartKind::Silent : StartKind::Wizard;
  }
  return o;
}
