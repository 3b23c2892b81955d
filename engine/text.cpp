// Case-folded text primitives: search, replace, separator and parent trimming.
#include "engine/text.h"

std::size_t TextLength(const char* text) {
  std::size_t n = 0;
  while (text[n] != '\0') ++n;
  return n;
}

const char* FindNoCase(const char* pattern, const char* subject) {
  if (*pattern == '\0') return subject;
  for (const char* start = subject; *start != '\0'; ++start) {
    const char* s = start;
    const char* p = pattern;
    while (*p != '\0' && *s != '\0' &&
           BytesMatch(static_cast<unsigned char>(*p), static_cast<unsigned char>(*s))) {
      ++p;
      ++s;
    }
    if (*p == '\0') return start;
    // The subject ran out before the pattern did: no later start can hold it either.
    if (*s == '\0') return nullptr;
  }
  return nullptr;
}

char* FindNoCase(const char* pattern, char* subject) {
  return const_cast<char*>(FindNoCase(pattern, static_cast<const char*>(subject)));
}

char* ReplaceAll(const char* source, const char* pattern, const char* replacement, char* out,
                 std::size_t outCapacity) {
  if (outCapacity == 0) return out;
  std::size_t room = outCapacity - 1;  // the NUL always fits
  char* w = out;
  auto put = [&](const char* from, std::size_t n) {
    if (n > room) n = room;
    for (std::size_t i = 0; i < n; ++i) w[i] = from[i];
    w += n;
    room -= n;
  };
  const std::size_t patternLength = TextLength(pattern);
  const std::size_t replacementLength = TextLength(replacement);
  const char* r = source;
  if (patternLength != 0) {
    for (const char* hit = FindNoCase(pattern, r); hit != nullptr; hit = FindNoCase(pattern, r)) {
      put(r, static_cast<std::size_t>(hit - r));
      put(replacement, replacementLength);
      r = hit + patternLength;
    }
  }
  put(r, TextLength(r));
  *w = '\0';
  return out;
}

std::size_t ReplacedLength(const char* source, const char* pattern, const char* replacement) {
  const std::size_t patternLength = TextLength(pattern);
  const std::size_t replacementLength = TextLength(replacement);
  std::size_t total = 0;
  const char* r = source;
  if (patternLength != 0) {
    for (const char* hit = FindNoCase(pattern, r); hit != nullptr; hit = FindNoCase(pattern, r)) {
      total += static_cast<std::size_t>(hit - r) + replacementLength;
      r = hit + patternLength;
    }
  }
  return total + TextLength(r);
}

static bool IsSeparator(char c) { return c == '\\' || c == '/'; }

void StripTrailingSeparator(char* path) {
  std::size_t n = TextLength(path);
  // The first byte is never examined, so the scan stops above index 0.
  for (std::size_t i = n; i-- > 1;) {
    const char c = path[i];
    if (c == ' ' || c == '"') continue;
    if (IsSeparator(c)) path[i] = '\0';
    return;
  }
}

void CutToParent(char* path) {
  StripTrailingSeparator(path);
  std::size_t n = TextLength(path);
  for (std::size_t i = n; i-- > 1;) {
    const char c = path[i];
    if (IsSeparator(c)) {
      path[i] = '\0';
      return;
    }
    if (c == ':') return;
  }
}

std::size_t CopyText(char* dst, std::size_t dstCapacity, const char* src) {
  if (dstCapacity == 0) return 0;
  std::size_t i = 0;
  for (; i + 1 < dstCapacity && src[i] != '\0'; ++i) dst[i] = src[i];
  dst[i] = '\0';
  return i;
}

std::size_t AppendText(char* dst, std::size_t dstCapacity, const char* src) {
  std::size_t used = 0;
  while (used < dstCapacity && dst[used] != '\0') ++used;
  if (used >= dstCapacity) return 0;
  return CopyText(dst + used, dstCapacity - used, src);
}
