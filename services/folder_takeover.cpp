// Owner and DACL of a folder replaced: Administrators, and the descriptor every folder
// the installer makes gets.
#include "services/folder_takeover.h"

// windows.h first: the ACL header builds on its types.
#include <aclapi.h>

#include "services/diag_log.h"
#include "services/protected_descriptor.h"
#include "services/trust_check.h"

namespace {

// An administrator may take any object and set any owner, but only with these rights
// turned on in the token: SeTakeOwnershipPrivilege and SeRestorePrivilege, whose
// numbers Windows fixes.
struct OwnershipRights {
  DWORD count;
  LUID_AND_ATTRIBUTES rights[2];
};
constexpr OwnershipRights kOwnershipRights = {
    2, {{{9, 0}, SE_PRIVILEGE_ENABLED}, {{18, 0}, SE_PRIVILEGE_ENABLED}}};

DWORD SetAdministratorsOwn(const char* path) {
  HANDLE token = nullptr;
  if (OpenProcessToken(reinterpret_cast<HANDLE>(-1), TOKEN_ADJUST_PRIVILEGES, &token)) {  // this process
    AdjustTokenPrivileges(token, FALSE,
                          reinterpret_cast<TOKEN_PRIVILEGES*>(const_cast<OwnershipRights*>(&kOwnershipRights)), 0,
                          nullptr, nullptr);
    CloseHandle(token);
  }
  // The descriptor is self-relative: its DACL lies at the offset it gives.
  void* descriptor = TakeProtectedDescriptor(Protected::Folder);
  DWORD status = ERROR_INVALID_SECURITY_DESCR;
  if (descriptor != nullptr) {
    const auto* sd = static_cast<SECURITY_DESCRIPTOR_RELATIVE*>(descriptor);
    status = SetNamedSecurityInfoA(
        const_cast<char*>(path), SE_FILE_OBJECT,
        OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
        const_cast<void*>(AdministratorsSid()), nullptr,
        reinterpret_cast<PACL>(static_cast<BYTE*>(descriptor) + sd->Dacl), nullptr);
  }
  ReleaseProtectedDescriptor(descriptor);
  return status;
}

}  // namespace

bool TakeOverFolder(HANDLE folder, const char* path) {
  char why[kTrustWhyCapacity];
  if (OnlyAdministratorsCanChange(folder, why)) return true;
  // By name: the folder is held open without sharing deletion, so the name still
  // leads to the folder that was checked. What is set is the protected folder
  // descriptor, which passes the rule by itself.
  const DWORD status = SetAdministratorsOwn(path);
  DiagLog(status == ERROR_SUCCESS ? "Folder %s: %s; taken over by the administrators"
                                  : "Folder %s: %s; not taken over, error %lu",
          path, why, status);
  return status == ERROR_SUCCESS;
}
