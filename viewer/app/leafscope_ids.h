#pragma once
// Numbers of Leafscope's windows, gadgets, commands, fonts and images.

namespace leafscope {

// Windows
inline constexpr int kMainWindow = 0;
inline constexpr int kPropertiesWindow = 1;
inline constexpr int kAboutWindow = 2;
// Says that no printer is installed when Print is asked for.
inline constexpr int kNoPrinterWindow = 3;

// Gadgets of the main window
inline constexpr int kSplitter = 0;
inline constexpr int kPageView = 1;
inline constexpr int kContentsTree = 2;
inline constexpr int kNavigationPanel = 3;
inline constexpr int kIndexField = 4;
inline constexpr int kIndexList = 5;

// Tabs of the navigation panel
inline constexpr int kContentsTab = 0;
inline constexpr int kIndexTab = 1;

// Gadgets of the Properties window. Row r (0 to 10) has label 7 + 2r and value
// 8 + 2r; the last value is the website link.
inline constexpr int kPropertiesFrame = 6;
inline constexpr int kPropertiesRowCount = 11;
inline constexpr int kWebsiteLink = 28;
inline constexpr int kPropertiesCloseButton = 29;

constexpr int propertiesLabel(int row)
{
    return 7 + 2 * row;
}
constexpr int propertiesValue(int row)
{
    return row == kPropertiesRowCount - 1 ? kWebsiteLink : 8 + 2 * row;
}

// Gadgets of the About window
inline constexpr int kAboutLogo = 30;
inline constexpr int kAboutTitle = 31;
inline constexpr int kAboutText = 32;
inline constexpr int kAboutOkButton = 33;

// Gadgets of the no-printer window
inline constexpr int kNoPrinterText = 60;
inline constexpr int kNoPrinterOkButton = 61;

// Gadgets of the find bar below the page view (hidden while it is closed)
inline constexpr int kFindField = 34;
inline constexpr int kFindPreviousButton = 35;
inline constexpr int kFindNextButton = 36;
inline constexpr int kFindMatchCase = 37;
inline constexpr int kFindCount = 38;
inline constexpr int kFindCloseButton = 39;
// Below the index list in the Index tab: pages whose text holds the typed words
inline constexpr int kFullTextList = 40;

// Commands: toolbar buttons and shortcuts
inline constexpr int kCommandAbout = 0;
inline constexpr int kCommandProperties = 1;
inline constexpr int kCommandPrint = 2;
inline constexpr int kCommandHome = 3;
inline constexpr int kCommandPrevious = 4;
inline constexpr int kCommandNext = 5;
inline constexpr int kCommandZoomIn = 6;
inline constexpr int kCommandZoomOut = 7;
inline constexpr int kCommandZoom100 = 8;
inline constexpr int kCommandCloseAbout = 9;
inline constexpr int kCommandCloseProperties = 10;
// Down in the index field: on into the index list (no button).
inline constexpr int kCommandIntoIndexList = 11;
// The find bar: Ctrl+F, F3, Shift+F3, Escape inside the bar.
inline constexpr int kCommandFind = 12;
inline constexpr int kCommandFindNext = 13;
inline constexpr int kCommandFindPrevious = 14;
inline constexpr int kCommandCloseFind = 15;
// Escape in the no-printer window.
inline constexpr int kCommandCloseNoPrinter = 20;

// Fonts
inline constexpr int kPanelFont = 0; // "Arial" 11, normal
inline constexpr int kValueFont = 1; // "Arial" 11, normal
inline constexpr int kLabelFont = 2; // "Arial" 11, bold
inline constexpr int kTitleFont = 3; // "Tahoma" 25, normal

// Images, decoded from the embedded PNGs
inline constexpr int kLogoImage = 0;
inline constexpr int kAboutIcon = 1;
inline constexpr int kPropertiesIcon = 2;
inline constexpr int kPrintIcon = 3;
inline constexpr int kHomeIcon = 4;
inline constexpr int kPreviousIcon = 5;
inline constexpr int kNextIcon = 6;
inline constexpr int kZoomOutIcon = 7;
inline constexpr int kZoomInIcon = 8;
// The application icon in its sizes: kFirstAppIconImage + 0 .. kAppIconImageCount - 1
inline constexpr int kFirstAppIconImage = 16;
inline constexpr int kAppIconImageCount = 7;

// Application events
// Posted when the process is asked to end (SIGTERM, SIGINT, SIGHUP): handled
// like the main window's close box.
inline constexpr int kEndRequested = 65536;

} // namespace leafscope
