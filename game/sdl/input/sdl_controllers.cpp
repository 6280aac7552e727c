#include "game/sdl/input/sdl_controllers.h"

#include <optional>
#include <string>
#include <utility>

#include "settings/error_log.h"

namespace zorvane {
namespace {

std::optional<PadButton> ButtonOf(uint8_t button) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
      return PadButton::Left;
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
      return PadButton::Up;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
      return PadButton::Right;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
      return PadButton::Down;
    case SDL_CONTROLLER_BUTTON_START:
      return PadButton::Start;
    case SDL_CONTROLLER_BUTTON_A:
      return PadButton::A;
    case SDL_CONTROLLER_BUTTON_BACK:
      return PadButton::Back;
    default:
      return std::nullopt;
  }
}

SDL_JoystickID IdOf(SDL_GameController* controller) {
  return SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
}

}  // namespace

SdlControllers::SdlControllers(Clock& clock, KeyRepeater::PostKeyDown post)
    : post_(std::move(post)), seats_(clock) {
  started_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
  if (!started_) LogError("controllers", std::string("none can be used: ") + SDL_GetError());
}

SdlControllers::~SdlControllers() {
  open_.clear();
  if (started_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool SdlControllers::Take(const SDL_Event& event) {
  switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
      Connect(event.cdevice.which);  // a device index
      return true;
    case SDL_CONTROLLERDEVICEREMOVED:
      Disconnect(event.cdevice.which);  // an instance id
      return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
      ControllerPlayer* player = seats_.PlayerOf(event.cbutton.which);
      const std::optional<PadButton> button = ButtonOf(event.cbutton.button);
      if (player != nullptr && button) {
        player->SetButton(*button, event.cbutton.state == SDL_PRESSED, post_);
      }
      return true;
    }
    case SDL_CONTROLLERAXISMOTION: {
      ControllerPlayer* player = seats_.PlayerOf(event.caxis.which);
      const uint8_t axis = event.caxis.axis;
      if (player != nullptr && axis == SDL_CONTROLLER_AXIS_LEFTX) {
        player->SetAxis(StickAxis::X, event.caxis.value, post_);
      } else if (player != nullptr && axis == SDL_CONTROLLER_AXIS_LEFTY) {
        player->SetAxis(StickAxis::Y, event.caxis.value, post_);
      }
      return true;
    }
    default:
      return false;
  }
}

void SdlControllers::Connect(int deviceIndex) {
  const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
  if (id < 0 || seats_.PlayerOf(id) != nullptr || !seats_.Connect(id)) return;
  Controller controller(SDL_GameControllerOpen(deviceIndex));
  if (controller) {
    open_.push_back(std::move(controller));
  } else {
    seats_.Disconnect(id);
  }
}

void SdlControllers::Disconnect(SDL_JoystickID id) {
  std::erase_if(open_, [id](const Controller& controller) { return IdOf(controller.get()) == id; });
  seats_.Disconnect(id);
}

}  // namespace zorvane
