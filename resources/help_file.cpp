// Writes the library's help file in the Windows 3.1 help format and its contents file.
// The help file holds uncompressed text in one 4 KB topic block and one-page B+ trees,
// which keeps every position trivially computable and the output byte-for-byte stable.
#include "resources/help_file.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr HelpTopic kTopics[] = {
    {"overview", "Overview", {"Tarvel Lib", "overview"},
     {"Tarvel Lib is a component library for Delphi 3 to 7, Delphi 2005 and C++Builder 3 to 6.",
      "The setup program puts the library's units, packages and demo projects under the "
      "installation folder, builds the design-time packages with each IDE's own tools and "
      "registers them, so the components appear on the component palette.",
      "Installation tells what the setup program does; Components tells what the library holds.",
      nullptr}},
    {"installation", "Installation", {"installation", "uninstalling"},
     {"Run setup.exe and follow the wizard: tick the IDEs to install for, choose the destination "
      "folder and press Next.",
      "For every IDE ticked, setup builds and registers the library's packages and adds the "
      "library's folder to the IDE's library search path.",
      "To remove the library, use Add/Remove Programs: the uninstaller qlnclear.exe removes "
      "every file and registry entry that setup recorded in uninst.qln.",
      nullptr}},
    {"components", "Components", {"components", "TTarvelBox"},
     {"TTarvelBox is the library's main component: drop it on a form and set Active to start it.",
      "Delphi 6, Delphi 7 and C++Builder 6 also get a CLX package for cross-platform projects.",
      "The projects in the Demos folder show the components at work; each opens in Delphi and "
      "in C++Builder.",
      nullptr}},
};

constexpr char kTitle[] = "Tarvel Lib Help";
constexpr char kCopyright[] = "Copyright Tarvel Lib";
constexpr char kFileName[] = "tarvel.hlp";

constexpr uint32_t kNone = 0xFFFFFFFF;
constexpr size_t kTopicBlockSize = 4096;
constexpr size_t kTopicBlockHeader = 12;
constexpr size_t kTopicLinkHeader = 21;
constexpr size_t kTopicHeaderSize = 28;
constexpr unsigned kDirectoryPage = 1024;
constexpr unsigned kTreePage = 2048;

enum RecordType : uint8_t { kTopicHeader = 0x02, kDisplayText = 0x20 };
enum Font : unsigned { kBodyFont = 0, kHeadingFont = 1 };

// The viewer's per-character weights: letters fold to upper case, digits and the
// few punctuation marks legal in context names get small values.
constexpr std::array<int8_t, 256> kHashWeights = [] {
  std::array<int8_t, 256> t{};
  for (int c = 0; c < 256; ++c) {
    int v;
    if (c == 0) v = 0;
    else if (c < 48) v = 0xD0 + c;
    else if (c == 48) v = 10;
    else if (c < 91) v = c - 48;
    else if (c < 95) v = c - 80;
    else if (c == 95) v = 13;
    else if (c < 128) v = c - 80;
    else v = c - 48;
    if (c == '!' || c == 180) v = 11;
    if (c == '.') v = 12;
    t[c] = static_cast<int8_t>(static_cast<uint8_t>(v));
  }
  return t;
}();

void Put8(std::string* s, unsigned v) { s->push_back(static_cast<char>(v & 0xFF)); }
void Put16(std::string* s, unsigned v) {
  Put8(s, v);
  Put8(s, v >> 8);
}
void Put32(std::string* s, uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}
void PutZ(std::string* s, std::string_view text) {
  s->append(text);
  s->push_back('\0');
}
// Compressed numbers: the low bit says whether a second byte (word) follows.
void PutCompressedUShort(std::string* s, unsigned v) {
  if (v < 0x80) {
    Put8(s, v * 2);
  } else {
    Put8(s, ((v & 0x7F) << 1) | 1);
    Put8(s, v >> 7);
  }
}
void PutCompressedULong(std::string* s, uint32_t v) {
  if (v < 0x8000) {
    Put16(s, v * 2);
  } else {
    Put16(s, ((v & 0x7FFF) << 1) | 1);
    Put16(s, v >> 15);
  }
}
void PutCompressedShort(std::string* s, int v) { Put8(s, static_cast<unsigned>(v + 64) * 2); }

