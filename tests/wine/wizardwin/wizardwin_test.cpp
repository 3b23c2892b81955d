// The wizard window seen from outside: its template, both layout passes, and the
// check list's mouse, keyboard and pixels, against the host built from template 1.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/driver/driver.h"
#include "tests/wine/wizardwin/host_protocol.h"

// windows.h (through the driver) first: the common-controls header builds on its types.
#include <commctrl.h>

using namespace driver;

namespace {

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
  return static_cast<LRESULT>(result);
}

struct Host {
  Program program;
  HWND dialog = nullptr;
  HWND list = nullptr;
  WPARAM ping = 0;

  bool Start() {
    if (!driver::Start("\"" + BuildPath("tests/wine/wizardwin/wizard_host.exe") + "\"", &program)) return false;
    dialog = WaitForWindow(program.pid, "#32770", kHostCaption);
    list = Item(dialog, 121);
    return dialog != nullptr;
  }
  ~Host() {
    if (dialog != nullptr) Close(dialog);
    DWORD code = 0;
    if (!WaitExit(program, 10000, &code)) Kill(program);
  }
  LRESULT Query(HostValue which) const { return Send(dialog, kHostQuery, which); }
  // Posted messages run in order, so once the ping is seen all posted before it have run.
  bool Flush() {
    PostMessageA(dialog, kHostPing, ++ping, 0);
    return WaitUntil([&] { return Query(kLastPing) == static_cast<LRESULT>(ping); });
  }
  int Add(const std::string& text, int data) {
    COPYDATASTRUCT copy = {static_cast<ULONG_PTR>(static_cast<LONG_PTR>(data)), static_cast<DWORD>(text.size() + 1),
                           const_cast<char*>(text.c_str())};
    return static_cast<int>(Send(dialog, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy)));
  }
  void Fill(const std::vector<int>& data) {
    Send(dialog, kHostResetList);
    for (std::size_t i = 0; i < data.size(); ++i) Add("Component row " + std::to_string(i + 1), data[i]);
  }
  std::vector<int> Data() const {
    std::vector<int> out;
    const int count = static_cast<int>(Send(list, LB_GETCOUNT));
    for (int i = 0; i < count; ++i) out.push_back(static_cast<int>(Send(list, LB_GETITEMDATA, i)));
    return out;
  }
  RECT Row(int index) const {
    RECT r = {};
    Send(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    return r;
  }
  std::string RowText(int index) const {
    wchar_t buffer[1024] = {};
    if (SendMessageW(list, LB_GETTEXTLEN, index, 0) >= 1000) return {};
    SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(buffer));
    std::string out;
    for (const wchar_t* p = buffer; *p != 0; ++p) out += static_cast<char>(*p);
    return out;
  }
};

std::string Describe(const std::vector<int>& data) {
  std::string out = "{";
  for (int d : data) out += (out.size() > 1 ? ", " : "") + std::to_string(d);
  return out + "}";
}

INT_PTR CALLBACK InertDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A dialog from our own copy of template 1, invisible, to read its geometry and font
// in this process: the host's dialog units are the same.
struct TemplateDialog {
  HWND window = nullptr;
  TemplateDialog() {
    InitCommonControls();
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), reinterpret_cast<LPCSTR>(RT_DIALOG));
    if (found == nullptr) return;
    const DWORD size = SizeofResource(nullptr, found);
    std::vector<DWORD> copy(size / sizeof(DWORD) + 1);
    std::memcpy(copy.data(), LockResource(LoadResource(nullptr, found)), size);
    copy[0] &= ~static_cast<DWORD>(WS_VISIBLE);
    window = CreateDialogIndirectParamA(nullptr, reinterpret_cast<LPCDLGTEMPLATEA>(copy.data()), nullptr, InertDialogProc, 0);
  }
  ~TemplateDialog() {
    if (window != nullptr) DestroyWindow(window);
  }
  SIZE Pixels(int width, int height) const {
    RECT r = {0, 0, width, height};
    MapDialogRect(window, &r);
    return {r.right, r.bottom};
  }
};

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Show(const RECT& r) {
  return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ") " + std::to_string(r.right - r.left) +
         " x " + std::to_string(r.bottom - r.top);
}

RECT Box(int x, int y, int width, int height) { return {x, y, x + width, y + height}; }

