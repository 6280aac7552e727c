#include "game/replay/script_runner.h"

#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace zorvane {
namespace {

void SetField(PlayerState& player, std::string_view name, double value) {
  VisitFields(player, [&](std::string_view field, auto& slot) {
    if (field == name) slot = static_cast<std::remove_reference_t<decltype(slot)>>(value);
  });
}

void Compare(const char* player, const PlayerState& expected, const PlayerState& found,
             long long line) {
  std::vector<std::string> foundTexts;
  VisitFields(found,
              [&](std::string_view, const auto& field) { foundTexts.push_back(FieldText(field)); });
  size_t i = 0;
  VisitFields(expected, [&](std::string_view name, const auto& field) {
    const std::string text = FieldText(field);
    if (text != foundTexts[i]) {
      throw Desync(line, std::string(player) + "." + std::string(name), text, foundTexts[i]);
    }
    ++i;
  });
}

void Check(const PlayState& expected, const Form1& form, long long line) {
  Compare("blue", expected.blue, form.BluePlayer, line);
  Compare("red", expected.red, form.RedPlayer, line);
  if (expected.running != form.Running) {
    const auto text = [](bool running) { return running ? "true" : "false"; };
    throw Desync(line, "running", text(expected.running), text(form.Running));
  }
}

}  // namespace

Desync::Desync(long long line, std::string field, std::string expected, std::string found)
    : std::runtime_error("line " + std::to_string(line) + ": " + field + " is " + found +
                         " where the recording has " + expected),
      line(line),
      field(std::move(field)),
      expected(std::move(expected)),
      found(std::move(found)) {}

ScriptRunner::ScriptRunner(std::function<uint32_t()> unscriptedSeed)
    : unscriptedSeed_(std::move(unscriptedSeed)) {}

Settings ScriptRunner::ReadSettings(const std::string& path) {
  return settings_ ? *settings_ : ReadSettingsFile(path);
}

uint32_t ScriptRunner::NextSeed() {
  if (!nextSeed_) return unscriptedSeed_();
  const uint32_t seed = *nextSeed_;
  nextSeed_.reset();
  return seed;
}

void ScriptRunner::Prepare(const ReplayCommand& command) {
  if (command.kind == ReplayCommand::Kind::Seed) nextSeed_ = command.seed;
  if (command.kind == ReplayCommand::Kind::Settings) settings_ = command.settings;
}

void ScriptRunner::Run(const ReplayCommand& command, Form1& form, long long line) {
  using Kind = ReplayCommand::Kind;
  switch (command.kind) {
    case Kind::Key:
      form.Form_KeyDown(command.keyCode, 0);
      break;
    case Kind::Close:
      form.Form_Close();
      break;
    case Kind::Set:
      SetField(command.red ? form.RedPlayer : form.BluePlayer, command.field, command.value);
      break;
    case Kind::Seed:
    case Kind::Settings:
      Prepare(command);
      break;
    case Kind::Expect:
      Check(command.expected, form, line);
      break;
    case Kind::Tick:
    case Kind::Frame:
      break;
  }
}

}  // namespace zorvane
