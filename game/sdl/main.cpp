// zorvane: the game, full screen or in a window, on SDL's display, keyboard, controllers and
// sound.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <functional>
#include <iostream>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "game/cpu/computer_seats.h"
#include "game/events/frame_pacer.h"
#include "game/net/enet_transport.h"
#include "game/net/host_invitation.h"
#include "game/net/net_session.h"
#include "game/net/network_error.h"
#include "game/net/waiting_screen.h"
#include "game/replay/game_recorder.h"
#include "game/replay/replay_script.h"
#include "game/replay/replay_viewer.h"
#include "game/replay/timeline_screen.h"
#include "game/sdl/command_line.h"
#include "game/sdl/computer_opponent.h"
#include "game/sdl/error_report.h"
#include "game/sdl/game_run.h"
#include "game/sdl/input/sdl_event_pump.h"
#include "game/sdl/net_event_pump.h"
#include "game/sdl/sdl_sound.h"
#include "game/sdl/video/sdl_screen.h"
#include "game/sdl/viewer_pump.h"
#include "game/sim/form1.h"
#include "settings/file_layout.h"
#include "settings/runtime_error.h"

namespace zorvane {
namespace {

// The whole game, its frame loop run here until the game stops; `ended` runs once the display
// is given back, before anything is said about how it ended.
int RunGame(
    Form1& form, SdlScreen& screen, GameRecorder* recorder, const std::string& shown,
    const std::function<void()>& ended = [] {}) {
  GameRun run(
      form,
      [&] {
        screen.Close();
        ended();
      },
      ReportError, recorder, shown);
  if (run.Start()) {
    while (run.Step()) {
    }
  }
  return run.Finish();
}

// What every game runs on: its display, keyboard and controllers, sound and the pacing of its
// frames. Nothing is shown before the game's start-up. The audio device and the game controllers
// start once the first frame is on the screen: each takes milliseconds that the first picture
// need not wait for. Over the network the keys do not repeat here: the session repeats the keys
// held by the schedule both games keep.
struct SdlPlatform {
  SdlPlatform(const GameOptions& options, const FileLayout& files, Clock& clock)
      : pacer(clock, SleepMicros),
        screen(files.dataDirectory, pacer, options.window),
        keys(pacer, clock, options.network == Network::None ? options.repeat : KeyRepeat::Off,
             [this] { screen.SwitchDisplay(); }) {
    screen.AfterFirstFrame([this] {
      sound.Open();
      keys.StartControllers();
    });
  }

  FramePacer pacer;
  DeferredSdlSound sound;
  SdlScreen screen;
  SdlEventPump keys;
};

// A game over the network: the host waits for a player on its port, the guest joins it, a
// watcher joins it to watch; each runs its own window, and the session keeps the games one. A
// recording starts where play does, with the host's settings and seed.
int PlayOverNetwork(const GameOptions& options, Clock& clock, GameRecorder* recorder,
                    SdlPlatform& platform, const FileLayout& files) {
  const bool host = options.network == Network::Host;
  std::unique_ptr<net::EnetTransport> link;
  try {
    if (host) {
      link = net::EnetTransport::Host(options.port);
      std::cout << "waiting for a player on port " << options.port << std::endl;
    } else {
      link = net::EnetTransport::Join(options.joinHost, options.port);
    }
  } catch (const net::NetworkError& error) {
    ReportError(error.what(), true, error.status());
    return error.status();
  }
  const net::Role role = host                                ? net::Role::Host
                         : options.network == Network::Watch ? net::Role::Watcher
                                                             : net::Role::Guest;
  net::WaitingScreen shown(platform.screen);
  net::NetSession session({role, options.delay, ZORVANE_VERSION, ClockSeed, recorder}, *link, clock,
                          platform.sound);
  NetEventPump pump(platform.pacer, platform.keys, session, shown, clock);
  // The host tells what a friend types to join, once it knows; the router is asked meanwhile.
  std::optional<net::HostInvitation> invitation;
  if (host) invitation.emplace(pump, shown, link->port(), options.askRouter, std::cout);
  EventPump& events = invitation ? static_cast<EventPump&>(*invitation) : pump;
  Form1 form(
      GameHost{files, shown, events, session.sound(), [&session] { return session.RoundSeed(); }});
  if (recorder) recorder->Watch(form);
  // The router's forwarding is taken back before a message box, which a signal ends at once;
  // the line of figures is said before it too.
  return RunGame(form, platform.screen, recorder, options.play, [&] {
    invitation.reset();
    const std::string report = pump.Report();
    if (!report.empty()) std::cerr << "zorvane: network play: " << report << "\n";
  });
}

// A recording watched like a video: the viewer's keys in place of the players', its timeline
// over the picture.
int WatchRecording(const GameOptions& options, std::vector<NumberedCommand> recording, Clock& clock,
                   SdlPlatform& platform, const FileLayout& files) {
  ReplayViewer viewer(std::move(recording), clock, platform.sound,
                      options.exitAtEnd ? ReplayViewer::AtEnd::Close : ReplayViewer::AtEnd::Pause);
  TimelineScreen shown(platform.screen, viewer);
  ViewerPump pump(platform.pacer, viewer, platform.screen);
  SeekableScript& script = viewer.script();
  Form1 form(GameHost{files, shown, pump, script.sound(), [&script] { return script.RoundSeed(); },
                      [&script](const std::string& path) { return script.ReadSettings(path); }});
  return RunGame(form, platform.screen, nullptr, options.play);
}

int Play(const GameOptions& options) {
  // Before any window: a settings file that cannot be found or made ends the game here.
  FileLayout files;
  try {
    files = ThisProgramsFiles();
  } catch (const RuntimeError& error) {
    ReportError(error.what(), true, kExitError);
    return kExitError;
  }
  SteadyClock clock;
  // A recording that cannot be made, or shown, is refused before any window opens.
  std::unique_ptr<GameRecorder> recorder;
  std::vector<NumberedCommand> recording;
  try {
    if (!options.record.empty()) recorder = std::make_unique<GameRecorder>(options.record);
    if (!options.play.empty()) recording = ReadScriptFile(options.play);
  } catch (const RecordingError& error) {
    ReportError(error.what(), true, kExitError);
    return kExitError;
  } catch (const ScriptError& error) {
    ReportError(error.what(), true, kExitUsage);
    return kExitUsage;
  }
  SdlPlatform platform(options, files, clock);
  if (options.network != Network::None) {
    return PlayOverNetwork(options, clock, recorder.get(), platform, files);
  }
  if (!options.play.empty()) {
    return WatchRecording(options, std::move(recording), clock, platform, files);
  }
  GameHost host{files,          platform.screen,     platform.keys,
                platform.sound, RoundSeeds(options), SettingsSource(options)};
  if (recorder) {
    platform.keys.Observe(recorder.get());
    host.roundSeed = [&, seeds = host.roundSeed] { return recorder->RoundSeed(seeds()); };
    host.readSettings = [&, read = host.readSettings](const std::string& path) {
      return recorder->SettingsRead(read(path));
    };
  }
  ComputerSeats computer([&platform](int16_t key) { platform.keys.PostKeyDown(key); });
  SeatComputer(options, computer, platform.keys);
  Form1 form(host);
  if (recorder) recorder->Watch(form);
  computer.Watch(form);
  return RunGame(form, platform.screen, recorder.get(), options.play);
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
