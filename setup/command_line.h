// What setup.exe's command line asks for: the wizard, the usage, or an unattended
// installation with its components and destination. Portable.
#pragma once
#include <cstdint>
#include <string_view>

enum class StartKind { Wizard, Silent, Usage, Malformed };

struct SetupOptions {
  StartKind kind;
  bool silent;                  // /S was given (also when the line is malformed)
  bool componentsNamed;         // /COMPONENTS= was given
  bool closeApplications;       // /CLOSEAPPLICATIONS was given
  std::uint32_t components;     // bit i: row i of the component table named
  std::string_view destination; // the rest of the line after /D=; data() is nullptr without it
  std::string_view log;         // the file of /LOG=, quotes removed; data() is nullptr without it
                                // or when that option is refused
  const char* problem;          // Malformed: why, e.g. "unknown option"
  std::string_view refused;     // Malformed: the option or component name meant
};

// Options begin at the first "/" after a blank that is not inside the quoted program
// name; what stands before it is the program name (also an unquoted one with blanks)
// and, as before options existed, ignored. Options are blank-separated and
// case-insensitive: /S, /?, /COMPONENTS=name,name,..., /CLOSEAPPLICATIONS, /LOG=file
// (or /LOG="file" for a path with blanks) and /D=, which comes last and
// takes the rest of the line verbatim, blanks and quotes included, but for trailing
// blanks (no folder name ends in one; "setup.exe /S /D=C:\Lib > log" leaves one).
// /? wins over every other option; /COMPONENTS= and /CLOSEAPPLICATIONS need /S. A line
// without /S starts the wizard, which takes /D= as its proposed destination.
SetupOptions ReadSetupCommandLine(const char* commandLine);
