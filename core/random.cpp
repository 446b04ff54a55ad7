#include "random.h"

#include <chrono>
#include <ctime>

namespace common {
namespace {

std::uint64_t SplitMix64(std::uint64_t& x) {
  std::uint64_t z = (x += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

int Column(std::uint32_t x) { return static_cast<int>(static_cast<double>(x) * 0x1.0p-32 * 3.9); }

std::uint32_t ColumnStart(int column) {
  std::uint64_t low = 0, high = 0xFFFFFFFFull;  // Column(high) is 3 >= column
  while (low < high) {
    const std::uint64_t middle = (low + high) / 2;
    if (Column(static_cast<std::uint32_t>(middle)) >= column) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  return static_cast<std::uint32_t>(low);
}

}  // namespace

PseudoRandom::PseudoRandom(std::uint64_t seed) {
  // Every lane gets its own well-mixed, non-zero state from the one seed.
  std::uint64_t mixer = seed;
  for (int lane = 0; lane < Lanes; ++lane) {
    const std::uint64_t a = SplitMix64(mixer), b = SplitMix64(mixer);
    state_[0][lane] = static_cast<std::uint32_t>(a);
    state_[1][lane] = static_cast<std::uint32_t>(a >> 32);
    state_[2][lane] = static_cast<std::uint32_t>(b);
    state_[3][lane] = static_cast<std::uint32_t>(b >> 32) | 1u;
  }
}

const ColumnThresholds& CarrierColumnThresholds() {
  static const ColumnThresholds thresholds{ColumnStart(1), ColumnStart(2), ColumnStart(3)};
  return thresholds;
}

std::uint64_t TimeOfDaySeed() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t seconds = system_clock::to_time_t(now);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &seconds);
#else
  localtime_r(&seconds, &local);
#endif
  const auto fraction = duration_cast<nanoseconds>(now - system_clock::from_time_t(seconds)).count();
  const std::uint64_t wholeSeconds = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
  return wholeSeconds * 1'000'000'000u + static_cast<std::uint64_t>(fraction < 0 ? 0 : fraction);
}

}  // namespace common
