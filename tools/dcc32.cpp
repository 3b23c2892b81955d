// Stand-in for the Delphi command-line compiler: `dcc32.exe "name.dpk"` in the
// package's folder leaves the package (.bpl, or .dpl for Delphi 3), .dcp and .dcu.
#include "engine/text.h"
#include "tools/standin.h"

int main() {
  ToolRun run;
  BeginRun(run);
  const char* project = nullptr;
  for (int i = 0; i < run.argCount; ++i) {
    if (run.args[i][0] != '-' && run.args[i][0] != '/') project = run.args[i];
  }
  if (project == nullptr) return 2;
  char file[MAX_PATH];
  CopyText(file, sizeof file, project);
  char base[MAX_PATH];
  BaseName(file, base, sizeof base);
  const char* afterSeparator = file;
  for (const char* p = file; *p != '\0'; ++p) {
    if (*p == '\\' || *p == '/') afterSeparator = p + 1;
  }
  if (FindNoCase(".", afterSeparator) == nullptr) AppendText(file, sizeof file, ".dpk");  // the compiler's default
  if (!FileThere(file)) return 1;
  SimulateBuildTime(run);
  bool ok = WriteOutput(base, run.packageExt, file);
  ok = WriteOutput(base, ".dcp", file) && ok;
  ok = WriteOutput(base, ".dcu", file) && ok;
  return ok ? 0 : 3;
}
