// The package manager's multi-file manifest (version, installer, default locale) for
// setup.exe, made from the programs' own constants: product names and version, the
// switches of its command line and its exit codes. Host tool; portable.
#pragma once
#include <array>
#include <string>
#include <string_view>

#include "setup/exit_codes.h"

inline constexpr char kManifestVersion[] = "1.10.0";
// Where the installer is downloaded from when release.sh is given no --url: a reserved
// domain that can never resolve, so a manifest published by mistake fails at once.
inline constexpr char kPlaceholderUrl[] = "https://example.invalid/tarvel-lib/setup.exe";

// The response the package manager gives for each exit code of setup.exe but 0.
struct ReturnCode {
  unsigned code;
  const char* response;
};
inline constexpr std::array<ReturnCode, kLastExitCode> kReturnCodes = {{
    {kExitBadOption, "invalidParameter"},
    {kExitNotOffered, "missingDependency"},        // no IDE of the component named
    {kExitDestinationRefused, "invalidParameter"},  // the /D= folder
    {kExitNotStarted, "contactSupport"},
    {kExitNotAllWritten, "contactSupport"},  // a file held open, a link refused, a value or package missing
    {kExitDamaged, "contactSupport"},
    {kExitCancelled, "cancelledByUser"},
    {kExitIdeRunning, "packageInUse"},
}};
constexpr bool EveryCodeOnceInOrder() {
  for (unsigned i = 0; i < kReturnCodes.size(); ++i)
    if (kReturnCodes[i].code != i + 1) return false;
  return true;
}
static_assert(EveryCodeOnceInOrder(), "one row per non-zero exit code, 1 upwards");

struct ManifestFile {
  std::string name;  // e.g. "Quillon.TarvelLib.installer.yaml"
  std::string text;
};

// "Quillon.TarvelLib": publisher and product with their blanks left out.
std::string PackageIdentifier();
// The three files; sha256 is the installer's digest in hex as sha256sum prints it.
std::array<ManifestFile, 3> MakeWingetManifest(std::string_view sha256, std::string_view url);
