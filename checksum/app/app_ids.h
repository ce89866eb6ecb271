#pragma once
// Numbers of Hashmere's windows, fonts and images (Parts 1.1, 1.3, 1.4). Gadget
// numbers of the requester are in requester.h.

namespace app {

// Windows
inline constexpr int kMainWindow = 0;
inline constexpr int kAboutWindow = 1;
inline constexpr int kRequesterWindow = 2;

// Fonts (Part 1.1's font table)
inline constexpr int kBodyFont = 0;      // "Arial" 11, normal
inline constexpr int kRunFont = 1;       // "Arial" 14, bold
inline constexpr int kRequesterFont = 2; // "Arial" 12, bold
inline constexpr int kTitleFont = 3;     // "Tahoma" 25, normal

// Images (Part 1.1's image table), decoded from the embedded PNGs
inline constexpr int kLogoImage = 0;
inline constexpr int kOpenIcon = 1;
inline constexpr int kQuitIcon = 2;
inline constexpr int kHelpIcon = 3;
inline constexpr int kAboutIcon = 4;
inline constexpr int kWebsiteIcon = 5;
inline constexpr int kInformationImage = 6;
inline constexpr int kWarningImage = 7;
inline constexpr int kQuestionImage = 8;
// The application icon in its sizes: kFirstAppIconImage + 0 .. kAppIconImageCount - 1
inline constexpr int kFirstAppIconImage = 16;
inline constexpr int kAppIconImageCount = 7;

} // namespace app
