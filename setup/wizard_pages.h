// The page table: which controls each wizard page shows, and its handler.
#pragma once
#include <cstdint>

#include "engine/wizard_items.h"

// Low 16 bits: control ID; high 16 bits non-zero: shown, zero: hidden. 0 ends a list.
constexpr std::uint32_t Shown(std::uint32_t id) { return 0x10000u | id; }
constexpr std::uint32_t Hidden(std::uint32_t id) { return id; }

struct PageEntry {
  const std::uint32_t* visibility;
  void (*handler)();
};

inline constexpr int kWizardControlCount = 12;
inline constexpr int kPageCount = 4;

extern const PageEntry kPages[kPageCount];

