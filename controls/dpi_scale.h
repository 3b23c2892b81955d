// Pixels at a display's DPI: every length drawn at 96 DPI, scaled by one rounding rule.
#pragma once

inline constexpr int kBaseDpi = 96;

// `length` measured at `fromDpi`, at `toDpi`: rounded to the nearest pixel, halves away
// from zero, as MulDiv rounds; at equal DPIs the length itself (the rounding's half is
// less than one unit), so at 96 DPI nothing changes. Int arithmetic: lengths
// and DPIs of a screen keep the product far below 2^31, and a 64-bit division would cost
// the i686 programs a runtime helper. One copy, called: the layout scales many lengths.
[[gnu::noinline]] constexpr int ScaleDpi(int length, int toDpi, int fromDpi) {
  if (fromDpi <= 0) return length;
  const int product = length * toDpi;
  const int half = fromDpi / 2;
  return (product < 0 ? product - half : product + half) / fromDpi;
}

// A length at 96 DPI at `dpi`; called rather than inlined where it is not constant.
[[gnu::noinline]] constexpr int ScaleDpi(int length, int dpi) { return ScaleDpi(length, dpi, kBaseDpi); }

static_assert(ScaleDpi(13, 144) == 20 && ScaleDpi(75, 144) == 113 && ScaleDpi(-11, 144) == -17);
static_assert(ScaleDpi(8, 96, 72) == 11 && ScaleDpi(16, 72, 144) == 8 && ScaleDpi(216, 96) == 216);
