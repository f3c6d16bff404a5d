#include "runner/script_runner.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "picture/pixel_surface.h"
#include "runner/error_text.h"
#include "runner/picture_output.h"
#include "runner/read_some.h"
#include "runner/script_numbers.h"
#include "runner/script_random.h"
#include "runner/token_file.h"
#include "runner/tracing_surface.h"
#include "sim/input.h"
#include "sim/tick.h"
#include "sim/world.h"
#include "state/battle_state.h"

namespace kelvarin {
namespace {

constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 600;
constexpr int kMinSurfaceSide = 16;
constexpr int kMaxSurfaceSide = 8192;
constexpr std::uint64_t kMaxTicks = 1000000000;
constexpr double kSecondsPerDay = 86400.0;
constexpr double kCoordinateLimit = 100000.0;
constexpr double kAngleLimit = 100.0;
// Trace output is handed to the stream in pieces of about this size.
constexpr std::size_t kFlushThreshold = 1 << 16;
// What error messages call the stream that traces and dumps go to.
constexpr char kOutputName[] = "standard output";

int SideLimit(const ScriptOptions& options) {
  return std::clamp(options.maxSurfaceSide, kMinSurfaceSide, kMaxSurfaceSide);
}

// A line that cannot be run: status 2.
struct LineError {
  std::string message;
};

// A file that cannot be read or written: status 1.
struct FileError {
  std::string path;
  std::string reason;
};

std::string Quoted(std::string_view token) {
  std::string text = "'";
  text += token;
  text += '\'';
  return text;
}

// Splits a line into tokens separated by spaces, tabs and carriage returns;
// `#` starts a comment.
std::vector<std::string_view> Tokenize(std::string_view line) {
  constexpr std::string_view kBlanks = " \t\r";
  line = line.substr(0, line.find('#'));
  std::vector<std::string_view> tokens;
  for (std::size_t start = line.find_first_not_of(kBlanks); start != std::string_view::npos;) {
    const std::size_t end = std::min(line.find_first_of(kBlanks, start), line.size());
    tokens.push_back(line.substr(start, end - start));
    start = line.find_first_not_of(kBlanks, end);
  }
  return tokens;
}

// An end of a range of reals as messages give it: the %g form (all of them
// are whole numbers).
std::string RangeEnd(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

// A real in lo..hi (both ends included unless `highOpen`), as read.
double RealIn(std::string_view token, std::string_view what, double lo, double hi,
              bool highOpen = false) {
  const std::optional<double> value = script::ParseReal(token);
  if (!value) {
    throw LineError{std::string(what) + ' ' + Quoted(token) + " is not a number"};
  }
  const bool inRange = *value >= lo && (highOpen ? *value < hi : *value <= hi);
  if (!inRange) {
    const std::string range =
        RangeEnd(lo) + (highOpen ? " <= " + std::string(what) + " < " : "..") + RangeEnd(hi);
    throw LineError{std::string(what) + ' ' + Quoted(token) + " is out of range (" + range + ')'};
  }
  return *value;
}

std::int64_t IntegerIn(std::string_view token, std::string_view what, std::int64_t lo,
                       std::int64_t hi) {
  const std::optional<script::Integer> value = script::ParseInteger(token);
  if (!value) {
    throw LineError{std::string(what) + ' ' + Quoted(token) + " is not an integer"};
  }
  const std::optional<std::int64_t> inRange = value->InRange(lo, hi);
  if (!inRange) {
    throw LineError{std::string(what) + ' ' + Quoted(token) + " is out of range (" +
                    std::to_string(lo) + ".." + std::to_string(hi) + ')'};
  }
  return *inRange;
}

void ArgCount(const std::vector<std::string_view>& t, std::size_t min, std::size_t max,
              std::string_view usage) {
  const std::size_t args = t.size() - 1;
  if (args < min) {
    throw LineError{Quoted(t[0]) + " is missing an argument (" + std::string(usage) + ')'};
  }
  if (args > max) {
    throw LineError{Quoted(t[0]) + " has an extra argument " + Quoted(t[max + 1]) + " (" +
                    std::string(usage) + ')'};
  }
}

std::string TooManyValues(std::size_t limit, std::size_t waiting) {
  return "more than " + std::to_string(limit) + " scripted random values would be waiting (" +
         std::to_string(waiting) + " are)";
}

// Reads the F=V tokens of a `ship` or `part` line, from its third token on,
// into `values`, each field in the place its name has in `names`. `valueOf`
// turns a field's text into its value (or throws); it is given the field and
// what messages call it ("ship x"). Throws for a token that is not F=V, an
// unknown name or a field given twice.
template <typename Value, std::size_t N, typename ValueFn>
void ReadFields(const std::vector<std::string_view>& t, std::string_view kind,
                const std::array<std::string_view, N>& names,
                std::array<std::optional<Value>, N>& values, ValueFn valueOf) {
  for (std::size_t k = 2; k < t.size(); ++k) {
    const std::size_t eq = t[k].find('=');
    if (eq == std::string_view::npos) {
      throw LineError{Quoted(t[k]) + " is not FIELD=VALUE"};
    }
    const std::string_view name = t[k].substr(0, eq);
    const auto* found = std::find(names.begin(), names.end(), name);
    if (found == names.end()) {
      throw LineError{"unknown " + std::string(kind) + " field " + Quoted(name) + " in " +
                      Quoted(t[k])};
    }
    const auto field = static_cast<std::size_t>(found - names.begin());
    if (values[field]) {
      throw LineError{std::string(kind) + " field " + Quoted(name) + " given twice"};
    }
    values[field] =
        valueOf(field, std::string(kind) + ' ' + std::string(name), t[k].substr(eq + 1));
  }
}

}  // namespace

// One run of one script: a fresh battle, surface and generator.
class ScriptSession::Impl {
 public:
  Impl(TextOutput& out, TextOutput& err, const ScriptOptions& options)
      : out_(out), err_(err), options_(options) {}

