// The owner and DACL of an object against the accounts that may change it, read from
// the descriptor's bytes (self-relative, as Windows hands it out).
#include "services/trust_check.h"

// windows.h first: the ACL header builds on its types.
#include <aclapi.h>
#include <sddl.h>

namespace {

// Rights that let an account change what an elevated program will act on: its data,
// its name or existence, its rights and its owner.
constexpr ACCESS_MASK kChanging = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_DELETE_CHILD | DELETE | WRITE_DAC |
                                  WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

// SYSTEM, Administrators, TrustedInstaller and CREATOR OWNER, each as its bytes:
// revision, count of sub-authorities, the 48-bit authority, then each sub-authority.
constexpr BYTE kTrusted[] = {
    1, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0,                                        // S-1-5-18
    1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x20, 2, 0, 0,                          // S-1-5-32-544
    1, 6, 0, 0, 0, 0, 0, 5, 0x50, 0, 0, 0, 0xB5, 0x89, 0xFB, 0x38, 0x19, 0x84,  // S-1-5-80-956008885-
    0xC2, 0xCB, 0x5C, 0x6C, 0x23, 0x6D, 0x57, 0, 0x77, 0x6E, 0xC0, 2, 0x64, 0x87,  // ...-2271478464
    1, 1, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0,                                         // S-1-3-0
};

constexpr char kNoDacl[] = "no DACL";

constexpr std::size_t kAdministratorsAt = 12;  // S-1-5-32-544 in kTrusted
static_assert(kTrusted[kAdministratorsAt + 1] == 2 && kTrusted[kAdministratorsAt + 12] == 0x20);

DWORD SidLength(const BYTE* sid) { return 8u + 4u * sid[1]; }

bool SameSid(const BYTE* a, const BYTE* b) {
  const DWORD length = SidLength(a);
  for (DWORD i = 0; i < length; ++i)
    if (a[i] != b[i]) return false;
  return true;
}

bool IsTrusted(const BYTE* sid, const BYTE* self) {
  if (sid == nullptr || sid[0] != 1) return false;
  if (self != nullptr && SameSid(sid, self)) return true;
  for (const BYTE* known = kTrusted; known < kTrusted + sizeof kTrusted; known += SidLength(known))
    if (SameSid(sid, known)) return true;
  return false;
}

// A SID's text is at most 184 characters, the longest format 24.
bool Refuse(TrustWhy& why, const char* format, const BYTE* sid, ACCESS_MASK mask) {
  char* text = nullptr;
  if (sid == nullptr || !ConvertSidToStringSidA(const_cast<BYTE*>(sid), &text)) text = nullptr;
  wsprintfA(why, format, text != nullptr ? text : "", mask);
  if (text != nullptr) LocalFree(text);
  return false;
}

}  // namespace

const void* AdministratorsSid() { return kTrusted + kAdministratorsAt; }

bool OnlyAdministratorsCanChangeDescriptor(PSECURITY_DESCRIPTOR descriptor, PSID self, TrustWhy& why) {
  const auto* sd = static_cast<const SECURITY_DESCRIPTOR_RELATIVE*>(descriptor);
  const auto* base = static_cast<const BYTE*>(descriptor);
  const BYTE* owner = sd->Owner != 0 ? base + sd->Owner : nullptr;
  if ((sd->Control & SE_SELF_RELATIVE) == 0 || !IsTrusted(owner, static_cast<const BYTE*>(self)))
    return Refuse(why, "owner %s", owner, 0);
  // No DACL at all lets everyone do everything.
  if ((sd->Control & SE_DACL_PRESENT) == 0 || sd->Dacl == 0) return Refuse(why, kNoDacl, nullptr, 0);
  const auto* acl = reinterpret_cast<const ACL*>(base + sd->Dacl);
  const BYTE* ace = reinterpret_cast<const BYTE*>(acl + 1);
  const BYTE* end = reinterpret_cast<const BYTE*>(acl) + acl->AclSize;
  for (WORD i = 0; i < acl->AceCount && ace + sizeof(ACE_HEADER) <= end; ++i) {
    const auto* header = reinterpret_cast<const ACE_HEADER*>(ace);
    const BYTE type = header->AceType;
    const ACCESS_MASK mask = reinterpret_cast<const ACCESS_ALLOWED_ACE*>(ace)->Mask;
    const BYTE* sid = ace + 8;
    ace += header->AceSize;
    if (header->AceSize < 8 || ace > end) return Refuse(why, kNoDacl, nullptr, 0);
    // Denials and audits take nothing away from the rule; object ACEs carry their SID
    // further on and are judged by their rights alone.
    const bool plain = type == ACCESS_ALLOWED_ACE_TYPE || type == ACCESS_ALLOWED_CALLBACK_ACE_TYPE;
    const bool object = type == ACCESS_ALLOWED_OBJECT_ACE_TYPE || type == ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE;
    if ((!plain && !object) || (mask & kChanging) == 0) continue;
    if (plain && sid + 8 <= ace && sid + SidLength(sid) <= ace && IsTrusted(sid, static_cast<const BYTE*>(self)))
      continue;
    return Refuse(why, "%s may change it (0x%lX)", plain ? sid : nullptr, mask);
  }
  return true;
}

bool OnlyAdministratorsCanChange(HANDLE object, TrustWhy& why) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const DWORD status = GetSecurityInfo(object, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                       nullptr, nullptr, nullptr, nullptr, &descriptor);
  if (status != ERROR_SUCCESS) return Refuse(why, "%.0serror %lu", nullptr, status);
  // The account running the program: under Wine it owns every file.
  alignas(8) BYTE user[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  PSID self = nullptr;
  HANDLE token = nullptr;
  DWORD size = 0;
  if (OpenProcessToken(reinterpret_cast<HANDLE>(-1), TOKEN_QUERY, &token)) {  // this process
    if (GetTokenInformation(token, TokenUser, user, sizeof user, &size))
      self = reinterpret_cast<TOKEN_USER*>(user)->User.Sid;
    CloseHandle(token);
  }
  const bool only = OnlyAdministratorsCanChangeDescriptor(descriptor, self, why);
  LocalFree(descriptor);
  return only;
}