std::vector<int> ZOrder(HWND dialog) {
  std::vector<int> ids;
  for (HWND w = GetWindow(dialog, GW_CHILD); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
    ids.push_back(GetDlgCtrlID(w));
  }
  return ids;
}

// Captured through the wizard window: BitBlt from another process's child fails.
struct ListPixels {
  Pixels p;
  int dx = 0, dy = 0;  // the list's client origin inside the capture
  bool Take(HWND list) {
    HWND top = GetAncestor(list, GA_ROOT);
    RECT window = {};
    GetWindowRect(top, &window);
    POINT origin = {0, 0};
    ClientToScreen(list, &origin);
    dx = origin.x - window.left;
    dy = origin.y - window.top;
    // The X server may still be drawing what the host sent: wait for two equal captures.
    Pixels previous;
    return WaitUntil([&] {
      previous = std::move(p);
      return Capture(top, &p) && previous.rgb == p.rgb;
    });
  }
  unsigned At(int x, int y) const { return p.At(x + dx, y + dy); }
};

// A screenshot once everything posted has run and the picture has stopped changing.
std::string SettledScreenshot(Host& host, const char* name) {
  ListPixels settled;
  if (!host.Flush() || !settled.Take(host.list)) return {};
  return SaveScreenshot(host.dialog, name);
}

unsigned Rgb(int systemColour) {
  const COLORREF c = GetSysColor(systemColour);
  return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// ---------------------------------------------------------------------------
// The template, read from the resource itself.

struct Reader {
  const BYTE* p;
  WORD Word() {
    WORD w;
    std::memcpy(&w, p, 2);
    p += 2;
    return w;
  }
  DWORD Dword() {
    DWORD d;
    std::memcpy(&d, p, 4);
    p += 4;
    return d;
  }
  std::string String() {
    std::string s;
    for (WORD c; (c = Word()) != 0;) s += static_cast<char>(c);
    return s;
  }
  // A name or an ordinal; the predefined control classes come as ordinals.
  std::string NameOrOrdinal() {
    WORD first;
    std::memcpy(&first, p, 2);
    if (first != 0xFFFF) return String();
    p += 2;
    switch (const WORD ordinal = Word()) {
      case 0x80: return "Button";
      case 0x81: return "Edit";
      case 0x82: return "Static";
      case 0x83: return "ListBox";
      default: return "#" + std::to_string(ordinal);
    }
  }
  void AlignDword(const BYTE* base) { p += (4 - (p - base) % 4) % 4; }
};

TEST(WizardTemplate, ResourceIsTheWizardsTable) {
  HRSRC found = FindResourceExA(nullptr, reinterpret_cast<LPCSTR>(RT_DIALOG), MAKEINTRESOURCEA(1),
                                MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
  ASSERT_NE(found, nullptr) << "no neutral dialog 1";
  const BYTE* base = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found)));
  Reader r{base};
  const DWORD style = r.Dword();
  EXPECT_EQ(style, static_cast<DWORD>(WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_CENTER | DS_SETFONT));
  ASSERT_NE(r.Word(), 0xFFFF) << "an extended template";
  r.p -= 2;
  EXPECT_EQ(r.Dword(), 0u) << "extended style";
  const WORD count = r.Word();
  ASSERT_EQ(count, 12);
  const short x = static_cast<short>(r.Word()), y = static_cast<short>(r.Word());
  const short cx = static_cast<short>(r.Word()), cy = static_cast<short>(r.Word());
  EXPECT_TRUE(x == 0 && y == 0 && cx == 294 && cy == 186) << x << "," << y << " " << cx << "x" << cy;
  EXPECT_EQ(r.NameOrOrdinal(), "") << "menu";
  EXPECT_EQ(r.NameOrOrdinal(), "") << "class";
  r.String();  // caption: replaced at start-up
  EXPECT_EQ(r.Word(), 8) << "point size";
  EXPECT_EQ(r.String(), "MS Sans Serif");

  struct Control {
    int id;
    const char* className;
    const char* text;
    DWORD style;
    short x, y, width, height;
  };
  constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
  static const Control expected[] = {
      {201, "Button", "< Prev", kChild | WS_TABSTOP | BS_PUSHBUTTON, 118, 167, 50, 14},
      {202, "Button", "Next >", kChild | WS_TABSTOP | BS_PUSHBUTTON, 173, 167, 50, 14},
      {203, "Button", "Cancel", kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, 229, 167, 50, 14},
      {107, "Static", "Page", kChild | SS_LEFT, 6, 173, 69, 8},
      {106, "msctls_progress32", "Progress1", kChild | PBS_SMOOTH, 127, 131, 152, 11},
      {102, "Static", "Static", kChild | WS_GROUP | SS_LEFT, 131, 55, 148, 38},
      {101, "Static", "Static", kChild | WS_GROUP | SS_LEFT, 131, 7, 148, 46},
      {105, "Static", "Static", kChild | WS_GROUP | SS_LEFT, 122, 103, 148, 18},
      {120, "Edit", "", WS_CHILD | WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, 103, 117, 101, 12},
      {121, "ListBox", "",
       WS_CHILD | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
           LBS_USETABSTOPS,
       140, 24, 73, 61},
      {300, "Static", "", WS_CHILD | SS_BITMAP | SS_CENTERIMAGE, 8, 36, 66, 78},
      {119, "Button", "...", kChild | WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY, 219, 119, 15, 11},
  };
  for (int i = 0; i < count; ++i) {
    const Control& e = expected[i];
    r.AlignDword(base);
    const DWORD itemStyle = r.Dword();
    const DWORD itemExStyle = r.Dword();
    const short ix = static_cast<short>(r.Word()), iy = static_cast<short>(r.Word());
    const short iw = static_cast<short>(r.Word()), ih = static_cast<short>(r.Word());
    const int id = r.Word();
    const std::string className = r.NameOrOrdinal();
    const std::string text = r.NameOrOrdinal();
    const WORD extra = r.Word();
    r.p += extra;
    EXPECT_EQ(id, e.id) << "control " << i;
    EXPECT_EQ(lstrcmpiA(className.c_str(), e.className), 0) << e.id << ": class " << className;
    EXPECT_EQ(text, e.text) << e.id;
    EXPECT_EQ(itemStyle, e.style) << e.id << std::hex << ": style 0x" << itemStyle << ", expected 0x" << e.style;
    EXPECT_EQ(itemExStyle, 0u) << e.id;
    EXPECT_TRUE(ix == e.x && iy == e.y && iw == e.width && ih == e.height)
        << e.id << ": " << ix << "," << iy << " " << iw << "x" << ih;
  }
}

