// The thirteen component rows and the scripts they install.
#include "engine/component_table.h"

#include "engine/script_tables.h"

namespace {

ComponentEntry gRows[kComponentCount + 1] = {
    {" Files for Borland Delphi 3", "Software\\Borland\\Delphi\\3.0", "RootDir", nullptr, 1, 1, 0, nullptr},
    {" Files for Borland Delphi 4", "Software\\Borland\\Delphi\\4.0", "RootDir", nullptr, 1, 1, 0, nullptr},
    {" Files for Borland Delphi 5", "Software\\Borland\\Delphi\\5.0", "RootDir", nullptr, 1, 1, 0, nullptr},
    {" Files for Borland Delphi 6", "Software\\Borland\\Delphi\\6.0", "RootDir", nullptr, 1, 1, 0, nullptr},
    {" Files for Borland Delphi 7", "Software\\Borland\\Delphi\\7.0", "RootDir", nullptr, 1, 1, 0, nullptr},
    {" Files for Borland Delphi 2005", "Software\\Borland\\BDS\\3.0", "RootDir", nullptr, 1, 1, 0, nullptr},
    {" Files for Borland C++Builder 3", "Software\\Borland\\C++Builder\\3.0", "RootDir", nullptr, 1, 1, 0, nullptr},
    {" Files for Borland C++Builder 4", "Software\\Borland\\C++Builder\\4.0", "RootDir", nullptr, 1, 1, 0, nullptr},
    {" Files for Borland C++Builder 5", "Software\\Borland\\C++Builder\\5.0", "RootDir", nullptr, 1, 1, 0, nullptr},
    {" Files for Borland C++Builder 6", "Software\\Borland\\C++Builder\\6.0", "RootDir", nullptr, 1, 1, 0, nullptr},
    {" Shared Files", nullptr, nullptr, nullptr, kNotOffered, 1, 0, nullptr},
    {" Demo Projects Files", nullptr, nullptr, nullptr, 1, 1, 0, nullptr},
    {" Context Help Files", nullptr, nullptr, nullptr, 1, 1, 0, nullptr},
    {nullptr, nullptr, nullptr, nullptr, 0, 0, 0, nullptr},
};

bool gScriptsBound = false;

}  // namespace

ComponentEntry* ComponentTable() {
  // The scripts live in another translation unit; bind them on first use rather than
  // depend on the order of static initialisation.
  if (!gScriptsBound) {
    for (int i = 0; i < kComponentCount; ++i) gRows[i].script = scripts::kAll[i];
    gScriptsBound = true;
  }
  return gRows;
}
