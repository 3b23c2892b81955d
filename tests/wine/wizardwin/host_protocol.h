// Private messages between the wizard window tests and their host program.
#pragma once
#include <windows.h>

inline constexpr char kHostCaption[] = "Tarvel Lib Installation";

// Sent to the dialog; the answer is the message result. WM_COPYDATA adds a row
// (dwData = item data, lpData = NUL-terminated text) and answers its index.
enum : UINT {
  kHostLayoutChoosePage = WM_APP + 1,
  kHostResetList,
  kHostToggle,       // answers ToggleCurrentItem's result
  kHostQuery,        // wParam: one of HostValue
  kHostPing,         // posted with a sequence number: everything posted before it has run
  kHostWiden,        // makes window and list wide enough for a 255-character row
  kHostAddRawRow,    // a 300-character row added past AddCheckItem, item data 1
  kHostSyntheticDraw,  // wParam: one of SyntheticDraw; answers the draw request's result
  kHostDpiChange,      // wParam: a DPI; the dialog's WM_DPICHANGED, its own rectangle suggested
  kHostTextFits,       // wParam: a control; 1 when its text fits it in its own font
};

enum HostValue : WPARAM {
  kInitialLeft,
  kInitialTop,
  kInitialWidth,
  kInitialHeight,
  kContentWidth,
  kDrawRequestsSeen,  // WM_DRAWITEM messages that reached the dialog procedure
  kItemHeight,
  kTextOffset,
  kLastPing,
  kCheckBox,  // the check box of the row drawn last: left, top, right, bottom a byte each
};

enum SyntheticDraw : WPARAM {
  kEmptyListFocus,   // item -1, focus, for the check list
  kOtherControlRow,  // row 0 of another window (the browse button)
  kOwnRow,           // row 0 of the check list
};
