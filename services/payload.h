// Payload resources of the running program: RT_RCDATA by 16-bit integer ID.
#pragma once
#include <windows.h>

// Writes the resource's bytes to path (CREATE_ALWAYS, no sharing). Returns the bytes
// written; 0 when the file cannot be created or the resource is missing (the file
// then exists and is empty).
DWORD ExtractResourceToFile(const char* path, unsigned id);

// A NUL-terminated heap copy of a resource's bytes. text is null when the resource
// is missing.
struct ResourceText {
  char* text;
  DWORD size;
};
ResourceText LoadResourceText(unsigned id);
void ReleaseResourceText(ResourceText& text);
