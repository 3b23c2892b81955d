// The manifest's three YAML files, written out field by field.
#include "tools/winget/winget_manifest.h"

#include <cctype>

#include "engine/uninstall_entry.h"
#include "resources/product_info.h"

namespace {

std::string Header(const char* schema) {
  return std::string("# Made by tools/winget from the programs' constants; do not edit.\n"
                     "# yaml-language-server: $schema=https://aka.ms/winget-manifest.") +
         schema + "." + kManifestVersion + ".schema.json\n\n" + "PackageIdentifier: " + PackageIdentifier() +
         "\nPackageVersion: \"" TARVEL_DISPLAY_VERSION "\"\n";
}

std::string Footer(const char* type) {
  return std::string("ManifestType: ") + type + "\nManifestVersion: " + kManifestVersion + "\n";
}

std::string Upper(std::string_view hex) {
  std::string out(hex);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

std::string PackageIdentifier() {
  std::string id = TARVEL_COMPANY "." TARVEL_PRODUCT;
  std::erase(id, ' ');
  return id;
}

std::array<ManifestFile, 3> MakeWingetManifest(std::string_view sha256, std::string_view url) {
  const std::string id = PackageIdentifier();
  std::string installer = Header("installer") +
                          "InstallerType: exe\n"
                          "Scope: machine\n"
                          "ElevationRequirement: elevatesSelf\n"
                          "InstallModes:\n- interactive\n- silent\n- silentWithProgress\n"
                          "InstallerSwitches:\n"
                          "  Silent: /S\n"
                          "  SilentWithProgress: /S\n"
                          "  InstallLocation: /D=<INSTALLPATH>\n"
                          // Quoted here: the package manager puts in the path as it is, and
                          // a user's temporary folder may have a blank in it. /D= takes
                          // the rest of the line, and the location comes last.
                          "  Log: /LOG=\"<LOGPATH>\"\n"
                          "ExpectedReturnCodes:\n";
  for (const ReturnCode& r : kReturnCodes)
    installer += "- InstallerReturnCode: " + std::to_string(r.code) + "\n  ReturnResponse: " + r.response + "\n";
  // The Apps entry's key name is what the package manager matches the installed product by.
  const std::string_view key = kUninstallKey;
  installer += "AppsAndFeaturesEntries:\n"
               "- DisplayName: " TARVEL_APPS_NAME "\n"
               "  Publisher: " TARVEL_COMPANY "\n"
               "  DisplayVersion: \"" TARVEL_DISPLAY_VERSION "\"\n"
               "  ProductCode: " +
               std::string(key.substr(key.rfind('\\') + 1)) +
               "\n"
               "Installers:\n"
               "- Architecture: x86\n"
               "  InstallerUrl: " +
               std::string(url) + "\n  InstallerSha256: " + Upper(sha256) + "\n" + Footer("installer");
  const std::string version = Header("version") + "DefaultLocale: en-US\n" + Footer("version");
  const std::string locale = Header("defaultLocale") +
                             "PackageLocale: en-US\n"
                             "Publisher: " TARVEL_COMPANY "\n"
                             "PackageName: " TARVEL_PRODUCT "\n"
                             "License: Proprietary (trial)\n"
                             "Copyright: " TARVEL_COPYRIGHT "\n"
                             "ShortDescription: " TARVEL_PRODUCT
                             " component library and its packages for the installed Delphi and C++Builder IDEs.\n" +
                             Footer("defaultLocale");
  return {{{id + ".yaml", version}, {id + ".installer.yaml", installer}, {id + ".locale.en-US.yaml", locale}}};
}