// An internal file: its header (reserved and used size, flags) and its bytes.
std::string InternalFile(const std::string& content) {
  std::string s;
  Put32(&s, static_cast<uint32_t>(content.size() + 9));
  Put32(&s, static_cast<uint32_t>(content.size()));
  Put8(&s, 4);
  return s + content;
}

// A B+ tree of one leaf page; the entries come already in key order.
bool BTree(const char* structure, bool directory, const std::vector<std::string>& entries, std::string* out) {
  const unsigned page = directory ? kDirectoryPage : kTreePage;
  size_t used = 8;
  for (const std::string& e : entries) used += e.size();
  if (used > page) return false;
  std::string& s = *out;
  Put16(&s, 0x293B);
  Put16(&s, directory ? 0x0402 : 0x0002);
  Put16(&s, page);
  std::array<char, 16> shape{};
  std::copy_n(structure, std::min<size_t>(std::string_view(structure).size(), shape.size() - 1), shape.begin());
  s.append(shape.data(), shape.size());
  Put16(&s, 0);       // must be zero
  Put16(&s, 0);       // page splits
  Put16(&s, 0);       // root page
  Put16(&s, 0xFFFF);  // must be -1
  Put16(&s, 1);       // pages
  Put16(&s, 1);       // levels
  Put32(&s, static_cast<uint32_t>(entries.size()));
  Put16(&s, static_cast<unsigned>(page - used));  // free bytes at the page's end
  Put16(&s, static_cast<unsigned>(entries.size()));
  Put16(&s, 0xFFFF);  // no previous leaf
  Put16(&s, 0xFFFF);  // no next leaf
  for (const std::string& e : entries) s += e;
  s.append(page - used, '\0');
  return true;
}

struct Link {
  RecordType type;
  size_t topic;
  std::string data1;
  std::string data2;
  uint32_t pos = 0;
  size_t Size() const { return kTopicLinkHeader + data1.size() + data2.size(); }
};

// One paragraph in one font: the text runs are an empty one (before the font is set)
// and the paragraph itself.
Link Paragraph(size_t topic, Font font, std::string_view text) {
  Link l{kDisplayText, topic, {}, {}};
  l.data2.push_back('\0');
  PutZ(&l.data2, text);
  PutCompressedULong(&l.data1, static_cast<uint32_t>(l.data2.size()));  // text size
  PutCompressedUShort(&l.data1, static_cast<unsigned>(l.data2.size()));  // characters counted for offsets
  Put8(&l.data1, 0);
  Put8(&l.data1, 0x80);
  Put16(&l.data1, 0);       // paragraph id
  Put16(&l.data1, 0x0002);  // spacing above follows
  PutCompressedShort(&l.data1, font == kHeadingFont ? 4 : 12);
  Put8(&l.data1, 0x80);  // font change
  Put16(&l.data1, font);
  Put8(&l.data1, 0x82);  // end of paragraph
  Put8(&l.data1, 0xFF);  // end of formatting
  return l;
}

size_t CharacterCount(const Link& l) { return l.type == kDisplayText ? l.data2.size() : 0; }

