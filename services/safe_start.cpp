// Both programs import statically only Windows' KnownDLLs, which never come from the
// program's folder; the common controls are not one of them, so they are loaded here
// by hand, from the system folder, once the search is limited to it.
#include "services/safe_start.h"

#include <windows.h>
// windows.h first: the common-controls header builds on its types.
#include <commctrl.h>

namespace {

using SetDirectories = BOOL(WINAPI*)(DWORD);
using SetMitigation = BOOL(WINAPI*)(int, void*, SIZE_T);
using InitControls = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);

// Through a plain function pointer type: the compiler lets that one be cast to any.
using AnyFunction = void (*)();
template <typename F>
F Find(HMODULE module, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<AnyFunction>(GetProcAddress(module, name)));
}

// The redirection trust policy and its flag that enforces it: Windows 10 22H2 and 11
// then follow no junction that a non-administrator made.
constexpr int kRedirectionTrustPolicy = 16;
constexpr DWORD kEnforceRedirectionTrust = 1;

bool gRedirectionTrusted = false;

void EnforceRedirectionTrust() {
  const auto set = Find<SetMitigation>(GetModuleHandleA("kernel32.dll"), "SetProcessMitigationPolicy");
  DWORD policy = kEnforceRedirectionTrust;
  gRedirectionTrusted = set != nullptr && set(kRedirectionTrustPolicy, &policy, sizeof policy);
}

}  // namespace

bool RedirectionTrustEnforced() { return gRedirectionTrusted; }

bool StartSafely() {
  EnforceRedirectionTrust();
  // Windows 7 without its update has no SetDefaultDllDirectories and refuses the
  // search flag: there the common controls are named by their full path.
  const auto setDirectories = Find<SetDirectories>(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
  if (setDirectories != nullptr) setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  SetDllDirectoryA("");
  HMODULE controls = LoadLibraryExA("comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (controls == nullptr) {
    char path[MAX_PATH + 16];
    const UINT n = GetSystemDirectoryA(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return false;
    lstrcatA(path, "\\comctl32.dll");
    controls = LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  }
  // A null module would name this program, which has no such export: asked only of the DLL.
  const auto init = controls != nullptr ? Find<InitControls>(controls, "InitCommonControlsEx") : nullptr;
  const INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_WIN95_CLASSES};
  return init != nullptr && init(&classes);
}
