// The protected security descriptors of what the installer makes: the uninstall log and
// every folder, so that no ordinary user can change or replace them.
#pragma once

// SYSTEM and Administrators change, Users only read; nothing is taken from the folder
// above. The log's passes nothing on; a folder's also lets Users run programs and is
// inherited by all made inside.
enum class Protected : unsigned char { Log, Folder };

// The descriptor, or nullptr when it cannot be built (the object then has the rights its
// folder passes on). Released with ReleaseProtectedDescriptor.
void* TakeProtectedDescriptor(Protected what);
void ReleaseProtectedDescriptor(void* descriptor);
