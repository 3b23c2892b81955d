// The search-path rewrite over arbitrary existing values and macro values: the result
// fits its capacity, keeps the entries it does not remove whole and in order, and
// ends with the new entry whenever the rewrite reports success.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/search_path.h"
#include "engine/text.h"

namespace {

std::vector<std::string> Entries(const std::string& path) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == ';') {
      out.push_back(path.substr(start, i - start));
      start = i + 1;
    }
  }
  return out;
}

// Every entry of kept appears in source, in the same order; the first always stays.
bool IsSubsequence(const std::vector<std::string>& kept, const std::vector<std::string>& source) {
  if (kept.empty() || source.empty() || kept[0] != source[0]) return false;
  std::size_t s = 1;
  for (std::size_t k = 1; k < kept.size(); ++k) {
    while (s < source.size() && source[s] != kept[k]) ++s;
    if (s == source.size()) return false;
    ++s;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const std::size_t capacity = (static_cast<std::size_t>(data[0]) << 8 | data[1]) % 4200 + 1;
  // NUL-separated: existing value, new entry, then the IDE root, old home, sub dir, short root.
  std::string parts[6];
  int k = 0;
  for (std::size_t i = 2; i < size && k < 6; ++i) {
    if (data[i] == 0) {
      ++k;
    } else {
      parts[k] += static_cast<char>(data[i]);
    }
  }
  std::vector<std::vector<char>> values(kMacroCount, std::vector<char>(kMacroValueCapacity));
  std::vector<char> expansion(kExpansionScratchCapacity);
  MacroTable table = {};
  for (int i = 0; i < kMacroCount; ++i) table.values[i] = values[i].data();
  table.scratch = expansion.data();
  SetMacroValue(table, Macro::DelphiDir, parts[2].c_str());
  SetMacroValue(table, Macro::HomeOld, parts[3].c_str());
  SetMacroValue(table, Macro::SubDir, parts[4].c_str());
  SetMacroValue(table, Macro::DelphiDirShort, parts[5].c_str());

  // Exact-size blocks, so a byte written past one stops the run.
  std::vector<char> value(capacity), pattern(capacity), result(capacity);
  CopyText(value.data(), capacity, parts[0].c_str());
  const std::string source = value.data();
  const SearchPathScratch s = {value.data(), pattern.data(), result.data(), capacity};
  const bool ok = RewriteSearchPath(table, s, parts[1].c_str());
  const std::string out = result.data();
  if (out.size() >= capacity) __builtin_trap();
  if (ok) {
    const std::string& entry = parts[1];
    if (out.size() < entry.size() || out.compare(out.size() - entry.size(), entry.size(), entry) != 0)
      __builtin_trap();
    // With no ';' inside the new entry's tail or the macro values, what stays of the old
    // value is made of its own entries, whole and in order. ESC folds to ';' under the
    // byte-match rule, so texts holding it are left out of this check.
    bool plain = (entry.empty() || entry[0] == ';') && entry.find(';', 1) == std::string::npos;
    const std::string* texts[] = {&source, &entry, &parts[2], &parts[3], &parts[4], &parts[5]};
    for (const std::string* t : texts)
      if (t->find('\x1b') != std::string::npos) plain = false;
    for (int i = 2; i < 6; ++i)
      if (parts[i].find(';') != std::string::npos) plain = false;
    if (plain) {
      const std::string kept = out.substr(0, out.size() - entry.size());
      if (!IsSubsequence(Entries(kept), Entries(source))) __builtin_trap();
    }
  }

  // RemoveEntries alone with an arbitrary pattern and a smaller output.
  const std::size_t small = capacity / 2 + 1;
  std::vector<char> cut(small);
  const std::size_t written = RemoveEntries(source.c_str(), parts[1].c_str(), cut.data(), small);
  if (written != std::strlen(cut.data()) || written >= small || written > source.size()) __builtin_trap();
  return 0;
}
