#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "game/display/direct_draw.h"
#include "game/display/screen.h"
#include "game/display/sprite.h"
#include "game/events/event_pump.h"
#include "game/events/sound_service.h"
#include "game/events/window_events.h"
#include "game/sim/player_state.h"
#include "game/sim/round_random.h"
#include "settings/file_layout.h"
#include "settings/settings_file.h"

namespace zorvane {

// What the program that runs the game window gives it: where its settings file, bitmaps and
// waves lie, the display hardware, the event pump, the sound service, the source of round seeds
// and the reader of the settings file.
struct GameHost {
  FileLayout files;
  Screen& screen;
  EventPump& events;
  SoundService& sound;
  std::function<uint32_t()> roundSeed = ClockSeed;
  std::function<Settings(const std::string& path)> readSettings = ReadSettingsFile;
};

// Which sprites the frame's blits drew.
struct DrawnSprites {
  bool background = false;
  bool red = false;
  bool blue = false;
};

// The game window: the whole state of play, the display objects, and the handlers and
// procedures that start the game, run its frames, tick the simulation and take the keys.
class Form1 final : public WindowEvents {
 public:
  static constexpr float kBlueCode = 1242;
  static constexpr float kRedCode = 492;

  explicit Form1(const GameHost& host);

  // The whole life of the game: start-up, the frame loop until Running is cleared, teardown.
  // The program ends when it returns.
  void Form_Load();

  // The parts of Form_Load, for hosts that drive the game themselves: a browser runs one pass of
  // the frame loop at each of its animation frames.
  void StartUp();
  // One pass of the frame loop: the pending events run, then the frame is drawn. False once
  // Running is cleared.
  bool RunFrame();
  DrawnSprites DrawFrame();
  void TearDown();

  // Events.
  void tmrAI_Timer() override;
  void Form_KeyDown(int16_t keyCode, int16_t shift) override;
  // A request to close the window ends the game as Escape does.
  void Form_Close() override;

  // Procedures.
  void NewRound();
  void LoadSurface(Sprite& sprite, const std::string& fileName, int16_t colorKey,
                   bool systemMemory);
  void BounceWalls();
  void WallHit(float code);
  void CheckCollision();
  void ShowDeadPlayers();
  void MoveBluePlayer();
  void MoveRedPlayer();

  PlayerState BluePlayer;
  PlayerState RedPlayer;
  bool Running = false;

  // The blocks and Running together: what a tick changes besides the sprites, as an expect line
  // states it, a network game saves it and the computer sees it.
  PlayState Play() const { return {BluePlayer, RedPlayer, Running}; }
  void SetPlay(const PlayState& play) {
    BluePlayer = play.blue;
    RedPlayer = play.red;
    Running = play.running;
  }

  std::unique_ptr<DirectDraw> DD;
  std::shared_ptr<PrimarySurface> Primary;
  std::shared_ptr<Surface> BackBuffer;
  Sprite BackgroundSprite;
  Sprite RedSprite;
  Sprite BlueSprite;

 private:
  void BounceWall(PlayerState& player, float code);
  std::string InDataDirectory(std::string_view name) const;

  GameHost host_;
  RoundRandom random_;
};

}  // namespace zorvane
