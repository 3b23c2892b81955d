// Build-time generator of the installer's payload. Walks the install scripts, gives
// every extracted resource ID exactly one file - a hand-written one from payload/ or
// one generated here for its type and IDE version - and writes the resource script.
// Fails when an ID would have no file or a file in payload/ would go unused. Beside
// it, the table of every resource's digest that setup.exe checks at start-up.
//   generate_payload OUT_DIR PAYLOAD_DIR UNINSTALLER_EXE
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/script_tables.h"
#include "resources/help_file.h"
#include "resources/payload_digest.h"

namespace fs = std::filesystem;

namespace {

struct Entry {
  std::string name;     // file name as the step writes it, macros resolved
  std::string folder;   // $SUB_DIR$ when the step ran
  std::string package;  // $SUB_FILE$ when the step ran
};

std::string Replace(std::string s, const std::string& from, const std::string& to) {
  for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size())) s.replace(at, from.size(), to);
  return s;
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::string Stem(const std::string& name) { return name.substr(0, name.rfind('.')); }

bool ReadText(const fs::path& p, std::string* out) {
  FILE* f = std::fopen(p.string().c_str(), "rb");
  if (f == nullptr) return false;
  out->clear();
  char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) out->append(buf, n);
  std::fclose(f);
  return true;
}