TEST(WizardTemplate, PictureIsA200By300PalettedBitmap) {
  HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), reinterpret_cast<LPCSTR>(RT_BITMAP));
  ASSERT_NE(found, nullptr);
  const auto* info = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(nullptr, found)));
  EXPECT_EQ(info->biWidth, 200);
  EXPECT_EQ(info->biHeight, 300);
  EXPECT_EQ(info->biBitCount, 8);
  // Stored run-length encoded: the raw picture alone would be 61 KB of setup.exe.
  EXPECT_EQ(info->biCompression, static_cast<DWORD>(BI_RLE8));
  EXPECT_TRUE(info->biClrUsed == 0 || info->biClrUsed == 256) << info->biClrUsed;
  EXPECT_NE(FindResourceA(nullptr, MAKEINTRESOURCEA(1), reinterpret_cast<LPCSTR>(RT_GROUP_ICON)), nullptr);
}

// ---------------------------------------------------------------------------
// Layout.

struct Expected {
  int id;
  RECT rect;
};

void ExpectPlacements(HWND dialog, const std::vector<Expected>& expected, const char* pass) {
  for (const Expected& e : expected) {
    const RECT got = RectInParent(Item(dialog, e.id));
    EXPECT_TRUE(SameRect(got, e.rect)) << pass << ": control " << e.id << " at " << Show(got) << ", expected "
                                       << Show(e.rect);
  }
}

