// The quiet progress bar against a plain one of the same size, both stepped from a
// worker thread as the installation steps them: at every step both hold the same
// position and show the same pixels, also when something else has asked the quiet
// one to repaint.
#include <windows.h>
// windows.h first: the common-controls header builds on its types.
#include <commctrl.h>
#include <gtest/gtest.h>


#include "controls/quiet_progress.h"
#include "tests/driver/driver.h"

using namespace driver;

namespace {

constexpr UINT kCompare = WM_APP + 1, kDamageAndStep = WM_APP + 2;

struct Bars {
  HWND top, quiet, plain;
  int steps, mismatchedPixels, mismatchedPositions, firstBadStep;
};

void CompareNow(Bars& b, int step) {
  Pixels q, p;
  const bool captured = Capture(b.quiet, &q, true) && Capture(b.plain, &p, true);
  if (!captured || q.rgb != p.rgb) {
    ++b.mismatchedPixels;
    if (b.firstBadStep < 0) b.firstBadStep = step;
  }
  if (SendMessageA(b.quiet, PBM_GETPOS, 0, 0) != SendMessageA(b.plain, PBM_GETPOS, 0, 0)) ++b.mismatchedPositions;
}

// Paints over the quiet bar and asks for its repaint, then steps both bars, all on
// the bars' own thread, so no paint can come between.
void DamageAndStep(Bars& b) {
  RECT client;
  GetClientRect(b.quiet, &client);
  HDC dc = GetDC(b.quiet);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(b.quiet, dc);
  InvalidateRect(b.quiet, nullptr, TRUE);
  SendMessageA(b.quiet, PBM_DELTAPOS, 1, 0);
  SendMessageA(b.plain, PBM_DELTAPOS, 1, 0);
}

LRESULT CALLBACK TopProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kDamageAndStep) {
    DamageAndStep(*reinterpret_cast<Bars*>(GetWindowLongPtrA(window, GWLP_USERDATA)));
    return 0;
  }
  if (message == kCompare) {
    CompareNow(*reinterpret_cast<Bars*>(GetWindowLongPtrA(window, GWLP_USERDATA)), static_cast<int>(wParam));
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

DWORD WINAPI Stepper(void* context) {
  Bars& b = *static_cast<Bars*>(context);
  for (int i = 1; i <= b.steps; ++i) {
    // Now and then the quiet bar has a repaint pending of its own when a step comes.
    if (i % 97 == 0) {
      SendMessageA(b.top, kDamageAndStep, 0, 0);
    } else {
      SendMessageA(b.quiet, PBM_DELTAPOS, 1, 0);
      SendMessageA(b.plain, PBM_DELTAPOS, 1, 0);
    }
    SendMessageA(b.top, kCompare, static_cast<WPARAM>(i), 0);
  }
  PostMessageA(b.top, WM_QUIT, 0, 0);
  return 0;
}

TEST(QuietProgress, ShowsAndHoldsWhatAPlainBarDoesAtEveryStep) {
  InitCommonControls();
  WNDCLASSA wc = {};
  wc.lpfnWndProc = TopProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = GetSysColorBrush(COLOR_3DFACE);
  wc.lpszClassName = "QuietProgressTest";
  ASSERT_NE(RegisterClassA(&wc), 0);
  // 943 steps, the full installation, on a bar as wide as the installation page's.
  Bars b = {};
  b.steps = 943;
  b.firstBadStep = -1;
  b.top = CreateWindowExA(0, wc.lpszClassName, "bars", WS_POPUP | WS_VISIBLE, 10, 10, 340, 80, nullptr, nullptr,
                          wc.hInstance, nullptr);
  ASSERT_NE(b.top, nullptr);
  SetWindowLongPtrA(b.top, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&b));
  const DWORD style = WS_CHILD | WS_VISIBLE | PBS_SMOOTH;
  b.quiet = CreateWindowExA(0, PROGRESS_CLASSA, "", style, 10, 10, 317, 16, b.top, nullptr, wc.hInstance, nullptr);
  b.plain = CreateWindowExA(0, PROGRESS_CLASSA, "", style, 10, 40, 317, 16, b.top, nullptr, wc.hInstance, nullptr);
  ASSERT_TRUE(b.quiet != nullptr && b.plain != nullptr);
  AttachQuietProgress(b.quiet);
  for (HWND bar : {b.quiet, b.plain}) SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, b.steps));
  UpdateWindow(b.top);

  HANDLE worker = CreateThread(nullptr, 0, Stepper, &b, 0, nullptr);
  ASSERT_NE(worker, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  WaitForSingleObject(worker, INFINITE);
  CloseHandle(worker);

  EXPECT_EQ(b.mismatchedPixels, 0) << "first at step " << b.firstBadStep;
  EXPECT_EQ(b.mismatchedPositions, 0);
  EXPECT_EQ(SendMessageA(b.quiet, PBM_GETPOS, 0, 0), b.steps);
  // The bar is filled: its middle row holds the highlight colour inside the margin.
  Pixels q;
  ASSERT_TRUE(Capture(b.quiet, &q, true));
  const COLORREF c = GetSysColor(COLOR_HIGHLIGHT);
  EXPECT_EQ(q.At(q.width - 2, q.height / 2), static_cast<unsigned>((GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c)));
  DestroyWindow(b.top);
}

}  // namespace
