// FindNoCase and ReplaceAll against a plain reference, at a random output capacity.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/text.h"

namespace {

bool Folded(char a, char b) { return (static_cast<unsigned char>(a) | 0x20) == (static_cast<unsigned char>(b) | 0x20); }

long ReferenceFind(const std::string& pattern, const std::string& subject) {
  if (pattern.empty()) return 0;
  for (size_t start = 0; start + pattern.size() <= subject.size(); ++start) {
    size_t i = 0;
    while (i < pattern.size() && Folded(pattern[i], subject[start + i])) ++i;
    if (i == pattern.size()) return static_cast<long>(start);
  }
  return -1;
}

std::string ReferenceReplace(const std::string& source, const std::string& pattern, const std::string& replacement) {
  if (pattern.empty()) return source;
  std::string out;
  size_t read = 0;
  for (;;) {
    const long hit = ReferenceFind(pattern, source.substr(read));
    if (hit < 0) break;
    out += source.substr(read, static_cast<size_t>(hit));
    out += replacement;
    read += static_cast<size_t>(hit) + pattern.size();
  }
  return out + source.substr(read);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  // Layout: capacity byte, then three NUL-free texts separated by NUL bytes.
  const size_t capacity = data[0];
  std::string parts[3];
  int k = 0;
  for (size_t i = 1; i < size && k < 3; ++i) {
    if (data[i] == 0) {
      ++k;
    } else {
      parts[k] += static_cast<char>(data[i]);
    }
  }
  const std::string& source = parts[0];
  const std::string& pattern = parts[1];
  const std::string& replacement = parts[2];

  const char* hit = FindNoCase(pattern.c_str(), source.c_str());
  const long got = hit ? static_cast<long>(hit - source.c_str()) : -1;
  if (got != ReferenceFind(pattern, source)) __builtin_trap();

  const std::string expected = ReferenceReplace(source, pattern, replacement);
  if (ReplacedLength(source.c_str(), pattern.c_str(), replacement.c_str()) != expected.size()) __builtin_trap();
  // An exact-size heap block: one byte past it and AddressSanitizer stops the run.
  std::vector<char> out(capacity == 0 ? 1 : capacity);
  ReplaceAll(source.c_str(), pattern.c_str(), replacement.c_str(), out.data(), out.size());
  const std::string cut = expected.substr(0, out.size() - 1);
  if (cut != out.data()) __builtin_trap();

  std::vector<char> path(source.c_str(), source.c_str() + source.size() + 1);
  StripTrailingSeparator(path.data());
  if (std::strlen(path.data()) > source.size()) __builtin_trap();
  CutToParent(path.data());
  return 0;
}