TEST(WizardLayout, FirstPassFollowsTheCancelButton) {
  TemplateDialog units;
  ASSERT_NE(units.window, nullptr);
  Host host;
  ASSERT_TRUE(host.Start());
  HWND d = host.dialog;

  const RECT cancel = ClientRect(Item(d, 203));
  const int bw = cancel.right, bh = cancel.bottom;
  const SIZE button = units.Pixels(50, 14);
  EXPECT_TRUE(bw == button.cx && bh == button.cy) << "Cancel " << bw << "x" << bh;

  RECT window = {};
  GetWindowRect(d, &window);
  EXPECT_EQ(window.right - window.left, 3 * bw + 248);
  EXPECT_EQ(window.bottom - window.top, 2 * bh + 304);
  // Resized, not moved: the corner that centring gave the template's own size.
  EXPECT_EQ(window.left, host.Query(kInitialLeft));
  EXPECT_EQ(window.top, host.Query(kInitialTop));
  RECT work = {};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const LRESULT initialCentreX = host.Query(kInitialLeft) + host.Query(kInitialWidth) / 2;
  const LRESULT initialCentreY = host.Query(kInitialTop) + host.Query(kInitialHeight) / 2;
  EXPECT_LE(std::abs(initialCentreX - (work.left + work.right) / 2), 1);
  EXPECT_LE(std::abs(initialCentreY - (work.top + work.bottom) / 2), 1);

  const RECT client = ClientRect(d);
  const int W = client.right, H = client.bottom;
  const int cw = W - 232;
  EXPECT_EQ(host.Query(kContentWidth), cw);
  const SIZE label = units.Pixels(69, 8);
  const int row = H - bh - 4;
  ExpectPlacements(d,
                   {{300, Box(8, 8, 200, 300)},
                    {107, Box(8, 308, label.cx, label.cy)},
                    {201, Box(216, row, bw, bh)},
                    {202, Box(224 + bw, row, bw, bh)},
                    {203, Box(232 + 2 * bw, row, bw, bh)},
                    {101, Box(216, 8, cw, 80)},
                    {102, Box(216, 96, cw, 80)},
                    {105, Box(216, 184, cw, 80)},
                    {106, Box(216, 264, cw, 16)}},
                   "first pass");
  for (int id : {300, 101, 102, 105, 106}) EXPECT_TRUE(IsShown(d, id)) << id;
  // Each placement raises its control; 101 alone goes to the bottom.
  EXPECT_EQ(ZOrder(d), (std::vector<int>{106, 105, 102, 203, 202, 201, 107, 300, 120, 121, 119, 101}));

  struct Text {
    int id;
    const char* text;
  };
  static const Text texts[] = {{201, "< Prev"}, {202, "Next >"}, {203, "Cancel"}, {107, "Page"},
                               {101, "Static"}, {102, "Static"}, {105, "Static"}, {119, "..."}};
  for (const Text& t : texts) EXPECT_EQ(ItemText(d, t.id), t.text) << t.id;
  EXPECT_NE(SettledScreenshot(host, "wizard_layout"), "");
}

TEST(WizardLayout, ChoosePagePassIsRepeatable) {
  Host host;
  ASSERT_TRUE(host.Start());
  HWND d = host.dialog;
  host.Fill({1, -1, 1});
  RECT edit = {};
  GetWindowRect(Item(d, 120), &edit);
  const int eh = edit.bottom - edit.top;
  const int cw = static_cast<int>(host.Query(kContentWidth));
  const int itemHeight = static_cast<int>(Send(host.list, LB_GETITEMHEIGHT));

  std::vector<RECT> first;
  std::vector<int> firstOrder;
  for (int pass = 1; pass <= 2; ++pass) {
    Send(d, kHostLayoutChoosePage);
    const int h101 = ClientRect(Item(d, 101)).bottom;
    EXPECT_EQ(h101, 75);
    // Without LBS_NOINTEGRALHEIGHT the list box trims its client area to whole rows
    // (Wine gives a bordered dialog control a two-pixel client edge).
    RECT listWindow = {};
    GetWindowRect(host.list, &listWindow);
    const int frame = (listWindow.bottom - listWindow.top) - ClientRect(host.list).bottom;
    const int listHeight = frame + (75 - frame) / itemHeight * itemHeight;
    const std::string name = "choose page pass " + std::to_string(pass);
    ExpectPlacements(d,
                     {{101, Box(216, 8, cw, 75)},
                      {121, Box(216, h101 + 8, cw, listHeight)},
                      {105, Box(216, h101 + 91, cw, 16)},
                      {120, Box(216, h101 + 111, cw - 2 * eh, eh)},
                      {119, Box(224 + cw - 2 * eh, h101 + 111, eh, eh)}},
                     name.c_str());
    for (int id : {101, 121, 105, 120, 119}) EXPECT_TRUE(IsShown(d, id)) << name << ": " << id;
    std::vector<RECT> rects;
    for (int id : {101, 102, 105, 106, 119, 120, 121}) rects.push_back(RectInParent(Item(d, id)));
    if (pass == 1) {
      first = rects;
      firstOrder = ZOrder(d);
      EXPECT_EQ(firstOrder, (std::vector<int>{119, 120, 105, 121, 101, 106, 102, 203, 202, 201, 107, 300}));
      EXPECT_NE(SettledScreenshot(host, "wizard_choose_page"), "");
    } else {
      for (std::size_t i = 0; i < rects.size(); ++i) EXPECT_TRUE(SameRect(rects[i], first[i])) << "rect " << i;
      EXPECT_EQ(ZOrder(d), firstOrder);
    }
  }
}