  std::optional<int> RunLine(std::string_view line, std::uint64_t lineNumber);
  int Finish();

  const BattleState& state() const { return state_; }
  std::uint64_t draws() const { return random_.draws(); }

 private:
  enum class After { Continue, Stop };
  using Tokens = std::vector<std::string_view>;

  After Execute(const Tokens& tokens);
  void Flush();

  // Each command checks all of its arguments before it changes anything.
  void Tick(const Tokens& t);
  void Click(const Tokens& t);
  After Key(const Tokens& t);
  void RandomValues(const Tokens& t);
  void RandomFile(const Tokens& t);
  void QueueValuesOf(const std::string& path);
  void Seed(const Tokens& t);
  void Clock(const Tokens& t);
  void Ship(const Tokens& t);
  void Part(const Tokens& t);
  void Set(const Tokens& t);
  void Draw(const Tokens& t);
  void Dump(const Tokens& t);
  void SurfaceSize(const Tokens& t);
  void Png(const Tokens& t);
  void Gif(const Tokens& t);

  void AddFrame();
  void FinishRecording();
  bool Recording() const { return gif_ != nullptr && gif_->recording(); }
  // The picture files, or a line error in a build without them.
  const PictureOutput& Pictures(std::string_view command) const;
  std::string FilePath(std::string_view token) const;

  TextOutput& out_;
  TextOutput& err_;
  const ScriptOptions options_;

