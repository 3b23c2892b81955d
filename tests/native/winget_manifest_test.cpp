// The package manifest against the programs' constants and the package manager's
// field rules: identifier and version forms, one manifest type per file, the
// switches of setup.exe's command line and a known response for every exit code.
#include "tools/winget/winget_manifest.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "engine/uninstall_entry.h"
#include "setup/command_line.h"
#include "resources/product_info.h"

namespace {

const std::string kSha(64, 'a');

// "Key: value" at the line's start or after "- " or "  ", the last one of each key.
std::map<std::string, std::string> Fields(const std::string& text) {
  std::map<std::string, std::string> fields;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    const std::size_t colon = line.find(": ");
    if (line.empty() || line[0] == '#' || colon == std::string::npos) continue;
    std::size_t from = line.find_first_not_of("- ");
    fields[line.substr(from, colon - from)] = line.substr(colon + 2);
  }
  return fields;
}

TEST(WingetManifest, FilesFollowTheFieldRules) {
  const auto files = MakeWingetManifest(kSha, kPlaceholderUrl);
  const std::string id = PackageIdentifier();
  const std::regex idRule(
      R"(^[^\.\s\\/:\*\?"<>\|\x01-\x1f]{1,32}(\.[^\.\s\\/:\*\?"<>\|\x01-\x1f]{1,32}){1,7}$)");
  EXPECT_TRUE(std::regex_match(id, idRule)) << id;
  const char* types[] = {"version", "installer", "defaultLocale"};
  const char* suffixes[] = {".yaml", ".installer.yaml", ".locale.en-US.yaml"};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(types[i]);
    auto f = Fields(files[i].text);
    EXPECT_EQ(files[i].name, id + suffixes[i]);
    EXPECT_EQ(f["PackageIdentifier"], id);
    EXPECT_EQ(f["PackageVersion"], "\"" TARVEL_DISPLAY_VERSION "\"");
    EXPECT_EQ(f["ManifestType"], types[i]);
    EXPECT_EQ(f["ManifestVersion"], "1.10.0");
  }
  auto locale = Fields(files[2].text);
  for (const char* required : {"PackageLocale", "Publisher", "PackageName", "License", "ShortDescription"})
    EXPECT_FALSE(locale[required].empty()) << required;
  EXPECT_EQ(Fields(files[0].text)["DefaultLocale"], locale["PackageLocale"]);
}

TEST(WingetManifest, InstallerSaysHowSetupRunsAndEnds) {
  const std::string text = MakeWingetManifest(kSha, "https://dl.example/s.exe")[1].text;
  auto f = Fields(text);
  const std::string key = kUninstallKey;
  const std::pair<const char*, std::string> fields[] = {
      {"InstallerType", "exe"}, {"Scope", "machine"}, {"ElevationRequirement", "elevatesSelf"}, {"Silent", "/S"},
      {"SilentWithProgress", "/S"}, {"InstallLocation", "/D=<INSTALLPATH>"}, {"Log", "/LOG=\"<LOGPATH>\""},
      {"InstallerUrl", "https://dl.example/s.exe"}, {"InstallerSha256", std::string(64, 'A')},
      {"DisplayName", TARVEL_APPS_NAME}, {"DisplayVersion", "\"" TARVEL_DISPLAY_VERSION "\""},
      {"ProductCode", key.substr(key.rfind('\\') + 1)}};
  for (const auto& [field, value] : fields) EXPECT_EQ(f[field], value) << field;
  // Every exit code but 0 once, each with a response the package manager knows.
  const std::set<std::string> known = {
      "packageInUse", "packageInUseByApplication", "installInProgress", "fileInUse", "missingDependency",
      "diskFull", "insufficientMemory", "invalidParameter", "noNetwork", "contactSupport", "rebootRequiredToFinish",
      "rebootRequiredForInstall", "rebootInitiated", "cancelledByUser", "alreadyInstalled", "downgrade",
      "blockedByPolicy", "systemNotSupported", "custom"};
  const std::regex pair(R"(- InstallerReturnCode: (\d+)\n  ReturnResponse: (\w+)\n)");
  std::set<unsigned> codes;
  for (auto m = std::sregex_iterator(text.begin(), text.end(), pair); m != std::sregex_iterator(); ++m) {
    EXPECT_TRUE(codes.insert(std::stoul((*m)[1])).second) << (*m)[1];
    EXPECT_EQ(known.count((*m)[2]), 1u) << (*m)[2];
  }
  // Responses that send the user the wrong way: 5 is not only a file in use.
  EXPECT_NE(text.find("InstallerReturnCode: 5\n  ReturnResponse: contactSupport\n"), std::string::npos);
  EXPECT_NE(text.find("InstallerReturnCode: 7\n  ReturnResponse: cancelledByUser\n"), std::string::npos);
  std::set<unsigned> expected;
  for (unsigned c = 1; c <= kLastExitCode; ++c) expected.insert(c);
  EXPECT_EQ(codes, expected);
}

// The package manager's three modes (silent, silent with a location, interactive with
// a location: no switch of its own), the switches joined as it joins them with paths
// that have blanks, read back by setup.exe's own command-line reader.
TEST(WingetManifest, SwitchesMakeALineSetupReadsBack) {
  auto f = Fields(MakeWingetManifest(kSha, kPlaceholderUrl)[1].text);
  auto put = [](std::string text, const std::string& token, const std::string& value) {
    return text.replace(text.find(token), token.size(), value);
  };
  const std::string log = "C:\\Users\\A B\\AppData\\Local\\Temp\\setup.log", folder = "C:\\Program Files\\Tarvel Lib";
  const std::string logged = put(f["Log"], "<LOGPATH>", log);
  const std::string at = " " + put(f["InstallLocation"], "<INSTALLPATH>", folder);
  for (const std::string& line : {f["Silent"] + " " + logged, f["Silent"] + " " + logged + at, " " + logged + at}) {
    const std::string whole = "setup.exe " + line;  // the options point into it
    const SetupOptions o = ReadSetupCommandLine(whole.c_str());
    EXPECT_EQ(o.kind, line[0] == ' ' ? StartKind::Wizard : StartKind::Silent) << line;
    EXPECT_EQ(o.log, log) << line;
    EXPECT_EQ(std::string(o.destination.data() != nullptr ? o.destination : "-"), line.ends_with(at) ? folder : "-");
  }
}

}  // namespace
