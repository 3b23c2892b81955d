// The details of the Apps entry that the Shared Files script does not write.
#pragma once

// Publisher, version, icon, location, size, the absent Modify and Repair buttons and
// the quiet uninstall command,
// written under the Uninstall key after the scripts have run. Nothing is logged: the
// uninstall deletes the key whole, and the log's bytes stay those of the scripts.
void WriteUninstallEntry();
