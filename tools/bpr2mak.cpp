// Stand-in for the C++Builder project converter: `bpr2mak.exe -oname.mak name.bpk`
// turns the project into its make file (default name: the project's, with .mak).
#include "engine/text.h"
#include "tools/standin.h"

int main() {
  ToolRun run;
  BeginRun(run);
  const char* project = nullptr;
  const char* makeFile = nullptr;
  for (int i = 0; i < run.argCount; ++i) {
    const char* arg = run.args[i];
    if ((arg[0] == '-' || arg[0] == '/') && (arg[1] == 'o' || arg[1] == 'O')) {
      makeFile = arg + 2;
    } else if (arg[0] != '-' && arg[0] != '/') {
      project = arg;
    }
  }
  if (project == nullptr) return 2;
  if (!FileThere(project)) return 1;
  char base[MAX_PATH];
  BaseName(makeFile != nullptr && makeFile[0] != '\0' ? makeFile : project, base, sizeof base);
  SimulateBuildTime(run);
  return WriteOutput(base, ".mak", project) ? 0 : 3;
}
