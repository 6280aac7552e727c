// zorvane-replay: runs the game's own start-up, tick, keys and drawing on a headless display,
// driven by a script instead of the clock and the keyboard, and prints the state after every
// command as a JSON line.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "game/display/headless_screen.h"
#include "game/replay/replay_script.h"
#include "game/replay/script_runner.h"
#include "game/sim/form1.h"
#include "settings/program_dir.h"
#include "settings/runtime_error.h"
#include "tools/replay/frame_file.h"
#include "tools/replay/replay_json.h"

namespace zorvane {
namespace {

constexpr int kExitMalformed = 2;
constexpr int kExitRuntimeError = 3;
constexpr int kExitDesync = 4;

struct Options {
  std::string directory = ProgramDirectory();
  bool seeded = false;
  uint32_t seed = 0;
  std::string framesDir;
  std::string script = "-";
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

class Replay {
 public:
  Replay(const Options& options)
      : options_(options),
        runner_([this] { return UnscriptedSeed(); }),
        form_(GameHost{PortableLayout(options.directory), screen_, events_, sound_,
                       [this] { return runner_.NextSeed(); },
                       [this](const std::string& path) { return runner_.ReadSettings(path); }}) {
    screen_.logCalls = false;
    screen_.keepFrames = !options.framesDir.empty();
  }

  // The start-up runs before the first line that is neither blank nor a comment nor one of the
  // settings and seed lines it takes; a script without those starts up before its first line.
  int Run(std::istream& script) {
    ScriptReader reader(script);
    bool started = false;
    try {
      while (true) {
        std::optional<ReplayCommand> command;
        try {
          command = reader.Next();
        } catch (const ScriptError& error) {
          if (!started) StartUp();
          std::cerr << "zorvane-replay: line " << reader.line() << ": " << error.what() << "\n";
          return kExitMalformed;
        }
        if (!started && command && IsPrologue(*command)) {
          runner_.Prepare(*command);
          continue;
        }
        if (!started) StartUp();
        started = true;
        if (!command) break;
        if (!Execute(*command, reader.line())) {
          CheckEnd(reader);
          break;
        }
      }
    } catch (const RuntimeError& error) {
      std::cout << FormatErrorLine(ErrorKindName(error.kind()), error.what()) << std::endl;
      return kExitRuntimeError;
    } catch (const std::bad_alloc&) {
      std::cout << FormatErrorLine("other", "Out of memory") << std::endl;
      return kExitRuntimeError;
    } catch (const Desync& desync) {
      std::cout << FormatDesyncLine(desync) << std::endl;
      return kExitDesync;
    }
    if (reader.droppedCutLine()) {
      std::cerr << "zorvane-replay: line " << reader.line()
                << ": the recording ends in a cut line; replayed up to the line before\n";
    }
    std::cout << "{\"event\":\"end\"}" << std::endl;
    return 0;
  }

 private:
  void StartUp() {
    form_.StartUp();
    Print("start", 1);
  }

  // Nothing after the command that stopped the game runs, but an expect line right after it
  // checks the state the game ended in, as a recording states it.
  void CheckEnd(ScriptReader& reader) {
    std::optional<ReplayCommand> next;
    try {
      next = reader.Next();
    } catch (const ScriptError&) {
      return;  // a line that would never run
    }
    if (next && next->kind == ReplayCommand::Kind::Expect) Execute(*next, reader.line());
  }

  uint32_t UnscriptedSeed() {
    if (!options_.seeded) return ClockSeed();
    return options_.seed + rounds_++;
  }

  // Runs one command; false when it left the game stopped.
  bool Execute(const ReplayCommand& command, long long line) {
    using Kind = ReplayCommand::Kind;
    switch (command.kind) {
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
      case Kind::Key:
        RunCounted(command, line, "key", keys_);
        break;
      case Kind::Set:
        RunCounted(command, line, "set", sets_);
        break;
      case Kind::Close:
        RunCounted(command, line, "close", closes_);
        break;
      case Kind::Seed:
        RunCounted(command, line, "seed", seeds_);
        break;
      case Kind::Settings:  // only before the start-up, where the reader keeps it
        break;
      case Kind::Expect:
        RunCounted(command, line, "expect", expects_);
        break;
    }
    return form_.Running;
  }

  // A command the game's own script runner carries out, then its line of output.
  void RunCounted(const ReplayCommand& command, long long line, const char* event,
                  long long& count) {
    runner_.Run(command, form_, line);
    Print(event, ++count);
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
  ScriptRunner runner_;
  Form1 form_;
  Surface blank_{640, 480};
  uint32_t rounds_ = 0;
  long long keys_ = 0, ticks_ = 0, frames_ = 0, sets_ = 0, closes_ = 0, seeds_ = 0, expects_ = 0;
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
