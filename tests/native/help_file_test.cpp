// The generated help file read back by an independent reader: file system, |SYSTEM,
// the topic chain, and the trees that the contents file and the index lean on.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "resources/help_file.h"

namespace {

struct Reader {
  const std::string& b;
  bool ok = true;
  uint32_t U8(size_t at) {
    if (at + 1 > b.size()) return ok = false, 0;
    return static_cast<unsigned char>(b[at]);
  }
  uint32_t U16(size_t at) { return U8(at) | U8(at + 1) << 8; }
  uint32_t U32(size_t at) { return U16(at) | U16(at + 2) << 16; }
  std::string Z(size_t at, size_t end) {
    std::string s;
    while (at < end && at < b.size() && b[at] != '\0') s += b[at++];
    if (at >= end || at >= b.size()) ok = false;
    return s;
  }
};

struct Leaf {
  std::string key;  // names and keywords
  uint32_t number = 0;  // numeric keys
  size_t value = 0;     // offset of what follows the key
};

// The help file with its directory resolved; every check fails the test, not a crash.
struct HelpReader {
  std::string bytes = HelpFile();
  Reader r{bytes};
  std::map<std::string, std::pair<size_t, size_t>> files;  // name -> content offset, size

  void Open() {
    ASSERT_GE(bytes.size(), 16u);
    ASSERT_EQ(r.U32(0), 0x00035F3Fu);
    ASSERT_EQ(r.U32(8), 0xFFFFFFFFu) << "free list";
    ASSERT_EQ(r.U32(12), bytes.size());
    const uint32_t dir = r.U32(4);
    auto [treeAt, treeSize] = Internal(dir);
    ASSERT_TRUE(r.ok);
    std::vector<Leaf> leaves;
    Tree(treeAt, treeSize, 0x0400, 1024, 'z', &leaves);
    std::string previous;
    for (const Leaf& l : leaves) {
      EXPECT_LT(previous, l.key) << "directory order";
      previous = l.key;
      const uint32_t at = r.U32(l.value);
      EXPECT_GE(at, 16u) << l.key;
      EXPECT_LT(at, dir) << l.key << " must lie before the directory";
      files[l.key] = Internal(at);
    }
    ASSERT_TRUE(r.ok);
  }

  // An internal file's content; its header's two sizes must agree and fit.
  std::pair<size_t, size_t> Internal(size_t at) {
    const uint32_t reserved = r.U32(at), used = r.U32(at + 4);
    EXPECT_EQ(reserved, used + 9) << "at " << at;
    EXPECT_LE(at + 9 + used, bytes.size()) << "at " << at;
    if (at + 9 + used > bytes.size()) r.ok = false;
    return {at + 9, used};
  }

  // A one-level B+ tree's leaf entries; key is a string ('z') or a long ('L').
  void Tree(size_t at, size_t size, unsigned flag, unsigned pageSize, char keyKind, std::vector<Leaf>* leaves,
            size_t valueSize = 0) {
    ASSERT_EQ(r.U16(at), 0x293Bu);
    EXPECT_EQ(r.U16(at + 2) & (0x0002 | flag), 0x0002u | flag);
    ASSERT_EQ(r.U16(at + 4), pageSize);
    ASSERT_EQ(r.U16(at + 32), 1u) << "levels";
    const uint32_t pages = r.U16(at + 30), count = r.U32(at + 34);
    ASSERT_EQ(size, 38 + pages * pageSize);
    const size_t page = at + 38 + r.U16(at + 26) * pageSize;
    ASSERT_EQ(r.U16(page + 2), count);
    size_t p = page + 8;
    for (uint32_t i = 0; i < count; ++i) {
      Leaf l;
      if (keyKind == 'z') {
        l.key = r.Z(p, page + pageSize);
        p += l.key.size() + 1;
      } else {
        l.number = r.U32(p);
        p += 4;
      }
      l.value = p;
      if (valueSize == 0) {
        p += keyKind == 'z' ? 4 : r.Z(p, page + pageSize).size() + 1;
      } else {
        p += valueSize;
      }
      leaves->push_back(l);
    }
    EXPECT_EQ(r.U16(page), page + pageSize - p) << "free bytes";
    ASSERT_TRUE(r.ok);
  }

