// The unattended installation: the wizard's own dialog, made from its template but
// never shown, walked page by page as Next walks it, with the destination check that
// Next makes said on the console instead of in a message box; and the usage.
#include "setup/silent_run.h"

#include <windows.h>

#include <array>

#include "engine/component_table.h"
#include "engine/detection.h"
#include "engine/install_run.h"
#include "engine/setup_state.h"
#include "engine/text.h"
#include "engine/wizard_items.h"
#include "services/diag_log.h"
#include "services/payload.h"
#include "setup/wizard.h"

namespace {

HANDLE gConsole = nullptr;

// Started from a console, lines go to it (Wine gives a console parent's GUI child
// that console at start, so the attach answers "already attached"); started
// otherwise, nowhere.
void AttachParentConsole() {
  if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED) return;
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (out == nullptr || out == INVALID_HANDLE_VALUE)
    out = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (out != INVALID_HANDLE_VALUE) gConsole = out;
}

// To the console, and to the log when there is one.
void Put(std::string_view text) {
  DWORD written = 0;
  if (gConsole != nullptr) WriteFile(gConsole, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  DiagWrite(text);
}

void Say(std::string_view what, std::string_view detail, std::string_view more = {}) {
  Put(what);
  Put(detail);
  Put(more);
  Put("\r\n");
}

// Appends, cut to the block.
void Append(char* text, std::size_t capacity, std::string_view part) {
  std::size_t n = TextLength(text);
  for (char c : part) {
    if (n + 1 >= capacity) break;
    text[n++] = c;
  }
  text[n] = '\0';
}

constexpr std::string_view kUsageHead =
    "setup.exe [/S [/COMPONENTS=list] [/CLOSEAPPLICATIONS]] [/LOG=file] [/D=path]\r\n\r\n"
    "/S  no window, no question. Without it, the wizard.\r\n"
    "/CLOSEAPPLICATIONS  asks a running IDE to close and waits 30 s for it.\r\n"
    "/LOG=file  a log of the run; its folder must exist.\r\n"
    "/COMPONENTS=list  separated by commas, of:\r\n ";
constexpr std::string_view kUsageTail =
    "\r\n  (default: as the wizard ticks them; the shared files always).\r\n"
    "/D=path  the destination, last, no quotes (the wizard proposes it).\r\n\r\n"
    "Exit codes: 0 installed, 1 option malformed or log not created,\r\n"
    "2 component not offered, 3 destination refused, 4 installation not\r\n"
    "started, 5 not all written, 6 setup file damaged, 7 wizard cancelled,\r\n"
    "8 an IDE is running.\r\n";

constexpr std::size_t NamesLength() {
  std::size_t n = 0;
  for (std::string_view name : kComponentShortNames) n += name.empty() ? 0 : name.size() + 1;
  return n;
}

// The usage, put together at compile time with the names of the component table.
constexpr std::size_t kUsageSize = kUsageHead.size() + NamesLength() + kUsageTail.size() + 1;
constexpr std::array<char, kUsageSize> kUsage = [] {
  std::array<char, kUsageSize> text = {};
  std::size_t n = 0;
  auto add = [&](std::string_view part) {
    for (char c : part) text[n++] = c;
  };
  add(kUsageHead);
  for (std::string_view name : kComponentShortNames) {
    if (name.empty()) continue;
    add(" ");
    add(name);
  }
  add(kUsageTail);
  return text;
}();

// The usage, with a refusal before it when there is one; a message box when no
// console takes it.
void ShowUsage(const SetupOptions& o) {
  char text[kUsageSize + 300];
  text[0] = '\0';
  if (o.problem != nullptr) {
    Append(text, sizeof text, o.problem);
    Append(text, sizeof text, ": ");
    Append(text, sizeof text, o.refused);
    Append(text, sizeof text, "\r\n\r\n");
  }
  Append(text, sizeof text, kUsage.data());
  if (gConsole != nullptr) {
    Put(text);
  } else {
    MessageBoxA(nullptr, text, "Tarvel Lib Installation", o.problem != nullptr ? MB_ICONERROR : MB_ICONINFORMATION);
  }
}

// The wizard's dialog from a copy of its template without WS_VISIBLE, so it exists,
// lays itself out and runs every page without ever being on the screen.
bool CreateHiddenWizard() {
  HRSRC found = FindResourceA(gSetup.instance, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(5));  // RT_DIALOG
  HGLOBAL loaded = found != nullptr ? LoadResource(gSetup.instance, found) : nullptr;
  const auto* source = static_cast<const unsigned char*>(loaded != nullptr ? LockResource(loaded) : nullptr);
  const DWORD size = found != nullptr ? SizeofResource(gSetup.instance, found) : 0;
  if (source == nullptr || size < 16) return false;
  auto* copy = static_cast<unsigned char*>(AllocateBlock(size));
  if (copy == nullptr) return false;
  for (DWORD i = 0; i < size; ++i) copy[i] = source[i];
  // An extended template has its style after the signature, version and help ID.
  const bool extended = copy[2] == 0xFF && copy[3] == 0xFF;
  auto* style = reinterpret_cast<DWORD*>(copy + (extended ? 12 : 0));
  *style &= ~static_cast<DWORD>(WS_VISIBLE);
  HWND dialog = CreateDialogIndirectParamA(gSetup.instance, reinterpret_cast<LPCDLGTEMPLATEA>(copy), nullptr,
                                           WizardDialogProc, 0);
  ReleaseBlock(copy);
  return dialog != nullptr;
}

void NextPage() {
  ++gSetup.wizardStep;
  ShowStep();
}

// The ticks as the wizard showed them, or exactly the rows named.
unsigned ChooseComponents(const SetupOptions& o) {
  unsigned code = kExitInstalled;
  const ComponentEntry* rows = ComponentTable();
  for (int i = 0; i < kComponentCount; ++i) {
    const bool named = ((o.components >> i) & 1u) != 0;
    if (rows[i].visibility == kNotOffered) {
      if (!named) continue;
      Say("not offered on this machine: ", kComponentShortNames[i]);
      code = kExitNotOffered;
    } else if (o.componentsNamed) {
      SendDlgItemMessageA(gSetup.dialog, Item::ComponentList, LB_SETITEMDATA, static_cast<WPARAM>(rows[i].listIndex),
                          named ? 1 : -1);
    }
  }
  return code;
}

unsigned ChooseDestination(const SetupOptions& o) {
  // Typed into the edit box, where the check reads it as it reads what a person
  // typed; a path too long to keep whole keeps enough of itself to be refused so.
  if (o.destination.data() != nullptr) {
    char typed[kPathCapacity + 1] = {};
    Append(typed, sizeof typed, o.destination);
    SetDlgItemTextA(gSetup.dialog, Item::Destination, typed);
  }
  const char* problem = DestinationRefusal();
  if (problem == nullptr) return kExitInstalled;
  Say("destination refused: ", problem);
  return kExitDestinationRefused;
}

// The worker reaches the window only through messages sent to this thread: they are
// carried out here until it has ended. Without a handle to wait on, the end of the
// run is polled.
void WaitForWorker(HANDLE worker) {
  for (;;) {
    const DWORD woke = MsgWaitForMultipleObjects(worker != nullptr ? 1 : 0, &worker, FALSE,
                                                 worker != nullptr ? INFINITE : 20, QS_ALLINPUT);
    if (worker != nullptr ? woke != WAIT_OBJECT_0 + 1 : !InstallationRunning()) return;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
}

unsigned RunInstallation() {
  NextPage();  // StartInstallation
  // The worker closes its handle on the finish page, which it reaches only through
  // messages this thread has not yet carried out: the handle is still the worker's
  // here, or null when no worker could be made.
  if (gSetup.workerThread == nullptr) return kExitNotStarted;
  HANDLE worker = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), gSetup.workerThread, GetCurrentProcess(), &worker, SYNCHRONIZE, FALSE, 0))
    worker = nullptr;
  WaitForWorker(worker);
  if (worker != nullptr) CloseHandle(worker);
  return FinishedRunExitCode();
}

