#include "tools/replay/replay_json.h"

#include <cstdio>
#include <string_view>

namespace zorvane {
namespace {

std::string Player(const PlayerState& p) {
  std::string json;
  VisitFields(p, [&json](std::string_view name, auto value) {
    json += json.empty() ? "{\"" : ",\"";
    json += name;
    json += "\":";
    json += FieldText(value);
  });
  return json + "}";
}

std::string SpriteFile(const Sprite& sprite) {
  if (!sprite.Surface) return "null";
  const std::string& path = sprite.Surface->source();
  return JsonString(path.substr(path.rfind('/') + 1));
}

}  // namespace

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string FormatReplayLine(const ReplayLine& line, const Form1& form) {
  std::string out = "{\"event\":" + JsonString(line.event) + ",\"n\":" + std::to_string(line.n) +
                    ",\"blue\":" + Player(form.BluePlayer) + ",\"red\":" + Player(form.RedPlayer) +
                    ",\"running\":" + (form.Running ? "true" : "false") + ",\"sounds\":[";
  for (size_t i = 0; i < line.sounds.size(); ++i) {
    out += (i ? "," : "") + JsonString(line.sounds[i]);
  }
  out += "],\"sprites\":{\"background\":" + SpriteFile(form.BackgroundSprite) +
         ",\"red\":" + SpriteFile(form.RedSprite) + ",\"blue\":" + SpriteFile(form.BlueSprite) +
         "}";
  if (line.drawn != nullptr) {
    std::string drawn;
    if (line.drawn->background) drawn += ",\"background\"";
    if (line.drawn->red) drawn += ",\"red\"";
    if (line.drawn->blue) drawn += ",\"blue\"";
    out += ",\"drawn\":[" + (drawn.empty() ? drawn : drawn.substr(1)) + "]";
  }
  return out + "}";
}

std::string FormatErrorLine(const char* kind, const std::string& message) {
  return "{\"event\":\"error\",\"kind\":" + JsonString(kind) +
         ",\"message\":" + JsonString(message) + "}";
}

// The values are a single's shortest text, a health or true/false: JSON as they stand.
std::string FormatDesyncLine(const Desync& desync) {
  return "{\"event\":\"desync\",\"line\":" + std::to_string(desync.line) +
         ",\"field\":" + JsonString(desync.field) + ",\"expected\":" + desync.expected +
         ",\"found\":" + desync.found + "}";
}

}  // namespace zorvane
