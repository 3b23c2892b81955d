// Whether only the administrators can change a file or folder: the rule both elevated
// programs apply before they trust an installation root or an uninstall log.
#pragma once
#include <windows.h>

#include <cstddef>

// Room for "owner S-1-5-21-...", "S-1-...: 0x001301FF" or "no DACL" with its NUL.
inline constexpr std::size_t kTrustWhyCapacity = 200;

// True when the owner is SYSTEM, Administrators, TrustedInstaller or self, and no ACE
// lets any other account write, delete, or change rights or owner (CREATOR OWNER
// stands for whoever creates an object inside, which is the elevated program). False
// otherwise, with why naming the owner or the ACE that failed (cut to capacity).
bool OnlyAdministratorsCanChangeDescriptor(PSECURITY_DESCRIPTOR descriptor, PSID self, char* why,
                                           std::size_t capacity);
// The same for an open object (its handle needs READ_CONTROL), with the running account
// as self. An object whose descriptor cannot be read fails, with its error as why.
bool OnlyAdministratorsCanChange(HANDLE object, char* why, std::size_t capacity);
