// The IDE roots come from the registry, as setup.exe's detection reads them: the log
// names only the IDEs' help folders, not where their programs are.
#include "uninstaller/ide_check.h"

#include "engine/ide_table.h"
#include "services/registry.h"
#include "services/running_ide.h"

bool NoIdeRunning(HWND owner) {
  IdeFolder ides[kIdeCount];
  int count = 0;
  static_assert(kIdeTextCapacity - sizeof kIdeCaptionLead < sizeof ides->name, "the captions' bound holds the names");
  for (const IdeVersion& ide : kIdeVersions) {
    char key[kIdeTextCapacity];
    char root[MAX_PATH];
    wsprintfA(key, kIdeKeyFormat, kIdeKeyFamily[ide.family], unsigned{ide.keyMajor});
    if (!ReadIdeRoot(key, kIdeRootValue, root, MAX_PATH) || !SetIdeBin(ides[count], root)) continue;
    wsprintfA(ides[count++].name, kIdeNameFormat, kIdeShownFamily[ide.family], unsigned{ide.shown});
  }
  return IdesClosed(owner, "Uninstall - Quillon", ides, count);
}
