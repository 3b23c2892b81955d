// Drives a program under test the way a person would: starts it, waits for its
// windows, clicks, types, reads texts and pixels, answers message boxes.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace driver {

struct Program {
  HANDLE process = nullptr;
  DWORD pid = 0;
};

// Windows path of a file in the build folder or the source tree (Wine maps / to Z:).
std::string BuildPath(const char* relative);
std::string SourcePath(const char* relative);
std::string UnixToWindows(const std::string& unixPath);

// Starts commandLine (program path quoted by the caller if needed). Returns false
// and fills *error when it cannot start.
bool Start(const std::string& commandLine, Program* program, const char* workingDirectory = nullptr);
// Starts commandLine as a console program's child: its standard output and error go to
// the file outputPath (created anew), and the child shares this program's console.
bool StartFromConsole(const std::string& commandLine, Program* program, const std::string& outputPath);
// Starts commandLine with no console to attach to and no standard handles.
bool StartWithoutConsole(const std::string& commandLine, Program* program);
// Waits for the exit like WaitExit while watching the process's top-level windows:
// *shown gets a "class 'caption'" line for every window seen visible on the way.
bool WaitExitUnseen(Program& program, DWORD timeoutMs, DWORD* exitCode, std::string* shown);
// Waits for the exit; false on time-out. *exitCode receives the status.
bool WaitExit(Program& program, DWORD timeoutMs, DWORD* exitCode);
// Ends a program that is still running (only the one we started) and closes its handle.
void Kill(Program& program);

// Visible or hidden top-level windows of the process (pid 0: of any); class and caption
// may be null to match any. Waits up to timeoutMs. Returns null on time-out.
HWND WaitForWindow(DWORD pid, const char* className, const char* caption, DWORD timeoutMs = 10000);
// The same without waiting.
HWND FindTopWindow(DWORD pid, const char* className, const char* caption);
// A visible top-level window of the process with this class other than `except`.
HWND FindOtherWindow(DWORD pid, const char* className, HWND except);
// Lists the process's top-level windows as "class 'caption'" lines, for failure messages.
std::string DescribeWindows(DWORD pid);

// Text of any window, also another process's control (WM_GETTEXT).
std::string Text(HWND window);
std::string ItemText(HWND dialog, int id);
HWND Item(HWND dialog, int id);
bool IsShown(HWND dialog, int id);
bool IsEnabled(HWND dialog, int id);

// Posts a button click (BM_CLICK); posting keeps the driver free when the click
// opens a modal box.
void Click(HWND dialog, int id);
// Posts WM_COMMAND with the given ID and notification code, as a keyboard accelerator would.
void Command(HWND dialog, int id, int notification = 0);
// Posts WM_CLOSE, as the title bar's close box does.
void Close(HWND window);
void SetItemText(HWND dialog, int id, const char* text);

// Waits for a message box (dialog class) with this caption; returns it or null.
HWND WaitForMessageBox(DWORD pid, const char* caption, DWORD timeoutMs = 10000);
// The message box's text (its static 0xFFFF).
std::string MessageBoxText(HWND box);
void AnswerMessageBox(HWND box, int buttonId);

// Waits until predicate() holds, pumping nothing; polls every few milliseconds.
template <typename F>
bool WaitUntil(F predicate, DWORD timeoutMs = 10000) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (predicate()) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(5);
  }
}

// Rectangle of a window in its parent's client coordinates (or the screen for a top-level window).
RECT RectInParent(HWND window);
RECT ClientRect(HWND window);  // SendMessage-free: GetClientRect works across processes

// Wine takes the DPI from LogPixels when a program starts; the tests run at 96.
void SetDpi(DWORD dpi);
struct DpiSetting {
  explicit DpiSetting(DWORD dpi) { SetDpi(dpi); }
  ~DpiSetting() { SetDpi(96); }
};

// Pixels of a window (frame included) as 0x00RRGGBB rows, top to bottom.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<unsigned> rgb;
  unsigned At(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
};
bool Capture(HWND window, Pixels* pixels, bool clientOnly = false);
// Writes a capture as PNG once the window has finished painting (two captures in a
// row agree); GetDesktopWindow() takes the whole screen.
bool SaveSettledCapture(HWND window, const std::string& path);
// Writes a capture as PNG under the build folder's artifacts/; returns the path.
std::string SaveScreenshot(HWND window, const char* name);

// Registry helpers for tests.
bool RegSetString(HKEY root, const char* key, const char* name, const char* value);
bool RegGetString(HKEY root, const char* key, const char* name, std::string* value);
bool RegValueExists(HKEY root, const char* key, const char* name);
// view: 0 for this program's own registry view, or KEY_WOW64_32KEY / KEY_WOW64_64KEY.
bool RegKeyExists(HKEY root, const char* key, REGSAM view = 0);
void RegDeleteTree(HKEY root, const char* key, REGSAM view = 0);
// A value's type and raw data; false when it cannot be read.
bool RegGetRaw(HKEY root, const char* key, const char* name, DWORD* type, std::string* data);

// What MoveFileEx has left for the next restart (PendingFileRenameOperations under
// Session Manager, which no view redirects), in order: the path of each deletion,
// "rename <from> -> <to>" for anything else. ForgetPendingRenames deletes the value,
// so that one test's schedule is not carried into the next.
std::vector<std::string> PendingRenames();
void ForgetPendingRenames();

// Files.
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
bool ReadFileBytes(const std::string& path, std::string* bytes);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
// A Unix symbolic link in the prefix, which Wine shows as a reparse point (Wine's
// CreateSymbolicLinkA makes none): made by the host's ln. RemoveTree removes the link,
// never what it leads to.
bool MakeLink(const std::string& link, const std::string& target);
// Lets everyone change a file or folder, as a standard user may for what they made:
// Wine keeps it as the Unix mode (777), and reads it back as an entry for Everyone.
bool LetEveryoneChange(const std::string& path);
// The stand-in IDE program (tools/ideprogram.exe) copied to path, its folders made,
// and started; true once its window is up. Close() on that window ends it.
bool StartStandinIde(const std::string& path, Program* program, HWND* window);

// A fresh, empty folder under the prefix's temp folder, unique per call.
std::string FreshFolder(const char* tag);
// Removes a folder the tests made, below the temp folder or C:\tvtest, or the installer's
// default destination C:\TarvelLib; refuses any other path.
void RemoveTree(const std::string& path);
bool MayRemoveTree(const std::string& path);

}  // namespace driver
