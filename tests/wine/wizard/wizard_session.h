// Helpers for driving setup.exe's wizard from a test: start it, move between pages,
// read the component list, and clean the registry and folders an installation touches.
#pragma once
#include <string>
#include <vector>

#include "tests/driver/driver.h"

namespace wizard {

struct Session {
  driver::Program program;
  HWND dialog = nullptr;
};

// Starts setup (default: the build's setup.exe) and waits for the wizard window.
bool Start(Session* s, const char* exe = "setup/setup.exe", const std::string& arguments = "");
// Waits until the step label reads "step n/4".
bool WaitStep(Session& s, int n, DWORD timeoutMs = 10000);
// Clicks Next and waits for the following page.
bool Next(Session& s);
bool Prev(Session& s);
// Ends the wizard from the finish page and waits for the exit code.
bool Finish(Session& s, DWORD* exitCode);
// Kills the process if a test left it running.
void End(Session& s);

struct Row {
  std::string text;
  long data;
};
std::vector<Row> ListRows(Session& s);
// Clicks row i of the component list the way a mouse does (press, release).
void ClickRow(Session& s, int i);

// Removes every key and value an installation or a test IDE writes.
void CleanRegistry();
// Removes what installations leave in the system folder, the test roots and the
// default destination, and what they left for the restart.
void CleanSystem();
// A machine as before any installation: registry and system folder cleaned, an
// empty C:\tvtest for the test roots. Tests call it before and after themselves.
void CleanSlate();
// Makes a stand-in IDE root with the IDE folder kit; extra options as idekit takes them.
bool MakeIde(const char* version, const std::string& root, const std::string& options = "");

// Walks from page 1 (or 2) to the finish page, installing into root (as typed, when
// not empty); returns false when a page does not come.
bool Install(Session& s, const std::string& root = "");

struct LogRecord {
  int type;
  std::string text;
  bool operator==(const LogRecord& o) const { return type == o.type && text == o.text; }
};
std::vector<LogRecord> ReadLog(const std::string& path);
// The system folder as this program sees it (SysWOW64 on disk for an i686 program).
std::string SystemDir();
// The two system folders on disk: the native one and the 32-bit one.
std::string NativeSystemDir();
std::string Wow64SystemDir();
// The installed uninstaller as the Apps entry names it: in the folder it is on disk.
std::string UninstallerFile();

// Waits until the finish page has enabled its button.
bool WaitFinished(Session& s, DWORD timeoutMs = 120000);

// Starts the uninstall command exactly as the installer registered it, from a 64-bit
// process as the Apps page does (an i686 test through the 64-bit cmd.exe), presses
// Uninstall, waits for the closing texts and ends it with Finish. Empty when all went
// so and it ended with the code expected; otherwise what went wrong.
std::string UninstallAsRegistered(DWORD expectedCode = 0);

}  // namespace wizard