  BattleState state_;
  PixelSurface image_{std::min(kDefaultWidth, SideLimit(options_)),
                      std::min(kDefaultHeight, SideLimit(options_))};
  std::string trace_;
  TracingSurface surface_{image_, trace_};
  ScriptRandom random_;
  World world_{state_, surface_, random_};
  double timeOfDay_ = 0.0;
  std::unique_ptr<PictureRecorder> gif_;
  std::string gifPath_;  // where the gif is written, for messages
};

// Hands what the line printed to the output stream, and throws FileError
// when the stream cannot take it (a full disk, a closed pipe).
void ScriptSession::Impl::Flush() {
  if (trace_.empty()) {
    return;
  }
  const bool written = out_.Write(trace_);
  trace_.clear();
  if (!written) {
    const int error = out_.error();
    throw FileError{kOutputName, error != 0 ? ErrorText(error) : "write error"};
  }
}

std::optional<int> ScriptSession::Impl::RunLine(std::string_view line, std::uint64_t lineNumber) {
  const Tokens tokens = Tokenize(line);
  if (tokens.empty()) {
    return std::nullopt;
  }
  std::optional<int> status;
  std::string error;
  const std::string here = "line " + std::to_string(lineNumber) + ": ";
  try {
    if (Execute(tokens) == After::Stop) {
      status = kScriptOk;
    }
  } catch (const LineError& e) {
    status = kScriptLineError;
    error = here + e.message;
  } catch (const FileError& e) {
    status = kScriptFileError;
    error = e.path + ": " + e.reason;
  } catch (const RandomExhausted&) {
    status = kScriptRandomExhausted;
    error = here + "scripted random values exhausted after " + std::to_string(random_.draws()) +
            " draws";
  }
  // What the line printed before it failed stays printed; output that cannot
  // be written ends the run as a file error (unless the line already did).
  try {
    Flush();
  } catch (const FileError& e) {
    if (status != kScriptFileError) {
      status = kScriptFileError;
      error = e.path + ": " + e.reason;
    }
  }
  if (!error.empty()) {
    err_.Write("error: " + error + '\n');
    // A run that ends with an error leaves no recording behind.
    if (gif_) {
      gif_->Discard();
    }
  }
  return status;
}

int ScriptSession::Impl::Finish() {
  try {
    FinishRecording();
  } catch (const FileError& e) {
    err_.Write("error: " + e.path + ": " + e.reason + '\n');
    return kScriptFileError;
  }
  return kScriptOk;
}

ScriptSession::Impl::After ScriptSession::Impl::Execute(const Tokens& t) {
  const std::string_view command = t[0];
  if (command == "tick") {
    Tick(t);
  } else if (command == "click") {
    Click(t);
  } else if (command == "key") {
    return Key(t);
  } else if (command == "random") {
    RandomValues(t);
  } else if (command == "random-file") {
    RandomFile(t);
  } else if (command == "seed") {
    Seed(t);
  } else if (command == "clock") {
    Clock(t);
  } else if (command == "ship") {
    Ship(t);
  } else if (command == "part") {
    Part(t);
  } else if (command == "set") {
    Set(t);
  } else if (command == "draw") {
    Draw(t);
  } else if (command == "dump") {
    Dump(t);
  } else if (command == "surface") {
    SurfaceSize(t);
  } else if (command == "png") {
    Png(t);
  } else if (command == "gif") {
    Gif(t);
  } else {
    throw LineError{"unknown command " + Quoted(command)};
  }
  return After::Continue;
}

void ScriptSession::Impl::Tick(const Tokens& t) {
  ArgCount(t, 0, 1, "tick [N]");
  const auto limit = static_cast<std::int64_t>(std::min(kMaxTicks, options_.maxTicksPerLine));
  const std::int64_t count = t.size() > 1 ? IntegerIn(t[1], "tick count", 1, limit) : 1;
  for (std::int64_t k = 0; k < count; ++k) {
    tmr_Timer(world_);
    if (Recording()) {
      AddFrame();
    }
    if (trace_.size() >= kFlushThreshold) {
      Flush();
    }
  }
}

void ScriptSession::Impl::Click(const Tokens& t) {
  ArgCount(t, 2, 3, "click X Y [BUTTON]");
  const double x = RealIn(t[1], "X", 0.0, 800.0);
  const double y = RealIn(t[2], "Y", 0.0, 600.0);
  int button = kButtonLeft;
  if (t.size() > 3) {
    const std::optional<script::Integer> value = script::ParseInteger(t[3]);
    if (!value) {
      throw LineError{"button " + Quoted(t[3]) + " is not an integer"};
    }
    const std::optional<std::int64_t> b = value->InRange(1, 4);
    if (!b || *b == 3) {
      throw LineError{"button " + Quoted(t[3]) + " is not 1, 2 or 4"};
    }
    button = static_cast<int>(*b);
  }
  pct_MouseDown(world_, button, static_cast<float>(x), static_cast<float>(y), timeOfDay_);
}

ScriptSession::Impl::After ScriptSession::Impl::Key(const Tokens& t) {
  ArgCount(t, 1, 1, "key CODE");
  const auto code = static_cast<int>(IntegerIn(t[1], "key code", 0, 255));
  if (pct_KeyDown(state_, code) != KeyResult::Quit) {
    return After::Continue;
  }
  FinishRecording();
  return After::Stop;
}

void ScriptSession::Impl::RandomValues(const Tokens& t) {
  ArgCount(t, 1, t.size(), "random V ...");
  std::vector<double> values;
  values.reserve(t.size() - 1);
  for (std::size_t i = 1; i < t.size(); ++i) {
    values.push_back(RealIn(t[i], "random value", 0.0, 1.0, true));
  }
  if (values.size() > options_.maxQueuedValues - random_.Waiting()) {
    throw LineError{TooManyValues(options_.maxQueuedValues, random_.Waiting())};
  }
  random_.UseQueue();
  for (const double v : values) {
    random_.Append(v);
  }
}

std::string ScriptSession::Impl::FilePath(std::string_view token) const {
  const std::string path(token);
  if (!options_.allowFiles) {
    throw FileError{path, "file access is disabled"};
  }
  if (options_.scratchDir.empty()) {
    return path;
  }
  const std::size_t slash = token.find_last_of('/');
  const std::string_view name = slash == std::string_view::npos ? token : token.substr(slash + 1);
  if (name.empty() || name == "." || name == "..") {
    throw FileError{path, "not a file name"};
  }
  return options_.scratchDir + '/' + std::string(name);
}

void ScriptSession::Impl::RandomFile(const Tokens& t) {
  ArgCount(t, 1, 1, "random-file PATH");
  const std::string path = FilePath(t[1]);
  // The values go straight to the queue as they are read; a line that fails
  // takes them back, so that it changes nothing.
  const std::size_t waiting = random_.Waiting();
  try {
    QueueValuesOf(path);
  } catch (...) {
    random_.DropNewest(random_.Waiting() - waiting);
    throw;
  }
  random_.UseQueue();
}

void ScriptSession::Impl::QueueValuesOf(const std::string& path) {
  TokenFile file(kScriptMaxRandomFileBytes, kScriptMaxValueBytes);
  const auto where = [&path, &file] {
    return path + " line " + std::to_string(file.line()) + ": ";
  };
  if (!file.Open(path)) {
    throw FileError{path, ErrorText(file.error())};
  }
  for (TokenFile::Next next = file.Read(); next != TokenFile::Next::kEnd; next = file.Read()) {
    switch (next) {
      case TokenFile::Next::kToken:
        try {
          const double value = RealIn(file.token(), "random value", 0.0, 1.0, true);
          if (random_.Waiting() == options_.maxQueuedValues) {
            throw LineError{TooManyValues(options_.maxQueuedValues, random_.Waiting())};
          }
          random_.Append(value);
        } catch (const LineError& e) {
          throw LineError{where() + e.message};
        }
        break;
      case TokenFile::Next::kTooLong:
        throw LineError{where() + "random value is longer than " +
                        std::to_string(kScriptMaxValueBytes) + " bytes"};
      case TokenFile::Next::kTooLarge:
        throw FileError{
            path, "larger than " + std::to_string(kScriptMaxRandomFileBytes) + " bytes (64 MiB)"};
      case TokenFile::Next::kError:
        throw FileError{path, ErrorText(file.error())};
      case TokenFile::Next::kEnd:
        break;
    }
  }
}

void ScriptSession::Impl::Seed(const Tokens& t) {
  ArgCount(t, 1, 1, "seed N");
  const std::optional<script::Integer> value = script::ParseInteger(t[1]);
  if (!value) {
    throw LineError{"seed " + Quoted(t[1]) + " is not an integer"};
  }
  const std::optional<std::uint64_t> seed = value->AsUint64();
  if (!seed) {
    throw LineError{"seed " + Quoted(t[1]) + " is out of range (0..18446744073709551615)"};
  }
  random_.Seed(*seed);
}

void ScriptSession::Impl::Clock(const Tokens& t) {
  ArgCount(t, 1, 1, "clock S");
  timeOfDay_ = RealIn(t[1], "seconds", 0.0, kSecondsPerDay, true);
}

void ScriptSession::Impl::Ship(const Tokens& t) {
  ArgCount(t, 2, t.size(), "ship I F=V ...");
  const auto i = static_cast<std::size_t>(IntegerIn(t[1], "ship slot", 0, kShipSlots - 1));
  enum Field { kX, kY, kHeading, kTarget, kHealth, kTeam, kSize, kFieldCount };
  static constexpr std::array<std::string_view, kFieldCount> kNames = {
      "x", "y", "heading", "target", "health", "team", "size"};
  std::array<std::optional<double>, kFieldCount> values;
  ReadFields(t, "ship", kNames, values,
             [](std::size_t field, const std::string& what, std::string_view text) {
               switch (field) {
                 case kX:
                 case kY:
                   return RealIn(text, what, -kCoordinateLimit, kCoordinateLimit);
                 case kHeading:
                   return RealIn(text, what, -kAngleLimit, kAngleLimit);
                 case kTarget:
                   return static_cast<double>(IntegerIn(text, what, 0, kShipSlots - 1));
                 case kHealth:
                   return static_cast<double>(IntegerIn(text, what, 0, 32767));
                 case kTeam:
                   return static_cast<double>(IntegerIn(text, what, 0, 2));
                 default: {
                   const std::int64_t size = IntegerIn(text, what, 0, 5);
                   if (size == 4) {
                     throw LineError{what + ' ' + Quoted(text) + " is not 0, 1, 2, 3 or 5"};
                   }
                   return static_cast<double>(size);
                 }
               }
             });
  const auto real = [](double v) { return static_cast<float>(v); };
  const auto whole = [](double v) { return static_cast<std::int16_t>(v); };
  if (values[kX]) state_.ShipX[i] = real(*values[kX]);
  if (values[kY]) state_.ShipY[i] = real(*values[kY]);
  if (values[kHeading]) state_.ShipHeading[i] = real(*values[kHeading]);
  if (values[kTarget]) state_.ShipTarget[i] = whole(*values[kTarget]);
  if (values[kHealth]) state_.ShipHealth[i] = whole(*values[kHealth]);
  if (values[kTeam]) state_.ShipTeam[i] = whole(*values[kTeam]);
  if (values[kSize]) state_.ShipSize[i] = whole(*values[kSize]);
}

void ScriptSession::Impl::Part(const Tokens& t) {
  ArgCount(t, 2, t.size(), "part I F=V ...");
  const auto i = static_cast<std::size_t>(IntegerIn(t[1], "particle slot", 0, kPartSlots - 1));
  enum Field { kX, kY, kAngle, kLife, kFieldCount };
  static constexpr std::array<std::string_view, kFieldCount> kNames = {"x", "y", "angle", "life"};
  std::array<std::optional<float>, kFieldCount> values;
  ReadFields(t, "part", kNames, values,
             [](std::size_t field, const std::string& what, std::string_view text) {
               const double limit = field == kX || field == kY ? kCoordinateLimit : kAngleLimit;
               return static_cast<float>(RealIn(text, what, -limit, limit));
             });
  if (values[kX]) state_.PartX[i] = *values[kX];
  if (values[kY]) state_.PartY[i] = *values[kY];
  if (values[kAngle]) state_.PartAngle[i] = *values[kAngle];
  if (values[kLife]) state_.PartLife[i] = *values[kLife];
}

void ScriptSession::Impl::Set(const Tokens& t) {
  ArgCount(t, 2, 2, "set NAME V");
  const std::string_view name = t[1];
  if (name == "NextTeam") {
    state_.NextTeam = static_cast<std::int16_t>(IntegerIn(t[2], "NextTeam", 0, 2));
  } else if (name == "PurgeFlag") {
    const std::int64_t flag = IntegerIn(t[2], "PurgeFlag", -1, 0);
    state_.PurgeFlag = static_cast<std::int16_t>(flag);
  } else if (name == "IdleTicks") {
    state_.IdleTicks = static_cast<std::int16_t>(IntegerIn(t[2], "IdleTicks", 0, 149));
  } else {
    throw LineError{"unknown scalar " + Quoted(name) + " (NextTeam, PurgeFlag or IdleTicks)"};
  }
}

void ScriptSession::Impl::Draw(const Tokens& t) {
  ArgCount(t, 1, 1, "draw on|off");
  if (t[1] == "on") {
    surface_.SetTracing(true);
  } else if (t[1] == "off") {
    surface_.SetTracing(false);
  } else {
    throw LineError{"draw " + Quoted(t[1]) + " is neither 'on' nor 'off'"};
  }
}

void ScriptSession::Impl::Dump(const Tokens& t) {
  ArgCount(t, 0, 0, "dump");
  std::string& o = trace_;
  const auto real = [&o](std::string_view label, float v) {
    o += label;
    AppendFloat(o, v);
  };
  const auto whole = [&o](std::string_view label, long long v) {
    o += label;
    o += std::to_string(v);
  };
  for (std::size_t i = 0; i < kShipSlots; ++i) {
    const BattleState& s = state_;
    if (s.ShipX[i] == 0 && s.ShipY[i] == 0 && s.ShipHeading[i] == 0 && s.ShipTarget[i] == 0 &&
        s.ShipHealth[i] == 0 && s.ShipTeam[i] == 0 && s.ShipSize[i] == 0) {
      continue;
    }
    whole("ship ", static_cast<long long>(i));
    real(" x=", s.ShipX[i]);
    real(" y=", s.ShipY[i]);
    real(" heading=", s.ShipHeading[i]);
    whole(" target=", s.ShipTarget[i]);
    whole(" health=", s.ShipHealth[i]);
    whole(" team=", s.ShipTeam[i]);
    whole(" size=", s.ShipSize[i]);
    o += '\n';
  }
  for (std::size_t i = 0; i < kPartSlots; ++i) {
    const BattleState& s = state_;
    if (s.PartX[i] == 0 && s.PartY[i] == 0 && s.PartAngle[i] == 0 && s.PartLife[i] == 0) {
      continue;
    }
    whole("part ", static_cast<long long>(i));
    real(" x=", s.PartX[i]);
    real(" y=", s.PartY[i]);
    real(" angle=", s.PartAngle[i]);
    real(" life=", s.PartLife[i]);
    o += '\n';
  }
  whole("state NextTeam=", state_.NextTeam);
  whole(" PurgeFlag=", state_.PurgeFlag);
  whole(" IdleTicks=", state_.IdleTicks);
  whole(" EngagedCount=", state_.EngagedCount);
  whole(" AliveCount=", state_.AliveCount);
  o += " draws=";
  o += std::to_string(random_.draws());
  o += "\nend\n";
}

void ScriptSession::Impl::SurfaceSize(const Tokens& t) {
  ArgCount(t, 2, 2, "surface W H");
  const int limit = SideLimit(options_);
  const auto w = static_cast<int>(IntegerIn(t[1], "width", kMinSurfaceSide, limit));
  const auto h = static_cast<int>(IntegerIn(t[2], "height", kMinSurfaceSide, limit));
  if (Recording()) {
    throw LineError{"the surface keeps its size while a gif is recorded ('gif stop' ends it)"};
  }
  image_.Resize(w, h);
}

const PictureOutput& ScriptSession::Impl::Pictures(std::string_view command) const {
  if (options_.pictures == nullptr) {
    throw LineError{Quoted(command) + ": this build of kelvarin writes no pictures"};
  }
  return *options_.pictures;
}

void ScriptSession::Impl::Png(const Tokens& t) {
  const PictureOutput& pictures = Pictures(t[0]);
  ArgCount(t, 1, 1, "png PATH");
  const std::string path = FilePath(t[1]);
  const std::string failure = pictures.WritePng(path, image_);
  if (!failure.empty()) {
    throw FileError{path, failure};
  }
}

// `stop` is a keyword: a file of that name is written `./stop`.
void ScriptSession::Impl::Gif(const Tokens& t) {
  const PictureOutput& pictures = Pictures(t[0]);
  ArgCount(t, 1, 1, "gif FILE|stop");
  if (t[1] == "stop") {
    if (!Recording()) {
      throw LineError{"'gif stop' with no gif being recorded"};
    }
    FinishRecording();
    return;
  }
  if (Recording()) {
    throw LineError{"a gif is already being recorded to " + Quoted(gifPath_) +
                    " ('gif stop' ends it)"};
  }
  const std::string path = FilePath(t[1]);
  if (!gif_) {
    gif_ = pictures.NewRecorder();
  }
  if (gif_->Start(path, image_) != PictureRecorder::Status::kOk) {
    throw FileError{path, gif_->failure()};
  }
  gifPath_ = path;
}

void ScriptSession::Impl::AddFrame() {
  switch (gif_->AddFrame(image_)) {
    case PictureRecorder::Status::kOk:
      return;
    case PictureRecorder::Status::kTooManyColours:
      throw LineError{"a frame of " + Quoted(gifPath_) + " needs more than 256 colours"};
    case PictureRecorder::Status::kFileError:
      throw FileError{gifPath_, gif_->failure()};
  }
}

void ScriptSession::Impl::FinishRecording() {
  if (Recording() && gif_->Finish(image_) != PictureRecorder::Status::kOk) {
    throw FileError{gifPath_, gif_->failure()};
  }
}

ScriptSession::ScriptSession(TextOutput& out, TextOutput& err, const ScriptOptions& options)
    : impl_(std::make_unique<Impl>(out, err, options)) {}

ScriptSession::~ScriptSession() = default;

std::optional<int> ScriptSession::RunLine(std::string_view line, std::uint64_t lineNumber) {
  return impl_->RunLine(line, lineNumber);
}

const BattleState& ScriptSession::state() const { return impl_->state(); }

std::uint64_t ScriptSession::draws() const { return impl_->draws(); }

int ScriptSession::Finish() { return impl_->Finish(); }

namespace {

// A file's bytes for the lines of a script, read straight from its
// descriptor, keeping why a read failed.
class DescriptorInput final : public ScriptInput {
 public:
  explicit DescriptorInput(int fd) : fd_(fd) {}
  std::size_t Read(char* data, std::size_t size) override {
    return ReadSome(fd_, data, size, error_);
  }
  std::error_code error() const override { return error_; }

