#include "core/simd_kernels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/random.h"

namespace {

using common::SimdKernels;

// The sets this processor runs; each is held to the scalar one.
std::vector<const SimdKernels*> OfferedKernels() {
  std::vector<const SimdKernels*> offered;
  for (const SimdKernels* kernels : common::CompiledKernels()) {
    if (common::ProcessorOffers(kernels->path)) offered.push_back(kernels);
  }
  return offered;
}

const SimdKernels& Scalar() { return *common::CompiledKernels().front(); }

void SetEnvironment(const char* name, const char* value) {
#if defined(_WIN32)
  _putenv_s(name, value == nullptr ? "" : value);
#else
  if (value == nullptr) {
    unsetenv(name);
  } else {
    setenv(name, value, 1);
  }
#endif
}

std::vector<std::uint8_t> EveryCode(std::size_t count, unsigned stride) {
  std::vector<std::uint8_t> codes(count);
  for (std::size_t i = 0; i < count; ++i) codes[i] = static_cast<std::uint8_t>(i * stride + 11);
  return codes;
}

TEST(SimdKernels, TheScalarSetComesFirstAndTheOneInUseRunsHere) {
  ASSERT_EQ(Scalar().path, common::SimdPath::Scalar);
  EXPECT_TRUE(common::ProcessorOffers(common::ActiveKernels().path));
#if defined(__x86_64__) || defined(__i386__)
  // The wide sets are built into every x86 program, the Windows ones too.
  EXPECT_EQ(common::CompiledKernels().size(), 4u);
#endif
}

TEST(SimdKernels, AForcedPathIsRefusedWithItsReasonWhereItCannotRun) {
  const char* before = std::getenv("VELUMOR_SIMD");
  const std::string saved = before ? before : "";
  const auto refusalFor = [](const char* value) {
    SetEnvironment("VELUMOR_SIMD", value);
    return common::SimdChoiceError();
  };
  EXPECT_EQ(refusalFor("scalar"), std::nullopt);
  EXPECT_NE(refusalFor("mmx").value_or(u"").find(u"unbekannter Rechenweg"), std::u16string::npos);
  for (const SimdKernels* kernels : common::CompiledKernels()) {
    const auto refusal = refusalFor(std::string(kernels->name).c_str());
    EXPECT_EQ(refusal.has_value(), !common::ProcessorOffers(kernels->path)) << kernels->name;
    if (refusal) {
      EXPECT_NE(refusal->find(u"dieser Prozessor bietet"), std::u16string::npos) << kernels->name;
    }
  }
  SetEnvironment("VELUMOR_SIMD", before ? saved.c_str() : nullptr);
}

TEST(SimdKernels, DrawsOnEveryColumnEdgeGiveTheScalarCarriers) {
  // The edges of the columns of int(r * 3.9) as 32-bit draws, with the draws
  // one below and one above each, and the ends of the range.
  const auto& t = common::CarrierColumnThresholds();
  std::vector<std::uint32_t> edges{0, 1, 0xFFFFFFFEu, 0xFFFFFFFFu};
  for (const std::uint32_t start : {t.start1, t.start2, t.start3}) {
    edges.insert(edges.end(), {start - 1, start, start + 1});
  }
  // 13 values against 32 draws a round: over the rounds each value lands on
  // every position of a round, with every code's nibbles.
  constexpr std::size_t Count = 16 * 13 * 2;
  for (const SimdKernels* kernels : OfferedKernels()) {
    std::vector<std::vector<std::uint32_t>> draws(kernels->sideBySide, std::vector<std::uint32_t>(2 * Count));
    std::vector<std::vector<std::uint8_t>> codes;
    std::vector<std::string> expected, made;
    std::vector<common::DrawnStretch> stretches, alone;
    for (int k = 0; k < kernels->sideBySide; ++k) {
      for (std::size_t j = 0; j < draws[k].size(); ++j) draws[k][j] = edges[(j + 5 * k) % edges.size()];
      codes.push_back(EveryCode(Count, 1 + 2 * k));
      expected.emplace_back(2 * Count, '\0');
      made.emplace_back(2 * Count, '\0');
    }
    for (int k = 0; k < kernels->sideBySide; ++k) {
      const common::DrawnStretch one{draws[k].data(), codes[k].data(), expected[k].data()};
      Scalar().encodeDrawn(&one, Count);
      stretches.push_back({draws[k].data(), codes[k].data(), made[k].data()});
    }
    kernels->encodeDrawn(stretches.data(), Count);
    for (int k = 0; k < kernels->sideBySide; ++k) EXPECT_EQ(made[k], expected[k]) << kernels->name << " " << k;
  }
}

TEST(SimdKernels, GeneratorsSideBySideGiveWhatEachGivesAlone) {
  constexpr std::size_t Count = 16 * 9;
  for (const SimdKernels* kernels : OfferedKernels()) {
    const int n = kernels->sideBySide;
    std::vector<common::PseudoRandom> alone, together, single;
    std::vector<std::vector<std::uint8_t>> codes;
    std::vector<std::string> expected(n, std::string(2 * Count, '\0')), made = expected, madeOne = expected;
    std::vector<common::Stretch> side;
    for (int k = 0; k < n; ++k) {
      alone.emplace_back(86399 + k);
      together.emplace_back(86399 + k);
      single.emplace_back(86399 + k);
      codes.push_back(EveryCode(Count, 37 + k));
    }
    for (int k = 0; k < n; ++k) {
      Scalar().encodeOne({codes[k].data(), expected[k].data(), &alone[k]}, Count);
      kernels->encodeOne({codes[k].data(), madeOne[k].data(), &single[k]}, Count);
      side.push_back({codes[k].data(), made[k].data(), &together[k]});
    }
    kernels->encodeSideBySide(side.data(), Count);
    for (int k = 0; k < n; ++k) {
      EXPECT_EQ(made[k], expected[k]) << kernels->name << " " << k;
      EXPECT_EQ(madeOne[k], expected[k]) << kernels->name << " " << k;
      // Every generator is left where the scalar path leaves it.
      const double next = alone[k].Next();
      EXPECT_EQ(together[k].Next(), next) << kernels->name << " " << k;
      EXPECT_EQ(single[k].Next(), next) << kernels->name << " " << k;
    }
  }
}

TEST(SimdKernels, SelfCheckAgreesWithTheScalarOneOnEveryCorruption) {
  // 0xCC: both nibbles are 12, the backslash's. Lengths cross every vector width.
  for (const SimdKernels* kernels : OfferedKernels()) {
    for (const std::size_t count : {0u, 1u, 15u, 16u, 17u, 31u, 32u, 33u, 47u, 64u, 65u}) {
      const std::vector<std::uint8_t> codes(count, 0xCC);
      std::string good;
      for (std::size_t i = 0; i < count; ++i) good += i % 2 ? "L|" : "l<";
      ASSERT_TRUE(Scalar().carriersCarry(good.data(), codes.data(), count));
      EXPECT_TRUE(kernels->carriersCarry(good.data(), codes.data(), count)) << kernels->name << " " << count;
      for (std::size_t at = 0; at < good.size(); ++at) {
        for (const char bad : {static_cast<char>(good[at] ^ 1), '\\', '\x7F', ';', '\0'}) {
          std::string broken = good;
          broken[at] = bad;
          EXPECT_FALSE(kernels->carriersCarry(broken.data(), codes.data(), count))
              << kernels->name << " " << count << " " << at << " " << int(bad);
        }
      }
    }
  }
}

}  // namespace
