// zorvane-replay: runs the game's own start-up, tick, keys and drawing on a headless display,
// driven by a script instead of the clock and the keyboard, and prints the state after every
// command as a JSON line.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "game/form1.h"
#include "game/headless_screen.h"
#include "settings/program_dir.h"
#include "settings/runtime_error.h"
#include "tools/replay/frame_file.h"
#include "tools/replay/replay_json.h"
#include "tools/replay/replay_script.h"

namespace zorvane {
namespace {

constexpr int kExitMalformed = 2;
constexpr int kExitRuntimeError = 3;

struct Options {
  std::string directory = ProgramDirectory();
  bool seeded = false;
  uint32_t seed = 0;
  std::string framesDir;
  std::string script = "-";
};

class NoEvents : public EventPump {
 public:
  void DoEvents(Form1&) override {}
};

int Usage(const std::string& problem) {
  std::cerr << "zorvane-replay: " << problem << "\n"
            << "usage: zorvane-replay [--dir DIR] [--seed N] [--frames OUTDIR] [SCRIPT]\n";
  return kExitMalformed;
}

bool ParseOptions(int argc, char** argv, Options& options, std::string& problem) {
  bool haveScript = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool takesValue = arg == "--dir" || arg == "--seed" || arg == "--frames";
    if (takesValue && i + 1 >= argc) {
      problem = arg + " needs a value";
      return false;
    }
    if (arg == "--dir") {
      options.directory = argv[++i];
      while (options.directory.size() > 1 && options.directory.back() == '/') {
        options.directory.pop_back();
      }
    } else if (arg == "--seed") {
      const std::string value = argv[++i];
      char* end = nullptr;
      errno = 0;
      const unsigned long long seed = std::strtoull(value.c_str(), &end, 10);
      if (value.empty() || value[0] == '-' || *end != '\0' || errno != 0 || seed > UINT32_MAX) {
        problem = "--seed takes a whole number from 0 to 4294967295";
        return false;
      }
      options.seeded = true;
      options.seed = static_cast<uint32_t>(seed);
    } else if (arg == "--frames") {
      options.framesDir = argv[++i];
    } else if (!haveScript && (arg == "-" || arg.rfind("--", 0) != 0)) {
      options.script = arg;
      haveScript = true;
    } else {
      problem = "unexpected argument '" + arg + "'";
      return false;
    }
  }
  return true;
}

void SetField(PlayerState& p, const std::string& field, double value) {
  if (field == "Health") {
    p.Health = static_cast<int16_t>(value);
    return;
  }
  float* const fields[] = {&p.X,     &p.Y,        &p.VX,   &p.VY,       &p.SavedVX, &p.SavedVY,
                           &p.Accel, &p.Friction, &p.Size, &p.MaxSpeed, &p.Damage,  &p.MaxHealth};
  const char* const names[] = {"X",     "Y",        "VX",   "VY",       "SavedVX", "SavedVY",
                               "Accel", "Friction", "Size", "MaxSpeed", "Damage",  "MaxHealth"};
  for (size_t i = 0; i < std::size(names); ++i) {
    if (field == names[i]) *fields[i] = static_cast<float>(value);
  }
}

class Replay {
 public:
  Replay(const Options& options)
      : options_(options),
        form_(GameHost{PortableLayout(options.directory), screen_, events_, sound_,
                       [this] { return NextSeed(); }}) {
    screen_.logCalls = false;
    screen_.keepFrames = !options.framesDir.empty();
  }

  int Run(std::istream& script) {
    try {
      form_.StartUp();
      Print("start", 1);
      std::string line;
      long long lineNumber = 0;
      while (std::getline(script, line)) {
        ++lineNumber;
        std::optional<ReplayCommand> command;
        try {
          command = ParseReplayLine(line);
        } catch (const ScriptError& error) {
          std::cerr << "zorvane-replay: line " << lineNumber << ": " << error.what() << "\n";
          return kExitMalformed;
        }
        if (command && !Execute(*command)) break;
      }
    } catch (const RuntimeError& error) {
      std::cout << FormatErrorLine(ErrorKindName(error.kind()), error.what()) << std::endl;
      return kExitRuntimeError;
    } catch (const std::bad_alloc&) {
      std::cout << FormatErrorLine("other", "Out of memory") << std::endl;
      return kExitRuntimeError;
    }
    std::cout << "{\"event\":\"end\"}" << std::endl;
    return 0;
  }

 private:
  uint32_t NextSeed() {
    if (!options_.seeded) return ClockSeed();
    return options_.seed + rounds_++;
  }

  // Runs one command; false when it left the game stopped.
  bool Execute(const ReplayCommand& command) {
    using Kind = ReplayCommand::Kind;
    switch (command.kind) {
      case Kind::Key:
        form_.Form_KeyDown(command.keyCode, 0);
        Print("key", ++keys_);
        break;
      case Kind::Tick:
        for (int64_t i = 0; i < command.count; ++i) {
          form_.tmrAI_Timer();
          Print("tick", ++ticks_);
        }
        break;
      case Kind::Frame:
        for (int64_t i = 0; i < command.count; ++i) {
          const DrawnSprites drawn = form_.DrawFrame();
          ++frames_;
          WriteFrame();
          Print("frame", frames_, &drawn);
        }
        break;
      case Kind::Set:
        SetField(command.red ? form_.RedPlayer : form_.BluePlayer, command.field, command.value);
        Print("set", ++sets_);
        break;
    }
    return form_.Running;
  }

  void WriteFrame() {
    if (options_.framesDir.empty()) return;
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06lld.bmp", frames_);
    const Surface& shown = screen_.presented > 0 ? screen_.shown : blank_;
    if (!WriteFrameBitmap(shown, options_.framesDir + name)) {
      std::cerr << "zorvane-replay: cannot write " << options_.framesDir << name << "\n";
    }
  }

  void Print(const char* event, long long n, const DrawnSprites* drawn = nullptr) {
    ReplayLine line{event, n, {}, drawn};
    for (const std::string& path : sound_.played) {
      const bool inDirectory = path.compare(0, options_.directory.size(), options_.directory) == 0;
      line.sounds.push_back(inDirectory ? path.substr(options_.directory.size()) : path);
    }
    sound_.played.clear();
    std::cout << FormatReplayLine(line, form_) << "\n";
  }

  const Options& options_;
  HeadlessScreen screen_;
  NoEvents events_;
  RecordingSound sound_;
  Form1 form_;
  Surface blank_{640, 480};
  uint32_t rounds_ = 0;
  long long keys_ = 0, ticks_ = 0, frames_ = 0, sets_ = 0;
};

}  // namespace
}  // namespace zorvane

int main(int argc, char** argv) {
  using namespace zorvane;
  Options options;
  std::string problem;
  if (!ParseOptions(argc, argv, options, problem)) return Usage(problem);

  std::ifstream file;
  if (options.script != "-") {
    file.open(options.script);
    if (!file) return Usage("cannot read the script " + options.script);
  }
  Replay replay(options);
  return replay.Run(options.script == "-" ? std::cin : file);
}
