// The diagnostic log a deployment asks for with /LOG=: plain ANSI lines ending in
// CRLF, held in a block and written out by DiagFlush, which the programs call after
// each step, before each long wait and at the end, so a run that dies still leaves
// every step it finished. While no log is open every call returns before formatting
// anything, but failures are still counted.
#pragma once
#include <windows.h>

#include <string_view>

// Creates (or empties) the file, then writes "<program> <version>" and the command
// line. False, having written nothing, when the path does not fit or the file cannot
// be created (its folder must exist).
bool OpenDiagLog(std::string_view path, const char* program);
// One line from a wsprintf format, cut at 1023 bytes.
void DiagLog(const char* format, ...);
// Bytes as they are, line ends included: what a program also says on its console.
void DiagWrite(std::string_view text);
// Writes out the lines held so far. Called by one thread at a time, as every call here.
void DiagFlush();
// "what target[ > second]: OK", or ": error N (failure K)" with the K-th failure
// counted; N is GetLastError() at the call. Returns ok.
bool DiagResult(bool ok, const char* what, const char* target, const char* second = "");
// The same with the error given; failed says which line it is. Not failed but with an
// error, the line gives the error as a step passed over, not counted.
void DiagOutcome(bool failed, DWORD error, const char* what, const char* target, const char* second);
// A removal's line: an object already gone counts as removed (also a folder where a
// file now stands), and so does one not reached because what holds it could not be
// opened (the open's own line counted that);
// the error is then given as passed over. Returns removed.
bool DiagRemoval(bool removed, const char* what, const char* target);
// The failures counted so far, with or without a file: what an exit code reports.
int DiagFailures();
// "Failures: K" when there were any and "Exit code N", all written out, then the file
// is closed.
// Returns code.
unsigned CloseDiagLog(unsigned code);