constexpr int kWelcomeIds[] = {300, 107, 201, 202, 203, 101, 102, 105, 106};
constexpr int kChooseIds[] = {300, 107, 201, 202, 203, 101, 121, 105, 120, 119};

// The window's size and the choose page's rectangles. Wine draws a caption at the DPI
// its process started with (Windows at the window's), so the button row, which keeps
// its distance to the client area's bottom, is taken from there.
std::vector<RECT> ChoosePageLayout(HWND dialog) {
  const RECT window = RectInParent(dialog);
  std::vector<RECT> out = {Box(0, 0, window.right - window.left, window.bottom - window.top)};
  for (int id : kChooseIds) {
    RECT r = RectInParent(Item(dialog, id));
    if (id >= 201 && id <= 203) OffsetRect(&r, 0, -ClientRect(dialog).bottom);
    out.push_back(r);
  }
  return out;
}

bool Inside(const RECT& inner, const RECT& outer) {
  RECT both;
  return IntersectRect(&both, &inner, &outer) && SameRect(both, inner);
}

void ExpectApart(HWND dialog, const auto& ids, int dpi) {
  RECT both;
  for (int a : ids) {
    for (int b : ids) {
      const RECT ra = RectInParent(Item(dialog, a)), rb = RectInParent(Item(dialog, b));
      EXPECT_FALSE(a < b && IntersectRect(&both, &ra, &rb)) << dpi << " DPI: " << a << " overlaps " << b;
    }
  }
}

TEST(WizardLayout, FollowsTheDpi) {
  SIZE at96 = {};
  if (Host host; host.Start()) at96 = {ClientRect(host.dialog).right, ClientRect(host.dialog).bottom};
  std::vector<RECT> started144;
  for (int dpi : {144, 192}) {
    DpiSetting setting(dpi);
    Host host;
    ASSERT_TRUE(host.Start());
    HWND d = host.dialog;
    SetItemText(d, 101, "Tarvel Lib v6.49 (trial)\rCommunication, telephony and device components\rfor Borland Delphi and C++Builder.");
    SetItemText(d, 102, "This programm will install Tarvel Lib on your computer\r\rClick NEXT for continue SETUP program.");
    SetItemText(d, 105, "WARNING: Close all Delphi and CBuilder programs before !!!");
    for (int id : kWelcomeIds) EXPECT_EQ(Send(d, kHostTextFits, id), 1) << dpi << " DPI: text of " << id;
    ExpectApart(d, kWelcomeIds, dpi);
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_TRUE(Inside(RectInParent(d), work)) << dpi << " DPI: " << Show(RectInParent(d));
    EXPECT_NEAR(ClientRect(d).right, at96.cx * dpi / 96.0, at96.cx * dpi / 96.0 * 0.05) << dpi << " DPI";
    EXPECT_NEAR(ClientRect(d).bottom, at96.cy * dpi / 96.0, at96.cy * dpi / 96.0 * 0.05) << dpi << " DPI";

    Send(d, kHostLayoutChoosePage);
    host.Fill({1, -1, 1});
    ASSERT_TRUE(host.Flush());
    ExpectApart(d, kChooseIds, dpi);
    const auto packed = static_cast<DWORD>(host.Query(kCheckBox));
    const RECT box = Box(packed & 0xFF, packed >> 8 & 0xFF, (packed >> 16 & 0xFF) - (packed & 0xFF), (packed >> 24) - (packed >> 8 & 0xFF));
    const RECT row = host.Row(box.top / static_cast<int>(Send(host.list, LB_GETITEMHEIGHT)));
    EXPECT_TRUE(Inside(box, row)) << dpi << " DPI: box " << Show(box);
    EXPECT_EQ(box.right - box.left, box.bottom - box.top) << dpi << " DPI: box " << Show(box);
    EXPECT_NE(SettledScreenshot(host, dpi == 144 ? "wizard_choose_page_144dpi" : "wizard_choose_page_192dpi"), "");
    if (dpi == 144) started144 = ChoosePageLayout(d);
  }
  // A window that meets 144 DPI later is laid out as one that started there (rectangle 0
  // is the window's, then kChooseIds').
  Host host;
  ASSERT_TRUE(host.Start());
  Send(host.dialog, kHostLayoutChoosePage);
  Send(host.dialog, kHostDpiChange, 144);
  const std::vector<RECT> changed = ChoosePageLayout(host.dialog);
  for (std::size_t i = 0; i < changed.size(); ++i) {
    EXPECT_TRUE(SameRect(changed[i], started144[i])) << i << ": " << Show(changed[i]) << ", not " << Show(started144[i]);
  }
  for (int id : kChooseIds) EXPECT_TRUE(IsShown(host.dialog, id)) << id;
}

