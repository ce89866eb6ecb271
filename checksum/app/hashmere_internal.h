#pragma once
// Shared between the files of the application layer; not for other modules.

#include <string>
#include <string_view>

#include "checksum/app/hashmere_app.h"

namespace hashmere {

std::u16string lookup(const HashmereApp& app, std::string_view key);

// The window's three states.
void setRunningControls(HashmereApp& app, bool running);

// Handlers of run_commands.cpp
void startOrCancelRun(HashmereApp& app);
void finishRun(HashmereApp& app);
void copyOne(int row);
void copyAll(HashmereApp& app);
void saveResults(HashmereApp& app);
void deleteAll(HashmereApp& app);
void loadExpected(HashmereApp& app);

// about_help.cpp
void handleAboutEvent(HashmereApp& app, const toolkit::Event& event);

} // namespace hashmere
