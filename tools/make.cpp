// Stand-in for the C++Builder make: `make.exe /fname.bpk` or `/fname.mak` builds the
// package and leaves .bpl, .lib, .bpi, .tds, the incremental-link files and .obj.
#include "engine/text.h"
#include "tools/standin.h"

namespace {
constexpr const char* kOutputs[] = {".bpl", ".lib", ".bpi", ".tds", ".ilc", ".ild", ".ilf", ".ils", ".obj"};
}

int main() {
  ToolRun run;
  BeginRun(run);
  const char* makeFile = nullptr;
  for (int i = 0; i < run.argCount; ++i) {
    const char* arg = run.args[i];
    if ((arg[0] == '-' || arg[0] == '/') && (arg[1] == 'f' || arg[1] == 'F')) makeFile = arg + 2;
  }
  if (makeFile == nullptr || makeFile[0] == '\0') makeFile = "makefile";
  if (!FileThere(makeFile)) return 1;
  char base[MAX_PATH];
  BaseName(makeFile, base, sizeof base);
  SimulateBuildTime(run);
  bool ok = true;
  for (const char* ext : kOutputs) ok = WriteOutput(base, ext, makeFile) && ok;
  return ok ? 0 : 3;
}