// ---------------------------------------------------------------------------
// Check list: input.

TEST(CheckListInput, RowsFollowTheListFont) {
  Host host;
  ASSERT_TRUE(host.Start());
  // A fresh context of the list holds the system font, not the dialog's.
  HDC screen = GetDC(nullptr);
  TEXTMETRICA metrics = {};
  GetTextMetricsA(screen, &metrics);
  ReleaseDC(nullptr, screen);
  const int height = metrics.tmAscent > 16 ? metrics.tmAscent : 16;
  EXPECT_EQ(host.Query(kItemHeight), height) << "ascent " << metrics.tmAscent;
  EXPECT_EQ(host.Query(kTextOffset), (height - metrics.tmAscent) / 2);
  EXPECT_EQ(Send(host.list, LB_GETITEMHEIGHT), height);
}

enum class Act { Click, DoubleClick, PressOutsideReleaseOver, Space, Down, Up };

struct Step {
  Act act;
  int row;
  std::vector<int> data;  // item data of every row afterwards
  int current;             // LB_GETCURSEL afterwards
};

struct Sequence {
  const char* name;
  std::vector<int> rows;
  std::vector<Step> steps;
};

void Perform(Host& host, const Step& step) {
  const RECT r = host.Row(step.row);
  const LPARAM at = MAKELPARAM(40, (r.top + r.bottom) / 2);
  switch (step.act) {
    case Act::Click:
      PostMessageA(host.list, WM_LBUTTONDOWN, MK_LBUTTON, at);
      PostMessageA(host.list, WM_LBUTTONUP, 0, at);
      break;
    case Act::DoubleClick:
      PostMessageA(host.list, WM_LBUTTONDOWN, MK_LBUTTON, at);
      PostMessageA(host.list, WM_LBUTTONUP, 0, at);
      PostMessageA(host.list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
      PostMessageA(host.list, WM_LBUTTONUP, 0, at);
      break;
    case Act::PressOutsideReleaseOver:
      PostMessageA(Item(host.dialog, 102), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
      PostMessageA(host.list, WM_LBUTTONUP, 0, at);
      break;
    case Act::Space:
      PostMessageA(host.list, WM_CHAR, ' ', 1);
      break;
    case Act::Down:
    case Act::Up:
      PostMessageA(host.list, WM_KEYDOWN, step.act == Act::Down ? VK_DOWN : VK_UP, 1);
      break;
  }
}

TEST(CheckListInput, MouseAndKeySequences) {
  using enum Act;
  static const Sequence sequences[] = {
      {"click unticks, a second click ticks again",
       {1, -1, 1},
       {{Click, 0, {-1, -1, 1}, 0}, {Click, 0, {1, -1, 1}, 0}, {Click, 1, {1, 1, 1}, 1}}},
      {"a double click toggles once", {1, -1, 1}, {{DoubleClick, 2, {1, -1, -1}, 2}}},
      {"a press outside and a release over the list toggle nothing",
       {1, -1, 1},
       {{PressOutsideReleaseOver, 1, {1, -1, 1}, -1}, {Click, 1, {1, 1, 1}, 1},
        {PressOutsideReleaseOver, 0, {1, 1, 1}, 1}, {Click, 0, {-1, 1, 1}, 0}}},
      {"space needs a current row, arrows only move",
       {1, -1, 1},
       {{Space, 0, {1, -1, 1}, -1},
        {Click, 0, {-1, -1, 1}, 0},
        {Down, 0, {-1, -1, 1}, 1},
        {Space, 0, {-1, 1, 1}, 1},
        {Down, 0, {-1, 1, 1}, 2},
        {Up, 0, {-1, 1, 1}, 1},
        {Space, 0, {-1, -1, 1}, 1}}},
      {"an empty list toggles nothing", {}, {{Click, 0, {}, -1}, {Space, 0, {}, -1}}},
  };
  Host host;
  ASSERT_TRUE(host.Start());
  Send(host.dialog, kHostLayoutChoosePage);
  for (const Sequence& s : sequences) {
    host.Fill(s.rows);
    for (std::size_t i = 0; i < s.steps.size(); ++i) {
      Perform(host, s.steps[i]);
      ASSERT_TRUE(host.Flush()) << s.name;
      EXPECT_EQ(Describe(host.Data()), Describe(s.steps[i].data)) << s.name << ", step " << i;
      EXPECT_EQ(Send(host.list, LB_GETCURSEL), s.steps[i].current) << s.name << ", step " << i;
    }
  }
  host.Fill({});
  EXPECT_EQ(Send(host.dialog, kHostToggle), -1) << "toggle on an empty list";
}

TEST(CheckListInput, AddedRowsKeepOrderAndAreCutTo255Characters) {
  Host host;
  ASSERT_TRUE(host.Start());
  Send(host.dialog, kHostResetList);
  const std::string longText(300, 'L');
  struct Row {
    std::string text;
    int data;
    std::string stored;
  };
  const Row rows[] = {{"Zeta", 1, "Zeta"}, {"Alpha", -1, "Alpha"}, {longText, 1, longText.substr(0, 255)}};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(host.Add(rows[i].text, rows[i].data), i) << "row " << i;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(host.RowText(i), rows[i].stored) << "row " << i;
    EXPECT_EQ(Send(host.list, LB_GETITEMDATA, i), rows[i].data) << "row " << i;
  }
}

TEST(CheckListInput, OneWheelNotchScrollsInItsDirection) {
  Host host;
  ASSERT_TRUE(host.Start());
  Send(host.dialog, kHostLayoutChoosePage);
  host.Fill(std::vector<int>(12, 1));
  RECT r = {};
  GetWindowRect(host.list, &r);
  const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  auto notch = [&](int delta, WPARAM keys) {
    PostMessageA(host.list, WM_MOUSEWHEEL, MAKEWPARAM(keys, delta), at);
    EXPECT_TRUE(host.Flush());
    return static_cast<int>(Send(host.list, LB_GETTOPINDEX));
  };
  const int down = notch(-WHEEL_DELTA, 0);
  EXPECT_GT(down, 0);
  EXPECT_EQ(notch(WHEEL_DELTA, 0), 0);
  // Wine's list box leaves a shifted wheel to its parent: what remains is the
  // check list's own one-line scroll request.
  EXPECT_EQ(notch(-WHEEL_DELTA, MK_SHIFT), 1);
  EXPECT_EQ(notch(WHEEL_DELTA, MK_SHIFT), 0);
  EXPECT_EQ(Describe(host.Data()), Describe(std::vector<int>(12, 1))) << "the wheel toggles nothing";
}

TEST(CheckListInput, DrawRequestsNotForItsRowsGoToTheDialog) {
  Host host;
  ASSERT_TRUE(host.Start());
  host.Fill({1});
  // Wine's list box paints an empty list's focus itself instead of asking its
  // parent, so the request with item -1 is made by the host.
  struct Case {
    SyntheticDraw kind;
    LRESULT reachesDialog;
  };
  static const Case cases[] = {{kEmptyListFocus, 1}, {kOtherControlRow, 1}, {kOwnRow, 0}};
  for (const Case& c : cases) {
    const LRESULT before = host.Query(kDrawRequestsSeen);
    const LRESULT result = Send(host.dialog, kHostSyntheticDraw, c.kind);
    EXPECT_EQ(host.Query(kDrawRequestsSeen) - before, c.reachesDialog) << "request " << c.kind;
    if (c.reachesDialog == 0) {
      EXPECT_EQ(result, TRUE) << "request " << c.kind;
    }
  }
}

// ---------------------------------------------------------------------------
// Check list: pixels.

TEST(CheckListPixels, TickedUntickedAndSelectedRows) {
  Host host;
  ASSERT_TRUE(host.Start());
  Send(host.dialog, kHostLayoutChoosePage);
  host.Fill({1, -1, 1});
  Send(host.list, LB_SETCURSEL, 2);
  ASSERT_TRUE(host.Flush());
  ListPixels shot;
  ASSERT_TRUE(shot.Take(host.list));
  EXPECT_NE(SaveScreenshot(host.dialog, "check_list_rows"), "");

  const RECT client = ClientRect(host.list);
  const unsigned window = Rgb(COLOR_WINDOW), caption = Rgb(COLOR_ACTIVECAPTION);
  const unsigned selectedText = Rgb(COLOR_HIGHLIGHTTEXT), text = Rgb(COLOR_WINDOWTEXT);
  ASSERT_NE(caption, window);
  struct Row {
    int index;
    unsigned fill, ink;
  };
  static const Row rows[] = {{0, window, text}, {1, window, text}, {2, caption, selectedText}};
  for (const Row& row : rows) {
    const RECT r = host.Row(row.index);
    int inked = 0, other = 0;
    // Inside the focus mark's one-pixel frame: fill or ink only.
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
      for (int x = 19; x < client.right - 1; ++x) {
        const unsigned c = shot.At(x, y);
        if (c == row.ink) ++inked;
        else if (c != row.fill) ++other;
      }
    }
    EXPECT_GT(inked, 20) << "row " << row.index << " has no text";
    EXPECT_EQ(other, 0) << "row " << row.index << ": pixels neither fill nor text";
    // The check box column keeps the list's own background, selected or not.
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x : {0, 1, 2, 16, 17}) {
        EXPECT_EQ(shot.At(x, y), window) << "row " << row.index << " at " << x << "," << y;
      }
    }
  }
  auto boxDifference = [&](int a, int b) {
    int differ = 0;
    const RECT ra = host.Row(a), rb = host.Row(b);
    for (int y = 5; y < 14; ++y) {
      for (int x = 5; x < 14; ++x) differ += shot.At(x, ra.top + y) != shot.At(x, rb.top + y);
    }
    return differ;
  };
  EXPECT_GT(boxDifference(0, 1), 5) << "ticked and unticked boxes look alike";
  EXPECT_EQ(boxDifference(0, 2), 0) << "selection changed a ticked box";
}

