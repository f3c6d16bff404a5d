#include "app/tick_stats.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace kelvarin {
namespace {

constexpr double kBinWidth = 0.1;
constexpr double kIntervalLimitMs = 10000.0;
constexpr double kDurationLimitUs = 50000.0;

}  // namespace

Histogram::Histogram(double limit) : bins_(static_cast<std::size_t>(limit / kBinWidth), 0) {}

void Histogram::Add(double value) {
  if (!(value >= 0.0)) {
    value = 0.0;
  }
  ++count_;
  if (value > max_) {
    max_ = value;
  }
  const double bin = std::floor(value / kBinWidth);
  if (bin < static_cast<double>(bins_.size())) {
    ++bins_[static_cast<std::size_t>(bin)];
  } else {
    ++overflow_;
  }
}

double Histogram::Quantile(double q) const {
  if (count_ == 0) {
    return 0.0;
  }
  auto rank = static_cast<std::uint64_t>(std::ceil(q * static_cast<double>(count_)));
  rank = std::max<std::uint64_t>(1, std::min(rank, count_));
  std::uint64_t seen = 0;
  for (std::size_t i = 0; i < bins_.size(); ++i) {
    seen += bins_[i];
    if (seen >= rank) {
      return std::min(static_cast<double>(i) * kBinWidth, max_);
    }
  }
  return max_;
}

TickStats::TickStats()
    : epoch_(std::chrono::steady_clock::now()),
      intervalMs_(kIntervalLimitMs),
      durationUs_(kDurationLimitUs) {}

std::int64_t TickStats::NowNs() const {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() -
                                                              epoch_)
      .count();
}

void TickStats::TickStarted() { startNs_ = NowNs(); }

void TickStats::TickEnded() {
  const std::int64_t end = NowNs();
  const bool hasInterval = lastStartNs_ >= 0;
  Record(hasInterval ? static_cast<double>(startNs_ - lastStartNs_) / 1e6 : 0.0, hasInterval,
         static_cast<double>(end - startNs_) / 1e3);
  lastStartNs_ = startNs_;
}

void TickStats::Record(double intervalMs, bool hasInterval, double durationUs) {
  ++ticks_;
  if (hasInterval) {
    intervalMs_.Add(intervalMs);
  }
  durationUs_.Add(durationUs);
}

std::string TickStats::Report() const {
  return "ticks " + std::to_string(ticks_) + "\ninterval_ms median " +
         FormatOneDecimal(intervalMs_.Quantile(0.5)) + " p99 " +
         FormatOneDecimal(intervalMs_.Quantile(0.99)) + " max " +
         FormatOneDecimal(intervalMs_.Max()) + "\ntick_us median " +
         FormatOneDecimal(durationUs_.Quantile(0.5)) + " max " +
         FormatOneDecimal(durationUs_.Max()) + '\n';
}

std::string FormatOneDecimal(double value) {
  if (!std::isfinite(value)) {
    value = 0.0;
  }
  const long long tenths = std::llround(std::abs(value) * 10.0);
  std::string text = (value < 0.0 && tenths != 0) ? "-" : "";
  text += std::to_string(tenths / 10);
  text += '.';
  text += static_cast<char>('0' + tenths % 10);
  return text;
}

}  // namespace kelvarin
