// The commands that set the battle state by hand: `ship`, `part` and `set`.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "runner/script_commands.h"
#include "runner/script_run.h"
#include "state/battle_state.h"

namespace kelvarin::script {
namespace {

// The bounds of positions and angles that a script may give.
constexpr double kCoordinateLimit = 100000.0;
constexpr double kAngleLimit = 100.0;

}  // namespace

void Ship(ScriptRun& run, const Tokens& t) {
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
  BattleState& s = run.state;
  const auto real = [](double v) { return static_cast<float>(v); };
  const auto whole = [](double v) { return static_cast<std::int16_t>(v); };
  if (values[kX]) s.ShipX[i] = real(*values[kX]);
  if (values[kY]) s.ShipY[i] = real(*values[kY]);
  if (values[kHeading]) s.ShipHeading[i] = real(*values[kHeading]);
  if (values[kTarget]) s.ShipTarget[i] = whole(*values[kTarget]);
  if (values[kHealth]) s.ShipHealth[i] = whole(*values[kHealth]);
  if (values[kTeam]) s.ShipTeam[i] = whole(*values[kTeam]);
  if (values[kSize]) s.ShipSize[i] = whole(*values[kSize]);
}

void Part(ScriptRun& run, const Tokens& t) {
  const auto i = static_cast<std::size_t>(IntegerIn(t[1], "particle slot", 0, kPartSlots - 1));
  enum Field { kX, kY, kAngle, kLife, kFieldCount };
  static constexpr std::array<std::string_view, kFieldCount> kNames = {"x", "y", "angle", "life"};
  std::array<std::optional<float>, kFieldCount> values;
  ReadFields(t, "part", kNames, values,
             [](std::size_t field, const std::string& what, std::string_view text) {
               const double limit = field == kX || field == kY ? kCoordinateLimit : kAngleLimit;
               return static_cast<float>(RealIn(text, what, -limit, limit));
             });
  BattleState& s = run.state;
  if (values[kX]) s.PartX[i] = *values[kX];
  if (values[kY]) s.PartY[i] = *values[kY];
  if (values[kAngle]) s.PartAngle[i] = *values[kAngle];
  if (values[kLife]) s.PartLife[i] = *values[kLife];
}

void Set(ScriptRun& run, const Tokens& t) {
  const std::string_view name = t[1];
  BattleState& s = run.state;
  if (name == "NextTeam") {
    s.NextTeam = static_cast<std::int16_t>(IntegerIn(t[2], "NextTeam", 0, 2));
  } else if (name == "PurgeFlag") {
    s.PurgeFlag = static_cast<std::int16_t>(IntegerIn(t[2], "PurgeFlag", -1, 0));
  } else if (name == "IdleTicks") {
    s.IdleTicks = static_cast<std::int16_t>(IntegerIn(t[2], "IdleTicks", 0, 149));
  } else {
    throw LineError{"unknown scalar " + Quoted(name) + " (NextTeam, PurgeFlag or IdleTicks)"};
  }
}

}  // namespace kelvarin::script
