// idekit.exe: makes a stand-in IDE root for tests and the demo — Bin\ with the
// stand-in build tools, Help\ with the version's help configuration and index
// files, and the IDE's registry entries.
//
//   idekit.exe VERSION ROOT [options]
//     VERSION  d3 d4 d5 d6 d7 d2005 bcb3 bcb4 bcb5 bcb6, or a folder name
//              (Delphi3 ... Delphi7, Delphi9, CBuilder3 ... CBuilder6)
//     ROOT     the IDE root to create, a Windows path
//   options
//     --rootdir=hklm|hkcu|none  where "RootDir" = ROOT is recorded (default hklm)
//     --empty-rootdir           record "RootDir" as the empty text instead
//     --keep-registry           keep the version's keys (normally both the
//                               HKLM and the HKCU key are deleted first)
//     --help-case[=FILE]        FILE (default: the version's first help
//                               configuration file) already holds the line the
//                               installer appends, in upper case
//     --help-empty=FILE         FILE exists but is empty
//     --help-missing=FILE       FILE is not created
//     --stale-packages=OLD      HKCU "Known Packages" holds the packages of an
//                               installation under OLD, a "TarvelLib.60.bpl" and
//                               two foreign packages (dclstd.bpl, tarvel_tools.bpl)
//     --library=OLD             HKCU "Library" search path value holding every
//                               stale form of the product's entry, between the
//                               IDE's own and foreign entries (see kit output)
//     --tool-delay=MS           every stand-in build takes MS milliseconds
//     --help                    prints this text
//   Exit code 0 when made, 1 when something could not be made, 2 on a usage error.
//   Any earlier journal (ROOT\buildtools.log) is deleted.
#include <windows.h>

#include <cstdio>

#include "engine/text.h"
#include "tools/standin.h"

