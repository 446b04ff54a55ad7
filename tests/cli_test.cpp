#include <gtest/gtest.h>

#include <algorithm>

#include "cli/stream_codec.h"
#include "cli/utf8.h"
#include "core/common.h"
#include "core/decoder.h"
#include "core/simd_kernels.h"
#include "tool_run.h"

namespace {

TEST(EncodeTool, ArgumentsStdinAndSeedGiveTheSameReproducibleBlock) {
  const ToolRun fromArgs = Tool({"--seed", "7", "Grüße", "an", "info@example.com"});
  const ToolRun fromStdin = Tool({"-s", "7"}, "Grüße an info@example.com");
  ASSERT_EQ(fromArgs.code, 0) << fromArgs.err;
  EXPECT_EQ(fromArgs.out, fromStdin.out);
  EXPECT_EQ(fromArgs.out.size(), 310u + 2 * 25);
  EXPECT_NE(Tool({"--seed", "8", "Grüße an info@example.com"}).out, fromArgs.out);

  const ToolRun decoded = Tool({"--decode"}, fromArgs.out);
  EXPECT_EQ(decoded.code, 0);
  EXPECT_EQ(decoded.out, "Grüße an info@example.com\n");
}

TEST(EncodeTool, DecodeGivesOneResultPerBlockWithReferencesAsThePageGetsThem) {
  const std::string page = "<html>" + Tool({"-s", "1", "5 €"}).out + "<br>" + Tool({"-s", "2", "zwei"}).out +
                           Tool({"-s", "3", "<SCRIPT>p='5 €'</script> 5 €"}).out;
  EXPECT_EQ(Tool({"-d"}, page).out, "5 &#8364;\nzwei\n<SCRIPT>p='5 \\u20AC'</script> 5 &#8364;\n");
  // A script longer than the pieces the tool encodes at a time.
  const std::string script = "<script>" + std::string(100000, 'a') + "€</script>";
  EXPECT_EQ(Tool({"-d"}, Tool({"-s", "3"}, script).out).out, script.substr(0, 100008) + "\\u20AC</script>\n");
}

TEST(EncodeTool, BadInputIsRefusedWithAMessage) {
  const ToolRun empty = Tool({}, "");
  EXPECT_EQ(empty.code, 1);
  EXPECT_NE(empty.err.find("leer"), std::string::npos);
  EXPECT_TRUE(empty.out.empty());

  const ToolRun invalid = Tool({}, "abc\xC3\x28xyz");
  EXPECT_EQ(invalid.code, 1);
  EXPECT_NE(invalid.err.find("Offset 3"), std::string::npos) << invalid.err;
  EXPECT_TRUE(invalid.out.empty());

  const ToolRun noBlock = Tool({"--decode"}, "<p>nur Text</p>");
  EXPECT_EQ(noBlock.code, 1);
  EXPECT_NE(noBlock.err.find("keinen Velumor-Block"), std::string::npos);

  for (const std::vector<std::string>& usage :
       std::vector<std::vector<std::string>>{{"--seed", "x1", "a"},
                                             {"--seed", "18446744073709551616", "a"},
                                             {"--seed", "-1", "a"},
                                             {"--unbekannt"},
                                             {"--input"},
                                             {"--seed"}}) {
    const ToolRun refused = Tool(usage);
    EXPECT_EQ(refused.code, 2) << usage[0];
    EXPECT_NE(refused.err.find("--help"), std::string::npos);
    EXPECT_TRUE(refused.out.empty());
  }
  EXPECT_EQ(Tool({"--seed", "18446744073709551615", "a"}).code, 0);
}

TEST(EncodeTool, WithoutSeedTwoRunsInTheSameSecondDiffer) {
  const std::string text = "Zwei Läufe kurz nacheinander, derselbe Text";
  EXPECT_NE(Tool({text}).out, Tool({text}).out);
}

TEST(EncodeTool, DecodeFindsBlocksInAPageThatIsNotUtf8) {
  const std::string page =
      "<p>Gr\xFC\xDF"
      "e, Preis 5 \x80</p>" +
      Tool({"-s", "1", "info@example.com"}).out + "\xE4\xF6";
  const ToolRun decoded = Tool({"--decode"}, page);
  EXPECT_EQ(decoded.code, 0) << decoded.err;
  EXPECT_EQ(decoded.out, "info@example.com\n");
}

TEST(EncodeStreaming, PiecesGiveTheBlockOfTheWholeText) {
  // Piece boundaries fall inside UTF-8 sequences, between the halves of a
  // surrogate pair and inside the references the core writes out.
  const std::string text =
      "a\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80"
      "bc\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xC3\xBF\xE2\x80\x9E"
      "z0123456789abcdefghijklmnopq\xE2\x80\x93"
      "Gr\xC3\xBC\xC3\x9F"
      "e aus K\xC3\xB6ln, sch\xC3\xB6ne Tage \xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC4\x80" +
      [] {  // a two-byte sequence at every place of a sixteen-byte step
        std::string steps;
        for (int k = 0; k <= 16; ++k) steps += std::string(k, 'x') + "\xC3\xBC";
        return steps;
      }();
  const std::u16string whole = std::get<std::u16string>(cli::DecodeUtf8(text));
  common::PseudoRandom wholeRandom(11);
  const std::string expected = *common::EncodeText(whole, wholeRandom);
  const auto carriers = common::FindCarrierStrings(std::string_view(expected));
  ASSERT_EQ(carriers.size(), 1u);
  EXPECT_EQ(cli::CheckUtf8(text).pageCodes, common::DecodeCarriers(carriers[0]).size());
  // Segments, encoded on two threads from a generator moved ahead, too.
  for (const std::size_t segment : {1u, 5u, 13u, 1000u}) {
    const auto plan = std::get<cli::EncodingPlan>(cli::PlanEncoding(text, segment));
    for (const std::size_t chunk : {2u, 3u, 5u, 7u, 16u, 32u, 48u, 64u, 4096u}) {
      std::string streamed;
      const auto keep = [&](std::string_view piece) {
        streamed += piece;
        return true;
      };
      EXPECT_EQ(cli::EncodeStreaming(plan, common::PseudoRandom(11), keep, chunk), cli::StreamResult::Done);
      EXPECT_EQ(streamed, expected) << "segments of " << segment << ", pieces of " << chunk;
    }
  }
}

TEST(EncodeStreaming, AScriptOrStyleStartingInAnySegmentKeepsTheTextWhole) {
  const auto plain = [](std::string_view text, std::size_t segment) {
    return std::get<cli::EncodingPlan>(cli::PlanEncoding(text, segment)).piecesEncodeLikeTheWhole;
  };
  for (const std::string_view text : {"ab<script>x", "ab<STYLE>"}) {
    for (std::size_t segment = 1; segment <= text.size(); ++segment)
      EXPECT_FALSE(plain(text, segment)) << text << segment;
  }
  EXPECT_TRUE(plain("ab<scrip t><styl>", 3));
}

TEST(EncodeTool, ThreadsChangeNothingButTheTime) {
  std::string text;
  while (text.size() < 600000) text += "Grüße an info@example.com – 5 € \U0001F600 Привет ";
  const ToolRun one = Tool({"-s", "9", "--threads", "1"}, text);
  ASSERT_EQ(one.code, 0) << one.err;
  for (const char* threads : {"3", "4", "64"}) EXPECT_EQ(Tool({"-s", "9", "--threads", threads}, text).out, one.out);
  for (const char* bad : {"0", "65", "zwei", ""}) {
    const ToolRun refused = Tool({"--threads", bad, "x"});
    EXPECT_EQ(refused.code, 2) << bad;
    EXPECT_NE(refused.err.find("Threads"), std::string::npos) << bad;
  }
}

TEST(EncodeTool, HelpIsGerman) {
  const ToolRun help = Tool({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("Aufruf: velumor-encode"), std::string::npos);
  EXPECT_NE(help.out.find("--decode"), std::string::npos);
}

TEST(EncodeTool, ByteOrderMarkIsNotPartOfTheText) {
  EXPECT_EQ(Tool({"-s", "3"}, "\xEF\xBB\xBFx").out, Tool({"-s", "3", "x"}).out);
  EXPECT_NE(Tool({}, "\xEF\xBB\xBF\xFF").err.find("Offset 3"), std::string::npos);
}

TEST(Utf8, StrictDecodingNamesTheOffsetOfTheFirstBadSequence) {
  const auto offset = [](std::string_view bytes) {
    const auto result = cli::DecodeUtf8(bytes);
    return std::holds_alternative<cli::Utf8Error>(result) ? std::get<cli::Utf8Error>(result).byteOffset
                                                          : std::string::npos;
  };
  const std::pair<std::string, std::size_t> cases[] = {
      {"ok", std::string::npos},
      {"a\xC0\xAF", 1},         // overlong
      {"ab\xED\xA0\x80", 2},    // encoded surrogate
      {"\xF4\x90\x80\x80", 0},  // beyond U+10FFFF
      {"abc\xE2\x82", 3},       // cut short
      {"\x80", 0},
      {"\xC3", 0},
      {"\xC3\xC3\xA4", 0},
  };
  // Behind Western text the check goes sixteen bytes at a time: the same
  // offsets, wherever a block boundary falls.
  const std::string western =
      "Gr\xC3\xBC\xC3\x9F"
      "e aus K\xC3\xB6ln, sch\xC3\xB6ne Tage \xC3\xBC"
      "ber";
  for (const std::size_t cut : {0u, 1u, 2u, 9u, 13u, 15u, 16u, 17u, 24u, 32u, 34u}) {
    const std::string prefix = western.substr(0, cut), suffix = western + western;
    for (const auto& [bytes, at] : cases) {
      EXPECT_EQ(offset(prefix + bytes + suffix), at == std::string::npos ? at : cut + at) << cut << " " << bytes;
    }
  }
}

TEST(Utf8, RoundTripOfAllPlanes) {
  const std::u16string text = u"aä€\U0001F600\uFFFF";
  EXPECT_EQ(std::get<std::u16string>(cli::DecodeUtf8(cli::EncodeUtf8(text))), text);
  EXPECT_EQ(cli::EncodeUtf8(u"\xD800x"), "\xEF\xBF\xBDx");
}

// The UTF-8 kernel sets this processor runs; each is held to the scalar one.
std::vector<const common::SimdKernels*> OfferedKernels() {
  std::vector<const common::SimdKernels*> offered;
  for (const common::SimdKernels* kernels : common::CompiledKernels()) {
    if (common::ProcessorOffers(kernels->path)) offered.push_back(kernels);
  }
  return offered;
}

// All page codes of a valid text, asked for `wanted` at a time into a
// buffer of exactly the room allowed, with a guard behind it.
std::string PageCodesInPieces(std::string_view text, std::size_t wanted, const common::SimdKernels& kernels) {
  constexpr std::uint8_t Untouched = 0xEE;
  std::string all;
  std::vector<std::uint8_t> codes(wanted + cli::PageCodesOverhang + 32);
  for (std::size_t position = 0; position < text.size();) {
    std::fill(codes.begin(), codes.end(), Untouched);
    const std::size_t n = cli::PageCodesFromUtf8(text, position, codes.data(), wanted, kernels);
    EXPECT_LE(n, wanted + cli::PageCodesOverhang);
    const auto guard = codes.begin() + static_cast<std::ptrdiff_t>(wanted + cli::PageCodesOverhang);
    EXPECT_TRUE(std::all_of(guard, codes.end(), [](std::uint8_t c) { return c == Untouched; }))
        << "written past the room for " << wanted;
    all.append(codes.begin(),
               codes.begin() + static_cast<std::ptrdiff_t>(std::min(n, wanted + cli::PageCodesOverhang)));
  }
  return all;
}

TEST(Utf8Kernels, EveryPathChecksAndCodesLikeTheScalarOne) {
  // One piece at every place of runs that cross every vector width, in
  // ASCII and in Latin-1 letters.
  const std::string pieces[] = {"\xC3\xA4", "\xC4\x80", "\xE2\x82\xAC", "\U0010FFFF",      "\xC3",
                                "\x80",     "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"};
  const common::SimdKernels& scalar = *common::CompiledKernels().front();
  for (const common::SimdKernels* kernels : OfferedKernels()) {
    for (const std::string& unit : {std::string("a"), std::string("\xC3\xA4"), std::string("a\xC3\xBF")}) {
      for (std::size_t length = 0; length <= 34; ++length) {
        std::string run;
        for (std::size_t k = 0; k < length; ++k) run += unit;
        for (const std::string& piece : pieces) {
          for (std::size_t at = 0; at <= run.size(); ++at) {
            const std::string text = run.substr(0, at) + piece + run.substr(at);
            const cli::Utf8Check expected = cli::CheckUtf8(text, scalar), made = cli::CheckUtf8(text, *kernels);
            ASSERT_EQ(made.firstInvalid, expected.firstInvalid) << kernels->name << " " << length << " " << at;
            ASSERT_EQ(made.pageCodes, expected.pageCodes) << kernels->name << " " << length << " " << at;
            if (expected.firstInvalid) continue;
            const std::string codes = PageCodesInPieces(text, 4 * text.size(), scalar);
            ASSERT_EQ(codes.size(), expected.pageCodes);
            for (const std::size_t wanted : {1u, 7u, 16u, 17u, 33u}) {
              ASSERT_EQ(PageCodesInPieces(text, wanted, *kernels), codes)
                  << kernels->name << " " << length << " " << at << " " << wanted;
            }
          }
        }
      }
    }
  }
}

}  // namespace
