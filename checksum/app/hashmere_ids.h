#pragma once
// Numbers of Hashmere's windows, fonts and images. Gadget
// numbers of the requester are in requester.h.

namespace hashmere {

// Windows
inline constexpr int kMainWindow = 0;
inline constexpr int kAboutWindow = 1;
inline constexpr int kRequesterWindow = 2;

// Fonts
inline constexpr int kBodyFont = 0;      // "Arial" 11, normal
inline constexpr int kRunFont = 1;       // "Arial" 14, bold
inline constexpr int kRequesterFont = 2; // "Arial" 12, bold
inline constexpr int kTitleFont = 3;     // "Tahoma" 25, normal

// Images, decoded from the embedded PNGs
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

} // namespace hashmere

namespace hashmere {

// Gadgets of MainWindow. Row r (0 to 10) has check box 4 + 3r, result field
// 5 + 3r and copy button 6 + 3r.
inline constexpr int kFileFrame = 0;
inline constexpr int kFileField = 1;
inline constexpr int kFileBrowseButton = 2;
inline constexpr int kAlgorithmFrame = 3;
inline constexpr int kCopyAllButton = 37;
inline constexpr int kSaveButton = 38;
inline constexpr int kDeleteAllButton = 39;
inline constexpr int kVerificationFrame = 40;
inline constexpr int kExpectedField = 41;
inline constexpr int kExpectedBrowseButton = 42;
inline constexpr int kProgressBar = 43;
inline constexpr int kRunButton = 44;

constexpr int algorithmCheck(int row)
{
    return 4 + 3 * row;
}
constexpr int resultField(int row)
{
    return 5 + 3 * row;
}
constexpr int copyButton(int row)
{
    return 6 + 3 * row;
}

// Gadgets of AboutWindow
inline constexpr int kAboutLogo = 45;
inline constexpr int kAboutTitle = 46;
inline constexpr int kAboutText = 47;
inline constexpr int kAboutOkButton = 48;

// Menu items of MainWindow; a language is item kFirstLanguageItem + n.
inline constexpr int kMenuOpen = 0;
inline constexpr int kMenuQuit = 1;
inline constexpr int kMenuOpenHelp = 2;
inline constexpr int kMenuAbout = 3;
inline constexpr int kMenuOpenWebsite = 4;
inline constexpr int kFirstLanguageItem = 5;

} // namespace hashmere
