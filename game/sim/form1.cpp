#include "game/sim/form1.h"

#include "game/events/key_codes.h"
#include "game/sim/player_settings.h"
#include "game/sim/rules.h"
#include "game/sim/single_math.h"
#include "settings/error_log.h"
#include "settings/program_dir.h"
#include "settings/runtime_error.h"
#include "settings/settings_file.h"

namespace zorvane {
namespace {

// From the settings read on, a step of the start-up, the frame or the teardown that fails is
// skipped and the next one runs. A skipped step of the start-up or the teardown is said on the
// error channel; in a frame, a refused blit is how a block partly off the screen goes undrawn,
// the game's own way, and is not news.
enum class Skip { Said, Quiet };

template <typename Step>
bool Guarded(Step step, Skip skip = Skip::Said) {
  try {
    step();
    return true;
  } catch (const RuntimeError& error) {
    if (skip == Skip::Said) LogError("step skipped", error.what());
    return false;
  }
}

// Using a display object that was never created is an error, as it is for any empty object.
template <typename T>
T& Use(T* object) {
  if (object == nullptr) {
    throw RuntimeError(ErrorKind::Other, "Object variable or With block variable not set");
  }
  return *object;
}

// A block is drawn at its position rounded to whole pixels.
bool BlitSprite(Surface* target, const Sprite& sprite, double x, double y, bool keyed) {
  return Guarded(
      [&] {
        const int32_t left = RoundToInt32(x);
        const int32_t top = RoundToInt32(y);
        Use(target).BltFast(left, top, Use(sprite.Surface.get()), sprite.Rect, keyed);
      },
      Skip::Quiet);
}

}  // namespace

Form1::Form1(const GameHost& host) : host_(host) {}

std::string Form1::InDataDirectory(std::string_view name) const {
  return InDirectory(host_.files.dataDirectory, name);
}

void Form1::Form_Load() {
  StartUp();
  while (RunFrame()) {
  }
  TearDown();
}

bool Form1::RunFrame() {
  host_.events.DoEvents(*this);
  DrawFrame();
  return Running;
}

void Form1::StartUp() {
  Running = true;
  const Settings settings = host_.readSettings(host_.files.settingsPath);
  ApplySettings(BluePlayer, settings.blue);
  ApplySettings(RedPlayer, settings.red);

  Guarded([&] { DD = std::make_unique<DirectDraw>(host_.screen); });
  Guarded([&] { host_.screen.ShowWindow(); });
  Guarded([&] { Use(DD.get()).SetCooperativeLevel(kFullScreen | kExclusive | kAllowModeX); });
  Guarded([&] { Use(DD.get()).SetDisplayMode(640, 480, 16); });
  Guarded([&] { Primary = Use(DD.get()).CreateFlipChain(1); });
  Guarded([&] { BackBuffer = Use(Primary.get()).GetAttachedSurface(); });
  Guarded([&] { NewRound(); });
}

DrawnSprites Form1::DrawFrame() {
  DrawnSprites drawn;
  Guarded([&] { Use(BackBuffer.get()).ColorFill(BackgroundSprite.Rect, 0); }, Skip::Quiet);
  drawn.background = BlitSprite(BackBuffer.get(), BackgroundSprite, 0, 0, false);
  drawn.red = BlitSprite(BackBuffer.get(), RedSprite, RedPlayer.X, RedPlayer.Y, true);
  drawn.blue = BlitSprite(BackBuffer.get(), BlueSprite, BluePlayer.X, BluePlayer.Y, true);
  Guarded([&] { Use(Primary.get()).Flip(); }, Skip::Quiet);
  return drawn;
}

void Form1::TearDown() {
  BackgroundSprite.Surface.reset();
  RedSprite.Surface.reset();
  BlueSprite.Surface.reset();
  Primary.reset();
  BackBuffer.reset();
  Guarded([&] { Use(DD.get()).RestoreDisplayMode(); });
  Guarded([&] { Use(DD.get()).SetCooperativeLevel(kNormal); });
}

void Form1::NewRound() {
  BluePlayer.Health = RoundToInt16(BluePlayer.MaxHealth);
  RedPlayer.Health = RoundToInt16(RedPlayer.MaxHealth);
  random_.Seed(host_.roundSeed());
  BluePlayer.X = Difference(Product(random_.Next(), kArenaWidth), BluePlayer.Size);
  BluePlayer.Y = Difference(Product(random_.Next(), kArenaHeight), BluePlayer.Size);
  RedPlayer.X = Difference(Product(random_.Next(), kArenaWidth), RedPlayer.Size);
  RedPlayer.Y = Difference(Product(random_.Next(), kArenaHeight), RedPlayer.Size);
  LoadSurface(BackgroundSprite, InDataDirectory("\\bg.bmp"), 0, true);
  LoadSurface(RedSprite, InDataDirectory("\\redblock.bmp"), 0, true);
  LoadSurface(BlueSprite, InDataDirectory("\\blueblock.bmp"), 0, true);
}

void Form1::LoadSurface(Sprite& sprite, const std::string& fileName, int16_t colorKey,
                        bool systemMemory) {
  sprite.Surface.reset();
  const uint32_t caps = kOffscreenPlain | (systemMemory ? kSystemMemory : 0);
  sprite.Surface = Use(DD.get()).CreateSurfaceFromFile(fileName, caps);
  sprite.Rect.right = sprite.Surface->width();
  sprite.Rect.bottom = sprite.Surface->height();
  sprite.Surface->SetColorKey(colorKey);
}

void Form1::tmrAI_Timer() {
  BounceWalls();
  CheckCollision();
  ShowDeadPlayers();
  MoveBluePlayer();
  MoveRedPlayer();
}

void Form1::BounceWalls() {
  BounceWall(BluePlayer, kBlueCode);
  BounceWall(RedPlayer, kRedCode);
}

void Form1::BounceWall(PlayerState& p, float code) {
  if (BounceOffWall(p)) WallHit(code);
}

void Form1::WallHit(float code) {
  if (code == kBlueCode) TakeWallHit(BluePlayer);
  if (code == kRedCode) TakeWallHit(RedPlayer);
  // The bounce and the damage stand whatever becomes of the sound.
  try {
    host_.sound.Play(InDataDirectory("/hitwall.wav"));
  } catch (const std::exception& error) {
    LogError("sound", error.what());
  }
}

void Form1::CheckCollision() {
  if (Collide(BluePlayer, RedPlayer)) host_.sound.Play(InDataDirectory("/bang.wav"));
}

void Form1::ShowDeadPlayers() {
  if (RedPlayer.Health <= 0) LoadSurface(RedSprite, InDataDirectory("\\reddead.bmp"), 0, true);
  if (BluePlayer.Health <= 0) {
    LoadSurface(BlueSprite, InDataDirectory("\\bluedead.bmp"), 0, true);
  }
}

void Form1::MoveBluePlayer() { Move(BluePlayer); }
void Form1::MoveRedPlayer() { Move(RedPlayer); }

void Form1::Form_KeyDown(int16_t keyCode, int16_t shift) {
  (void)shift;  // Shift+W acts as W
  Steer(BluePlayer, keyCode, kBlueKeys);
  Steer(RedPlayer, keyCode, kRedKeys);
  if ((BluePlayer.Health <= 0 || RedPlayer.Health <= 0) && keyCode == kVkReturn) NewRound();
  if (keyCode == kVkEscape) Running = false;
}

void Form1::Form_Close() { Running = false; }

}  // namespace zorvane
