// The install scripts. The ten IDE scripts are expansions of two templates (Delphi and
// C++Builder) over one parameter row each. The compiler builds them with pointers to
// literals, gathers every distinct text into one pool and packs the steps into offsets
// into it; only the pool and the packed steps are in the program.
#include "engine/script_tables.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

#include "engine/macros.h"
#include "resources/product_info.h"

namespace {

// A step as the templates write it; never in the program, only packed.
struct Source {
  const char* a = nullptr;
  const char* bText = nullptr;
  std::uint32_t bId = 0;
  const char* c = nullptr;
  Opcode opcode = Opcode::ExtractPayload;
};
constexpr Source kEnd{};

constexpr int Count(const Source* script) {
  int n = 0;
  while (script[n].a != nullptr) ++n;
  return n;
}

#define HOME_SUB "$HOME_DIR$\\$SUB_DIR$\\"
#define PACKAGE HOME_SUB "$SUB_FILE$"

constexpr const char kFolder[] = "$HOME_DIR$\\$SUB_DIR$";
constexpr const char kExtracting[] = "Files extracting ...";
constexpr const char kCompiling[] = "Compiling package ...";
constexpr const char kVclDescription[] = "Tarvel Lib v6.49 (trial) VCL";
constexpr const char kClxDescription[] = "Tarvel Lib v6.49 (trial) CLX";
constexpr const char kLinkLine[] = "\r\n:Link tarvel.hlp\r\n";
constexpr const char kIndexLine[] = "\r\n:INDEX Tarvel Lib Help=tarvel.hlp\r\n";
constexpr std::uint32_t kMiddleText = 102;
constexpr std::uint32_t kStatusText = 105;
constexpr std::uint32_t kBuilderPackageRes = 8302;

// A library source unit: the extracted source and the files a build makes from it.
struct SourceUnit {
  const char* pas;
  const char* dcu;
  const char* obj;
  const char* hpp;
  std::uint32_t id;
};
#define SOURCE_UNIT(name, id) {HOME_SUB name ".pas", HOME_SUB name ".dcu", HOME_SUB name ".obj", HOME_SUB name ".hpp", id}

constexpr SourceUnit kSources[6] = {
    SOURCE_UNIT("tvsysutils", 73), SOURCE_UNIT("tvtapi", 74),      SOURCE_UNIT("tarvellibreg", 75),
    SOURCE_UNIT("crc", 77),        SOURCE_UNIT("tvsemaphore", 71), SOURCE_UNIT("tarvelbox", 78),
};
constexpr SourceUnit kClxSources[6] = {
    SOURCE_UNIT("qtvsysutils", 3073), SOURCE_UNIT("qtvtapi", 3074),      SOURCE_UNIT("qtarvellibreg", 3075),
    SOURCE_UNIT("qcrc", 3077),        SOURCE_UNIT("qtvsemaphore", 3071), SOURCE_UNIT("qtarvelbox", 3078),
};
// The Delphi CLX package extracts its sources in this order (indexes into kClxSources).
constexpr int kClxDelphiOrder[6] = {4, 0, 1, 2, 3, 5};

// A precompiled unit, placed in an ID block by its number s.
struct Precompiled {
  std::uint32_t s;
  const char* dcu;
  const char* obj;
  const char* hpp;
};
#define PRECOMPILED(s, name) {s, HOME_SUB name ".dcu", HOME_SUB name ".obj", HOME_SUB name ".hpp"}

constexpr Precompiled kUnits[16] = {
    PRECOMPILED(2, "tarvel"),      PRECOMPILED(4, "tarveltapi"), PRECOMPILED(5, "tvzmodem"),
    PRECOMPILED(6, "tvlogfile"),   PRECOMPILED(7, "tvbarcode"),  PRECOMPILED(8, "tvclasses"),
    PRECOMPILED(9, "tvwin32"),     PRECOMPILED(10, "tvwave"),    PRECOMPILED(11, "tvspeech"),
    PRECOMPILED(12, "tvsapi"),     PRECOMPILED(13, "tvwavebase"), PRECOMPILED(14, "tvusb"),
    PRECOMPILED(15, "tvusbw32"),   PRECOMPILED(16, "tvlpt"),     PRECOMPILED(17, "tvterminal"),
    PRECOMPILED(18, "tvddbasew32"),
};
// The CLX package has no terminal unit (17).
constexpr Precompiled kClxUnits[15] = {
    PRECOMPILED(2, "qtarvel"),     PRECOMPILED(4, "qtarveltapi"), PRECOMPILED(5, "qtvzmodem"),
    PRECOMPILED(6, "qtvlogfile"),  PRECOMPILED(7, "qtvbarcode"),  PRECOMPILED(8, "qtvclasses"),
    PRECOMPILED(9, "qtvwin32"),    PRECOMPILED(10, "qtvwave"),    PRECOMPILED(11, "qtvspeech"),
    PRECOMPILED(12, "qtvsapi"),    PRECOMPILED(13, "qtvwavebase"), PRECOMPILED(14, "qtvusb"),
    PRECOMPILED(15, "qtvusbw32"),  PRECOMPILED(16, "qtvlpt"),     PRECOMPILED(18, "qtvddbasew32"),
};

// One line appended to an IDE help configuration file.
struct HelpEdit {
  const char* file;  // "$DELPHI_DIR$\Help\..."
  const char* line;
};
#define HELP(name) "$DELPHI_DIR$\\Help\\" name

enum class Build { Dcc32, Make, Bpr2MakThenMake };

// What distinguishes one IDE script from another of its family.
struct IdeParams {
  const char* folder;
  const char* package;
  std::uint32_t base;
  bool dpl;                 // Delphi 3 names its package ".dpl"
  Build build;
  std::uint32_t clxBase;    // 0: no CLX package
  const char* searchValue;
  HelpEdit help[3];
  int helpCount;
  const char* helpIndex;    // nullptr: none
};

template <std::size_t N>
struct Builder {
  std::array<Source, N> steps{};  // the value-initialised last step is the end marker
  std::size_t n = 0;
  constexpr void Add(Opcode op, const char* a, const char* bText = nullptr, std::uint32_t bId = 0,
                     const char* c = nullptr) {
    steps[n++] = Source{a, bText, bId, c, op};
  }
  constexpr void Extract(const char* a, std::uint32_t id) { Add(Opcode::ExtractPayload, a, nullptr, id); }
  constexpr void Record(const char* a) { Add(Opcode::RecordBuildOutput, a); }
};

constexpr std::size_t ClosingSteps(const IdeParams& p) {
  return 1 + static_cast<std::size_t>(p.helpCount) + (p.helpIndex != nullptr ? 1 : 0);
}

constexpr std::size_t DelphiSteps(const IdeParams& p) { return 46 + (p.clxBase != 0 ? 33 : 0) + ClosingSteps(p); }

constexpr std::size_t BuilderSteps(const IdeParams& p) {
  return (p.build == Build::Make ? 97 : 99) + (p.clxBase != 0 ? 85 : 0) + ClosingSteps(p);
}

template <std::size_t N>
constexpr void Opening(Builder<N>& s, const IdeParams& p) {
  s.Add(Opcode::SetSubDir, p.folder);
  s.Add(Opcode::MakeDirectory, kFolder);
  s.Add(Opcode::SetSubFile, p.package);
  s.Add(Opcode::ShowText, p.folder, nullptr, kMiddleText);
  s.Add(Opcode::ShowText, kExtracting, nullptr, kStatusText);
}

template <std::size_t N>
constexpr void Closing(Builder<N>& s, const IdeParams& p) {
  s.Add(Opcode::UpdateSearchPath, ";$HOME_DIR$\\$SUB_DIR$", p.searchValue);
  for (int i = 0; i < p.helpCount; ++i) s.Add(Opcode::AppendOnce, p.help[i].file, p.help[i].line);
  if (p.helpIndex != nullptr) s.Add(Opcode::RemoveFile, p.helpIndex);
}

template <std::size_t N>
constexpr std::array<Source, N + 1> DelphiScript(const IdeParams& p) {
  Builder<N + 1> s;
  const std::uint32_t b = p.base;
  const char* package = p.dpl ? PACKAGE ".dpl" : PACKAGE ".bpl";
  Opening(s, p);
  s.Extract(PACKAGE ".dpk", b);
  s.Extract(PACKAGE ".res", b + 1);
  for (const SourceUnit& u : kSources) {
    s.Extract(u.pas, u.id);
    s.Record(u.dcu);
  }
  s.Extract(HOME_SUB "tarvellib.inc", 79);
  for (const Precompiled& u : kUnits) s.Extract(u.dcu, b + u.s);
  s.Add(Opcode::ShowText, kCompiling, nullptr, kStatusText);
  s.Extract(HOME_SUB "tarvellib.dcr", 100);
  s.Extract(HOME_SUB "tvddio.res", 101);
  s.Add(Opcode::RunBuildTool, "\"$DELPHI_DIR$\\Bin\\dcc32.exe\" \"$SUB_FILE$.dpk\"", kFolder);
  s.Add(Opcode::CopyToFile, package, p.dpl ? "$SYS_DIR$\\$SUB_FILE$.dpl" : "$SYS_DIR$\\$SUB_FILE$.bpl");
  s.Record(package);
  s.Record(PACKAGE ".dcp");
  s.Record(PACKAGE ".dcu");
  s.Add(Opcode::PruneRegistrations, package);
  s.Add(Opcode::RegisterPackage, package, kVclDescription);
  if (p.clxBase != 0) {
    const std::uint32_t x = p.clxBase;
    s.Extract(PACKAGE "clx.dpk", x);
    s.Extract(PACKAGE "clx.res", x + 1);
    for (int i : kClxDelphiOrder) s.Extract(kClxSources[i].pas, kClxSources[i].id);
    s.Extract(HOME_SUB "qtarvellib.inc", 3079);
    for (const Precompiled& u : kClxUnits) s.Extract(u.dcu, x + u.s);
    s.Add(Opcode::ShowText, kCompiling, nullptr, kStatusText);
    s.Extract(HOME_SUB "tarvellib.dcr", 100);
    s.Extract(HOME_SUB "tvddio.res", 101);
    s.Add(Opcode::RunBuildTool, "\"$DELPHI_DIR$\\Bin\\dcc32.exe\" \"$SUB_FILE$clx.dpk\"", kFolder);
    s.Add(Opcode::CopyToFile, PACKAGE "clx.bpl", "$SYS_DIR$\\$SUB_FILE$clx.bpl");
    s.Record(PACKAGE "clx.bpl");
    s.Record(PACKAGE "clx.dcp");
    s.Record(PACKAGE "clx.dcu");
    s.Add(Opcode::RegisterPackage, PACKAGE "clx.bpl", kClxDescription);
  }
  Closing(s, p);
  return s.steps;
}

template <std::size_t N>
constexpr void BuilderUnits(Builder<N>& s, const SourceUnit (&sources)[6], const char* include, std::uint32_t includeId,
                            const Precompiled* units, int unitCount, std::uint32_t c) {
  for (const SourceUnit& u : sources) {
    s.Extract(u.pas, u.id);
    s.Record(u.dcu);
    s.Record(u.obj);
    s.Record(u.hpp);
  }
  s.Extract(include, includeId);
  for (int i = 0; i < unitCount; ++i) {
    s.Extract(units[i].obj, c + 3 * units[i].s - 3);
    s.Extract(units[i].hpp, c + 3 * units[i].s - 2);
    s.Extract(units[i].dcu, c + 3 * units[i].s - 1);
  }
  s.Extract(HOME_SUB "tarvellib.dcr", 100);
  s.Extract(HOME_SUB "tvddio.res", 101);
}

template <std::size_t N>
constexpr std::array<Source, N + 1> BuilderScript(const IdeParams& p) {
  Builder<N + 1> s;
  const std::uint32_t c = p.base;
  Opening(s, p);
  s.Extract(PACKAGE ".bpk", c);
  s.Extract(PACKAGE ".cpp", c + 1);
  s.Extract(PACKAGE ".res", kBuilderPackageRes);
  BuilderUnits(s, kSources, HOME_SUB "tarvellib.inc", 79, kUnits, 16, c);
  s.Add(Opcode::ShowText, kCompiling, nullptr, kStatusText);
  if (p.build == Build::Make) {
    s.Add(Opcode::RunBuildTool, "\"$DELPHI_DIR$\\Bin\\make.exe\" /f$SUB_FILE$.bpk", kFolder);
  } else {
    s.Add(Opcode::RunBuildTool, "\"$DELPHI_DIR$\\Bin\\bpr2mak.exe\" -o$SUB_FILE$.mak $SUB_FILE$.bpk", kFolder);
    // The trailing lone quote is part of the command line as the IDE documents it.
    s.Add(Opcode::RunBuildTool, "\"$DELPHI_DIR$\\Bin\\make.exe\" /f$SUB_FILE$.mak\"", kFolder);
  }
  s.Add(Opcode::CopyToFile, PACKAGE ".bpl", "$SYS_DIR$\\$SUB_FILE$.bpl");
  s.Record(PACKAGE ".bpl");
  s.Record(PACKAGE ".lib");
  s.Record(PACKAGE ".bpi");
  s.Record(PACKAGE ".tds");
  if (p.build != Build::Make) s.Record(PACKAGE ".mak");
  s.Record(PACKAGE ".ilc");
  s.Record(PACKAGE ".ild");
  s.Record(PACKAGE ".ilf");
  s.Record(PACKAGE ".ils");
  s.Record(PACKAGE ".obj");
  s.Add(Opcode::PruneRegistrations, PACKAGE ".bpl");
  s.Add(Opcode::RegisterPackage, PACKAGE ".bpl", kVclDescription);
  if (p.clxBase != 0) {
    const std::uint32_t x = p.clxBase;
    s.Extract(PACKAGE "clx.bpk", x);
    s.Extract(PACKAGE "clx.cpp", x + 1);
    s.Extract(PACKAGE "clx.res", kBuilderPackageRes);
    BuilderUnits(s, kClxSources, HOME_SUB "qtarvellib.inc", 3079, kClxUnits, 15, x);
    s.Add(Opcode::RunBuildTool, "\"$DELPHI_DIR$\\Bin\\bpr2mak.exe\" -o$SUB_FILE$clx.mak $SUB_FILE$clx.bpk", kFolder);
    s.Add(Opcode::RunBuildTool, "\"$DELPHI_DIR$\\Bin\\make.exe\" /f$SUB_FILE$clx.mak\"", kFolder);
    s.Record(PACKAGE "clx.bpl");
    s.Record(PACKAGE "clx.lib");
    s.Record(PACKAGE "clx.bpi");
    s.Record(PACKAGE "clx.tds");
    s.Record(PACKAGE "clx.mak");
    s.Record(PACKAGE "clx.obj");
    s.Add(Opcode::CopyToFile, PACKAGE "clx.bpl", "$SYS_DIR$\\$SUB_FILE$clx.bpl");
    s.Add(Opcode::RegisterPackage, PACKAGE "clx.bpl", kClxDescription);
  }
  Closing(s, p);
  return s.steps;
}

// The parameter rows.
constexpr IdeParams kD3 = {"Delphi3", "tarveld3", 300, true, Build::Dcc32, 0, "SearchPath",
                           {{HELP("Delphi3.cfg"), kLinkLine}}, 1, HELP("delphi3.gid")};
constexpr IdeParams kD4 = {"Delphi4", "tarveld4", 400, false, Build::Dcc32, 0, "Search Path",
                           {{HELP("Delphi4.cfg"), kLinkLine}, {HELP("Delphi4.ohi"), kIndexLine}, {HELP("Delphi4.ohl"), kLinkLine}},
                           3, HELP("delphi4.gid")};
constexpr IdeParams kD5 = {"Delphi5", "tarveld5", 500, false, Build::Dcc32, 0, "Search Path",
                           {{HELP("Delphi5.ohi"), kIndexLine}, {HELP("Delphi5.ohl"), kLinkLine}}, 2, HELP("delphi5.gid")};
constexpr IdeParams kD6 = {"Delphi6", "tarveld6", 600, false, Build::Dcc32, 2600, "Search Path",
                           {{HELP("Delphi6.ohi"), kIndexLine}, {HELP("Delphi6.ohl"), kLinkLine}}, 2, HELP("del6vcl.gid")};
constexpr IdeParams kD7 = {"Delphi7", "tarveld7", 700, false, Build::Dcc32, 2700, "Search Path",
                           {{HELP("d7.ohi"), kIndexLine}, {HELP("d7.ohl"), kLinkLine}}, 2, HELP("d7.gid")};
constexpr IdeParams kD2005 = {"Delphi9", "tarveld9", 900, false, Build::Dcc32, 0, "Search Path", {}, 0, nullptr};
constexpr IdeParams kB3 = {"CBuilder3", "tarvelb3", 8300, false, Build::Make, 0, "Search Path",
                           {{HELP("bcb.ohi"), kIndexLine}}, 1, HELP("bcb.gid")};
constexpr IdeParams kB4 = {"CBuilder4", "tarvelb4", 8400, false, Build::Make, 0, "Search Path",
                           {{HELP("bcb4.cfg"), kLinkLine}, {HELP("bcb4.ohi"), kIndexLine}, {HELP("bcb4.ohl"), kLinkLine}},
                           3, HELP("bcb4.gid")};
constexpr IdeParams kB5 = {"CBuilder5", "tarvelb5", 8500, false, Build::Bpr2MakThenMake, 0, "Search Path",
                           {{HELP("bcb5.ohi"), kIndexLine}, {HELP("bcb5.ohl"), kLinkLine}}, 2, HELP("bcb5.gid")};
constexpr IdeParams kB6 = {"CBuilder6", "tarvelb6", 8600, false, Build::Bpr2MakThenMake, 28600, "Search Path",
                           {{HELP("bcb6.ohi"), kIndexLine}, {HELP("bcb6.ohl"), kLinkLine}}, 2, HELP("bcb6vcl.gid")};

constexpr auto kD3Script = DelphiScript<DelphiSteps(kD3)>(kD3);
constexpr auto kD4Script = DelphiScript<DelphiSteps(kD4)>(kD4);
constexpr auto kD5Script = DelphiScript<DelphiSteps(kD5)>(kD5);
constexpr auto kD6Script = DelphiScript<DelphiSteps(kD6)>(kD6);
constexpr auto kD7Script = DelphiScript<DelphiSteps(kD7)>(kD7);
constexpr auto kD2005Script = DelphiScript<DelphiSteps(kD2005)>(kD2005);
constexpr auto kB3Script = BuilderScript<BuilderSteps(kB3)>(kB3);
constexpr auto kB4Script = BuilderScript<BuilderSteps(kB4)>(kB4);
constexpr auto kB5Script = BuilderScript<BuilderSteps(kB5)>(kB5);
constexpr auto kB6Script = BuilderScript<BuilderSteps(kB6)>(kB6);

constexpr Source kSharedScript[] = {
    {"$HOME_DIR$\\readme.txt", nullptr, 200, nullptr, Opcode::ExtractPayload},
    {"$HOME_DIR$\\license.txt", nullptr, 203, nullptr, Opcode::ExtractPayload},
    {"$SYS_DIR$\\qlnclear.exe", nullptr, 7, nullptr, Opcode::ExtractPayload},
    {"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvel Lib", "DisplayName", 0,
     TARVEL_APPS_NAME, Opcode::SetMachineValue},
    // Unquoted: the uninstaller takes everything after its name as the log path. The
    // Apps entry then names the uninstaller in full (engine/uninstall_entry.cpp).
    {"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvel Lib", "UninstallString", 0,
     "qlnclear.exe $HOME_DIR$\\uninst.qln", Opcode::SetMachineValue},
    kEnd,
};

// A demo project: its folder and eight files (project .dpr, .bpr, .cpp, .res; unit
// .pas, .dfm, .cpp, .h), each with its payload ID.
#define DEMO_FILE(folder, file, id) {HOME_SUB folder "\\" file, nullptr, id, nullptr, Opcode::ExtractPayload}
#define DEMO(folder, project, unit, i1, i2, i3, i4, i5, i6, i7, i8)                                        \
  DEMO_FILE(folder, project ".dpr", i1), DEMO_FILE(folder, project ".bpr", i2),                           \
      DEMO_FILE(folder, project ".cpp", i3), DEMO_FILE(folder, project ".res", i4),                       \
      DEMO_FILE(folder, unit ".pas", i5), DEMO_FILE(folder, unit ".dfm", i6), DEMO_FILE(folder, unit ".cpp", i7), \
      DEMO_FILE(folder, unit ".h", i8)
#define DEMO_DIR(folder) {HOME_SUB folder, nullptr, 0, nullptr, Opcode::MakeDirectory}

constexpr Source kDemoScript[] = {
    {"Demos", nullptr, 0, nullptr, Opcode::SetSubDir},
    {kFolder, nullptr, 0, nullptr, Opcode::MakeDirectory},
    DEMO_DIR("DTerminal"), DEMO_DIR("TAPIDemo"), DEMO_DIR("BarCode"), DEMO_DIR("Speech"),
    DEMO_DIR("Voice"), DEMO_DIR("Codes"), DEMO_DIR("EventList"), DEMO_DIR("LptDemo"),
    DEMO("DTerminal", "dterminal", "unit1", 1, 2, 3, 4, 5, 6, 8, 9),
    DEMO("TAPIDemo", "tapidemo", "unit1", 11, 12, 13, 14, 15, 16, 17, 18),
    DEMO("BarCode", "barcodescan", "unit1", 21, 22, 23, 24, 25, 26, 27, 28),
    DEMO("Speech", "speechdemo", "mainfrm", 29, 30, 31, 32, 33, 34, 35, 36),
    DEMO("Voice", "voicedemo", "mainfrm", 37, 38, 39, 40, 41, 42, 43, 44),
    DEMO_FILE("Voice", "welcome.wav", 45),
    DEMO("Codes", "codes_demo", "unit1", 46, 47, 48, 49, 50, 51, 52, 53),
    DEMO("EventList", "evlistdemo", "unit1", 54, 55, 56, 57, 58, 59, 60, 61),
    DEMO("LptDemo", "lptdemo", "unit1", 62, 63, 64, 65, 66, 67, 68, 69),
    kEnd,
};

constexpr Source kHelpScript[] = {
    {"Help", nullptr, 0, nullptr, Opcode::SetSubDir},
    {kFolder, nullptr, 0, nullptr, Opcode::MakeDirectory},
    {HOME_SUB "tarvel.hlp", nullptr, 201, nullptr, Opcode::ExtractPayload},
    {HOME_SUB "tarvel.cnt", nullptr, 202, nullptr, Opcode::ExtractPayload},
    // The help system's own index; recorded so that the uninstaller removes it too.
    {HOME_SUB "tarvel.gid", nullptr, 0, nullptr, Opcode::RecordBuildOutput},
    {kFolder, "tarvel.hlp", 0, nullptr, Opcode::RegisterHelpFile},
    {kFolder, "tarvel.cnt", 0, nullptr, Opcode::RegisterHelpFile},
    kEnd,
};

static_assert(Count(kD3Script.data()) == 49);
static_assert(Count(kD4Script.data()) == 51);
static_assert(Count(kD5Script.data()) == 50);
static_assert(Count(kD6Script.data()) == 83);
static_assert(Count(kD7Script.data()) == 83);
static_assert(Count(kD2005Script.data()) == 47);
static_assert(Count(kB3Script.data()) == 100);
static_assert(Count(kB4Script.data()) == 102);
static_assert(Count(kB5Script.data()) == 103);
static_assert(Count(kB6Script.data()) == 188);
static_assert(Count(kSharedScript) == 5);
static_assert(Count(kDemoScript) == 75);
static_assert(Count(kHelpScript) == 7);

// The worked IDs: Delphi 7's "tvzmodem.dcu"; C++Builder 5's three tvzmodem files;
// C++Builder 6's "qtvddbasew32.obj".
constexpr std::uint32_t IdOf(const Source* script, std::string_view suffix) {
  for (int i = 0; script[i].a != nullptr; ++i) {
    const std::string_view a = script[i].a;
    if (script[i].opcode == Opcode::ExtractPayload && a.size() >= suffix.size() &&
        a.substr(a.size() - suffix.size()) == suffix)
      return script[i].bId;
  }
  return 0;
}
static_assert(IdOf(kD7Script.data(), "\\tvzmodem.dcu") == 705);
static_assert(IdOf(kB5Script.data(), "\\tvzmodem.obj") == 8512);
static_assert(IdOf(kB5Script.data(), "\\tvzmodem.hpp") == 8513);
static_assert(IdOf(kB5Script.data(), "\\tvzmodem.dcu") == 8514);
static_assert(IdOf(kB6Script.data(), "\\qtvddbasew32.obj") == 28651);

// The room each script needs below $HOME_DIR$, counted as a file path would use it: a
// file's name after the root, a folder's plus the 11 characters Windows keeps free
// below every folder it makes. $SUB_DIR$ and $SUB_FILE$ take the value the script set
// last, or the longest any script sets; any other macro is open-ended and has no place
// below the root.
constexpr int kFolderReserve = scripts::kLongestFilePath - scripts::kLongestFolderPath;
constexpr int kOpenEnded = 1 << 20;

constexpr std::array<const Source*, scripts::kScriptCount> kEveryScript = {
    kD3Script.data(), kD4Script.data(), kD5Script.data(), kD6Script.data(), kD7Script.data(),
    kD2005Script.data(), kB3Script.data(), kB4Script.data(), kB5Script.data(), kB6Script.data(),
    kSharedScript, kDemoScript, kHelpScript,
};

constexpr std::string_view LongestSetBy(Opcode op) {
  std::string_view longest;
  for (const Source* script : kEveryScript)
    for (const Source* s = script; s->a != nullptr; ++s)
      if (s->opcode == op && std::string_view(s->a).size() > longest.size()) longest = s->a;
  return longest;
}

constexpr std::string_view kLongestSubDir = LongestSetBy(Opcode::SetSubDir);
constexpr std::string_view kLongestSubFile = LongestSetBy(Opcode::SetSubFile);

struct SubValues {
  std::string_view dir = kLongestSubDir;
  std::string_view file = kLongestSubFile;
};

constexpr std::string_view NameOf(Macro m) { return kMacroNames[static_cast<int>(m)]; }

// Characters the expansion of templ adds after $HOME_DIR$; -1 for a template that does
// not start there (the system folder, an IDE's own folders).
constexpr int BelowHome(const char* templ, const SubValues& v) {
  const std::string_view t = templ != nullptr ? templ : "";
  if (!t.starts_with(NameOf(Macro::HomeDir))) return -1;
  int n = 0;
  for (std::size_t i = NameOf(Macro::HomeDir).size(); i < t.size();) {
    if (t[i] != '$') {
      ++n;
      ++i;
      continue;
    }
    const std::string_view rest = t.substr(i);
    if (rest.starts_with(NameOf(Macro::SubDir))) {
      n += static_cast<int>(v.dir.size());
      i += NameOf(Macro::SubDir).size();
    } else if (rest.starts_with(NameOf(Macro::SubFile))) {
      n += static_cast<int>(v.file.size());
      i += NameOf(Macro::SubFile).size();
    } else {
      for (std::string_view name : kMacroNames)
        if (rest.starts_with(name)) return kOpenEnded;
      ++n;
      ++i;
    }
  }
  return n;
}

constexpr int FolderBelowHome(const char* templ, const SubValues& v) {
  const int n = BelowHome(templ, v);
  return n < 0 ? n : n + kFolderReserve;
}

constexpr int RoomOf(const Source* script) {
  SubValues v;
  int room = 0;
  auto take = [&room](int n) { room = n > room ? n : room; };
  for (const Source* s = script; s->a != nullptr; ++s) {
    switch (s->opcode) {
      case Opcode::SetSubDir: v.dir = s->a; break;
      case Opcode::SetSubFile: v.file = s->a; break;
      case Opcode::ExtractPayload:
      case Opcode::RecordBuildOutput: take(BelowHome(s->a, v)); break;
      case Opcode::CopyToFile: take(BelowHome(s->bText, v)); break;
      case Opcode::MakeDirectory: take(FolderBelowHome(s->a, v)); break;
      case Opcode::RunBuildTool: take(FolderBelowHome(s->bText, v)); break;  // its working folder
      default: break;
    }
  }
  return room;
}

// One constant per script: each stays well inside the compilers' evaluation limits.
template <std::size_t I>
constexpr int kRoomOf = RoomOf(kEveryScript[I]);
template <std::size_t... I>
constexpr std::array<int, sizeof...(I)> RoomOfEvery(std::index_sequence<I...>) {
  return {kRoomOf<I>...};
}
constexpr std::array<int, scripts::kScriptCount> kRooms =
    RoomOfEvery(std::make_index_sequence<scripts::kScriptCount>());
static_assert([] {
  for (int room : kRooms)
    if (room >= kOpenEnded) return false;
  return true;
}(), "a path below the root names a macro whose value is open-ended");

// The pool: offset 0 holds the NUL that stands for no text, then every distinct text
// once with its NUL. b and c of opcodes 14 and 15 are one entry, NUL between, so that c
// follows b. Texts are found through an open-addressed table of their hashes.
constexpr std::size_t kPoolCapacity = 1 << 14;
constexpr std::size_t kSlots = 1 << 10;
constexpr std::size_t kLongestEntry = 256;

struct Pool {
  std::array<char, kPoolCapacity> chars{};
  std::size_t size = 1;
  std::array<std::uint16_t, kSlots> slots{};  // pool offsets; 0: free
  std::size_t entries = 0;
};

struct Entry {
  std::array<char, kLongestEntry> chars{};
  std::size_t size = 0;  // without the closing NUL
  bool none = true;
};

constexpr void Append(Entry& e, const char* text) {
  for (std::size_t i = 0; text[i] != '\0'; ++i) e.chars[e.size++] = text[i];
}

constexpr Entry EntryOf(const char* text) {
  Entry e;
  if (text == nullptr) return e;
  e.none = false;
  Append(e, text);
  return e;
}

constexpr Entry EntryOfB(const Source& s) {
  if (!TakesThirdText(s.opcode)) return EntryOf(s.bText);
  Entry e = EntryOf(s.bText != nullptr ? s.bText : "");
  ++e.size;  // the NUL between b and c
  Append(e, s.c != nullptr ? s.c : "");
  return e;
}

constexpr bool Holds(const Pool& p, std::size_t at, const Entry& e) {
  if (at + e.size >= p.size) return false;
  for (std::size_t i = 0; i < e.size; ++i)
    if (p.chars[at + i] != e.chars[i]) return false;
  return p.chars[at + e.size] == '\0';
}

// The slot that holds the entry, or the free one where it goes.
constexpr std::size_t SlotOf(const Pool& p, const Entry& e) {
  std::uint32_t hash = 2166136261u;
  for (std::size_t i = 0; i < e.size; ++i) hash = (hash ^ static_cast<unsigned char>(e.chars[i])) * 16777619u;
  std::size_t slot = hash % kSlots;
  while (p.slots[slot] != 0 && !Holds(p, p.slots[slot], e)) slot = (slot + 1) % kSlots;
  return slot;
}

constexpr void Add(Pool& p, const Entry& e) {
  if (e.none) return;
  const std::size_t slot = SlotOf(p, e);
  if (p.slots[slot] != 0) return;
  p.slots[slot] = static_cast<std::uint16_t>(p.size);
  ++p.entries;
  for (std::size_t i = 0; i < e.size; ++i) p.chars[p.size++] = e.chars[i];
  p.chars[p.size++] = '\0';
}

constexpr Pool WithTexts(Pool p, const Source* script) {
  for (const Source* s = script; s->a != nullptr; ++s) {
    Add(p, EntryOf(s->a));
    if (!TakesIdOperand(s->opcode)) Add(p, EntryOfB(*s));
  }
  return p;
}

// One evaluation per script, each building on the last: each stays well inside the
// compilers' evaluation limits.
template <std::size_t I>
constexpr Pool kPoolUpTo = WithTexts(kPoolUpTo<I - 1>, kEveryScript[I]);
template <>
constexpr Pool kPoolUpTo<0> = WithTexts(Pool{}, kEveryScript[0]);
constexpr const Pool& kPool = kPoolUpTo<scripts::kScriptCount - 1>;
static_assert(kPool.size <= 0xFFFF, "offsets are 16 bits");
static_assert(kPool.entries <= kSlots / 2, "keep the hash table sparse");

constexpr std::uint16_t OffsetOf(const Entry& e) { return e.none ? 0 : kPool.slots[SlotOf(kPool, e)]; }

template <std::size_t N>
constexpr std::array<ScriptStep, N> Pack(const Source* script) {
  std::array<ScriptStep, N> steps{};  // the last stays the end marker
  for (std::size_t i = 0; i + 1 < N; ++i) {
    const Source& s = script[i];
    const bool id = TakesIdOperand(s.opcode);
    steps[i] = {OffsetOf(EntryOf(s.a)), id ? static_cast<std::uint16_t>(s.bId) : OffsetOf(EntryOfB(s)), s.opcode};
  }
  return steps;
}

template <std::size_t I>
constexpr auto kPacked = Pack<static_cast<std::size_t>(Count(kEveryScript[I])) + 1>(kEveryScript[I]);

static_assert([] {
  for (const Source* script : kEveryScript)
    for (const Source* s = script; s->a != nullptr; ++s)
      if (TakesIdOperand(s->opcode) && s->bId > 0xFFFF) return false;
  return true;
}(), "IDs are 16 bits");

constexpr std::array<char, kPool.size> kPoolTexts = [] {
  std::array<char, kPool.size> texts{};
  for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = kPool.chars[i];
  return texts;
}();

}  // namespace

