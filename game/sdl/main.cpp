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
#include "game/net/enet_transport.h"
#include "game/net/lockstep_session.h"
#include "game/net/message_codec.h"
#include "game/net/network_error.h"
#include "game/net/waiting_screen.h"
#include "game/sdl/command_line.h"
#include "game/sdl/error_report.h"
#include "game/sdl/frame_pacer.h"
#include "game/sdl/net_event_pump.h"
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

// Plays the game to its end. Whatever stops it, the display is given back before anything is
// said about it.
int Run(Form1& form, SdlScreen& screen) {
  try {
    form.Form_Load();
  } catch (const NoDisplayError& error) {
    screen.Close();
    ReportError(error.what(), false);
    return kExitNoDisplay;
  } catch (const net::NetworkError& error) {
    screen.Close();
    ReportError(error.what(), true);
    return error.status();
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

// A game over the network: the host waits for a player on its port, the guest joins it; each
// runs its own window, and the lockstep keeps the two games one.
int PlayOverNetwork(const GameOptions& options, const FileLayout& files) {
  const net::Versions ours{net::kProtocolVersion, ZORVANE_VERSION};
  const bool host = options.network == Network::Host;
  std::unique_ptr<net::EnetTransport> link;
  try {
    if (host) {
      link = net::EnetTransport::Host(options.port,
                                      net::Encode(net::Refuse{net::RefuseReason::GameOn, ours}));
      std::cout << "waiting for a player on port " << options.port << std::endl;
    } else {
      link = net::EnetTransport::Join(options.joinHost, options.port);
    }
  } catch (const net::NetworkError& error) {
    ReportError(error.what(), true);
    return error.status();
  }
  SteadyClock clock;
  FramePacer pacer(clock, SleepMicros);
  SdlSound sound;
  SdlScreen screen(files.dataDirectory, pacer, options.window);
  net::WaitingScreen shown(screen);
  SdlEventPump local(pacer, clock, options.repeat, [&screen] { screen.SwitchDisplay(); });
  net::LockstepSession session(
      {host ? net::Role::Host : net::Role::Guest, options.delay, ZORVANE_VERSION}, *link, clock);
  NetEventPump pump(pacer, local, session, shown, clock);
  Form1 form(GameHost{files, shown, pump, sound, [&session] { return session.RoundSeed(); }});
  return Run(form, screen);
}

int Play(const GameOptions& options) {
  // Before any window: a settings file that cannot be found or made ends the game here.
  FileLayout files;
  try {
    files = ThisProgramsFiles();
  } catch (const RuntimeError& error) {
    ReportError(error.what(), true);
    return kExitError;
  }
  if (options.network != Network::None) return PlayOverNetwork(options, files);
  SteadyClock clock;
  FramePacer pacer(clock, SleepMicros);
  SdlSound sound;
  SdlScreen screen(files.dataDirectory, pacer, options.window);
  SdlEventPump pump(pacer, clock, options.repeat, [&screen] { screen.SwitchDisplay(); });
  Form1 form(GameHost{files, screen, pump, sound});
  return Run(form, screen);
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