namespace {

constexpr char kLinkLine[] = "\r\n:Link tarvel.hlp\r\n";
constexpr char kIndexLine[] = "\r\n:INDEX Tarvel Lib Help=tarvel.hlp\r\n";
constexpr char kLinkLineOtherCase[] = "\r\n:LINK TARVEL.HLP\r\n";
constexpr char kIndexLineOtherCase[] = "\r\n:index tarvel lib help=TARVEL.HLP\r\n";

struct HelpEdit {
  const char* file;
  bool index;  // gets the index line; otherwise the link line
};

struct IdeVersion {
  const char* id;
  const char* folder;
  const char* package;
  const char* key;
  const char* searchValue;
  const char* packageExt;
  bool builder;
  bool clx;
  HelpEdit edits[3];
  const char* helpIndex;
};

constexpr IdeVersion kVersions[] = {
    {"d3", "Delphi3", "tarveld3", "Software\\Borland\\Delphi\\3.0", "SearchPath", ".dpl", false, false,
     {{"Delphi3.cfg", false}}, "delphi3.gid"},
    {"d4", "Delphi4", "tarveld4", "Software\\Borland\\Delphi\\4.0", "Search Path", ".bpl", false, false,
     {{"Delphi4.cfg", false}, {"Delphi4.ohi", true}, {"Delphi4.ohl", false}}, "delphi4.gid"},
    {"d5", "Delphi5", "tarveld5", "Software\\Borland\\Delphi\\5.0", "Search Path", ".bpl", false, false,
     {{"Delphi5.ohi", true}, {"Delphi5.ohl", false}}, "delphi5.gid"},
    {"d6", "Delphi6", "tarveld6", "Software\\Borland\\Delphi\\6.0", "Search Path", ".bpl", false, true,
     {{"Delphi6.ohi", true}, {"Delphi6.ohl", false}}, "del6vcl.gid"},
    {"d7", "Delphi7", "tarveld7", "Software\\Borland\\Delphi\\7.0", "Search Path", ".bpl", false, true,
     {{"d7.ohi", true}, {"d7.ohl", false}}, "d7.gid"},
    {"d2005", "Delphi9", "tarveld9", "Software\\Borland\\BDS\\3.0", "Search Path", ".bpl", false, false, {}, nullptr},
    {"bcb3", "CBuilder3", "tarvelb3", "Software\\Borland\\C++Builder\\3.0", "Search Path", ".bpl", true, false,
     {{"bcb.ohi", true}}, "bcb.gid"},
    {"bcb4", "CBuilder4", "tarvelb4", "Software\\Borland\\C++Builder\\4.0", "Search Path", ".bpl", true, false,
     {{"bcb4.cfg", false}, {"bcb4.ohi", true}, {"bcb4.ohl", false}}, "bcb4.gid"},
    {"bcb5", "CBuilder5", "tarvelb5", "Software\\Borland\\C++Builder\\5.0", "Search Path", ".bpl", true, false,
     {{"bcb5.ohi", true}, {"bcb5.ohl", false}}, "bcb5.gid"},
    {"bcb6", "CBuilder6", "tarvelb6", "Software\\Borland\\C++Builder\\6.0", "Search Path", ".bpl", true, true,
     {{"bcb6.ohi", true}, {"bcb6.ohl", false}}, "bcb6vcl.gid"},
};

constexpr const char* kToolNames[] = {"dcc32.exe", "make.exe", "bpr2mak.exe"};

struct Options {
  const IdeVersion* version = nullptr;
  const char* root = nullptr;
  HKEY rootHive = HKEY_LOCAL_MACHINE;
  bool recordRoot = true;
  bool emptyRoot = false;
  bool keepRegistry = false;
  bool helpCase = false;
  const char* helpCaseFile = nullptr;
  const char* helpEmpty = nullptr;
  const char* helpMissing = nullptr;
  const char* stalePackagesRoot = nullptr;
  const char* libraryOldRoot = nullptr;
  unsigned toolDelay = 0;
};

// A small growable text for the registry data, command output and file paths.
struct Text {
  char data[8192];
  void Set(const char* s) { CopyText(data, sizeof data, s); }
  Text& Add(const char* s) {
    AppendText(data, sizeof data, s);
    return *this;
  }
};

void PrintUsage() {
  std::puts(
      "idekit.exe VERSION ROOT [options]: makes a stand-in IDE root\n"
      "  VERSION  d3 d4 d5 d6 d7 d2005 bcb3 bcb4 bcb5 bcb6 (or Delphi3..Delphi7, Delphi9, CBuilder3..CBuilder6)\n"
      "  ROOT     the IDE root to create (Bin\\ with dcc32.exe, make.exe, bpr2mak.exe; Help\\)\n"
      "  --rootdir=hklm|hkcu|none  where \"RootDir\" = ROOT is recorded (default hklm)\n"
      "  --empty-rootdir           record \"RootDir\" as the empty text\n"
      "  --keep-registry           do not delete the version's HKLM and HKCU keys first\n"
      "  --help-case[=FILE]        FILE (default: first help configuration file) already holds the line, upper case\n"
      "  --help-empty=FILE         FILE exists but is empty\n"
      "  --help-missing=FILE       FILE is not created\n"
      "  --stale-packages=OLD      stale and foreign \"Known Packages\" registrations (HKCU)\n"
      "  --library=OLD             \"Library\" search path with every stale form of the entry (HKCU)\n"
      "  --tool-delay=MS           every stand-in build takes MS milliseconds\n"
      "Exit code: 0 made, 1 something could not be made, 2 usage error.");
}

const IdeVersion* FindVersion(const char* name) {
  for (const IdeVersion& v : kVersions) {
    if (lstrcmpiA(name, v.id) == 0 || lstrcmpiA(name, v.folder) == 0) return &v;
  }
  return nullptr;
}

bool StartsWith(const char* text, const char* prefix, const char** rest) {
  const std::size_t n = TextLength(prefix);
  for (std::size_t i = 0; i < n; ++i) {
    if (text[i] != prefix[i]) return false;
  }
  *rest = text + n;
  return true;
}

bool ParseOptions(int argc, char** argv, Options& o) {
  int positional = 0;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    const char* value = nullptr;
    if (StartsWith(arg, "--rootdir=", &value)) {
      if (lstrcmpiA(value, "hklm") == 0) {
        o.rootHive = HKEY_LOCAL_MACHINE;
      } else if (lstrcmpiA(value, "hkcu") == 0) {
        o.rootHive = HKEY_CURRENT_USER;
      } else if (lstrcmpiA(value, "none") == 0) {
        o.recordRoot = false;
      } else {
        return false;
      }
    } else if (lstrcmpA(arg, "--empty-rootdir") == 0) {
      o.emptyRoot = true;
    } else if (lstrcmpA(arg, "--keep-registry") == 0) {
      o.keepRegistry = true;
    } else if (lstrcmpA(arg, "--help-case") == 0) {
      o.helpCase = true;
    } else if (StartsWith(arg, "--help-case=", &value)) {
      o.helpCase = true;
      o.helpCaseFile = value;
    } else if (StartsWith(arg, "--help-empty=", &value)) {
      o.helpEmpty = value;
    } else if (StartsWith(arg, "--help-missing=", &value)) {
      o.helpMissing = value;
    } else if (StartsWith(arg, "--stale-packages=", &value)) {
      o.stalePackagesRoot = value;
    } else if (StartsWith(arg, "--library=", &value)) {
      o.libraryOldRoot = value;
    } else if (StartsWith(arg, "--tool-delay=", &value)) {
      o.toolDelay = 0;
      for (const char* p = value; *p >= '0' && *p <= '9'; ++p) o.toolDelay = o.toolDelay * 10 + (*p - '0');
    } else if (arg[0] == '-' && arg[1] == '-') {
      return false;
    } else if (positional == 0) {
      o.version = FindVersion(arg);
      if (o.version == nullptr) return false;
      ++positional;
    } else if (positional == 1) {
      o.root = arg;
      ++positional;
    } else {
      return false;
    }
  }
  return o.version != nullptr && o.root != nullptr && o.root[0] != '\0';
}

