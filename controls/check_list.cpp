// The check list: the list box's and its parent's replacement procedures, row
// painting and toggling. The record lives in both windows' user data.
#include "controls/check_list.h"

#include "controls/check_list_geometry.h"
#include "engine/text.h"

namespace {

CheckList* RecordOf(HWND window) {
  return reinterpret_cast<CheckList*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

std::int32_t ItemData(HWND list, WPARAM index) {
  return static_cast<std::int32_t>(SendMessageA(list, LB_GETITEMDATA, index, 0));
}

void DrawFocusMark(const CheckList& checkList, HDC dc, RECT row) {
  row.left += RowTextLeft(checkList.itemHeight, checkList.lengths);
  DrawFocusRect(dc, &row);
}

void PaintRow(CheckList& checkList, const DRAWITEMSTRUCT& item) {
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const COLORREF back = GetSysColor(selected ? COLOR_ACTIVECAPTION : COLOR_WINDOW);
  const COLORREF fore = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
  HDC dc = item.hDC;
  HBRUSH brush = CreateSolidBrush(back);
  HPEN pen = CreatePen(PS_SOLID, 0, back);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  SetBkColor(dc, back);
  SetTextColor(dc, fore);

  const RECT& row = item.rcItem;
  Rectangle(dc, checkList.lengths.fillLeft, row.top, row.right, row.bottom);

  const CheckBoxRect box = CheckBoxForRow(checkList.itemHeight, row.left, row.top, checkList.lengths);
  checkList.checkBox = {box.left, box.top, box.right, box.bottom};
  UINT boxState = DFCS_BUTTONCHECK | DFCS_FLAT;
  if (ItemData(item.hwndItem, item.itemID) == 1) boxState |= DFCS_CHECKED;
  DrawFrameControl(dc, &checkList.checkBox, DFC_BUTTON, boxState);

  // LB_GETTEXT knows no capacity: a row longer than the buffer (added past
  // AddCheckItem) is left without text rather than written past the record.
  checkList.text[0] = '\0';
  const LRESULT length = SendMessageA(item.hwndItem, LB_GETTEXTLEN, item.itemID, 0);
  if (length >= 0 && static_cast<std::size_t>(length) < kRowTextCapacity) {
    SendMessageA(item.hwndItem, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(checkList.text));
  }
  TextOutA(dc, RowTextLeft(checkList.itemHeight, checkList.lengths), row.top + checkList.textOffset, checkList.text,
           lstrlenA(checkList.text));

  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(brush);
  DeleteObject(pen);
  if ((item.itemState & (ODS_FOCUS | ODS_SELECTED)) != 0) DrawFocusMark(checkList, dc, row);
}

}  // namespace

CheckList* AttachCheckList(HWND list) {
  if (list == nullptr) return nullptr;
  auto* checkList = static_cast<CheckList*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(CheckList)));
  // Without a record the list stays a plain list box and every call below does nothing.
  if (checkList == nullptr) return nullptr;
  checkList->list = list;
  // User data before procedure: the new procedure never runs without its record.
  checkList->replacedListUserData = SetWindowLongPtrA(list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(checkList));
  checkList->replacedListProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CheckListProc)));
  HWND parent = GetParent(list);
  checkList->parent = parent;
  checkList->replacedParentUserData =
      SetWindowLongPtrA(parent, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(checkList));
  checkList->replacedParentProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CheckListParentProc)));

  // At 96 DPI; the wizard's layout measures the rows again for another.
  RescaleCheckList(checkList, kBaseDpi);
  return checkList;
}

void RescaleCheckList(CheckList* checkList, int dpi) {
  if (checkList == nullptr) return;
  HWND list = checkList->list;
  HDC dc = GetDC(list);
  GetTextMetricsA(dc, &checkList->metrics);
  ReleaseDC(list, dc);
  const CheckRowGeometry rows = RowGeometryForAscent(checkList->metrics.tmAscent, dpi);
  checkList->lengths = RowLengthsAt(dpi);
  checkList->itemHeight = rows.itemHeight;
  checkList->textOffset = rows.textOffset;
  SendMessageA(list, LB_SETITEMHEIGHT, 0, MAKELPARAM(rows.itemHeight, 0));
}

