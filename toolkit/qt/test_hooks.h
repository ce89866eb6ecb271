#pragma once
// Points where a test can stand in for the user and the desktop. Every hook is
// empty in a program; the test surface (testing.cpp) fills them and keeps what
// they record. Only files in toolkit/qt/ include this. GUI thread only.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace toolkit::qt {

// What a file dialog was asked to show.
struct FileDialogRequest {
    bool save = false;
    std::u16string_view title;
    std::u16string_view initialPath;
    std::u16string_view filters;
    int selectedFilter = 0;
};

// What a print dialog was asked to offer.
struct PrintDialogRequest {
    std::u16string_view documentName;
    bool pageRangeOffered = false;
    bool selectionOffered = false;
    bool printToFileOffered = false;
};

struct TestHooks {
    // Answers a file dialog instead of showing it (an empty path: cancelled);
    // std::nullopt lets the dialog show.
    std::function<std::optional<std::u16string>(const FileDialogRequest& request)> answerFileDialog;
    // Answers a print dialog instead of showing it: the PDF file to print to
    // (an empty path: cancelled); std::nullopt lets the dialog show.
    std::function<std::optional<std::filesystem::path>(const PrintDialogRequest& request)> answerPrintDialog;
    // Takes an address instead of the desktop's default handler, which then
    // reports it opened.
    std::function<void(std::u16string_view address)> openAddress;
    // Answers whether any printer is installed instead of asking the system.
    std::function<bool()> printerInstalled;
    // A print has begun sending pages (the dialog is closed, the busy pointer up).
    std::function<void()> printing;
    // Window `window` has just been shown and activated.
    std::function<void(int window)> windowShown;
    // Window `window` is being closed.
    std::function<void(int window)> windowClosed;
    // The toolkit is shutting down; its windows are closed already.
    std::function<void()> shuttingDown;
};

TestHooks& testHooks();

} // namespace toolkit::qt
