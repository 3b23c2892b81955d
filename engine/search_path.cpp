// Library search path rewrite: entry-wise removal of stale product folders.
#include "engine/search_path.h"

#include "engine/text.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

struct Writer {
  char* at;
  std::size_t room;  // bytes left before the NUL
  std::size_t written;
  void Put(const char* from, std::size_t n) {
    if (n > room) n = room;
    for (std::size_t i = 0; i < n; ++i) at[i] = from[i];
    at += n;
    room -= n;
    written += n;
  }
};

}  // namespace

std::size_t RemoveEntries(const char* source, const char* pattern, char* out, std::size_t outCapacity) {
  if (outCapacity == 0) return 0;
  Writer w = {out, outCapacity - 1, 0};
  const std::size_t patternLength = TextLength(pattern);
  const char* r = source;
  if (patternLength != 0) {
    for (const char* hit = FindNoCase(pattern, r); hit != nullptr; hit = FindNoCase(pattern, r)) {
      const char* end = hit + patternLength;
      const char* after = end;
      while (IsSeparator(*after)) ++after;
      w.Put(r, static_cast<std::size_t>(hit - r));
      if (*after == ';' || *after == '\0') {
        r = after;  // the whole entry goes; the next one keeps its ';'
      } else {
        w.Put(hit, patternLength);  // part of a longer entry: keep it
        r = end;
      }
    }
  }
  w.Put(r, TextLength(r));
  *w.at = '\0';
  return w.written;
}

bool RewriteSearchPath(const MacroTable& macros, const SearchPathScratch& s, const char* newEntry) {
  for (std::size_t i = 0; i < kStaleEntryPatterns.size(); ++i) {
    const StaleEntryPattern& p = kStaleEntryPatterns[i];
    if (p.expand) {
      ExpandMacros(macros, p.text, s.pattern, s.capacity);
    } else {
      CopyText(s.pattern, s.capacity, p.text);
    }
    RemoveEntries(s.value, s.pattern, s.result, s.capacity);
    if (i + 1 < kStaleEntryPatterns.size()) CopyText(s.value, s.capacity, s.result);
  }
  if (TextLength(s.result) + TextLength(newEntry) + 1 > s.capacity) return false;
  AppendText(s.result, s.capacity, newEntry);
  return true;
}
