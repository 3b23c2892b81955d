// The generated tarvel.hlp as the help viewer shows it: its window, its first topic, no error.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/driver/driver.h"

using namespace driver;

namespace {

constexpr char kTitle[] = "Tarvel Lib Help";

// A scratch folder holding the contents file under its installed name; *bytes gets the help file.
std::string InstalledCopy(const char* tag, std::string* bytes) {
  const std::string folder = FreshFolder(tag);
  std::string cnt;
  if (!ReadFileBytes(BuildPath("resources/payload/generated/201-tarvel.hlp"), bytes) ||
      !ReadFileBytes(BuildPath("resources/payload/generated/202-tarvel.cnt"), &cnt)) {
    return {};
  }
  if (!WriteFileBytes(folder + "\\tarvel.cnt", cnt)) return {};
  return folder;
}

// The viewer on one file; ended however the test leaves.
struct Viewer {
  Program p;
  ~Viewer() { Kill(p); }
};

bool StartViewer(const std::string& helpFile, Viewer* v) {
  return Start("winhlp32.exe \"" + helpFile + "\"", &v->p);
}

struct Finder {
  const char* classPart;
  HWND found;
};

BOOL CALLBACK FindChildProc(HWND w, LPARAM l) {
  Finder* f = reinterpret_cast<Finder*>(l);
  char name[64] = {};
  GetClassNameA(w, name, sizeof name);
  if (std::string(name).find(f->classPart) == std::string::npos) return TRUE;
  f->found = w;
  return FALSE;
}

// The first descendant whose class name contains classPart.
HWND FindChildByClass(HWND parent, const char* classPart) {
  Finder f{classPart, nullptr};
  EnumChildWindows(parent, FindChildProc, reinterpret_cast<LPARAM>(&f));
  return f.found;
}

}  // namespace

TEST(HelpFile, ViewerOpensItOnTheOverviewTopic) {
  std::string bytes;
  const std::string folder = InstalledCopy("helpfile", &bytes);
  ASSERT_FALSE(folder.empty());
  const std::string path = folder + "\\tarvel.hlp";
  ASSERT_TRUE(WriteFileBytes(path, bytes));
  Viewer v;
  ASSERT_TRUE(StartViewer(path, &v));
  Program& p = v.p;
  HWND main = WaitForWindow(p.pid, "MS_WINHELP", nullptr);
  ASSERT_NE(main, nullptr) << DescribeWindows(p.pid);
  // The viewer puts the file's own title first and its name and path after it.
  EXPECT_EQ(Text(main).rfind(kTitle, 0), 0u) << Text(main);
  EXPECT_EQ(FindTopWindow(p.pid, "#32770", nullptr), nullptr) << DescribeWindows(p.pid);
  std::string text;
  ASSERT_TRUE(WaitUntil([&] {
    HWND view = FindChildByClass(main, "RichEdit");
    text = view != nullptr ? Text(view) : "";
    return text.find("component library") != std::string::npos;
  })) << "topic text: '" << text << "'\n" << DescribeWindows(p.pid);
  EXPECT_EQ(text.find("Overview"), 0u) << text;
  std::printf("screenshot: %s\n", SaveScreenshot(main, "helpfile_overview").c_str());
  EXPECT_EQ(FindTopWindow(p.pid, "#32770", nullptr), nullptr) << DescribeWindows(p.pid);
  Close(main);
  DWORD code = 0;
  EXPECT_TRUE(WaitExit(p, 10000, &code)) << DescribeWindows(p.pid);
  RemoveTree(folder);
}

// The same check fails for a file the viewer cannot read, so a pass above means something.
TEST(HelpFile, ViewerReportsAFileWithABrokenDirectory) {
  std::string bytes;
  const std::string folder = InstalledCopy("helpfile_broken", &bytes);
  ASSERT_FALSE(folder.empty());
  ASSERT_GE(bytes.size(), 16u);
  bytes[4] = bytes[5] = bytes[6] = '\x7F';  // directory far past the end
  const std::string path = folder + "\\tarvel.hlp";
  ASSERT_TRUE(WriteFileBytes(path, bytes));
  Viewer v;
  ASSERT_TRUE(StartViewer(path, &v));
  Program& p = v.p;
  HWND box = nullptr;
  EXPECT_TRUE(WaitUntil([&] { return (box = FindTopWindow(p.pid, "#32770", nullptr)) != nullptr; }))
      << DescribeWindows(p.pid);
  if (box != nullptr) std::printf("viewer says: %s\n", MessageBoxText(box).c_str());
  Kill(p);
  RemoveTree(folder);
}