bool WriteBytes(const fs::path& p, const std::string& bytes) {
  FILE* f = std::fopen(p.string().c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

void Put16(std::string& s, unsigned v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& s, unsigned v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

// A compiled resource file (.res) holding the leading empty entry and, optionally, one
// bitmap named `name`.
std::string ResFile(const std::string& bitmapName) {
  std::string s;
  Put32(s, 0), Put32(s, 32), Put16(s, 0xFFFF), Put16(s, 0), Put16(s, 0xFFFF), Put16(s, 0);
  Put32(s, 0), Put32(s, 0), Put32(s, 0), Put32(s, 0);
  if (bitmapName.empty()) return s;
  std::string dib;  // 24 x 24, 4 bits per pixel, a framed square
  Put32(dib, 40), Put32(dib, 24), Put32(dib, 24), Put16(dib, 1), Put16(dib, 4), Put32(dib, 0);
  Put32(dib, 24 * 12), Put32(dib, 0), Put32(dib, 0), Put32(dib, 16), Put32(dib, 0);
  const unsigned palette[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                                0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  for (unsigned c : palette) Put32(dib, c);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; x += 2) {
      auto px = [&](int xx) { return (xx < 3 || xx > 20 || y < 3 || y > 20) ? 7 : ((xx + y) % 6 < 3 ? 4 : 15); };
      dib += static_cast<char>(px(x) << 4 | px(x + 1));
    }
  std::string header;
  Put16(header, 0xFFFF), Put16(header, 2);  // RT_BITMAP
  for (char c : bitmapName) Put16(header, static_cast<unsigned char>(c));
  Put16(header, 0);
  while ((header.size() + 8) % 4 != 0) header += '\0';
  std::string tail;
  Put32(tail, 0), Put16(tail, 0x1030), Put16(tail, 0x0409), Put32(tail, 0), Put32(tail, 0);
  Put32(s, static_cast<unsigned>(dib.size()));
  Put32(s, static_cast<unsigned>(8 + header.size() + tail.size()));
  s += header + tail + dib;
  return s;
}

const char* const kVclUnits[] = {"tvsysutils", "tvtapi", "tarvellibreg", "crc", "tvsemaphore", "tarvelbox"};

std::string IdeOf(const std::string& folder) {
  static const std::map<std::string, std::string> names = {
      {"Delphi3", "Delphi 3"},         {"Delphi4", "Delphi 4"},         {"Delphi5", "Delphi 5"},
      {"Delphi6", "Delphi 6"},         {"Delphi7", "Delphi 7"},         {"Delphi9", "Delphi 2005"},
      {"CBuilder3", "C++Builder 3"},   {"CBuilder4", "C++Builder 4"},   {"CBuilder5", "C++Builder 5"},
      {"CBuilder6", "C++Builder 6"}};
  auto it = names.find(folder);
  return it == names.end() ? folder : it->second;
}

std::string DelphiPackage(const std::string& name, bool clx) {
  std::string s = "package " + name + ";\r\n\r\n{$R *.res}\r\n{$R 'tarvellib.dcr'}\r\n{$R 'tvddio.res'}\r\n";
  s += std::string("{$DESCRIPTION 'Tarvel Lib v6.49 (trial) ") + (clx ? "CLX" : "VCL") + "'}\r\n{$DESIGNONLY}\r\n\r\n";
  s += clx ? "requires\r\n  rtl,\r\n  visualclx;\r\n\r\ncontains\r\n" : "requires\r\n  rtl,\r\n  vcl;\r\n\r\ncontains\r\n";
  for (size_t i = 0; i < 6; ++i) {
    const std::string u = (clx ? "q" : "") + std::string(kVclUnits[i]);
    s += "  " + u + " in '" + u + ".pas'" + (i < 5 ? ",\r\n" : ";\r\n");
  }
  return s + "\r\nend.\r\n";
}

std::string BuilderProject(const std::string& name, const std::string& folder, bool clx) {
  const std::string q = clx ? "q" : "";
  std::string objs;
  for (const char* u : kVclUnits) objs += q + u + ".obj ";
  if (folder == "CBuilder3" || folder == "CBuilder4") {
    // The older IDEs keep the package project as a make file.
    return "# Tarvel Lib package for " + IdeOf(folder) + "\r\nPROJECT = " + name + ".bpl\r\nOBJFILES = " + name +
           ".obj " + objs + "\r\nRESFILES = " + name + ".res tarvellib.dcr tvddio.res\r\nLIBFILES =\r\n" +
           "PACKAGES = vcl.bpi\r\n\r\n$(PROJECT): $(OBJFILES)\r\n\tilink32 -Tpp $(OBJFILES), $(PROJECT)\r\n";
  }
  return "<?xml version='1.0' encoding='utf-8' ?>\r\n<!-- C++Builder XML Project -->\r\n<PROJECT>\r\n"
         "  <MACROS>\r\n    <PROJECT value=\"" + name + ".bpl\"/>\r\n    <OBJFILES value=\"" + name + ".obj " + objs +
         "\"/>\r\n    <RESFILES value=\"" + name + ".res tarvellib.dcr tvddio.res\"/>\r\n    <PACKAGES value=\"" +
         (clx ? "rtl.bpi visualclx.bpi" : "rtl.bpi vcl.bpi") + "\"/>\r\n  </MACROS>\r\n</PROJECT>\r\n";
}

std::string BuilderPackageSource(const std::string& name, bool clx) {
  std::string s = "//---------------------------------------------------------------------------\r\n"
                  "#include <basepch.h>\r\n#pragma hdrstop\r\n";
  s += "USERES(\"" + name + ".res\");\r\nUSERES(\"tarvellib.dcr\");\r\nUSERES(\"tvddio.res\");\r\n";
  for (const char* u : kVclUnits) s += std::string("USEUNIT(\"") + (clx ? "q" : "") + u + ".pas\");\r\n";
  s += "#pragma package(smart_init)\r\n\r\n"
       "#pragma argsused\r\nint WINAPI DllEntryPoint(HINSTANCE hinst, unsigned long reason, void*)\r\n{\r\n"
       "  return 1;\r\n}\r\n";
  return s;
}

std::string Capitalised(const std::string& unit) {
  std::string s = unit;
  if (!s.empty()) s[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(s[0])));
  return s;
}

// A precompiled unit's three files, each marked with the unit and the IDE it suits.
std::string Dcu(const std::string& unit, const std::string& folder) {
  std::string s = "DCU\x1A";
  s += static_cast<char>(std::atoi(folder.c_str() + folder.size() - 1));
  s += '\0';
  Put16(s, static_cast<unsigned>(unit.size()));
  s += unit + " for " + IdeOf(folder) + " - Tarvel Lib v6.49 (trial)";
  s.append(64 - s.size() % 64, '\0');
  return s;
}

std::string Obj(const std::string& unit) {
  // An empty COFF object with one absolute symbol naming the unit.
  std::string symbol = "_" + unit + "_unit";
  std::string s;
  Put16(s, 0x14C), Put16(s, 0), Put32(s, 0), Put32(s, 20), Put32(s, 1), Put16(s, 0), Put16(s, 0);
  Put32(s, 0), Put32(s, 4), Put32(s, 0), Put16(s, 0xFFFF), Put16(s, 0);  // name in the string table
  s += static_cast<char>(2), s += static_cast<char>(0);                   // external, no aux
  Put32(s, static_cast<unsigned>(4 + symbol.size() + 1));
  s += symbol + '\0';
  return s;
}

std::string Hpp(const std::string& unit, const std::string& folder) {
  const std::string ns = Capitalised(unit);
  return "// Borland C++ Builder\r\n// Tarvel Lib v6.49 (trial), " + IdeOf(folder) + "\r\n\r\n#ifndef " + ns +
         "HPP\r\n#define " + ns + "HPP\r\n\r\n#pragma delphiheader begin\r\n#pragma option push -w-\r\n"
         "#include <SysInit.hpp>\r\n#include <System.hpp>\r\n\r\nnamespace " + ns + "\r\n{\r\n}\t/* namespace " + ns +
         " */\r\nusing namespace " + ns + ";\r\n#pragma option pop\r\n#pragma delphiheader end.\r\n\r\n#endif\t// " + ns +
         "\r\n";
}

// The CLX copy of a library unit: the same code under the "q" names.
std::string ClxSource(std::string pas) {
  for (const char* u : kVclUnits) {
    pas = Replace(pas, std::string("unit ") + u + ";", std::string("unit q") + u + ";");
    pas = Replace(pas, std::string(" ") + u + ",", std::string(" q") + u + ",");
    pas = Replace(pas, std::string(" ") + u + ";", std::string(" q") + u + ";");
  }
  pas = Replace(pas, "{$I tarvellib.inc}", "{$I qtarvellib.inc}");
  return Replace(pas, "uses Classes,", "uses Classes, QForms,");
}

std::string Wave() {
  std::string pcm;
  for (int i = 0; i < 2400; ++i) {
    const int phase = (i * 880 * 256 / 8000) % 256;
    const int tri = phase < 128 ? phase * 2 : (255 - phase) * 2;
    pcm += static_cast<char>(128 + (tri - 128) * (2400 - i) / 4800);
  }
  std::string s = "RIFF";
  Put32(s, static_cast<unsigned>(36 + pcm.size()));
  s += "WAVEfmt ";
  Put32(s, 16), Put16(s, 1), Put16(s, 1), Put32(s, 8000), Put32(s, 8000), Put16(s, 1), Put16(s, 8);
  s += "data";
  Put32(s, static_cast<unsigned>(pcm.size()));
  return s + pcm;
}

// The demo projects' files, from the project and unit names.
std::string DemoFile(const std::string& folder, const std::string& file) {
  static const std::map<std::string, std::pair<std::string, std::string>> projects = {
      {"DTerminal", {"dterminal", "unit1"}}, {"TAPIDemo", {"tapidemo", "unit1"}},
      {"BarCode", {"barcodescan", "unit1"}}, {"Speech", {"speechdemo", "mainfrm"}},
      {"Voice", {"voicedemo", "mainfrm"}},   {"Codes", {"codes_demo", "unit1"}},
      {"EventList", {"evlistdemo", "unit1"}}, {"LptDemo", {"lptdemo", "unit1"}}};
  const auto& [project, unit] = projects.at(folder);
  const std::string form = unit == "unit1" ? "Form1" : "MainForm";
  const std::string title = "Tarvel Lib demo: " + folder;
  if (file == project + ".dpr")
    return "program " + project + ";\r\n\r\nuses\r\n  Forms,\r\n  " + unit + " in '" + unit + ".pas' {" + form +
           "};\r\n\r\n{$R *.res}\r\n\r\nbegin\r\n  Application.Initialize;\r\n  Application.Title := '" + title +
           "';\r\n  Application.CreateForm(T" + form + ", " + form + ");\r\n  Application.Run;\r\nend.\r\n";
  if (file == project + ".bpr")
    return "<?xml version='1.0' encoding='utf-8' ?>\r\n<PROJECT>\r\n  <MACROS>\r\n    <PROJECT value=\"" + project +
           ".exe\"/>\r\n    <OBJFILES value=\"" + project + ".obj " + unit + ".obj\"/>\r\n    <RESFILES value=\"" +
           project + ".res\"/>\r\n  </MACROS>\r\n</PROJECT>\r\n";
  if (file == project + ".cpp")
    return "#include <vcl.h>\r\n#pragma hdrstop\r\nUSEFORM(\"" + unit + ".cpp\", " + form +
           ");\r\nWINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)\r\n{\r\n  Application->Initialize();\r\n"
           "  Application->Title = \"" + title + "\";\r\n  Application->CreateForm(__classid(T" + form + "), &" + form +
           ");\r\n  Application->Run();\r\n  return 0;\r\n}\r\n";
  if (file == project + ".res") return ResFile("MAINICON");
  if (file == unit + ".pas")
    return "unit " + unit + ";\r\n\r\ninterface\r\n\r\nuses\r\n  Windows, Classes, Controls, Forms, StdCtrls, tarvelbox;\r\n\r\n"
           "type\r\n  T" + form + " = class(TForm)\r\n    Box: TTarvelBox;\r\n    Start: TButton;\r\n"
           "    procedure StartClick(Sender: TObject);\r\n  end;\r\n\r\nvar\r\n  " + form + ": T" + form +
           ";\r\n\r\nimplementation\r\n\r\n{$R *.dfm}\r\n\r\nprocedure T" + form +
           ".StartClick(Sender: TObject);\r\nbegin\r\n  Box.Active := not Box.Active;\r\nend;\r\n\r\nend.\r\n";
  if (file == unit + ".dfm")
    return "object " + form + ": T" + form + "\r\n  Caption = '" + title + "'\r\n  ClientHeight = 200\r\n"
           "  ClientWidth = 320\r\n  object Start: TButton\r\n    Left = 16\r\n    Top = 16\r\n    Width = 75\r\n"
           "    Height = 25\r\n    Caption = 'Start'\r\n    OnClick = StartClick\r\n  end\r\n  object Box: TTarvelBox\r\n"
           "    Left = 120\r\n    Top = 16\r\n  end\r\nend\r\n";
  if (file == unit + ".cpp")
    return "#include <vcl.h>\r\n#pragma hdrstop\r\n#include \"" + unit + ".h\"\r\n#pragma package(smart_init)\r\n"
           "#pragma resource \"*.dfm\"\r\nT" + form + " *" + form + ";\r\n__fastcall T" + form + "::T" + form +
           "(TComponent* Owner) : TForm(Owner)\r\n{\r\n}\r\nvoid __fastcall T" + form +
           "::StartClick(TObject *Sender)\r\n{\r\n  Box->Active = !Box->Active;\r\n}\r\n";
  if (file == unit + ".h")
    return "#ifndef " + unit + "H\r\n#define " + unit + "H\r\n#include <Classes.hpp>\r\n#include <Controls.hpp>\r\n"
           "#include <StdCtrls.hpp>\r\n#include <Forms.hpp>\r\n#include \"tarvelbox.hpp\"\r\nclass T" + form +
           " : public TForm\r\n{\r\n__published:\r\n  TTarvelBox *Box;\r\n  TButton *Start;\r\n"
           "  void __fastcall StartClick(TObject *Sender);\r\npublic:\r\n  __fastcall T" + form +
           "(TComponent* Owner);\r\n};\r\nextern PACKAGE T" + form + " *" + form + ";\r\n#endif\r\n";
  if (file == "welcome.wav") return Wave();
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: generate_payload OUT_DIR PAYLOAD_DIR UNINSTALLER_EXE\n");
    return 2;
  }
  const fs::path out = argv[1];
  const fs::path sources = argv[2];
  const std::string uninstaller = argv[3];
  fs::create_directories(out / "generated");

  // Every extracted ID with the first name it is written under.
  std::map<unsigned, Entry> ids;
  for (const ScriptStep* script : scripts::kAll) {
    std::string folder, package;
    for (const ScriptStep* s = script; s->a != 0; ++s) {
      const char* a = TextsOf(scripts::kTexts, *s).a;
      if (s->opcode == Opcode::SetSubDir) folder = a;
      if (s->opcode == Opcode::SetSubFile) package = a;
      if (s->opcode != Opcode::ExtractPayload) continue;
      std::string path = Replace(Replace(a, "$SUB_FILE$", package), "$SUB_DIR$", folder);
      const std::string name = path.substr(path.rfind('\\') + 1);
      if (ids.count(s->b) == 0) ids[s->b] = {name, folder, package};
    }
  }

  std::set<fs::path> used;
  std::string rc = "// Generated from the install scripts: one RCDATA resource per extracted payload ID.\n";
  // The resource compiler does not see the files an RCDATA line names change, so the
  // script carries a hash of their bytes: new bytes make a new script and a rebuild.
  unsigned long long contentHash = 14695981039346656037ull;
  std::string digests;
  int failures = 0;
  for (const auto& [id, e] : ids) {
    fs::path file;
    std::string bytes;
    const std::string& n = e.name;
    const bool clx = n.rfind("q", 0) == 0 || e.package.size() > 0 && n.find(e.package + "clx.") == 0;
    if (id == 7) {
      file = uninstaller;
    } else if (fs::exists(sources / n) && !fs::is_directory(sources / n)) {
      file = sources / n;
      used.insert(fs::canonical(file));
    } else if (n.size() > 5 && n[0] == 'q' && EndsWith(n, ".pas") && fs::exists(sources / n.substr(1))) {
      ReadText(sources / n.substr(1), &bytes);
      used.insert(fs::canonical(sources / n.substr(1)));
      bytes = ClxSource(bytes);
    } else if (n == "qtarvellib.inc") {
      ReadText(sources / "tarvellib.inc", &bytes);
      bytes += "{$DEFINE TV_CLX}\r\n";
    } else if (EndsWith(n, ".dpk")) {
      bytes = DelphiPackage(Stem(n), clx);
    } else if (EndsWith(n, ".bpk")) {
      bytes = BuilderProject(Stem(n), e.folder, clx);
    } else if (e.folder != "Demos" && EndsWith(n, ".cpp")) {
      bytes = BuilderPackageSource(Stem(n), clx);
    } else if (n == "tarvellib.dcr") {
      bytes = ResFile("TTARVELBOX");
    } else if (e.folder != "Demos" && EndsWith(n, ".res")) {
      bytes = ResFile("");
    } else if (EndsWith(n, ".dcu")) {
      bytes = Dcu(Stem(n), e.folder);
    } else if (EndsWith(n, ".obj")) {
      bytes = Obj(Stem(n));
    } else if (EndsWith(n, ".hpp")) {
      bytes = Hpp(Stem(n), e.folder);
    } else if (n == "tarvel.hlp") {
      bytes = HelpFile();
    } else if (n == "tarvel.cnt") {
      bytes = HelpContents();
    }
    if (file.empty() && bytes.empty() && e.folder == "Demos") {
      // Demo paths carry their project folder: "<Folder>\<file>".
      for (const ScriptStep* s = scripts::kDemoProjects; s->a != 0; ++s) {
        if (s->opcode != Opcode::ExtractPayload || s->b != id) continue;
        std::string rest = std::string(TextsOf(scripts::kTexts, *s).a).substr(std::string("$HOME_DIR$\\$SUB_DIR$\\").size());
        const size_t slash = rest.find('\\');
        bytes = DemoFile(rest.substr(0, slash), rest.substr(slash + 1));
      }
    }
    if (file.empty()) {
      if (bytes.empty()) {
        std::fprintf(stderr, "generate_payload: no payload file for ID %u (%s in %s)\n", id, n.c_str(), e.folder.c_str());
        ++failures;
        continue;
      }
      file = out / "generated" / (std::to_string(id) + "-" + n);
      std::string old;
      if (!ReadText(file, &old) || old != bytes) WriteBytes(file, bytes);
    }
    rc += std::to_string(id) + " RCDATA \"" + Replace(fs::absolute(file).string(), "\\", "/") + "\"\n";
    std::string content;
    ReadText(file, &content);
    for (unsigned char c : content) contentHash = (contentHash ^ c) * 1099511628211ull;
    Put32(digests, id);
    Put32(digests, Crc32(reinterpret_cast<const unsigned char*>(content.data()), content.size()));
  }
  for (const auto& f : fs::recursive_directory_iterator(sources)) {
    if (f.is_regular_file() && used.count(fs::canonical(f.path())) == 0) {
      std::fprintf(stderr, "generate_payload: %s is not used by any install step\n", f.path().string().c_str());
      ++failures;
    }
  }
  if (failures != 0) return 1;
  const fs::path digestPath = out / "payload.crc";
  std::string old;
  if (!ReadText(digestPath, &old) || old != digests) WriteBytes(digestPath, digests);
  rc += std::to_string(kPayloadDigestId) + " " + std::to_string(kPayloadDigestType) + " \"" +
        Replace(fs::absolute(digestPath).string(), "\\", "/") + "\"\n";
  char hashLine[64];
  std::snprintf(hashLine, sizeof hashLine, "// content %016llx\n", contentHash);
  rc += hashLine;
  const fs::path rcPath = out / "payload.rc";
  if (!ReadText(rcPath, &old) || old != rc) WriteBytes(rcPath, rc);
  std::printf("generate_payload: %zu payload resources\n", ids.size());
  return 0;
}
