// zorvane: the game, full screen, on SDL's display, keyboard and sound.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <exception>
#include <new>
#include <string>

#include "game/form1.h"
#include "game/sdl/error_report.h"
#include "game/sdl/frame_pacer.h"
#include "game/sdl/no_display_error.h"
#include "game/sdl/sdl_event_pump.h"
#include "game/sdl/sdl_screen.h"
#include "game/sdl/sdl_sound.h"
#include "settings/program_dir.h"
#include "settings/runtime_error.h"

namespace zorvane {
namespace {

constexpr int kExitError = 1;
constexpr int kExitNoDisplay = 2;

int Play() {
  const std::string directory = ProgramDirectory();
  SteadyClock clock;
  FramePacer pacer(clock, SleepMicros);
  SdlSound sound;
  SdlScreen screen(directory, pacer);
  SdlEventPump pump(pacer);
  Form1 form(GameHost{directory, screen, pump, sound});
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

int main() {
  SDL_SetMainReady();
  const int status = zorvane::Play();
  SDL_Quit();
  return status;
}
