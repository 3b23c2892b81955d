// The page table: which controls each wizard page shows, and its handler.
#pragma once
#include <cstdint>

// Low 16 bits: control ID; high 16 bits non-zero: shown, zero: hidden. 0 ends a list.
constexpr std::uint32_t Shown(std::uint32_t id) { return 0x10000u | id; }
constexpr std::uint32_t Hidden(std::uint32_t id) { return id; }

struct PageEntry {
  const std::uint32_t* visibility;
  void (*handler)();
};

// The wizard's controls, as the template declares them.
namespace Item {
inline constexpr int Prev = 201;
inline constexpr int Next = 202;
inline constexpr int Cancel = 203;
inline constexpr int StepLabel = 107;
inline constexpr int Progress = 106;
inline constexpr int MiddleText = 102;
inline constexpr int UpperText = 101;
inline constexpr int LowerText = 105;
inline constexpr int Destination = 120;
inline constexpr int ComponentList = 121;
inline constexpr int Picture = 300;
inline constexpr int Browse = 119;
}  // namespace Item

inline constexpr int kWizardControlCount = 12;
inline constexpr int kPageCount = 4;

extern const PageEntry kPages[kPageCount];

// The welcome page's banner, also the first record of the uninstall log.
extern const char kProductBanner[];
