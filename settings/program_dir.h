#pragma once

#include <string>
#include <string_view>

namespace zorvane {

// The directory that holds the running program file, without a trailing separator.
std::string ProgramDirectory();

// A file name as the programs write it ("\bg.bmp", "/bang.wav") appended to a directory; either
// slash stands for the native separator.
std::string InDirectory(const std::string& directory, std::string_view name);

}  // namespace zorvane
