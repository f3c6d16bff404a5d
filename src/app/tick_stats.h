#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace kelvarin {

// A fixed histogram of non-negative values in bins of 0.1 up to a limit, with
// the values beyond the limit only counted and the largest value kept
// exactly. All memory is taken up front; adding a value never allocates.
class Histogram {
 public:
  explicit Histogram(double limit);

  void Add(double value);
  std::uint64_t Count() const { return count_; }
  double Max() const { return max_; }
  // The nearest-rank quantile q (0 < q <= 1), to the bin's lower edge; a
  // quantile beyond the limit is reported as the maximum. 0 when empty.
  double Quantile(double q) const;

 private:
  std::vector<std::uint32_t> bins_;
  std::uint64_t overflow_ = 0;
  std::uint64_t count_ = 0;
  double max_ = 0.0;
};

// Timing of the timer ticks: the interval between the starts of consecutive
// ticks in milliseconds and the duration of each tick in microseconds.
class TickStats {
 public:
  TickStats();

  void TickStarted();
  void TickEnded();

  // Records one measured tick directly (the first tick has no interval).
  void Record(double intervalMs, bool hasInterval, double durationUs);

  // Three lines: "ticks N", "interval_ms median M p99 P max X",
  // "tick_us median M max X".
  std::string Report() const;

  std::uint64_t ticks() const { return ticks_; }

 private:
  // Nanoseconds since the statistics began, on the monotonic clock.
  std::int64_t NowNs() const;

  std::chrono::steady_clock::time_point epoch_;
  std::int64_t lastStartNs_ = -1;
  std::int64_t startNs_ = 0;
  std::uint64_t ticks_ = 0;
  Histogram intervalMs_;
  Histogram durationUs_;
};

// A value with one decimal, independent of the locale: 12.25 -> "12.3".
std::string FormatOneDecimal(double value);

}  // namespace kelvarin
