// Payload resources of the running program: RT_RCDATA by 16-bit integer ID.
#pragma once
#include <windows.h>

// True when every payload resource of module (null: this program) has the digest its
// table gives. A module without the table is intact only when it has no payload either
// (the test builds).
bool PayloadIntact(HMODULE module);

// Writes the resource's bytes to a new file at path (one that is there is deleted first,
// so it keeps no rights of its own; no sharing). True when the file
// holds all of them; false when it cannot be created, a write falls short, or the
// resource is missing (the file then exists and is empty). An empty resource makes
// an empty file and succeeds.
bool ExtractResourceToFile(const char* path, unsigned id);

// A NUL-terminated heap copy of a resource's bytes. text is null when the resource
// is missing.
struct ResourceText {
  char* text;
  DWORD size;
};
ResourceText LoadResourceText(unsigned id);
void ReleaseResourceText(ResourceText& text);