namespace scripts {

const char* const kTexts = kPoolTexts.data();

const ScriptStep* const kDelphi3 = kPacked<0>.data();
const ScriptStep* const kDelphi4 = kPacked<1>.data();
const ScriptStep* const kDelphi5 = kPacked<2>.data();
const ScriptStep* const kDelphi6 = kPacked<3>.data();
const ScriptStep* const kDelphi7 = kPacked<4>.data();
const ScriptStep* const kDelphi2005 = kPacked<5>.data();
const ScriptStep* const kBuilder3 = kPacked<6>.data();
const ScriptStep* const kBuilder4 = kPacked<7>.data();
const ScriptStep* const kBuilder5 = kPacked<8>.data();
const ScriptStep* const kBuilder6 = kPacked<9>.data();
const ScriptStep* const kSharedFiles = kPacked<10>.data();
const ScriptStep* const kDemoProjects = kPacked<11>.data();
const ScriptStep* const kContextHelp = kPacked<12>.data();

// From the constants themselves: the program has no start-up code to copy pointers.
const std::array<const ScriptStep*, kScriptCount> kAll = {
    kPacked<0>.data(), kPacked<1>.data(), kPacked<2>.data(), kPacked<3>.data(),  kPacked<4>.data(),
    kPacked<5>.data(), kPacked<6>.data(), kPacked<7>.data(), kPacked<8>.data(),  kPacked<9>.data(),
    kPacked<10>.data(), kPacked<11>.data(), kPacked<12>.data(),
};

int RoomBelowHome(const ScriptStep* script) {
  for (int i = 0; i < kScriptCount; ++i)
    if (kAll[i] == script) return kRooms[i];
  return 0;
}

}  // namespace scripts