unsigned InstallSilently(const SetupOptions& o) {
  if (!PayloadIntact(nullptr)) {
    Say(kDamagedText, {});
    return kExitDamaged;
  }
  if (!CreateHiddenWizard()) return kExitNotStarted;
  NextPage();  // the component page: detection, the list and the proposal
  unsigned code = ChooseComponents(o);
  if (code == kExitInstalled && !SelectedIdesClosed(nullptr, o.closeApplications)) {
    Say("a selected IDE is running", o.closeApplications ? " and did not close" : "");
    code = kExitIdeRunning;
  }
  if (code == kExitInstalled) code = ChooseDestination(o);
  if (code == kExitInstalled) code = RunInstallation();
  ReleaseSetupState();
  DestroyWindow(gSetup.dialog);
  return code;
}

}  // namespace

const char kDamagedText[] = "The setup file is damaged. Please download it again.";

unsigned FinishedRunExitCode() { return InstallFailureCount() != 0 ? kExitNotAllWritten : kExitInstalled; }

bool OpenRunLog(const SetupOptions& o) {
  if (o.log.data() == nullptr || OpenDiagLog(o.log, "Tarvel Lib setup")) return true;
  constexpr std::string_view kRefusal = "the log cannot be created: ";
  if (o.kind != StartKind::Wizard) {
    Say(kRefusal, o.log);
    return false;
  }
  char text[kPathCapacity + kRefusal.size()] = {};
  Append(text, sizeof text, kRefusal);
  Append(text, sizeof text, o.log);
  MessageBoxA(nullptr, text, "Tarvel Lib Installation", MB_ICONERROR);
  return false;
}

unsigned RunFromCommandLine(const SetupOptions& o) {
  AttachParentConsole();
  if (o.kind == StartKind::Usage) {
    ShowUsage(o);
    return kExitInstalled;
  }
  unsigned code = kExitBadOption;
  // A log that cannot be created ends the run before anything else happens.
  const bool logOpen = OpenRunLog(o);
  if (logOpen && o.kind == StartKind::Malformed) {
    // Only a start that asked for no window goes without one.
    if (!o.silent && gConsole == nullptr) ShowUsage(o);
    Say(o.problem, ": ", o.refused);
  } else if (logOpen) {
    code = InstallSilently(o);
  }
  if (code == kExitNotStarted) Say("the installation could not be started", "");
  if (code == kExitNotAllWritten) {
    Say("could not be written: ", FirstInstallFailure());
    Say("Tarvel Lib installed with errors in ", gSetup.destination);
  } else if (code == kExitInstalled) {
    Say("Tarvel Lib installed in ", gSetup.destination);
  } else {
    const char digit[] = {static_cast<char>('0' + code), '\0'};
    Say("Tarvel Lib not installed, exit code ", digit);
  }
  return CloseDiagLog(code);
}
