// The path trimmings and the bounded copies over arbitrary texts and capacities,
// against plain reference rules.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/text.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

std::string ReferenceStrip(std::string p) {
  std::size_t i = p.size();
  while (i > 1 && (p[i - 1] == ' ' || p[i - 1] == '"')) --i;
  if (i > 1 && IsSeparator(p[i - 1])) p.resize(i - 1);
  return p;
}

std::string ReferenceParent(const std::string& path) {
  std::string p = ReferenceStrip(path);
  for (std::size_t i = p.size(); i-- > 1;) {
    if (IsSeparator(p[i])) return p.substr(0, i);
    if (p[i] == ':') return p;
  }
  return p;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const std::size_t capacity = data[0] % 64;
  const std::size_t used = data[1] % 64;
  std::string a, b;
  std::size_t i = 2;
  for (; i < size && data[i] != 0; ++i) a += static_cast<char>(data[i]);
  for (++i; i < size && data[i] != 0; ++i) b += static_cast<char>(data[i]);

  std::vector<char> path(a.c_str(), a.c_str() + a.size() + 1);
  StripTrailingSeparator(path.data());
  if (path.data() != ReferenceStrip(a)) __builtin_trap();
  std::vector<char> parent(a.c_str(), a.c_str() + a.size() + 1);
  CutToParent(parent.data());
  if (parent.data() != ReferenceParent(a)) __builtin_trap();
  if (!a.empty() && parent[0] != a[0]) __builtin_trap();  // the first byte is never cut

  // CopyText and AppendText into exact-size blocks.
  std::vector<char> dst(capacity == 0 ? 1 : capacity, 'x');
  const std::size_t copied = CopyText(dst.data(), capacity, a.c_str());
  if (capacity != 0) {
    const std::string expected = a.substr(0, capacity - 1);
    if (copied != expected.size() || dst.data() != expected) __builtin_trap();
    // A prefix of `used` bytes already there (cut to the block), then the append.
    std::vector<char> text(capacity, 'y');
    const std::size_t start = used < capacity ? used : capacity - 1;
    text[start] = '\0';
    const std::string before(text.data());
    AppendText(text.data(), capacity, b.c_str());
    const std::string want = (before + b).substr(0, capacity - 1);
    if (text.data() != want) __builtin_trap();
  }
  return 0;
}