  std::pair<size_t, size_t> File(const char* name) { return files.at(name); }
};

struct TopicLink {
  uint32_t pos;
  uint8_t type;
  std::string title;  // topic headers only
};

TEST(HelpFileTest, DirectoryNamesTheViewersFilesInsideTheFile) {
  HelpReader h;
  ASSERT_NO_FATAL_FAILURE(h.Open());
  for (const char* name : {"|SYSTEM", "|TOPIC", "|FONT", "|CONTEXT", "|TTLBTREE", "|KWBTREE", "|KWDATA", "|KWMAP"}) {
    EXPECT_EQ(h.files.count(name), 1u) << name;
  }
}

TEST(HelpFileTest, SystemGivesVersionTitleAndFirstTopic) {
  HelpReader h;
  ASSERT_NO_FATAL_FAILURE(h.Open());
  auto [at, size] = h.File("|SYSTEM");
  EXPECT_EQ(h.r.U16(at), 0x036Cu);
  EXPECT_EQ(h.r.U16(at + 2), 21u);
  EXPECT_EQ(h.r.U16(at + 10), 0u) << "uncompressed";
  std::map<unsigned, size_t> records;
  for (size_t p = at + 12; p < at + size; p += 4 + h.r.U16(p + 2)) records[h.r.U16(p)] = p + 4;
  ASSERT_TRUE(records.count(1) && records.count(3));
  EXPECT_EQ(h.r.Z(records[1], at + size), "Tarvel Lib Help");
  EXPECT_EQ(h.r.U32(records[3]), 0u);
  EXPECT_TRUE(h.r.ok);
}

// Walks the links from the first; positions, back links and sizes must agree.
std::vector<TopicLink> WalkTopics(HelpReader& h) {
  std::vector<TopicLink> links;
  auto [at, size] = h.File("|TOPIC");
  EXPECT_EQ(size, 4096u);
  EXPECT_EQ(h.r.U32(at + 4), 12u) << "first link";
  uint32_t previous = 0xFFFFFFFF;
  for (uint32_t pos = 12; pos != 0xFFFFFFFF && links.size() < 100;) {
    const size_t p = at + pos;
    const uint32_t blockSize = h.r.U32(p), len2 = h.r.U32(p + 4), len1 = h.r.U32(p + 16);
    EXPECT_EQ(h.r.U32(p + 8), previous) << "link at " << pos;
    EXPECT_GE(len1, 21u);
    EXPECT_EQ(blockSize, len1 + len2) << "link at " << pos;
    EXPECT_LE(pos + blockSize, 4096u) << "link at " << pos;
    if (pos + blockSize > 4096 || len1 < 21) break;
    TopicLink l{pos, static_cast<uint8_t>(h.r.U8(p + 20)), {}};
    if (l.type == 2) l.title = h.r.Z(p + len1, p + blockSize);
    links.push_back(l);
    previous = pos;
    pos = h.r.U32(p + 12);
  }
  return links;
}

TEST(HelpFileTest, TopicChainHoldsEveryTopicInTableOrder) {
  HelpReader h;
  ASSERT_NO_FATAL_FAILURE(h.Open());
  std::vector<std::string> titles;
  for (const TopicLink& l : WalkTopics(h)) {
    EXPECT_TRUE(l.type == 2 || l.type == 0x20) << "link at " << l.pos;
    if (l.type == 2) titles.push_back(l.title);
  }
  std::vector<std::string> expected;
  for (const HelpTopic& t : HelpTopics()) expected.push_back(t.title);
  EXPECT_EQ(titles, expected);
  EXPECT_TRUE(h.r.ok);
}

// Every jump of the contents file finds its context, and that topic has the jump's title.
TEST(HelpFileTest, ContentsJumpsResolveThroughContextAndTitleTrees) {
  HelpReader h;
  ASSERT_NO_FATAL_FAILURE(h.Open());
  std::vector<Leaf> contexts, titles;
  auto [cAt, cSize] = h.File("|CONTEXT");
  ASSERT_NO_FATAL_FAILURE(h.Tree(cAt, cSize, 0, 2048, 'L', &contexts, 4));
  auto [tAt, tSize] = h.File("|TTLBTREE");
  ASSERT_NO_FATAL_FAILURE(h.Tree(tAt, tSize, 0, 2048, 'L', &titles));
  for (size_t i = 1; i < contexts.size(); ++i) {
    EXPECT_LT(static_cast<int32_t>(contexts[i - 1].number), static_cast<int32_t>(contexts[i].number));
  }
  std::map<uint32_t, std::string> titleAt;
  for (const Leaf& l : titles) titleAt[l.number] = h.r.Z(l.value, h.bytes.size());

  const std::string cnt = HelpContents();
  EXPECT_EQ(cnt.rfind(":Base tarvel.hlp\r\n", 0), 0u);
  size_t jumps = 0;
  for (size_t start = 0, end; (end = cnt.find("\r\n", start)) != std::string::npos; start = end + 2) {
    const std::string line = cnt.substr(start, end - start);
    const size_t eq = line.find('=');
    if (line.rfind("2 ", 0) != 0 || eq == std::string::npos) continue;
    ++jumps;
    const std::string title = line.substr(2, eq - 2), context = line.substr(eq + 1);
    const uint32_t hash = HelpContextHash(context);
    const Leaf* found = nullptr;
    for (const Leaf& l : contexts) found = l.number == hash ? &l : found;
    ASSERT_NE(found, nullptr) << line;
    EXPECT_EQ(titleAt[h.r.U32(found->value)], title) << line;
  }
  EXPECT_EQ(jumps, HelpTopics().size());
}

TEST(HelpFileTest, EveryKeywordListsItsTopic) {
  HelpReader h;
  ASSERT_NO_FATAL_FAILURE(h.Open());
  std::vector<Leaf> keywords, titles;
  auto [kAt, kSize] = h.File("|KWBTREE");
  ASSERT_NO_FATAL_FAILURE(h.Tree(kAt, kSize, 0, 2048, 'z', &keywords, 6));
  auto [tAt, tSize] = h.File("|TTLBTREE");
  ASSERT_NO_FATAL_FAILURE(h.Tree(tAt, tSize, 0, 2048, 'L', &titles));
  auto [dAt, dSize] = h.File("|KWDATA");
  std::map<uint32_t, std::string> titleAt;
  for (const Leaf& l : titles) titleAt[l.number] = h.r.Z(l.value, h.bytes.size());
  std::set<std::pair<std::string, std::string>> listed;  // keyword, topic title
  for (const Leaf& k : keywords) {
    const uint32_t count = h.r.U16(k.value), first = h.r.U32(k.value + 2);
    ASSERT_LE(first + 4 * count, dSize) << k.key;
    for (uint32_t i = 0; i < count; ++i) listed.insert({k.key, titleAt[h.r.U32(dAt + first + 4 * i)]});
  }
  for (const HelpTopic& t : HelpTopics()) {
    for (const char* k : t.keywords) {
      if (k == nullptr) continue;
      EXPECT_EQ(listed.count({k, t.title}), 1u) << k << " -> " << t.title;
    }
  }
}

TEST(HelpFileTest, OutputIsTheSameOnEveryRun) { EXPECT_EQ(HelpFile(), HelpFile()); }

TEST(HelpFileTest, ContextHashMatchesTheViewers) {
  static const struct {
    const char* name;
    uint32_t hash;
  } kRows[] = {
      {"", 1},           {"a", 0x11},         {"ab", 0x2ED},          {"Ab", 0x2ED},
      {"0", 0x0A},       {"a b", 0x782B},     {"overview", 0x98108E3D}, {"installation", 0xD1724062},
      {"topic_1.2", 0x4029AC9D},
  };
  for (const auto& row : kRows) EXPECT_EQ(HelpContextHash(row.name), row.hash) << "'" << row.name << "'";
}

}  // namespace