TEST(CheckListPixels, LongRowTextIsDrawnWhole) {
  TemplateDialog units;
  ASSERT_NE(units.window, nullptr);
  Host host;
  ASSERT_TRUE(host.Start());
  Send(host.dialog, kHostWiden);
  Send(host.dialog, kHostResetList);
  const std::string text = std::string(254, 'i') + "W";
  ASSERT_EQ(host.Add(text, -1), 0);
  ASSERT_EQ(host.Add("short", 1), 1);
  ASSERT_EQ(static_cast<int>(Send(host.dialog, kHostAddRawRow)), 2);
  ASSERT_TRUE(host.Flush());

  HDC dc = GetDC(units.window);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(units.window, WM_GETFONT, 0, 0)));
  SIZE head = {}, whole = {};
  GetTextExtentPoint32A(dc, text.c_str(), 254, &head);
  GetTextExtentPoint32A(dc, text.c_str(), 255, &whole);
  SelectObject(dc, old);
  ReleaseDC(units.window, dc);
  const int left = static_cast<int>(host.Query(kItemHeight)) + 2;
  ASSERT_LT(left + whole.cx, ClientRect(host.list).right) << "list too narrow for the test";

  ListPixels shot;
  ASSERT_TRUE(shot.Take(host.list));
  EXPECT_NE(SaveScreenshot(host.dialog, "check_list_long_row"), "");
  const unsigned ink = Rgb(COLOR_WINDOWTEXT);
  auto inkIn = [&](int row, int from, int to) {
    const RECT r = host.Row(row);
    int count = 0;
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
      for (int x = from; x < to; ++x) count += shot.At(x, y) == ink;
    }
    return count;
  };
  EXPECT_GT(inkIn(0, left + head.cx, left + whole.cx), 5) << "the 255th character is missing";
  EXPECT_EQ(inkIn(0, left + whole.cx + 1, ClientRect(host.list).right - 1), 0);
  // A row too long for the painter's buffer is drawn without text, never past it.
  EXPECT_EQ(inkIn(2, left, ClientRect(host.list).right - 1), 0);
  EXPECT_EQ(host.Query(kContentWidth) > 0, true) << "host stopped answering";
}

}  // namespace
