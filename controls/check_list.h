// The owner-drawn check list: a list box whose rows carry a check box, made by
// replacing the window procedures of the list box and of its parent.
#pragma once
#include <windows.h>

#include <cstdint>

#include "controls/check_list_geometry.h"

struct CheckList {
  HWND list;
  HWND parent;
  WNDPROC replacedListProc;
  LONG_PTR replacedListUserData;
  WNDPROC replacedParentProc;
  LONG_PTR replacedParentUserData;
  std::int32_t pressCount;  // 1 after a press in the list; each release counts down
  std::int32_t itemHeight;
  std::int32_t textOffset;
  RECT checkBox;            // box of the row being drawn
  char text[256];           // text of the row being drawn
  TEXTMETRICA metrics;
  RowLengths lengths;       // the row drawing's lengths at the list's DPI
};

// Item data of a row: 1 ticked, -1 not ticked.
CheckList* AttachCheckList(HWND list);
void DetachCheckList(CheckList* checkList);
// Measures the rows again for `dpi` and the list's font (after either has changed).
void RescaleCheckList(CheckList* checkList, int dpi);
int AddCheckItem(CheckList* checkList, const char* text, std::int32_t data);
std::int32_t GetCheckItemData(CheckList* checkList, int index);
void ResetCheckList(CheckList* checkList);
// Toggles the current row; returns its index, or -1 when there is none.
int ToggleCurrentItem(CheckList* checkList);
LRESULT CALLBACK CheckListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK CheckListParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
