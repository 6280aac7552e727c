// zorvane: the game, full screen or in a window, on SDL's display, keyboard, controllers and
// sound.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "game/form1.h"
#include "game/sdl/command_line.h"
#include "game/sdl/error_report.h"
#include "game/sdl/frame_pacer.h"
#include "game/sdl/no_display_error.h"
#include "game/sdl/sdl_event_pump.h"
#include "game/sdl/sdl_screen.h"
#include "game/sdl/sdl_sound.h"
#include "settings/file_layout.h"
#include "settings/runtime_error.h"

namespace zorvane {
namespace {

constexpr int kExitError = 1;
constexpr int kExitNoDisplay = 2;
constexpr int kExitUsage = 2;

int Play(const GameOptions& options) {
  // Before any window: a settings file that cannot be found or made ends the game here.
  FileLayout files;
  try {
    files = ThisProgramsFiles();
  } catch (const RuntimeError& error) {
    ReportError(error.what(), true);
    return kExitError;
  }
  SteadyClock clock;
  FramePacer pacer(clock, SleepMicros);
  SdlSound sound;
  SdlScreen screen(files.dataDirectory, pacer, options.window);
  SdlEventPump pump(pacer, clock, options.repeat, [&screen] { screen.SwitchDisplay(); });
  Form1 form(GameHost{files, screen, pump, sound});
  // Whatever stops the game, the display is given back before anything is said about it.
  try {
    form.Form_Load();
  } catch (const NoDisplayError& error) {
    screen.Close();
    ReportError(error.what(), false);
    return kExitNoDisplay;
  } catch (const RuntimeError& error) {
    screen.Close();
    ReportError(error.what(), true);
    return kExitError;
  } catch (const std::bad_alloc&) {
    screen.Close();
    ReportError("Out of memory", true);
    return kExitError;
  } catch (const std::exception& error) {
    screen.Close();
    ReportError(error.what(), true);
    return kExitError;
  }
  screen.Close();
  return 0;
}

}  // namespace
}  // namespace zorvane

int main(int argc, char** argv) {
  const zorvane::CommandLine line = zorvane::ParseCommandLine({argv + 1, argv + argc});
  if (!line.problem.empty()) {
    std::cerr << "zorvane: " << line.problem << "\n" << zorvane::Usage();
    return zorvane::kExitUsage;
  }
  if (line.options.help) {
    std::cout << zorvane::Usage();
    return 0;
  }
  if (line.options.version) {
    std::cout << "zorvane " << ZORVANE_VERSION << "\n";
    return 0;
  }
  SDL_SetMainReady();
  const int status = zorvane::Play(line.options);
  SDL_Quit();
  return status;
}
