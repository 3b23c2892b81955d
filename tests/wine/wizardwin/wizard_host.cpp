// Stand-in for the wizard while its dialog procedure is built elsewhere: creates the
// window from template 1, attaches the check list, lays out, and answers the tests.
#include <windows.h>
// windows.h first: the common-controls header builds on its types.
#include <commctrl.h>

#include "controls/check_list.h"
#include "setup/layout.h"
#include "engine/setup_state.h"
#include "services/safe_start.h"
#include "tests/wine/wizardwin/host_protocol.h"

namespace {

struct Visibility {
  int id;
  bool shown;
};
constexpr Visibility kChoosePageVisibility[] = {{201, true}, {202, true},  {203, true}, {300, true},
                                                {101, true}, {102, false}, {105, false}, {107, true},
                                                {106, false}, {120, true}, {121, true},  {119, true}};

RECT gInitialRect;
LRESULT gDrawRequests;
LRESULT gLastPing;

INT_PTR Answer(HWND dialog, LRESULT value) {
  SetWindowLongPtrA(dialog, DWLP_MSGRESULT, value);
  return TRUE;
}

LRESULT SyntheticDrawRequest(HWND dialog, WPARAM kind) {
  HWND list = GetDlgItem(dialog, 121);
  DRAWITEMSTRUCT item = {};
  item.CtlType = ODT_LISTBOX;
  item.CtlID = 121;
  item.hwndItem = list;
  item.itemID = 0;
  item.itemAction = ODA_DRAWENTIRE;
  item.rcItem = {0, 0, 100, 16};
  if (kind == kEmptyListFocus) {
    item.itemID = static_cast<UINT>(-1);
    item.itemAction = ODA_FOCUS;
    item.itemState = ODS_FOCUS;
  } else if (kind == kOtherControlRow) {
    item.CtlID = 119;
    item.hwndItem = GetDlgItem(dialog, 119);
  }
  HDC dc = GetDC(list);
  item.hDC = dc;
  const LRESULT result = SendMessageA(dialog, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
  ReleaseDC(list, dc);
  return result;
}

// Measured as the control draws: a static wraps its words, a button keeps one line.
bool TextFits(HWND control) {
  char text[512], className[16];
  GetWindowTextA(control, text, sizeof text);
  GetClassNameA(control, className, sizeof className);
  RECT client = {};
  GetClientRect(control, &client);
  RECT need = {0, 0, client.right, 0};
  HDC dc = GetDC(control);
  SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
  DrawTextA(dc, text, -1, &need, DT_CALCRECT | (lstrcmpiA(className, "Button") == 0 ? DT_SINGLELINE : DT_WORDBREAK));
  ReleaseDC(control, dc);
  return need.right <= client.right && need.bottom <= client.bottom;
}

LRESULT Value(WPARAM which) {
  switch (which) {
    case kInitialLeft: return gInitialRect.left;
    case kInitialTop: return gInitialRect.top;
    case kInitialWidth: return gInitialRect.right - gInitialRect.left;
    case kInitialHeight: return gInitialRect.bottom - gInitialRect.top;
    case kContentWidth: return gSetup.contentWidth;
    case kDrawRequestsSeen: return gDrawRequests;
    case kItemHeight: return gSetup.checkList != nullptr ? gSetup.checkList->itemHeight : -1;
    case kTextOffset: return gSetup.checkList != nullptr ? gSetup.checkList->textOffset : -1;
    case kLastPing: return gLastPing;
    case kCheckBox: {
      const RECT& b = gSetup.checkList->checkBox;
      return b.left | b.top << 8 | b.right << 16 | b.bottom << 24;
    }
    default: return -1;
  }
}

INT_PTR CALLBACK HostProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      gSetup.dialog = dialog;
      GetWindowRect(dialog, &gInitialRect);
      SetWindowTextA(dialog, kHostCaption);
      gSetup.icon = LoadIconA(gSetup.instance, MAKEINTRESOURCEA(1));
      SetClassLongPtrA(dialog, GCLP_HICON, reinterpret_cast<LONG_PTR>(gSetup.icon));
      gSetup.bitmap = LoadBitmapA(gSetup.instance, MAKEINTRESOURCEA(1));
      SendDlgItemMessageA(dialog, 300, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(gSetup.bitmap));
      gSetup.checkList = AttachCheckList(GetDlgItem(dialog, 121));
      LayoutWizard();
      return TRUE;
    }
    case WM_DRAWITEM:
      ++gDrawRequests;
      return FALSE;
    case WM_COPYDATA: {
      const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      return Answer(dialog, AddCheckItem(gSetup.checkList, static_cast<const char*>(data->lpData),
                                         static_cast<std::int32_t>(data->dwData)));
    }
    case kHostLayoutChoosePage:
      // As the wizard shows its second page: that page's controls first, then the layout.
      for (const auto& [id, shown] : kChoosePageVisibility) ShowWindow(GetDlgItem(dialog, id), shown ? SW_SHOW : SW_HIDE);
      LayoutChoosePage();
      return Answer(dialog, 0);
    case kHostResetList:
      ResetCheckList(gSetup.checkList);
      return Answer(dialog, 0);
    case kHostToggle:
      return Answer(dialog, ToggleCurrentItem(gSetup.checkList));
    case kHostQuery:
      return Answer(dialog, Value(wParam));
    case kHostPing:
      // Paint what is pending too, so that a capture after the ping sees it.
      RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      GdiFlush();
      gLastPing = static_cast<LRESULT>(wParam);
      return TRUE;
    case kHostWiden:
      // Kept on screen: Xvfb keeps no pixels of a window's off-screen part.
      SetWindowPos(dialog, nullptr, 0, 0, 1270, 400, SWP_NOZORDER);
      SetWindowPos(GetDlgItem(dialog, 121), nullptr, 216, 8, 1030, 75, SWP_NOZORDER | SWP_SHOWWINDOW);
      return Answer(dialog, 0);
    case kHostAddRawRow: {
      char text[301];
      for (int i = 0; i < 300; ++i) text[i] = 'x';
      text[300] = '\0';
      const LRESULT index = SendDlgItemMessageA(dialog, 121, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
      SendDlgItemMessageA(dialog, 121, LB_SETITEMDATA, static_cast<WPARAM>(index), 1);
      return Answer(dialog, index);
    }
    case kHostSyntheticDraw:
      return Answer(dialog, SyntheticDrawRequest(dialog, wParam));
    case kHostDpiChange: {  // as the wizard's WM_DPICHANGED does, with the window's own place
      RECT r = {};
      GetWindowRect(dialog, &r);
      RescaleWizard(MAKEWPARAM(wParam, wParam), reinterpret_cast<LPARAM>(&r));
      return Answer(dialog, 0);
    }
    case kHostTextFits:
      return Answer(dialog, TextFits(GetDlgItem(dialog, static_cast<int>(wParam))));
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  gSetup.instance = instance;
  if (!StartSafely()) return 4;  // as setup.exe starts
  DialogBoxParamA(instance, MAKEINTRESOURCEA(1), nullptr, HostProc, 0);
  if (gSetup.bitmap != nullptr) DeleteObject(gSetup.bitmap);
  return 0;
}
