// RunScript: the only code that turns install steps into files, registry values,
// build-tool runs and uninstall log records.
#include "engine/interpreter.h"

#include <windows.h>

#include <iterator>

#include "engine/search_path.h"
#include "engine/text.h"
#include "services/diag_log.h"
#include "services/file_edits.h"
#include "services/link_check.h"
#include "services/payload.h"
#include "services/registry.h"
#include "engine/part_timing.h"
#include "engine/setup_state.h"
#include "engine/step_timing.h"
#include "uninstlog/log_format.h"

namespace {

constexpr char kKnownPackagesKey[] = "$DELPHI_REG$\\Known Packages";
constexpr char kLibraryKey[] = "$DELPHI_REG$\\Library";
constexpr char kHelpKey[] = "Software\\Microsoft\\Windows\\Help";
constexpr char kStaleLibraryMarker[] = "tarvellib.";

char* P() { return gSetup.pathBuffer; }
char* W(int i) { return WorkBuffer(i - 1); }

// A malformed step with a missing text operand expands to the empty text.
const char* OrEmpty(const char* text) { return text != nullptr ? text : ""; }

void ExpandInto(const char* templ, char* out, std::size_t capacity) {
  ExpandMacros(gSetup.macros, OrEmpty(templ), out, capacity);
}

void ExpandWork(int i, const char* templ) { ExpandInto(templ, W(i), kWorkBufferCapacity); }

void Log(std::uint8_t type, const char* text) {
  TimePartBegin(TimedPart::RecordWrite);
  AppendLog(gSetup.log, type, text);
  TimePartEnd(TimedPart::RecordWrite);
}

// The step's failure for the diagnostic log: its reason, taken where it happened.
bool stepFailed = false;
DWORD stepError = 0;
DWORD buildExitCode = 0;

void StepFailed() {
  stepError = GetLastError();
  stepFailed = true;
}

// A step the run passes over without counting it (an edit of a file that is not there,
// a temporary file already gone): its line still gives the reason.
void PassedOver(bool done) {
  if (!done) stepError = GetLastError() != 0 ? GetLastError() : ERROR_INVALID_DATA;
}

void Failed(const char* path) {
  StepFailed();
  NoteFailure(gSetup.failures, path);
}

// A level below the root that is a link, or a file there with a second name, could lead
// anywhere a user chose: nothing is written, made, deleted, read or built through it, and
// that counts as a failure. The check is on the text as it is finally opened.
bool Refused(char* path) {
  TimePartBegin(TimedPart::LinkCheck);
  const PathState state = CheckPath(path);
  TimePartEnd(TimedPart::LinkCheck);
  if (state != PathState::Link) return false;
  Failed(path);
  return true;
}

void WriteValue(HKEY root, const char* key, const char* valueName, const char* data) {
  if (WriteRegString(root, key, valueName, data)) return;
  StepFailed();
  NoteValueFailure(gSetup.failures, root == HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER", key,
                   valueName);
}

// The build before a copy leaves the package the copy names: without it the build
// failed, and that is the one failure named, not the copy as well.
void CopyToFile(const StepTexts& step) {
  ExpandWork(1, step.b);
  if (Refused(P()) || Refused(W(1))) return;
  if (!CopyFileA(P(), W(1), FALSE)) Failed(GetFileAttributesA(P()) == INVALID_FILE_ATTRIBUTES ? P() : W(1));
  Log(LogType::File, W(1));
}

// The tool gets no handle of the installer, and runs in its own folder or not at all.
void RunBuildTool(const ScriptStep& step, const StepTexts& text, const char* texts) {
  ExpandWork(1, text.b);
  if (Refused(W(1))) return;
  if (!IsDirectory(W(1))) return Failed(W(1));
  // What the build leaves, the steps after it log: the file names it first, so a run
  // ended while the tool hangs still lists what the tool may have written.
  for (const ScriptStep* next = &step + 1; next->a != 0 && (next->opcode == Opcode::RecordBuildOutput ||
                                                            next->opcode == Opcode::RunBuildTool ||
                                                            next->opcode == Opcode::CopyToFile);
       ++next) {
    if (next->opcode != Opcode::RecordBuildOutput) continue;
    ExpandWork(2, PoolText(texts, next->a));
    AppendLogAhead(gSetup.log, LogType::File, W(2));
  }
  STARTUPINFOA& si = gSetup.startupInfo;
  ZeroMemory(&si, sizeof si);
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION& pi = gSetup.processInfo;
  ZeroMemory(&pi, sizeof pi);
  // A tool may hang until the run is ended from outside: what is logged is on disk.
  DiagFlush();
  if (!CreateProcessA(nullptr, P(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, W(1), &si, &pi)) {
    StepFailed();
    return;
  }
  WaitForSingleObject(pi.hProcess, INFINITE);
  GetExitCodeProcess(pi.hProcess, &buildExitCode);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
}

// True when the value exists with data that could not be read as a text (too long
// for the buffer, no room for its NUL, not a string): such a search path must not be
// taken for a missing one and overwritten.
bool ValueHeldButUnread(HKEY root, const char* subKey, const char* valueName) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  DWORD size = 0;
  const LONG status = RegQueryValueExA(key, valueName, nullptr, nullptr, nullptr, &size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS && size != 0;
}

void UpdateSearchPath(const StepTexts& step) {
  ExpandWork(1, kLibraryKey);
  const char* valueName = OrEmpty(step.b);
  if (ReadRegString(HKEY_CURRENT_USER, W(1), valueName, W(2), kWorkBufferCapacity) == 0) {
    if (ValueHeldButUnread(HKEY_CURRENT_USER, W(1), valueName)) return;
    W(2)[0] = '\0';
  }
  const SearchPathScratch scratch = {W(2), W(3), W(4), kWorkBufferCapacity};
  if (!RewriteSearchPath(gSetup.macros, scratch, P())) return;
  WriteValue(HKEY_CURRENT_USER, W(1), valueName, W(4));
}

void PruneRegistrations() {
  ExpandWork(1, kKnownPackagesKey);
  const char* package = MacroValue(gSetup.macros, Macro::SubFile);
  // An empty package name is contained in every name: it would unregister all of the IDE's packages.
  if (package[0] != '\0') DeleteValuesContaining(HKEY_CURRENT_USER, W(1), package);
  DeleteValuesContaining(HKEY_CURRENT_USER, W(1), kStaleLibraryMarker);
}

void SetStringValue(HKEY root, std::uint8_t keyRecord, const StepTexts& step) {
  ExpandWork(1, step.b);
  ExpandWork(2, step.c);
  WriteValue(root, P(), W(1), W(2));
  Log(keyRecord, P());
  Log(LogType::ValueName, W(1));
}

// An opcode outside the set (a malformed step) has no bit: a shift that far is undefined.
constexpr std::uint32_t Bit(Opcode op) {
  return static_cast<std::uint32_t>(op) < 32 ? 1u << static_cast<std::uint32_t>(op) : 0;
}

// The opcodes that write, make or delete what their first operand names.
constexpr std::uint32_t kWritesAtFirstOperand = Bit(Opcode::ExtractPayload) | Bit(Opcode::MakeDirectory) |
                                                Bit(Opcode::AppendOnce) | Bit(Opcode::RemoveFile) |
                                                Bit(Opcode::AddRepositoryPage);

void RunStep(const ScriptStep& step, const StepTexts& text, const char* texts) {
  // Refused, the step does nothing, and logs nothing that it did not make.
  if ((kWritesAtFirstOperand & Bit(step.opcode)) != 0 && Refused(P())) return;
  switch (step.opcode) {
    case Opcode::ExtractPayload:
      if (!ExtractResourceToFile(P(), step.b)) Failed(P());
      Log(LogType::File, P());
      break;
    case Opcode::MakeDirectory:
      if (!CreateDirectoryPath(P())) Failed(P());
      Log(LogType::Directory, P());
      break;
    case Opcode::CopyToFile:
      CopyToFile(text);
      break;
    case Opcode::RunBuildTool:
      RunBuildTool(step, text, texts);
      break;
    case Opcode::RegisterPackage:
      ExpandWork(1, kKnownPackagesKey);
      WriteValue(HKEY_CURRENT_USER, W(1), P(), OrEmpty(text.b));
      Log(LogType::UserKey, W(1));
      Log(LogType::ValueName, P());
      break;
    case Opcode::UpdateSearchPath:
      UpdateSearchPath(text);
      break;
    case Opcode::RegisterHelpFile:
      ExpandWork(1, text.b);
      WriteValue(HKEY_LOCAL_MACHINE, kHelpKey, W(1), P());
      Log(LogType::MachineKey, kHelpKey);
      Log(LogType::ValueName, W(1));
      break;
    case Opcode::AppendOnce:
      ExpandWork(1, text.b);
      PassedOver(AppendTextOnce(P(), W(1)));
      break;
    case Opcode::RemoveFile:
      PassedOver(DeleteFileA(P()) != FALSE);
      break;
    case Opcode::SetSubDir:
      SetMacroValue(gSetup.macros, Macro::SubDir, P());
      break;
    case Opcode::ShowText:
      SetDlgItemTextA(gSetup.dialog, static_cast<int>(step.b), P());
      break;
    case Opcode::SetSubFile:
      SetMacroValue(gSetup.macros, Macro::SubFile, P());
      break;
    case Opcode::SetMachineValue:
      SetStringValue(HKEY_LOCAL_MACHINE, LogType::MachineKey, text);
      break;
    case Opcode::SetUserValue:
      SetStringValue(HKEY_CURRENT_USER, LogType::UserKey, text);
      break;
    case Opcode::PruneRegistrations:
      PruneRegistrations();
      break;
    case Opcode::RecordBuildOutput:
      Log(LogType::File, P());
      break;
    case Opcode::AddRepositoryPage:
      PassedOver(AddRepositoryPage(P(), step.b, gSetup.macros));
      break;
    case Opcode::Reserved3:
    case Opcode::Reserved4:
    default:
      break;
  }
}

// What each step writes, for its line in the diagnostic log; nullptr: it writes nothing.
constexpr const char* kStepWrites[] = {
    "Extract",      "Folder",     "Copy",          nullptr,        nullptr,
    "Build",        "User value", "User value",    "Machine value", "Append to",
    "Remove",       nullptr,      nullptr,         nullptr,        "Machine value",
    "User value",   "Unregister", nullptr,         "Repository page",
};
static_assert(std::size(kStepWrites) == static_cast<std::size_t>(Opcode::AddRepositoryPage) + 1);
// The opcodes whose second operand, expanded into W1, names what they write as well.
constexpr std::uint32_t kSecondInW1 = Bit(Opcode::CopyToFile) | Bit(Opcode::RunBuildTool) |
                                      Bit(Opcode::RegisterPackage) | Bit(Opcode::UpdateSearchPath) |
                                      Bit(Opcode::RegisterHelpFile) | Bit(Opcode::AppendOnce) |
                                      Bit(Opcode::SetMachineValue) | Bit(Opcode::SetUserValue) |
                                      Bit(Opcode::PruneRegistrations);

// One line per step that writes: its kind, its expanded operands (the first, and W1
// where it holds the second) and its result; a build's by its exit code.
void LogStep(const ScriptStep& step) {
  const auto op = static_cast<std::size_t>(step.opcode);
  const char* what = op < std::size(kStepWrites) ? kStepWrites[op] : nullptr;
  if (what == nullptr) return;
  if (step.opcode == Opcode::RunBuildTool && !stepFailed) {
    DiagLog("Build %s in %s: exit code %lu", P(), W(1), buildExitCode);
    return;
  }
  DiagOutcome(stepFailed, stepError, what, P(), (kSecondInW1 & Bit(step.opcode)) != 0 ? W(1) : "");
}

}  // namespace

void RunScript(const ScriptStep* script, const char* texts) {
  if (script == nullptr) return;
  for (const ScriptStep* step = script; step->a != 0; ++step) {
    // Counted only: a message to the dialog thread per step would wait for its answer.
    InterlockedIncrement(&gSetup.stepsDone);
    TimeStepProgress();
    const StepTexts text = TextsOf(texts, *step);
    ExpandInto(text.a, P(), kPathBufferCapacity);
    stepFailed = false;
    stepError = 0;
    RunStep(*step, text, texts);
    LogStep(*step);
    DiagFlush();
    TimeStepWork(*step);
  }
}
