// Case-folded search and replace on NUL-terminated 8-bit texts, and the two path
// trimmings the installer derives its destination from. Portable: no Windows headers.
#pragma once
#include <cstddef>

// Two bytes match when they are equal once bit 5 is set in both: letters match
// regardless of case, and so do a few punctuation and control pairs ('\\' and '|').
constexpr bool BytesMatch(unsigned char a, unsigned char b) { return (a | 0x20) == (b | 0x20); }

// Leftmost occurrence of pattern in subject, or nullptr. An empty pattern is found
// at the start of the subject.
const char* FindNoCase(const char* pattern, const char* subject);
char* FindNoCase(const char* pattern, char* subject);

// Copies source into out with every occurrence of pattern replaced, left to right,
// never searching inserted text again. Writes at most outCapacity bytes including
// the NUL: a longer result is cut. An empty pattern copies the source unchanged.
// out must not overlap the other texts. Returns out.
char* ReplaceAll(const char* source, const char* pattern, const char* replacement, char* out,
                 std::size_t outCapacity);

// Length the full result of ReplaceAll would have, without its NUL.
std::size_t ReplacedLength(const char* source, const char* pattern, const char* replacement);

// Drops one trailing separator ('\\' or '/') together with blanks and double quotes
// after it. The first byte is never removed.
void StripTrailingSeparator(char* path);

// Cuts a path to its parent directory; never cuts a drive designator ("C:").
void CutToParent(char* path);

// Copies src into dst, cut to dstCapacity bytes including the NUL. Returns the
// number of bytes copied, without the NUL.
std::size_t CopyText(char* dst, std::size_t dstCapacity, const char* src);

// Appends src to the text in dst, cut to dstCapacity bytes including the NUL.
std::size_t AppendText(char* dst, std::size_t dstCapacity, const char* src);

std::size_t TextLength(const char* text);
