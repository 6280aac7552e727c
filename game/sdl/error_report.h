#pragma once

#include <string>

namespace zorvane {

// Not the game window's caption, so the box is never taken for the game.
inline constexpr const char* kMessageBoxTitle = "Zorvane error";

// Tells the player why the game stopped: always a line on standard error, and a message box
// where a display can show one (it waits for the player to dismiss it). `exitStatus` is the
// status the program ends with after the box: SIGTERM, SIGINT or SIGHUP while the box is up end
// the program at once with it, and the box with it.
void ReportError(const std::string& message, bool messageBox, int exitStatus);

}  // namespace zorvane
