// The thirteen component rows and the scripts they install.
#include "engine/component_table.h"

#include <array>

#include "engine/ide_table.h"
#include "engine/script_tables.h"

namespace {

// The IDE rows' texts, caption then key per row, made when the program is built into
// one pool, each text NUL-terminated and no longer than it is.
struct IdeText {
  char text[kIdeTextCapacity];
  std::size_t length;
};

constexpr IdeText MakeIdeText(int i, bool key) {
  const IdeVersion& ide = kIdeVersions[i / 2 % kIdeCount];
  IdeText t = {};
  t.length = key ? FormatIde(t.text, 0, kIdeKeyFormat, kIdeKeyFamily[ide.family], ide.keyMajor)
                 : FormatIde(t.text, FormatIde(t.text, 0, kIdeCaptionLead, "", 0), kIdeNameFormat,
                             kIdeShownFamily[ide.family], ide.shown);
  return t;
}

constexpr std::size_t PoolSize() {
  std::size_t n = 0;
  for (int i = 0; i < 2 * kIdeCount; ++i) {
    const std::size_t length = MakeIdeText(i, i % 2 != 0).length;
    // FormatIde cuts at its capacity: a text that reaches it may have been cut.
    if (length + 1 >= kIdeTextCapacity) return 0;
    n += length + 1;
  }
  return n;
}
static_assert(PoolSize() != 0, "an IDE row's caption or key does not fit");

struct IdePool {
  std::array<char, PoolSize()> bytes;
  std::array<std::size_t, 2 * kIdeCount> at;  // where text i begins
};

constexpr IdePool kIdePool = [] {
  IdePool pool = {};
  std::size_t n = 0;
  for (int i = 0; i < 2 * kIdeCount; ++i) {
    const IdeText t = MakeIdeText(i, i % 2 != 0);
    pool.at[i] = n;
    for (std::size_t k = 0; k <= t.length; ++k) pool.bytes[n++] = t.text[k];
  }
  return pool;
}();

// Only the bytes go into the program; the offsets are used while it is built.
constexpr std::array<char, PoolSize()> kIdePoolBytes = kIdePool.bytes;

constexpr const char* IdePoolText(int i) { return kIdePoolBytes.data() + kIdePool.at[i]; }

// The IDE rows first, in the order of the IDE table; the end row is all zero.
constexpr std::array<ComponentEntry, kComponentCount + 1> MakeRows() {
  static_assert(kIdeCount + 3 == kComponentCount);
  std::array<ComponentEntry, kComponentCount + 1> rows = {};
  for (int i = 0; i < kIdeCount; ++i) rows[i] = {IdePoolText(2 * i), IdePoolText(2 * i + 1), kIdeRootValue, nullptr, 1, 1, 0, nullptr};
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