// The |TOPIC file in one block, and the topic offset at which each topic starts.
bool Topics(std::string* out, std::vector<uint32_t>* offsets) {
  const size_t n = std::size(kTopics);
  std::vector<Link> links;
  for (size_t t = 0; t < n; ++t) {
    Link header{kTopicHeader, t, std::string(kTopicHeaderSize, '\0'), {}};
    PutZ(&header.data2, kTopics[t].title);
    links.push_back(header);
    links.push_back(Paragraph(t, kHeadingFont, kTopics[t].title));
    for (const char* p : kTopics[t].body) {
      if (p != nullptr) links.push_back(Paragraph(t, kBodyFont, p));
    }
  }
  uint32_t pos = kTopicBlockHeader;
  size_t characters = 0;
  offsets->assign(n, 0);
  std::vector<uint32_t> topicBytes(n, 0);
  std::vector<uint32_t> headerPos(n, 0);
  for (Link& l : links) {
    l.pos = pos;
    pos += static_cast<uint32_t>(l.Size());
    if (l.type == kTopicHeader) {
      (*offsets)[l.topic] = static_cast<uint32_t>(characters);
      headerPos[l.topic] = l.pos;
    }
    characters += CharacterCount(l);
    topicBytes[l.topic] += static_cast<uint32_t>(l.Size());
  }
  // Every position is a plain byte offset only while all stays in the first block.
  if (pos > kTopicBlockSize || characters >= 0x8000) return false;
  for (size_t i = 0; i < links.size(); ++i) {
    Link& l = links[i];
    if (l.type != kTopicHeader) continue;
    const size_t t = l.topic;
    std::string h;
    Put32(&h, topicBytes[t]);
    Put32(&h, t > 0 ? (*offsets)[t - 1] : kNone);      // browse back
    Put32(&h, t + 1 < n ? (*offsets)[t + 1] : kNone);  // browse forward
    Put32(&h, static_cast<uint32_t>(t));
    Put32(&h, kNone);  // no non-scrolling region
    Put32(&h, links[i + 1].pos);
    Put32(&h, t + 1 < n ? headerPos[t + 1] : kNone);
    l.data1 = h;
  }
  std::string& s = *out;
  Put32(&s, kNone);  // no link in a previous block
  Put32(&s, kTopicBlockHeader);
  Put32(&s, kNone);  // no topic header in a previous block
  for (size_t i = 0; i < links.size(); ++i) {
    const Link& l = links[i];
    Put32(&s, static_cast<uint32_t>(l.Size()));
    Put32(&s, static_cast<uint32_t>(l.data2.size()));
    Put32(&s, i > 0 ? links[i - 1].pos : kNone);
    Put32(&s, i + 1 < links.size() ? links[i + 1].pos : kNone);
    Put32(&s, static_cast<uint32_t>(kTopicLinkHeader + l.data1.size()));
    Put8(&s, l.type);
    s += l.data1;
    s += l.data2;
  }
  s.append(kTopicBlockSize - s.size(), '\0');
  return true;
}

std::string System() {
  std::string s;
  Put16(&s, 0x036C);
  Put16(&s, 21);  // Windows 3.1 format
  Put16(&s, 1);
  Put32(&s, 0);  // no generation date: the build stays reproducible
  Put16(&s, 0);  // topics not compressed, 4 KB blocks
  auto record = [&](unsigned type, const std::string& data) {
    Put16(&s, type);
    Put16(&s, static_cast<unsigned>(data.size()));
    s += data;
  };
  std::string text;
  PutZ(&text, kTitle);
  record(1, text);
  text.clear();
  PutZ(&text, kCopyright);
  record(2, text);
  text.clear();
  Put32(&text, 0);  // the contents topic is the first
  record(3, text);
  return s;
}

std::string Fonts() {
  constexpr size_t kFaceSize = 20;
  struct Descriptor {
    unsigned attributes, halfPoints, red, green, blue;
  };
  constexpr Descriptor kFonts[] = {{0, 20, 0, 0, 0}, {1, 28, 0, 0, 0x80}};  // body, heading
  std::string s;
  Put16(&s, 1);
  Put16(&s, static_cast<unsigned>(std::size(kFonts)));
  Put16(&s, 8);
  Put16(&s, static_cast<unsigned>(8 + kFaceSize));
  std::string face = "Arial";
  face.resize(kFaceSize, '\0');
  s += face;
  for (const Descriptor& f : kFonts) {
    Put8(&s, f.attributes);
    Put8(&s, f.halfPoints);
    Put8(&s, 3);  // swiss family
    Put16(&s, 0);
    Put8(&s, f.red);
    Put8(&s, f.green);
    Put8(&s, f.blue);
    Put8(&s, 0xFF);
    Put8(&s, 0xFF);
    Put8(&s, 0xFF);
  }
  return s;
}

bool LessNoCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) { return static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + 32 : c); };
    return lower(x) < lower(y);
  });
}

struct NamedFile {
  const char* name;
  std::string content;
};

}  // namespace

std::span<const HelpTopic> HelpTopics() { return kTopics; }

