#include "tests/support/virtual_pads.h"

namespace zorvane::test {
namespace {

// The device index SDL gives a joystick now: indices move as devices come and go.
int DeviceIndexOf(SDL_Joystick* joystick) {
  const SDL_JoystickID id = SDL_JoystickInstanceID(joystick);
  for (int i = 0; i < SDL_NumJoysticks(); ++i) {
    if (SDL_JoystickGetDeviceInstanceID(i) == id) return i;
  }
  return -1;
}

}  // namespace

VirtualPads::~VirtualPads() {
  while (!pads_.empty()) Unplug(pads_.begin()->first);
}

bool VirtualPads::Plug(int pad) {
  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  desc.name = "Zorvane test pad";
  const int index = SDL_JoystickAttachVirtualEx(&desc);
  if (index < 0) return false;
  SDL_Joystick* joystick = SDL_JoystickOpen(index);
  if (joystick == nullptr) {
    SDL_JoystickDetachVirtual(index);
    return false;
  }
  pads_[pad] = joystick;
  return true;
}

void VirtualPads::Unplug(int pad) {
  const auto found = pads_.find(pad);
  if (found == pads_.end()) return;
  const int index = DeviceIndexOf(found->second);
  SDL_JoystickClose(found->second);
  pads_.erase(found);
  if (index >= 0) SDL_JoystickDetachVirtual(index);
}

void VirtualPads::SetButton(int pad, int button, bool down) {
  SDL_JoystickSetVirtualButton(pads_.at(pad), button, down ? SDL_PRESSED : SDL_RELEASED);
}

void VirtualPads::SetAxis(int pad, int axis, int value) {
  SDL_JoystickSetVirtualAxis(pads_.at(pad), axis, static_cast<Sint16>(value));
}

}  // namespace zorvane::test
