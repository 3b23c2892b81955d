// The wizard dialog's items as its template declares them, and the product banner:
// the wizard shows and hides them, detection and the installation run set their texts.
#pragma once

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

// The welcome page's banner, also the first record of the uninstall log.
inline constexpr char kProductBanner[] =
    "Tarvel Lib v6.49 (trial)\r"
    "Communication, telephony and device components\r"
    "for Borland Delphi and C++Builder.";
