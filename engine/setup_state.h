// The setup program's one process-wide state record and the blocks it owns.
#pragma once
#include <windows.h>
#include <shlobj.h>

#include <cstdint>

#include "engine/macros.h"
#include "engine/run_failures.h"
#include "uninstlog/uninstall_log.h"

struct CheckList;
struct PageEntry;

inline constexpr std::size_t kPathCapacity = 260;
inline constexpr std::size_t kPathBufferCapacity = 2080;
inline constexpr std::size_t kWorkBufferCapacity = 4096;
inline constexpr int kWorkBufferCount = 4;

struct SetupState {
  HINSTANCE instance;
  HWND dialog;
  HWND bitmapControl;
  HBITMAP bitmap;
  HBITMAP scaledBitmap;            // the picture at the window's DPI; null at 96 DPI
  HFONT font;                      // the controls' font made for a DPI change; null before one
  std::int32_t dpi;                // the DPI the window is laid out for; 0 before the layout
  bool choosePageLaidOut;          // the second page's layout has run
  HICON icon;
  CheckList* checkList;
  std::int32_t contentWidth;
  std::uint32_t wizardStep;        // WizardStep: 0..3
  const PageEntry* currentPage;
  void (*showStep)();              // the wizard's page switch, set when its dialog starts
  char stepLabel[9];               // "step 1/4", its sixth character rewritten
  char destination[kPathCapacity];
  std::int32_t destinationProposed;
  // The wizard's /D=, proposed before all else; one byte over a path, so that one too
  // long to keep whole stays too long for Next's check.
  char givenDestination[kPathCapacity + 1];
  BROWSEINFOA browseInfo;
  // The browser's display-name buffer. Not the destination itself: a browser that
  // writes it on Cancel (Wine's does) must not change the destination.
  char browseDisplayName[kPathCapacity];
  HANDLE workerThread;
  DWORD workerThreadId;
  MacroTable macros;               // values and expansion scratch
  char* pathBuffer;                // PathBuffer, kPathBufferCapacity
  char* work[kWorkBufferCount];    // WorkBuffer W1..W4, kWorkBufferCapacity each
  STARTUPINFOA startupInfo;
  PROCESS_INFORMATION processInfo;
  UninstallLog log;
  RunFailures failures;            // what the run could not write; the worker's until the run ends
  volatile LONG installRunning;    // set while the worker owns the state
  // Steps the worker has carried out, from 0 at the start of the process (one run per
  // process); the progress bar reads it on the dialog thread's timer.
  volatile LONG stepsDone;
  volatile LONG closeDeferred;     // a close request arrived during the run
};

extern SetupState gSetup;

// Zero-filled heap block; every block of the state comes from here.
void* AllocateBlock(std::size_t size);
void ReleaseBlock(void* block);

// Allocates the macro values, the expansion scratch, PathBuffer and W1..W4.
void AllocateSetupState();
// Frees the component rows' IDE roots, the macro values, the scratch and the
// buffers; safe to call twice.
void ReleaseSetupState();

inline char* WorkBuffer(int i) { return gSetup.work[i]; }  // 0 = W1