 private:
  int fd_;
  std::error_code error_;
};

// The lines of a script, read in large pieces.
class LineReader {
 public:
  explicit LineReader(ScriptInput& input) : input_(input) {}

  enum class Read { kLine, kTooLong, kEnd };

  // Reads a line into `line` (without its line feed), holding no more than
  // `max` bytes of it: a longer line is kTooLong, and what follows is not
  // read.
  Read Next(std::string& line, std::size_t max) {
    line.clear();
    for (bool any = false;; any = true) {
      if (next_ == end_ && !Fill()) {
        return any ? Read::kLine : Read::kEnd;
      }
      const char c = piece_[next_++];
      if (c == '\n') {
        return Read::kLine;
      }
      if (line.size() == max) {
        return Read::kTooLong;
      }
      line += c;
    }
  }

 private:
  bool Fill() {
    next_ = 0;
    end_ = input_.Read(piece_.data(), piece_.size());
    return end_ > 0;
  }

  ScriptInput& input_;
  std::array<char, 1 << 16> piece_{};
  std::size_t next_ = 0;
  std::size_t end_ = 0;
};

}  // namespace

int RunScript(ScriptInput& in, const std::string& name, TextOutput& out, TextOutput& err,
              const ScriptOptions& options) {
  ScriptSession session(out, err, options);
  LineReader lines(in);
  std::string line;
  line.reserve(kScriptMaxLineBytes);
  std::uint64_t lineNumber = 0;
  for (;;) {
    const LineReader::Read read = lines.Next(line, kScriptMaxLineBytes);
    if (in.error()) {
      err.Write("error: " + name + ": " + ErrorText(in.error()) + '\n');
      return kScriptFileError;
    }
    if (read == LineReader::Read::kEnd) {
      return session.Finish();
    }
    ++lineNumber;
    if (read == LineReader::Read::kTooLong) {
      err.Write("error: line " + std::to_string(lineNumber) + ": longer than " +
                std::to_string(kScriptMaxLineBytes) + " bytes\n");
      return kScriptLineError;
    }
    if (const std::optional<int> status = session.RunLine(line, lineNumber)) {
      return *status;
    }
  }
}

int RunScriptFile(const std::string& path, TextOutput& out, TextOutput& err,
                  const ScriptOptions& options) {
  const bool standardInput = path == "-";
  // A folder opens, and fails at its first read.
  const int fd = standardInput ? STDIN_FILENO : OpenToRead(path.c_str());
  if (fd < 0) {
    err.Write("error: " + path + ": " + ErrorText(errno) + '\n');
    return kScriptFileError;
  }
  DescriptorInput file(fd);
  const int status = RunScript(file, path, out, err, options);
  if (!standardInput) {
    ::close(fd);
  }
  return status;
}

}  // namespace kelvarin
