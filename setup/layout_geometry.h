// Placement arithmetic of the wizard window: every rectangle as a pure function of
// the measured Cancel button, client area and read-back heights. All in pixels at 96
// DPI: at another DPI the layer gives the measures in those units and scales each
// placed rectangle (ScaleDpi), so every length of the layout follows the DPI.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

#include "controls/dpi_scale.h"

// Flag bits with the window manager's values, so the Win32 layer passes them through.
inline constexpr std::uint32_t kKeepSize = 0x0001;
inline constexpr std::uint32_t kKeepPosition = 0x0002;
inline constexpr std::uint32_t kShow = 0x0040;

enum class ZOrder : std::uint8_t { Top, Bottom };

// What the layer measures right after applying a row; later rows depend on it.
enum class ReadBack : std::uint8_t { None, WizardClient, Height101, Height102, Height105 };

inline constexpr int kWizardWindow = 0;  // a row for the dialog itself, not a control

struct Placement {
  int id;
  int x;
  int y;
  int width;
  int height;
  std::uint32_t flags;
  ZOrder order;
  ReadBack readBack;
};

struct WizardMeasures {
  int bw;  // Cancel button's client size
  int bh;
  int W;   // wizard client size after the resize
  int H;
  int h101;
  int h102;
  int h105;
};

inline constexpr int kContentLeft = 216;
constexpr int ContentWidth(int clientWidth) { return clientWidth - 232; }

inline constexpr int kPictureWidth = 200;  // the picture, bitmap resource 1
inline constexpr int kPictureHeight = 300;

// The controls whose size the layout keeps, with their template size at 96 DPI (dialog
// units of the 8-point template font, 6 x 13 pixels to 4 x 8 units). At another DPI
// they get that size scaled, at a start there as after a change to it: a bitmap font
// with no size for a DPI would otherwise leave the buttons, and the window with them,
// short of it.
struct KeptSize {
  int id;
  int width;
  int height;
};
inline constexpr KeptSize kKeptSizes[] = {
    {201, 75, 23}, {202, 75, 23}, {203, 75, 23},  // 50 x 14 units
    {107, 104, 13},                               // 69 x 8
    {120, 152, 20},                               // 101 x 12
};


// Rows in placement order. Row i uses only what the rows before it read back, so
// the layer may recompute the table after every read-back and apply row i of it.
inline constexpr std::size_t kWizardPlacementCount = 10;
[[gnu::noinline]] constexpr std::array<Placement, kWizardPlacementCount> WizardPlacements(const WizardMeasures& m) {
  const int cw = ContentWidth(m.W);
  const int row = m.H - m.bh - 4;
  constexpr auto kTop = ZOrder::Top;
  constexpr auto kNone = ReadBack::None;
  return {{
      {kWizardWindow, 0, 0, 3 * m.bw + 248, 2 * m.bh + 304, kKeepPosition, kTop, ReadBack::WizardClient},
      {300, 8, 8, kPictureWidth, kPictureHeight, kShow, kTop, kNone},
      {107, 8, 308, 0, 0, kKeepSize, kTop, kNone},
      {201, kContentLeft, row, 0, 0, kKeepSize, kTop, kNone},
      {202, 224 + m.bw, row, 0, 0, kKeepSize, kTop, kNone},
      {203, 232 + 2 * m.bw, row, 0, 0, kKeepSize, kTop, kNone},
      {101, kContentLeft, 8, cw, 80, kShow, ZOrder::Bottom, ReadBack::Height101},
      {102, kContentLeft, m.h101 + 16, cw, 80, kShow, kTop, ReadBack::Height102},
      {105, kContentLeft, m.h101 + m.h102 + 24, cw, 80, kShow, kTop, ReadBack::Height105},
      {106, kContentLeft, m.h101 + m.h102 + m.h105 + 24, cw, 16, kShow, kTop, kNone},
  }};
}

struct ChoosePageMeasures {
  int cw;    // content width stored by the first pass
  int h101;  // read back after row 0
  int eh;    // the edit box's window height before it is placed
};

// The browse button stands 8 pixels right of the edit box, a square of the edit box's height.
inline constexpr std::size_t kChoosePagePlacementCount = 5;
[[gnu::noinline]] constexpr std::array<Placement, kChoosePagePlacementCount> ChoosePagePlacements(const ChoosePageMeasures& m) {
  constexpr auto kTop = ZOrder::Top;
  constexpr auto kNone = ReadBack::None;
  const int editWidth = m.cw - 2 * m.eh;
  const int editTop = m.h101 + 111;
  return {{
      {101, 0, 0, m.cw, 75, kKeepPosition | kShow, kTop, ReadBack::Height101},
      {121, kContentLeft, m.h101 + 8, m.cw, 75, kShow, kTop, kNone},
      {105, kContentLeft, m.h101 + 91, m.cw, 16, kShow, kTop, kNone},
      {120, kContentLeft, editTop, editWidth, m.eh, kShow, kTop, kNone},
      {119, 224 + editWidth, editTop, m.eh, m.eh, kShow, kTop, kNone},
  }};
}

// With the read-back heights equal to the set ones the texts stand 8 pixels apart.
static_assert(WizardPlacements({75, 23, 460, 340, 80, 80, 80})[9].y == 264);
static_assert(ChoosePagePlacements({228, 75, 20})[3].y == 186);
