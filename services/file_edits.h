// Directory paths created level by level, and the two in-place edits of an IDE's
// text files: append a line once, add the product's object-repository page.
#pragma once
#include "engine/macros.h"

// Creates every missing level under the protected folder descriptor; both separators;
// drive designators skipped; stops at the first failure other than "already exists".
// The path is given back unchanged. True when the path names a folder afterwards.
bool CreateDirectoryPath(char* path);
bool IsDirectory(const char* path);  // a folder, not a file of that name
// Both edits are false when the file could not be opened, read whole or written (the
// last error may say why), true when it was edited or already held the text.
// Appends text to an existing, non-empty file unless it already holds it (case-folded).
bool AppendTextOnce(const char* path, const char* text);
// Adds "Tarvel Lib=" after every "Projects=" anchor and appends the expanded
// templates of resource templateId; a file that lists the page is left alone.
bool AddRepositoryPage(const char* path, unsigned templateId, const MacroTable& macros);
