#include "game/sdl/viewer_pump.h"

#include <optional>

#include "game/replay/timeline_screen.h"
#include "game/sim/form1.h"

namespace zorvane {
namespace {

struct KeyBinding {
  SDL_Keycode key;
  bool shift;  // needs Shift; it comes before the same key without
  ViewerCommand command;
  bool repeats;  // a held key goes on doing it
};

constexpr KeyBinding kKeys[] = {
    {SDLK_SPACE, false, ViewerCommand::PauseOrResume, false},
    {SDLK_RIGHT, true, ViewerCommand::FarForward, true},
    {SDLK_LEFT, true, ViewerCommand::FarBack, true},
    {SDLK_RIGHT, false, ViewerCommand::Forward, true},
    {SDLK_LEFT, false, ViewerCommand::Back, true},
    {SDLK_UP, false, ViewerCommand::Faster, true},
    {SDLK_DOWN, false, ViewerCommand::Slower, true},
    {SDLK_PERIOD, false, ViewerCommand::StepForward, true},
    {SDLK_COMMA, false, ViewerCommand::StepBack, true},
    {SDLK_HOME, false, ViewerCommand::ToStart, false},
    {SDLK_END, false, ViewerCommand::ToEnd, false},
};

struct ButtonBinding {
  SDL_GameControllerButton button;
  ViewerCommand command;
};

constexpr ButtonBinding kButtons[] = {
    {SDL_CONTROLLER_BUTTON_A, ViewerCommand::PauseOrResume},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, ViewerCommand::Forward},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, ViewerCommand::Back},
    {SDL_CONTROLLER_BUTTON_DPAD_UP, ViewerCommand::Faster},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, ViewerCommand::Slower},
};

}  // namespace

ViewerPump::ViewerPump(FramePacer& pacer, ReplayViewer& viewer, SdlScreen& screen)
    : pacer_(pacer), viewer_(viewer), screen_(screen) {}

void ViewerPump::DoEvents(Form1& form) {
  pacer_.BeginPass();
  bool end = false;
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    end = end || EndsTheShow(event);
    if (!end) Take(form, event);
  }
  if (end) {
    form.Form_Close();
    return;
  }
  viewer_.RunPending(form);
  const bool timelineShown = viewer_.timelineOpacity() > 0;
  if (timelineShown != pointerShown_) screen_.ShowPointer(timelineShown);
  pointerShown_ = timelineShown;
}

bool ViewerPump::EndsTheShow(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN:
      return event.key.keysym.sym == SDLK_ESCAPE;
    case SDL_WINDOWEVENT:
      return event.window.event == SDL_WINDOWEVENT_CLOSE;
    case SDL_QUIT:
      return true;
    default:
      return false;
  }
}

void ViewerPump::Take(Form1& form, const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN:
      TakeKey(form, event.key);
      break;
    case SDL_MOUSEMOTION:
      viewer_.Touch();
      if (dragging_) Point(form, event.motion.x, event.motion.y, false);
      break;
    case SDL_MOUSEBUTTONDOWN:
      viewer_.Touch();
      if (event.button.button == SDL_BUTTON_LEFT) {
        Point(form, event.button.x, event.button.y, true);
      }
      break;
    case SDL_MOUSEBUTTONUP:
      if (event.button.button == SDL_BUTTON_LEFT) dragging_ = false;
      break;
    case SDL_CONTROLLERDEVICEADDED:
      // The game's own controller support (SdlControllers) has started SDL's.
      if (SDL_GameController* controller = SDL_GameControllerOpen(event.cdevice.which)) {
        controllers_.emplace_back(controller);
      }
      break;
    case SDL_CONTROLLERDEVICEREMOVED:
      std::erase_if(controllers_, [&](const auto& controller) {
        return SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller.get())) ==
               event.cdevice.which;
      });
      break;
    case SDL_CONTROLLERBUTTONDOWN:
      TakeButton(form, event.cbutton.button);
      break;
    default:
      break;
  }
}

void ViewerPump::TakeKey(Form1& form, const SDL_KeyboardEvent& key) {
  viewer_.Touch();
  const SDL_Keycode sym = key.keysym.sym;
  if ((sym == SDLK_RETURN || sym == SDLK_KP_ENTER) && (key.keysym.mod & KMOD_ALT) != 0) {
    if (!key.repeat) screen_.SwitchDisplay();
    return;
  }
  const bool shift = (key.keysym.mod & KMOD_SHIFT) != 0;
  for (const KeyBinding& binding : kKeys) {
    if (binding.key != sym || (binding.shift && !shift)) continue;
    if (!key.repeat || binding.repeats) viewer_.Command(form, binding.command);
    return;
  }
}

void ViewerPump::TakeButton(Form1& form, uint8_t button) {
  viewer_.Touch();
  for (const ButtonBinding& binding : kButtons) {
    if (binding.button == button) viewer_.Command(form, binding.command);
  }
}

void ViewerPump::Point(Form1& form, int x, int y, bool press) {
  const std::optional<SDL_Point> pixel = screen_.PictureAt(x, y);
  if (press) dragging_ = pixel && pixel->y >= TimelineScreen::kTop;
  if (dragging_ && pixel) viewer_.Seek(form, TimelineScreen::TickAt(pixel->x, viewer_.lastTick()));
}

}  // namespace zorvane