uint32_t HelpContextHash(std::string_view name) {
  if (name.empty()) return 1;
  uint32_t hash = 0;
  for (char c : name) {
    hash = hash * 43 + static_cast<uint32_t>(static_cast<int32_t>(kHashWeights[static_cast<unsigned char>(c)]));
  }
  return hash;
}

std::string HelpFile() {
  std::string topic;
  std::vector<uint32_t> offsets;
  if (!Topics(&topic, &offsets)) return {};

  std::vector<std::pair<int32_t, uint32_t>> contexts;
  std::vector<std::pair<std::string, uint32_t>> keywords;
  std::vector<std::string> titles;
  for (size_t t = 0; t < std::size(kTopics); ++t) {
    contexts.push_back({static_cast<int32_t>(HelpContextHash(kTopics[t].context)), offsets[t]});
    for (const char* k : kTopics[t].keywords) {
      if (k != nullptr) keywords.push_back({k, offsets[t]});
    }
    std::string e;
    Put32(&e, offsets[t]);
    PutZ(&e, kTopics[t].title);
    titles.push_back(e);
  }
  std::sort(contexts.begin(), contexts.end());
  std::stable_sort(keywords.begin(), keywords.end(),
                   [](const auto& a, const auto& b) { return LessNoCase(a.first, b.first); });

  std::vector<std::string> contextEntries;
  for (const auto& [hash, offset] : contexts) {
    std::string e;
    Put32(&e, static_cast<uint32_t>(hash));
    Put32(&e, offset);
    contextEntries.push_back(e);
  }
  // Each keyword once in the tree, with the run of its topics in |KWDATA.
  std::vector<std::string> keywordEntries;
  std::string keywordData;
  for (size_t i = 0; i < keywords.size();) {
    size_t j = i;
    while (j < keywords.size() && !LessNoCase(keywords[i].first, keywords[j].first)) ++j;
    std::string e;
    PutZ(&e, keywords[i].first);
    Put16(&e, static_cast<unsigned>(j - i));
    Put32(&e, static_cast<uint32_t>(keywordData.size()));
    keywordEntries.push_back(e);
    for (; i < j; ++i) Put32(&keywordData, keywords[i].second);
  }
  std::string keywordMap;
  Put32(&keywordMap, 0);  // first keyword of the only leaf page
  Put16(&keywordMap, 0);

  std::vector<NamedFile> files(8);
  files[0].name = "|CONTEXT";
  files[1].name = "|FONT";
  files[2].name = "|KWBTREE";
  files[3].name = "|KWDATA";
  files[4].name = "|KWMAP";
  files[5].name = "|SYSTEM";
  files[6].name = "|TOPIC";
  files[7].name = "|TTLBTREE";
  if (!BTree("L4", false, contextEntries, &files[0].content)) return {};
  files[1].content = Fonts();
  if (!BTree("F24", false, keywordEntries, &files[2].content)) return {};
  files[3].content = keywordData;
  files[4].content = keywordMap;
  files[5].content = System();
  files[6].content = topic;
  if (!BTree("Lz", false, titles, &files[7].content)) return {};

  std::string body;
  std::vector<std::string> directory;
  for (const NamedFile& f : files) {
    std::string e;
    PutZ(&e, f.name);
    Put32(&e, static_cast<uint32_t>(16 + body.size()));
    directory.push_back(e);
    body += InternalFile(f.content);
  }
  std::string tree;
  if (!BTree("z4", true, directory, &tree)) return {};
  const std::string dir = InternalFile(tree);

  std::string s;
  Put32(&s, 0x00035F3F);
  Put32(&s, static_cast<uint32_t>(16 + body.size()));
  Put32(&s, kNone);  // no free list
  Put32(&s, static_cast<uint32_t>(16 + body.size() + dir.size()));
  return s + body + dir;
}

std::string HelpContents() {
  std::string s = std::string(":Base ") + kFileName + "\r\n:Title " + kTitle + "\r\n:Index " + kTitle + "=" +
                  kFileName + "\r\n1 Tarvel Lib\r\n";
  for (const HelpTopic& t : kTopics) s += std::string("2 ") + t.title + "=" + t.context + "\r\n";
  return s;
}
