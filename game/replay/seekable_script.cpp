#include "game/replay/seekable_script.h"

#include <algorithm>
#include <utility>

#include "game/sim/form1.h"

namespace zorvane {

SeekableScript::SeekableScript(std::vector<NumberedCommand> commands, SoundService& speaker)
    : commands_(std::move(commands)),
      gate_(speaker),
      // A script without seed lines deals its rounds from one clock seed on, so that a round is
      // dealt the same every time it is run again.
      unscriptedBase_(ClockSeed()),
      runner_([this] { return unscriptedBase_ + unscriptedRounds_++; }) {
  for (; at_.command < commands_.size() && IsPrologue(commands_[at_.command].command);
       ++at_.command) {
    runner_.Prepare(commands_[at_.command].command);
  }
  for (const NumberedCommand& next : commands_) {
    if (next.command.kind == ReplayCommand::Kind::Tick) plannedTicks_ += next.command.count;
  }
}

uint32_t SeekableScript::RoundSeed() {
  if (surveying_) roundStarts_.push_back(survey_.tick);
  return runner_.NextSeed();
}

void SeekableScript::Start(const Form1& form) { saved_.push_back(Save(form, at_)); }

size_t SeekableScript::savedBytes() const {
  size_t bytes = saved_.capacity() * sizeof(TickState);
  for (const std::string& file : bitmaps_) bytes += sizeof(file) + file.capacity();
  return bytes;
}

int8_t SeekableScript::BitmapIndex(const Sprite& sprite) {
  if (!sprite.Surface) return -1;
  const std::string& file = sprite.Surface->source();
  const auto found = std::find(bitmaps_.begin(), bitmaps_.end(), file);
  if (found != bitmaps_.end()) return static_cast<int8_t>(found - bitmaps_.begin());
  bitmaps_.push_back(file);  // the game loads five files at most
  return static_cast<int8_t>(bitmaps_.size() - 1);
}

TickState SeekableScript::Save(const Form1& form, const ScriptPosition& position) {
  TickState state;
  state.play = form.Play();
  state.bitmaps = {BitmapIndex(form.BackgroundSprite), BitmapIndex(form.RedSprite),
                   BitmapIndex(form.BlueSprite)};
  state.position = position;
  state.pendingSeed = runner_.pendingSeed();
  state.unscriptedRounds = unscriptedRounds_;
  return state;
}

// A sprite is loaded again, as the game loads it, only when it holds another file.
ScriptPosition SeekableScript::Restore(Form1& form, const TickState& state) {
  form.SetPlay(state.play);
  Sprite* sprites[] = {&form.BackgroundSprite, &form.RedSprite, &form.BlueSprite};
  for (size_t i = 0; i < state.bitmaps.size(); ++i) {
    Sprite& sprite = *sprites[i];
    const int8_t bitmap = state.bitmaps[i];
    if (bitmap < 0) {
      sprite.Surface.reset();
    } else if (!sprite.Surface || sprite.Surface->source() != bitmaps_[bitmap]) {
      form.LoadSurface(sprite, bitmaps_[bitmap], 0, true);
    }
  }
  runner_.SetPendingSeed(state.pendingSeed);
  unscriptedRounds_ = state.unscriptedRounds;
  return state.position;
}

bool SeekableScript::AtTickCommand(const ScriptPosition& at) const {
  return at.command < commands_.size() &&
         commands_[at.command].command.kind == ReplayCommand::Kind::Tick;
}

// One tick of a tick command, or one other command.
void SeekableScript::Step(Form1& form, ScriptPosition& at) {
  const NumberedCommand& next = commands_[at.command];
  if (next.command.kind == ReplayCommand::Kind::Tick) {
    form.tmrAI_Timer();
    ++at.tick;
    if (++at.ticksIntoCommand == next.command.count) {
      at.ticksIntoCommand = 0;
      ++at.command;
    }
  } else {
    runner_.Run(next.command, form, next.line);
    ++at.command;
  }
}

void SeekableScript::Survey(Form1& form, const std::function<bool()>& goOn) {
  if (end_ || !goOn()) return;
  const TickState shown = Save(form, at_);
  survey_ = Restore(form, saved_.back());
  gate_.open = false;
  surveying_ = true;
  try {
    while (!end_ && goOn()) SurveyStretch(form);
  } catch (...) {
    EndSurvey(end_.value_or(survey_), std::current_exception());
  }
  surveying_ = false;
  at_ = Restore(form, shown);
}

// From the last state saved: the commands after its tick, then ticks up to the next state to
// save, or the end.
void SeekableScript::SurveyStretch(Form1& form) {
  while (true) {
    if (survey_.command == commands_.size()) return EndSurvey(survey_, nullptr);
    if (AtTickCommand(survey_)) {
      Step(form, survey_);
      if (survey_.tick % kTicksPerState == 0) {
        saved_.push_back(Save(form, survey_));
        return;
      }
      continue;
    }
    const ScriptPosition before = survey_;
    Step(form, survey_);
    if (!form.Running) {
      // Nothing after the command that stopped the game runs, but an expect line right after it
      // checks the state the game ended in.
      EndSurvey(before, nullptr);
      const NumberedCommand* next =
          survey_.command < commands_.size() ? &commands_[survey_.command] : nullptr;
      if (next && next->command.kind == ReplayCommand::Kind::Expect) {
        runner_.Run(next->command, form, next->line);
      }
      return;
    }
  }
}

void SeekableScript::EndSurvey(const ScriptPosition& end, std::exception_ptr error) {
  end_ = end;
  endError_ = std::move(error);
}

void SeekableScript::SeekTo(Form1& form, int64_t tick, bool audible) {
  tick = std::clamp<int64_t>(tick, 0, lastTick());
  Survey(form, [&] { return tick >= saved_.back().position.tick; });
  tick = std::min(tick, lastTick());  // the end may come before the ticks the script holds
  const TickState& nearest =
      saved_[std::min(static_cast<size_t>(tick / kTicksPerState), saved_.size() - 1)];
  // Ahead, a saved state is a short cut only where no sound is to be heard on the way.
  if (tick < at_.tick || (!audible && nearest.position.tick > at_.tick)) {
    at_ = Restore(form, nearest);
  }
  gate_.open = audible;
  while (at_ != end_ && !(AtTickCommand(at_) && at_.tick == tick)) Step(form, at_);
  gate_.open = false;
  if (atEnd() && endError_) std::rethrow_exception(endError_);
}

}  // namespace zorvane
