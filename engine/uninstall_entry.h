// The details of the Apps entry that the Shared Files script does not write.
#pragma once

// The Apps entry's key, which the Shared Files script creates and the uninstall deletes.
inline constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvel Lib";

// Publisher, version, icon, location, size, the absent Modify and Repair buttons, and
// the uninstall command and its quiet form with the uninstaller's full path, written under the Uninstall key after the scripts have
// run. Nothing is logged: the uninstall deletes the key whole, and the log's bytes stay
// those of the scripts. A value that cannot be written counts as a failure of the run.
void WriteUninstallEntry();
