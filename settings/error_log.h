#pragma once

#include <string_view>

namespace zorvane {

// The one channel for errors a program goes on after (a skipped step, a sound that cannot be
// played, a datagram not sent): a line on standard error, "<program>: <topic>: <message>". At
// most kLogBurst lines of one topic go out in a second; the lines held back are counted, and the
// next line of that topic to go out says how many.
inline constexpr int kLogBurst = 3;

void LogError(std::string_view topic, std::string_view message);

}  // namespace zorvane