bool MakeDirectories(const char* path) {
  char partial[MAX_PATH];
  const std::size_t n = CopyText(partial, sizeof partial, path);
  for (std::size_t i = 1; i <= n; ++i) {
    if (partial[i] != '\\' && partial[i] != '/' && partial[i] != '\0') continue;
    if (i >= 1 && partial[i - 1] == ':') continue;
    const char saved = partial[i];
    partial[i] = '\0';
    CreateDirectoryA(partial, nullptr);
    partial[i] = saved;
  }
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool WriteTextFile(const char* path, const char* text) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, text, static_cast<DWORD>(TextLength(text)), &written, nullptr);
  CloseHandle(file);
  return ok != FALSE;
}

void DeleteKeyTree(HKEY root, const char* subKey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, subKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  char child[256];
  DWORD size = sizeof child;
  while (RegEnumKeyExA(key, 0, child, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
    Text path;
    path.Set(subKey);
    path.Add("\\").Add(child);
    DeleteKeyTree(root, path.data);
    HKEY still = nullptr;
    if (RegOpenKeyExA(root, path.data, 0, KEY_READ, &still) == ERROR_SUCCESS) {
      RegCloseKey(still);
      break;  // a child that cannot go would be enumerated for ever
    }
    size = sizeof child;
  }
  RegCloseKey(key);
  RegDeleteKeyA(root, subKey);
}

bool SetString(HKEY root, const char* subKey, const char* name, const char* value) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(root, subKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const LONG status = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                     static_cast<DWORD>(TextLength(value) + 1));
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

bool CopyTools(const char* bin) {
  char from[MAX_PATH];
  GetModuleFileNameA(nullptr, from, sizeof from);
  CutToParent(from);
  bool ok = true;
  for (const char* tool : kToolNames) {
    Text source, target;
    source.Set(from);
    source.Add("\\").Add(tool);
    target.Set(bin);
    target.Add("\\").Add(tool);
    if (!CopyFileA(source.data, target.data, FALSE)) {
      std::fprintf(stderr, "idekit: cannot copy %s to %s\n", source.data, target.data);
      ok = false;
    }
  }
  return ok;
}

bool WriteToolConfig(const char* bin, const Options& o) {
  Text path, text;
  path.Set(bin);
  path.Add("\\").Add(kToolConfigName);
  char delay[16];
  wsprintfA(delay, "%u", o.toolDelay);
  text.Set("[tool]\r\nPackageExt=");
  text.Add(o.version->packageExt).Add("\r\nDelayMs=").Add(delay).Add("\r\n");
  return WriteTextFile(path.data, text.data);
}

bool MakeHelpFolder(const char* help, const Options& o) {
  const IdeVersion& v = *o.version;
  bool ok = true;
  for (int i = 0; i < 3 && v.edits[i].file != nullptr; ++i) {
    const HelpEdit& edit = v.edits[i];
    if (o.helpMissing != nullptr && lstrcmpiA(o.helpMissing, edit.file) == 0) continue;
    Text path, text;
    path.Set(help);
    path.Add("\\").Add(edit.file);
    text.Set("; help configuration of the stand-in IDE\r\n:Base ide.hlp\r\n:Link ide.hlp");
    const bool other = o.helpCase && (o.helpCaseFile != nullptr ? lstrcmpiA(o.helpCaseFile, edit.file) == 0 : i == 0);
    if (other) text.Add(edit.index ? kIndexLineOtherCase : kLinkLineOtherCase);
    if (o.helpEmpty != nullptr && lstrcmpiA(o.helpEmpty, edit.file) == 0) text.Set("");
    ok = WriteTextFile(path.data, text.data) && ok;
  }
  if (v.helpIndex != nullptr) {
    Text path;
    path.Set(help);
    path.Add("\\").Add(v.helpIndex);
    ok = WriteTextFile(path.data, "stand-in help index\r\n") && ok;
  }
  return ok;
}

bool WriteStalePackages(const Options& o) {
  const IdeVersion& v = *o.version;
  Text key;
  key.Set(v.key);
  key.Add("\\Known Packages");
  Text name;
  name.Set(o.stalePackagesRoot);
  name.Add("\\").Add(v.folder).Add("\\").Add(v.package).Add(v.packageExt);
  bool ok = SetString(HKEY_CURRENT_USER, key.data, name.data, "Tarvel Lib v6.40 (trial) VCL");
  if (v.clx) {
    name.Set(o.stalePackagesRoot);
    name.Add("\\").Add(v.folder).Add("\\").Add(v.package).Add("clx.bpl");
    ok = SetString(HKEY_CURRENT_USER, key.data, name.data, "Tarvel Lib v6.40 (trial) CLX") && ok;
  }
  ok = SetString(HKEY_CURRENT_USER, key.data, "$(DELPHI)\\Projects\\Bpl\\TARVELLIB.60.BPL", "Tarvel Lib 6.0") && ok;
  ok = SetString(HKEY_CURRENT_USER, key.data, "$(DELPHI)\\Bin\\dclstd.bpl", "Standard Components") && ok;
  ok = SetString(HKEY_CURRENT_USER, key.data, "C:\\Vendors\\tarvel_tools.bpl", "Tarvel tools of another vendor") && ok;
  return ok;
}

// The IDE's own entries first, then every shape of stale product entry, then
// foreign entries that must stay (one of them only starts like a stale entry).
bool WriteLibrary(const Options& o, const char* shortRoot, Text& value) {
  const IdeVersion& v = *o.version;
  const char* ide = v.builder ? "$(BCB)" : "$(DELPHI)";
  value.Set(ide);
  value.Add("\\Lib;").Add(ide).Add("\\Bin");
  value.Add(";").Add(o.root).Add("\\add\\tarvellib");
  value.Add(";").Add(o.root).Add("\\\\add\\tarvellib");
  value.Add(";").Add(o.libraryOldRoot).Add("\\").Add(v.folder);
  value.Add(";$(DELPHI)\\ADD\\TARVELLIB;$(BCB)\\Add\\TarvelLib");
  value.Add(";").Add(shortRoot).Add("\\add\\tarvellib");
  value.Add(";").Add(shortRoot).Add("\\\\add\\tarvellib");
  value.Add(";C:\\Foreign\\Lib;").Add(o.libraryOldRoot).Add("\\").Add(v.folder).Add("Extra");
  Text key;
  key.Set(v.key);
  key.Add("\\Library");
  return SetString(HKEY_CURRENT_USER, key.data, v.searchValue, value.data);
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (lstrcmpA(argv[i], "--help") == 0 || lstrcmpA(argv[i], "/?") == 0) {
      PrintUsage();
      return 0;
    }
  }
  Options o;
  if (!ParseOptions(argc, argv, o)) {
    PrintUsage();
    return 2;
  }
  // The kit is made only where a full path names it: a relative or drive-relative
  // root would land in whatever folder, or on whatever drive, the caller stands in.
  const char* r = o.root;
  if (!(((r[0] | 0x20) >= 'a' && (r[0] | 0x20) <= 'z') && r[1] == ':' && r[2] == '\\' && r[3] != '\0')) {
    std::fprintf(stderr, "idekit: the IDE root must be a full path below a drive's root, not '%s'\n", r);
    return 2;
  }
  const IdeVersion& v = *o.version;
  Text bin, help, journal;
  bin.Set(o.root);
  bin.Add("\\Bin");
  help.Set(o.root);
  help.Add("\\Help");
  journal.Set(o.root);
  journal.Add("\\").Add(kJournalName);

  bool ok = MakeDirectories(bin.data) && MakeDirectories(help.data);
  if (!ok) {
    std::fprintf(stderr, "idekit: cannot create %s\n", o.root);
    return 1;
  }
  DeleteFileA(journal.data);
  ok = CopyTools(bin.data) && ok;
  ok = WriteToolConfig(bin.data, o) && ok;
  ok = MakeHelpFolder(help.data, o) && ok;

  if (!o.keepRegistry) {
    DeleteKeyTree(HKEY_LOCAL_MACHINE, v.key);
    DeleteKeyTree(HKEY_CURRENT_USER, v.key);
  }
  if (o.recordRoot) ok = SetString(o.rootHive, v.key, "RootDir", o.emptyRoot ? "" : o.root) && ok;
  if (o.stalePackagesRoot != nullptr) ok = WriteStalePackages(o) && ok;

  char shortRoot[MAX_PATH];
  if (GetShortPathNameA(o.root, shortRoot, sizeof shortRoot) == 0) CopyText(shortRoot, sizeof shortRoot, o.root);
  std::printf("%s %s: key %s, short root %s\n", v.folder, o.root, v.key, shortRoot);
  if (o.libraryOldRoot != nullptr) {
    static Text value;
    ok = WriteLibrary(o, shortRoot, value) && ok;
    std::printf("%s = %s\n", v.searchValue, value.data);
  }
  if (!ok) std::fprintf(stderr, "idekit: %s is incomplete\n", o.root);
  return ok ? 0 : 1;
}
