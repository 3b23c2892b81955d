// The thirteen component rows and the scripts they install.
#include "engine/component_table.h"

#include <array>

#include "engine/ide_table.h"
#include "engine/script_tables.h"

namespace {

struct IdeTexts {
  char caption[kIdeTextCapacity];
  char key[kIdeTextCapacity];
};

// The IDE rows' captions and keys, made when the program is built.
constexpr std::array<IdeTexts, kIdeCount> kIdeTexts = [] {
  std::array<IdeTexts, kIdeCount> texts = {};
  for (int i = 0; i < kIdeCount; ++i) {
    const IdeVersion& ide = kIdeVersions[i];
    FormatIde(texts[i].caption, FormatIde(texts[i].caption, 0, kIdeCaptionLead, "", 0), kIdeNameFormat,
              kIdeShownFamily[ide.family], ide.shown);
    FormatIde(texts[i].key, 0, kIdeKeyFormat, kIdeKeyFamily[ide.family], ide.keyMajor);
  }
  return texts;
}();

constexpr bool NothingCut() {
  for (const IdeTexts& t : kIdeTexts) {
    if (t.caption[kIdeTextCapacity - 2] != '\0' || t.key[kIdeTextCapacity - 2] != '\0') return false;
  }
  return true;
}
static_assert(NothingCut(), "an IDE row's caption or key does not fit");

// The IDE rows first, in the order of the IDE table; the end row is all zero.
constexpr std::array<ComponentEntry, kComponentCount + 1> MakeRows() {
  static_assert(kIdeCount + 3 == kComponentCount);
  std::array<ComponentEntry, kComponentCount + 1> rows = {};
  for (int i = 0; i < kIdeCount; ++i) rows[i] = {kIdeTexts[i].caption, kIdeTexts[i].key, kIdeRootValue, nullptr, 1, 1, 0, nullptr};
  rows[10] = {" Shared Files", nullptr, nullptr, nullptr, kNotOffered, 1, 0, nullptr};
  rows[11] = {" Demo Projects Files", nullptr, nullptr, nullptr, 1, 1, 0, nullptr};
  rows[12] = {" Context Help Files", nullptr, nullptr, nullptr, 1, 1, 0, nullptr};
  return rows;
}

constinit std::array<ComponentEntry, kComponentCount + 1> gRows = MakeRows();

bool gScriptsBound = false;

}  // namespace

ComponentEntry* ComponentTable() {
  // The scripts live in another translation unit; bind them on first use rather than
  // depend on the order of static initialisation.
  if (!gScriptsBound) {
    for (int i = 0; i < kComponentCount; ++i) gRows[i].script = scripts::kAll[i];
    gScriptsBound = true;
  }
  return gRows.data();
}
