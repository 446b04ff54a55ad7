#include <gtest/gtest.h>

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

}  // namespace
