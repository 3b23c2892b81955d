// Owner and DACL of a folder replaced: Administrators, and the descriptor every folder
// the installer makes gets.
#include "services/folder_takeover.h"

// windows.h first: the descriptor-string and ACL headers build on its types.
#include <aclapi.h>
#include <sddl.h>

#include "services/diag_log.h"
#include "services/protected_descriptor.h"
#include "services/trust_check.h"

namespace {

// An administrator may take any object and set any owner, but only with these rights
// turned on in the token.
void EnableOwnershipRights() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return;
  for (const char* name : {SE_TAKE_OWNERSHIP_NAME, SE_RESTORE_NAME}) {
    TOKEN_PRIVILEGES rights = {1, {{{0, 0}, SE_PRIVILEGE_ENABLED}}};
    if (LookupPrivilegeValueA(nullptr, name, &rights.Privileges[0].Luid))
      AdjustTokenPrivileges(token, FALSE, &rights, 0, nullptr, nullptr);
  }
  CloseHandle(token);
}

DWORD SetAdministratorsOwn(const char* path) {
  EnableOwnershipRights();
  PSID admins = nullptr;
  void* descriptor = TakeProtectedDescriptor(Protected::Folder);
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  DWORD status = ERROR_INVALID_SECURITY_DESCR;
  if (descriptor != nullptr && ConvertStringSidToSidA("BA", &admins) &&
      GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) && present)
    status = SetNamedSecurityInfoA(const_cast<char*>(path), SE_FILE_OBJECT,
                                   OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
                                       PROTECTED_DACL_SECURITY_INFORMATION,
                                   admins, nullptr, dacl, nullptr);
  if (admins != nullptr) LocalFree(admins);
  ReleaseProtectedDescriptor(descriptor);
  return status;
}

}  // namespace

bool TakeOverFolder(HANDLE folder, const char* path) {
  char why[kTrustWhyCapacity];
  if (OnlyAdministratorsCanChange(folder, why, sizeof why)) return true;
  // By name: the folder is held open without sharing deletion, so the name still
  // leads to the folder that was checked.
  const DWORD status = SetAdministratorsOwn(path);
  char after[kTrustWhyCapacity];
  const bool taken = status == ERROR_SUCCESS && OnlyAdministratorsCanChange(folder, after, sizeof after);
  if (taken) {
    DiagLog("Folder %s: %s; taken over by the administrators", path, why);
  } else {
    DiagLog("Folder %s: %s; could not be taken over, error %lu", path, why, status);
  }
  return taken;
}