void DetachCheckList(CheckList* checkList) {
  if (checkList == nullptr) return;
  SetWindowLongPtrA(checkList->parent, GWLP_USERDATA, checkList->replacedParentUserData);
  SetWindowLongPtrA(checkList->parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(checkList->replacedParentProc));
  SetWindowLongPtrA(checkList->list, GWLP_USERDATA, checkList->replacedListUserData);
  SetWindowLongPtrA(checkList->list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(checkList->replacedListProc));
  HeapFree(GetProcessHeap(), 0, checkList);
}

int AddCheckItem(CheckList* checkList, const char* text, std::int32_t data) {
  if (checkList == nullptr || text == nullptr) return -1;
  // Rows longer than the painter's buffer are cut here, where the text comes in.
  char row[kRowTextCapacity];
  CopyText(row, sizeof row, text);
  const LRESULT index = SendMessageA(checkList->list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row));
  // LB_ERR or LB_ERRSPACE: no row. LB_SETITEMDATA with -1 would set every row's data.
  if (index < 0) return -1;
  SendMessageA(checkList->list, LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
  return static_cast<int>(index);
}

std::int32_t GetCheckItemData(CheckList* checkList, int index) {
  // No list, or no such row (LB_ERR): not ticked.
  if (checkList == nullptr) return -1;
  return ItemData(checkList->list, static_cast<WPARAM>(index));
}

void ResetCheckList(CheckList* checkList) {
  if (checkList != nullptr) SendMessageA(checkList->list, LB_RESETCONTENT, 0, 0);
}

int ToggleCurrentItem(CheckList* checkList) {
  if (checkList == nullptr) return -1;
  const LRESULT current = SendMessageA(checkList->list, LB_GETCURSEL, 0, 0);
  if (current == LB_ERR) return -1;
  const std::int32_t data = ItemData(checkList->list, static_cast<WPARAM>(current));
  const auto negated = static_cast<std::int32_t>(-static_cast<std::int64_t>(data));
  SendMessageA(checkList->list, LB_SETITEMDATA, static_cast<WPARAM>(current), static_cast<LPARAM>(negated));
  InvalidateRect(checkList->list, nullptr, FALSE);
  UpdateWindow(checkList->list);
  return static_cast<int>(current);
}

LRESULT CALLBACK CheckListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CheckList* checkList = RecordOf(window);
  if (checkList == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_MOUSEWHEEL:
      SendMessageA(window, WM_VSCROLL, GET_WHEEL_DELTA_WPARAM(wParam) < 0 ? SB_LINEDOWN : SB_LINEUP, 0);
      break;
    case WM_LBUTTONDOWN:
      checkList->pressCount = 1;
      break;
    case WM_LBUTTONUP:
      // A double click's second press arrives as WM_LBUTTONDBLCLK and does not arm
      // the count, so its release takes it below 0 and toggles nothing. Stray
      // releases stop at the floor instead of wrapping round to 0.
      if (checkList->pressCount != INT32_MIN) --checkList->pressCount;
      if (checkList->pressCount == 0) ToggleCurrentItem(checkList);
      break;
    case WM_CHAR:
      if (wParam == 0x20) ToggleCurrentItem(checkList);
      break;
    default:
      break;
  }
  return CallWindowProcA(checkList->replacedListProc, window, message, wParam, lParam);
}

LRESULT CALLBACK CheckListParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CheckList* checkList = RecordOf(window);
  if (checkList == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_DRAWITEM) {
    auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    // Only our list's rows: any other owner-drawn control keeps its own painter.
    if (item != nullptr && item->itemID != static_cast<UINT>(-1) && item->hwndItem == checkList->list) {
      if (item->itemAction == ODA_FOCUS) {
        DrawFocusMark(*checkList, item->hDC, item->rcItem);
        return TRUE;
      }
      if (item->itemAction == ODA_DRAWENTIRE || item->itemAction == ODA_SELECT) {
        PaintRow(*checkList, *item);
        return TRUE;
      }
    }
  }
  return CallWindowProcA(checkList->replacedParentProc, window, message, wParam, lParam);
}
