// Both programs' progress bars against a plain one of the same size, run through many
// steps in a short time: the installation page's bar following the count a worker
// thread keeps as the installation keeps it, the uninstaller's drawn by its walk on its
// own thread. At every step the bar answers the exact position; it is repainted at most
// once per 15 ms (but for the run's last step), never lags a step for long, and shows
// the last position as a plain bar does: at once after the walk's last step, and within
// a frame or two when the worker pauses (a build tool) or has counted its last step.
// Hidden as the finish page hides it, the installation's control holds the last count.
#include <windows.h>
// windows.h first: the common-controls header builds on its types.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/bar_extent.h"
#include "controls/quiet_progress.h"
#include "tests/driver/driver.h"
#include "uninstaller/walk_display.h"

using namespace driver;

namespace {

constexpr UINT kCheck = WM_APP + 1, kDamageAndStep = WM_APP + 2, kCompare = WM_APP + 3;
constexpr double kFrameMs = 15.0;
constexpr double kStaleMs = 100.0;  // a step may wait a frame; under load, a few

enum class Bar { Installer, Uninstaller };

struct Case {
  const char* name;
  Bar bar;
  int range, steps;  // the full run: steps of range / steps each
  int pauseAt;       // the installation's worker sends nothing for a while after this step
  int last;          // the run ends after this step
};

double Ms() {
  static LARGE_INTEGER f = [] {
    LARGE_INTEGER v;
    QueryPerformanceFrequency(&v);
    return v;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return double(t.QuadPart) * 1000.0 / double(f.QuadPart);
}

struct Paint {
  double at;
  unsigned position;
  bool damage;  // asked for by the test itself
};

struct BarRun {
  const Case* c;
  HWND top, quiet, plain, status;
  WNDPROC counted, countedStatus;
  std::vector<Paint> paints;
  std::vector<double> texts;  // when the status line was set
  std::string lastText;
  bool damageNext;
  int wrongPositions, staleSteps, firstBad;
  double unpaintedSince;  // a step moved the fill and no repaint has shown it yet; 0: none
  bool shownAtPause, shownAtEnd;
  WalkDisplay display;
  volatile LONG count;  // the installation's steps, as the worker counts them
};

BarRun* gRun;

unsigned PositionAt(const Case& c, int step) {
  if (c.bar == Bar::Installer) return static_cast<unsigned>(step * (c.range / c.steps));
  return static_cast<unsigned>(static_cast<long long>(step) * c.range / c.steps);
}

// Below the bar's own subclass: only the repaints that reach the control are counted.
LRESULT CALLBACK CountingProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    const double at = Ms();
    const LRESULT result = CallWindowProcA(gRun->counted, bar, message, wParam, lParam);
    const auto position = static_cast<unsigned>(CallWindowProcA(gRun->counted, bar, PBM_GETPOS, 0, 0));
    gRun->paints.push_back({at, position, gRun->damageNext});
    gRun->damageNext = false;
    gRun->unpaintedSince = 0;
    return result;
  }
  return CallWindowProcA(gRun->counted, bar, message, wParam, lParam);
}

LRESULT CALLBACK CountingStatusProc(HWND item, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETTEXT) {
    gRun->texts.push_back(Ms());
    gRun->lastText = reinterpret_cast<const char*>(lParam);
  }
  return CallWindowProcA(gRun->countedStatus, item, message, wParam, lParam);
}

unsigned Position(HWND bar) { return static_cast<unsigned>(SendMessageA(bar, PBM_GETPOS, 0, 0)); }

void CheckStep(BarRun& r, int step) {
  const unsigned position = Position(r.quiet);
  if (position != PositionAt(*r.c, step)) {
    ++r.wrongPositions;
    if (r.firstBad < 0) r.firstBad = step;
  }
  RECT client;
  GetClientRect(r.quiet, &client);
  const unsigned shown = r.paints.empty() ? 0 : r.paints.back().position;
  if (!BarMoves(shown, position, static_cast<std::uint32_t>(r.c->range), client.right)) return;
  const double now = Ms();
  if (r.unpaintedSince == 0) r.unpaintedSince = now;
  if (now - r.unpaintedSince > kStaleMs) ++r.staleSteps;
}

