// Reading the registry, which qlnclear.exe shares: one key handle per call, opened,
// used and closed before returning.
#include <windows.h>

#include "services/registry.h"

DWORD ReadRegString(HKEY root, const char* subKey, const char* valueName, char* buffer, DWORD capacity) {
  if (buffer == nullptr || capacity == 0) return 0;
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return 0;
  DWORD size = capacity;
  DWORD type = REG_NONE;
  const LONG rc =
      RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  // A number or binary data read as a text would name some other, relative folder.
  if (type != REG_SZ && type != REG_EXPAND_SZ) {
    if (rc == ERROR_SUCCESS && size != 0) buffer[0] = '\0';
    return 0;
  }
  if (rc != ERROR_SUCCESS || size == 0 || size > capacity) return 0;
  // Callers use the buffer as a text, so data stored without its NUL is ended after
  // it; with no room left for that NUL the read fails, as any data that does not fit:
  // ending it in place of its last byte would give a cut path naming another folder.
  if (buffer[size - 1] != '\0') {
    if (size == capacity) {
      buffer[0] = '\0';
      return 0;
    }
    buffer[size] = '\0';
  }
  return size;
}

bool ReadIdeRoot(const char* subKey, const char* valueName, char* root, DWORD capacity) {
  for (HKEY hive = HKEY_LOCAL_MACHINE;; hive = HKEY_CURRENT_USER) {
    if (ReadRegString(hive, subKey, valueName, root, capacity) != 0 && root[0] != '\0') return true;
    root[0] = '\0';
    if (hive == HKEY_CURRENT_USER) return false;
  }
}
