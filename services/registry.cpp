// Writing and deleting in the registry (reading is in registry_read.cpp): one key
// handle per call, opened, used and closed before returning.
#include <windows.h>

#include "services/registry.h"

#include "engine/text.h"

static constexpr DWORD kValueNameCapacity = 1040;

namespace {

bool WriteRegValue(HKEY root, const char* subKey, const char* valueName, DWORD type, const void* data, DWORD size) {
  HKEY key = nullptr;
  char noClass[] = "";
  LONG rc = RegCreateKeyExA(root, subKey, 0, noClass, 0, KEY_WRITE, nullptr, &key, nullptr);
  if (rc == ERROR_SUCCESS) {
    rc = RegSetValueExA(key, valueName, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
  }
  SetLastError(static_cast<DWORD>(rc));  // the reason, for the diagnostic log
  return rc == ERROR_SUCCESS;
}

}  // namespace

bool WriteRegString(HKEY root, const char* subKey, const char* valueName, const char* text) {
  return WriteRegValue(root, subKey, valueName, REG_SZ, text, static_cast<DWORD>(TextLength(text) + 1));
}

bool WriteRegDword(HKEY root, const char* subKey, const char* valueName, DWORD value) {
  return WriteRegValue(root, subKey, valueName, REG_DWORD, &value, sizeof value);
}

void DeleteValuesContaining(HKEY root, const char* subKey, const char* text) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, subKey, 0, KEY_WRITE | KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return;
  char* name = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, kValueNameCapacity));
  if (name != nullptr) {
    for (DWORD index = 0;;) {
      DWORD nameSize = kValueNameCapacity;
      name[0] = '\0';
      if (RegEnumValueA(key, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        break;
      // The values after a deleted one move down, so its index is read again; a value
      // that will not go (its ANSI name may not round-trip) is stepped over instead.
      if (FindNoCase(text, name) == nullptr || RegDeleteValueA(key, name) != ERROR_SUCCESS) ++index;
    }
    HeapFree(GetProcessHeap(), 0, name);
  }
  RegCloseKey(key);
}
