// The installer's whole use of the registry: read a string, write a string or a
// number, and delete every value whose name contains a text. No key handle outlives
// a call.
#pragma once
#include <windows.h>

// Bytes the registry placed in buffer (a string's NUL counted); 0 on any failure,
// also when the data does not fit and when the value is not a string (REG_SZ or
// REG_EXPAND_SZ). A string stored without its NUL comes back terminated after its
// data; when the capacity leaves no room for that NUL the read fails.
DWORD ReadRegString(HKEY root, const char* subKey, const char* valueName, char* buffer, DWORD capacity);
// An IDE's root as detection takes it: under HKEY_LOCAL_MACHINE, else under
// HKEY_CURRENT_USER; an empty text counts as none. False, root empty, when neither has it.
bool ReadIdeRoot(const char* subKey, const char* valueName, char* root, DWORD capacity);
// Creates every missing key on the path; REG_SZ of length + 1 bytes. True when the
// value was written; else GetLastError() gives the registry's status (as for DWORDs).
bool WriteRegString(HKEY root, const char* subKey, const char* valueName, const char* text);
// Creates every missing key on the path; REG_DWORD. True when the value was written.
bool WriteRegDword(HKEY root, const char* subKey, const char* valueName, DWORD value);
// Deletes, case-folded, every value of the key whose name contains text.
void DeleteValuesContaining(HKEY root, const char* subKey, const char* text);