// The plain bar set where the quiet one is: do both show the same?
bool SamePixels(const BarRun& r) {
  SendMessageA(r.plain, PBM_SETPOS, Position(r.quiet), 0);
  UpdateWindow(r.plain);
  Pixels q, p;
  return Capture(r.quiet, &q, true) && Capture(r.plain, &p, true) && q.rgb == p.rgb;
}

// Paints over the quiet bar and asks for its repaint, then steps it, all on the bar's
// own thread, so no paint can come between.
void DamageAndStep(BarRun& r) {
  RECT client;
  GetClientRect(r.quiet, &client);
  HDC dc = GetDC(r.quiet);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(r.quiet, dc);
  InvalidateRect(r.quiet, nullptr, TRUE);
  r.damageNext = true;
  InterlockedExchangeAdd(&r.count, r.c->range / r.c->steps);
}

LRESULT CALLBACK TopProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  BarRun& r = *gRun;
  switch (message) {
    case kDamageAndStep: DamageAndStep(r); return 0;
    case kCheck: CheckStep(r, static_cast<int>(wParam)); return 0;
    case kCompare:
      (wParam ? r.shownAtEnd : r.shownAtPause) = SamePixels(r);
      r.unpaintedSince = 0;  // a pause is the worker's, not the bar's
      return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

// The installation's worker: one counted step after another, as fast as they come,
// with a pause (a build tool running) after which the step before it must be shown, and
// the finish page's hiding of the bar at the end.
DWORD WINAPI Stepper(void* context) {
  BarRun& r = *static_cast<BarRun*>(context);
  const LONG delta = r.c->range / r.c->steps;
  for (int i = 1; i <= r.c->last; ++i) {
    // Now and then the bar has a repaint pending of its own when a step comes.
    if (i % 97 == 0) {
      SendMessageA(r.top, kDamageAndStep, 0, 0);
    } else {
      InterlockedExchangeAdd(&r.count, delta);
    }
    SendMessageA(r.top, kCheck, static_cast<WPARAM>(i), 0);
    if (i == r.c->pauseAt || i == r.c->last) {
      Sleep(150);
      SendMessageA(r.top, kCompare, i == r.c->last, 0);
    }
  }
  ShowWindow(r.quiet, SW_HIDE);
  return 0;
}

// The uninstaller's walk: each record a little work, then its position and status text.
void Walk(BarRun& r) {
  static const char kFiles[] = "Deleting the files ...", kRegistry[] = "Washes the registry ...";
  BeginWalkDisplay(r.display, static_cast<std::uint32_t>(r.c->range));
  const char* text = nullptr;
  for (int i = 1; i <= r.c->last; ++i) {
    const double until = Ms() + 0.25;
    while (Ms() < until) {
    }
    ShowWalkPosition(r.display, PositionAt(*r.c, i));
    text = i % 40 < 30 ? kFiles : kRegistry;
    ShowLine(r.display, r.display.status, text);
    CheckStep(r, i);
  }
  EndWalkDisplay(r.display);
  r.shownAtEnd = SamePixels(r);
  EXPECT_EQ(r.lastText, text) << "the walk's last status text is shown";
}

void RunInstallation(BarRun& r) {
  // Shown for the run, as the installation page shows it.
  ShowWindow(r.quiet, SW_HIDE);
  AttachQuietProgress(r.quiet, &r.count);
  ShowWindow(r.quiet, SW_SHOW);
  HANDLE worker = CreateThread(nullptr, 0, Stepper, &r, 0, nullptr);
  ASSERT_NE(worker, nullptr);
  MSG msg;
  while (MsgWaitForMultipleObjects(1, &worker, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  CloseHandle(worker);
  EXPECT_EQ(CallWindowProcA(r.counted, r.quiet, PBM_GETPOS, 0, 0), LRESULT{r.count}) << "the control, once hidden";
}

// Gaps between repaints shorter than a frame, but for the run's last one and those next
// to a repaint the test asked for.
int ShortGaps(const std::vector<double>& times, const std::vector<bool>& asked) {
  int shortGaps = 0;
  for (size_t i = 1; i + 1 < times.size(); ++i) {
    if (asked[i] || asked[i - 1]) continue;
    if (times[i] - times[i - 1] >= kFrameMs) continue;
    if (shortGaps++ == 0) ADD_FAILURE() << "repaint " << i << " came " << times[i] - times[i - 1] << " ms after the one before";
  }
  return shortGaps;
}

TEST(ProgressBars, RepaintAtTheDisplaysPaceAndShowTheLastStep) {
  static const Case cases[] = {
      // 943 steps, the full installation, on a bar as wide as the installation page's.
      // The installation page's bar is one per process: one case.
      {"installation", Bar::Installer, 943, 943, 471, 943},
      // The uninstall of a full installation: 859 records, some 38,000 bytes.
      {"uninstall, full walk", Bar::Uninstaller, 38211, 859, 0, 859},
      {"uninstall, stopped halfway by a type 0 record", Bar::Uninstaller, 38211, 859, 0, 430},
  };
  InitCommonControls();
  WNDCLASSA wc = {};
  wc.lpfnWndProc = TopProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = GetSysColorBrush(COLOR_3DFACE);
  wc.lpszClassName = "ProgressBarsTest";
  ASSERT_NE(RegisterClassA(&wc), 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BarRun r = {};
    gRun = &r;
    r.c = &c;
    r.firstBad = -1;
    r.top = CreateWindowExA(0, wc.lpszClassName, "bars", WS_POPUP | WS_VISIBLE, 10, 10, 340, 110, nullptr, nullptr,
                            wc.hInstance, nullptr);
    ASSERT_NE(r.top, nullptr);
    const DWORD style = WS_CHILD | WS_VISIBLE | PBS_SMOOTH;
    const int width = c.bar == Bar::Installer ? 317 : 194;
    r.quiet = CreateWindowExA(0, PROGRESS_CLASSA, "", style, 10, 10, width, 16, r.top, nullptr, wc.hInstance, nullptr);
    r.plain = CreateWindowExA(0, PROGRESS_CLASSA, "", style, 10, 40, width, 16, r.top, nullptr, wc.hInstance, nullptr);
    r.status = CreateWindowExA(0, "STATIC", " ", WS_CHILD | WS_VISIBLE, 10, 70, 200, 16, r.top, nullptr, wc.hInstance,
                               nullptr);
    ASSERT_TRUE(r.quiet != nullptr && r.plain != nullptr && r.status != nullptr);
    for (HWND bar : {r.quiet, r.plain}) SendMessageA(bar, PBM_SETRANGE32, 0, c.range);
    r.counted = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(r.quiet, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProc)));
    r.countedStatus = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(r.status, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingStatusProc)));
    UpdateWindow(r.top);
    r.paints.clear();

    const double start = Ms();
    if (c.bar == Bar::Installer) {
      RunInstallation(r);
    } else {
      AttachWalkDisplay(r.display, r.quiet, r.status, r.status);
      Walk(r);
    }
    const double ran = Ms() - start - (c.pauseAt != 0 ? 300 : 0);

    EXPECT_EQ(r.wrongPositions, 0) << "the control's position, first wrong at step " << r.firstBad;
    EXPECT_EQ(Position(r.quiet), PositionAt(c, c.last));
    EXPECT_EQ(r.staleSteps, 0) << "steps not shown within " << kStaleMs << " ms";
    if (c.pauseAt != 0) {
      EXPECT_TRUE(r.shownAtPause) << "the step before the pause is shown without a further step";
    }
    EXPECT_TRUE(r.shownAtEnd) << "the last position is shown right after the last step";
    std::vector<double> times;
    std::vector<bool> asked;
    for (const Paint& p : r.paints) {
      times.push_back(p.at);
      asked.push_back(p.damage);
    }
    EXPECT_EQ(ShortGaps(times, asked), 0) << r.paints.size() << " repaints in " << ran << " ms";
    EXPECT_LE(static_cast<double>(r.paints.size()), ran / kFrameMs + 12) << "repaints in " << ran << " ms";
    EXPECT_EQ(ShortGaps(r.texts, std::vector<bool>(r.texts.size(), false)), 0) << r.texts.size() << " status texts";
    DestroyWindow(r.top);
    gRun = nullptr;
  }
}

}  // namespace
