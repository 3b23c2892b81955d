// Rewrite of an IDE's library search path: the product's stale entries come out,
// the new entry goes on the end. Portable, so it is tested natively.
#pragma once
#include <array>
#include <cstddef>

#include "engine/macros.h"

struct StaleEntryPattern {
  const char* text;
  bool expand;  // the IDEs' own "$(DELPHI)"/"$(BCB)" variables are matched as they stand
};

// Every place an earlier installation may have put its folder, in removal order.
inline constexpr std::array<StaleEntryPattern, 7> kStaleEntryPatterns = {{
    {";$DELPHI_DIR$\\add\\tarvellib", true},
    {";$DELPHI_DIR$\\\\add\\tarvellib", true},
    {";$HOME_OLD$\\$SUB_DIR$", true},
    {";$(DELPHI)\\ADD\\TARVELLIB", false},
    {";$(BCB)\\ADD\\TARVELLIB", false},
    {";$DELPHI_DIR_SHORT$\\add\\tarvellib", true},
    {";$DELPHI_DIR_SHORT$\\\\add\\tarvellib", true},
}};

// Copies source into out without every whole entry that equals pattern (case-folded),
// together with separators trailing it. An occurrence that is only the beginning of a
// longer entry ("...\Delphi7Extra") stays, so no other entry is ever cut apart.
// Cut to outCapacity bytes with the NUL. Returns the length written.
std::size_t RemoveEntries(const char* source, const char* pattern, char* out, std::size_t outCapacity);

// The scratch strings the rewrite works in, each of the same capacity.
struct SearchPathScratch {
  char* value;    // in: the current search path ("" when there is none)
  char* pattern;  // a pattern after expansion
  char* result;   // out: the rewritten search path
  std::size_t capacity;
};

// Removes the seven stale patterns one after the other, then appends newEntry (which
// brings its own leading ';'). Returns false when the new entry does not fit: the
// caller then leaves the IDE's value as it is rather than store a cut path.
bool RewriteSearchPath(const MacroTable& macros, const SearchPathScratch& s, const char* newEntry);
