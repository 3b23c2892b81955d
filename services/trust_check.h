// Whether only the administrators can change a file or folder: the rule both elevated
// programs apply before they trust an installation root or an uninstall log.
#pragma once
#include <windows.h>

#include <cstddef>

// Room for "owner S-1-5-21-...", "S-1-... may change it (0x1301FF)" or "no DACL" with its
// NUL, for a SID of the most sub-authorities there can be.
inline constexpr std::size_t kTrustWhyCapacity = 256;
using TrustWhy = char[kTrustWhyCapacity];

// True when the owner is SYSTEM, Administrators, TrustedInstaller or self, and no ACE
// lets any other account write, delete, or change rights or owner (CREATOR OWNER
// stands for whoever creates an object inside, which is the elevated program). False
// otherwise, with why naming the owner or the ACE that failed.
bool OnlyAdministratorsCanChangeDescriptor(PSECURITY_DESCRIPTOR descriptor, PSID self, TrustWhy& why);
// The Administrators group (S-1-5-32-544), as a SID.
const void* AdministratorsSid();
// The same for an open object (its handle needs READ_CONTROL), with the running account
// as self. An object whose descriptor cannot be read fails, with its error as why.
bool OnlyAdministratorsCanChange(HANDLE object, TrustWhy& why);
