// Any bytes as the contents of zorvane.ini. What the reader accepts must survive the trip
// through the settings tool: each value shown as the dialog shows it, saved as a line, read back.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "settings/number_text.h"
#include "settings/runtime_error.h"
#include "settings/settings_file.h"
#include "tests/fuzz/fuzz_check.h"

namespace zorvane {
namespace {

PlayerTexts AsShown(const PlayerSettings& values) {
  PlayerTexts texts;
  for (size_t i = 0; i < values.size(); ++i) {
    texts[i] = NumberToText(values[i]);
    fuzz::Check(IsWholeNumber(texts[i]), "the dialog's text of a value is one number");
  }
  return texts;
}

void ReadBackAsSaved(const Settings& settings) {
  const std::string saved =
      FormatSettingsLine(AsShown(settings.blue)) + FormatSettingsLine(AsShown(settings.red));
  const Settings again = ParseSettings(saved, "saved.ini");
  fuzz::Check(again.blue == settings.blue && again.red == settings.red,
              "a saved file reads back as the values it was made from");
}

}  // namespace
}  // namespace zorvane

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  zorvane::Settings settings;
  try {
    settings = zorvane::ParseSettings(text, "zorvane.ini");
  } catch (const zorvane::RuntimeError& e) {
    const auto kind = e.kind();
    zorvane::fuzz::Check(
        kind == zorvane::ErrorKind::InputPastEnd || kind == zorvane::ErrorKind::Overflow,
        "the reader fails only with input past end or overflow");
    return 0;
  }
  zorvane::ReadBackAsSaved(settings);
  return 0;
}
