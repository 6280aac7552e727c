#include "game/sdl/input/controller_player.h"

namespace zorvane {
namespace {

// Whether one half of a stick axis is pushed, given whether it was.
bool Pushed(int travel, bool was) {
  return was ? travel >= ControllerPlayer::kStickRelease : travel >= ControllerPlayer::kStickPress;
}

}  // namespace

void ControllerPlayer::SetButton(PadButton button, bool down,
                                 const KeyRepeater::PostKeyDown& post) {
  switch (button) {
    case PadButton::Left:
    case PadButton::Up:
    case PadButton::Right:
    case PadButton::Down: {
      const auto direction = static_cast<Direction>(button);
      pad_[direction] = down;
      Update(direction, post);
      break;
    }
    case PadButton::Start:
    case PadButton::A:
      if (down) post(kVkReturn);
      break;
    case PadButton::Back:
      backHeld_ = down;
      backDownAt_ = clock_.NowMicros();
      break;
  }
}

void ControllerPlayer::SetAxis(StickAxis axis, int value, const KeyRepeater::PostKeyDown& post) {
  const Direction negative = axis == StickAxis::X ? kLeft : kUp;
  const Direction positive = axis == StickAxis::X ? kRight : kDown;
  stick_[negative] = Pushed(-value, stick_[negative]);
  stick_[positive] = Pushed(value, stick_[positive]);
  Update(negative, post);
  Update(positive, post);
}

void ControllerPlayer::PostDue(const KeyRepeater::PostKeyDown& post, bool repeat) {
  if (repeat) repeater_.PostDue(post);
  if (backHeld_ && clock_.NowMicros() - backDownAt_ >= kBackHoldMicros) {
    backHeld_ = false;  // one Escape per hold
    post(kVkEscape);
  }
}

void ControllerPlayer::AddHeld(std::vector<int16_t>& codes) const {
  for (size_t direction = 0; direction < held_.size(); ++direction) {
    if (held_[direction]) codes.push_back(KeyOf(static_cast<Direction>(direction)));
  }
}

void ControllerPlayer::LetGo() {
  repeater_.ReleaseAll();
  pad_ = {};
  stick_ = {};
  held_ = {};
  backHeld_ = false;
}

void ControllerPlayer::Update(Direction direction, const KeyRepeater::PostKeyDown& post) {
  const bool held = pad_[direction] || stick_[direction];
  if (held == held_[direction]) return;
  held_[direction] = held;
  if (held) {
    repeater_.Press(direction, KeyOf(direction), post);
  } else {
    repeater_.Release(direction);
  }
}

int16_t ControllerPlayer::KeyOf(Direction direction) const {
  switch (direction) {
    case kLeft:
      return keys_.left;
    case kUp:
      return keys_.up;
    case kRight:
      return keys_.right;
    default:
      return keys_.down;
  }
}

}  // namespace zorvane
