// The protected descriptors, built from their descriptor strings.
#include "services/protected_descriptor.h"

#include <windows.h>
// windows.h first: the descriptor-string header builds on its types.
#include <sddl.h>

namespace {

// Full access for SYSTEM and Administrators, read for Users, nothing inherited from
// the folder: the log lists what an administrator's uninstall deletes, and a folder
// made directly under C:\ lets every user modify what it holds. Folders are made as
// the system's program folder is: Users read and run, and every entry is inherited.
constexpr const char* kDescriptors[] = {
    "D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FR;;;BU)",
    "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)",
};

}  // namespace

void* TakeProtectedDescriptor(Protected what) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kDescriptors[static_cast<int>(what)], SDDL_REVISION_1,
                                                            &descriptor, nullptr))
    return nullptr;
  return descriptor;
}

void ReleaseProtectedDescriptor(void* descriptor) {
  if (descriptor != nullptr) LocalFree(descriptor);
}
