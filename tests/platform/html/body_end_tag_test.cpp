// Which "</body>" end tag the tree builder honours, and whether only html
// and body were open then: the place where markup can go into the body.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "addin/platform/html/document.h"

namespace tervane::html {
namespace {

struct BodyEndCase {
  const char* name;
  const char* page;
  /// Which occurrence of "</body" (case-insensitively, counting from 0)
  /// is the honoured one; -1 for none.
  int occurrence;
  bool clean;
  bool scripting = true;
};

std::optional<std::size_t> Occurrence(const std::string& page, int occurrence) {
  if (occurrence < 0) return std::nullopt;
  std::string lower = page;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::size_t at = lower.find("</body");
  for (int i = 0; i < occurrence && at != std::string::npos; ++i) at = lower.find("</body", at + 1);
  return at;
}

const BodyEndCase kCases[] = {
    {"Plain", "<!DOCTYPE html><html><body><p>x</p></body></html>", 0, true},
    {"Uppercase", "<HTML><BODY>x</BODY ></HTML>", 0, true},
    {"ClosedElementsBefore", "<body><div><p>x</p></div></body>", 0, true},
    {"LastOfTwoWins", "<body>a</body>b</body>", 1, true},
    {"AfterTheHtmlEndTag", "<body></body></html></body>", 1, true},
    {"FromTheHead", "<head><title>t</title></body>", 0, true},
    {"InTableIgnored", "<body><table></body></table></body>", 1, true},
    {"InCellIgnored", "<table><td></body>", -1, false},
    {"InTemplateIgnored", "<body><template></body></template></body>", 1, true},
    {"InSelectIgnored", "<body><select></body></select></body>", 1, true},
    {"InComment", "<body><!-- </body> --></body>", 1, true},
    {"InScript", "<body><script>'</body>'</script></body>", 1, true},
    {"InStyle", "<body><style></body></style></body>", 1, true},
    {"InAttributeValue", "<body><a title=\"</body>\">x</a></body>", 1, true},
    {"InTextarea", "<body><textarea></body></textarea></body>", 1, true},
    {"InTitle", "<title></body></title><body></body>", 1, true},
    {"InNoscriptWithScripting", "<body><noscript></body></noscript></body>", 1, true},
    {"InNoscriptWithoutScripting", "<body><noscript></body>", 0, false, false},
    {"InPlaintext", "<plaintext></body>", -1, false},
    {"InCdataOfSvg", "<svg><![CDATA[</body>]]></svg></body>", 1, true},
    {"BreaksOutOfSvg", "<body><svg><g></body>", 0, false},
    {"NotOutOfForeignObject", "<body><svg><foreignObject></body>", -1, false},
    {"OutOfMath", "<math><mo/></body>", 0, false},
    {"NotOutOfMathText", "<math><mi></body>", -1, false},
    {"UnclosedDiv", "<body><div>x</body>", 0, false},
    {"UnclosedBold", "<body><b>x</body>", 0, false},
    {"UnclosedParagraph", "<p>x</body>", 0, false},
    {"UnclosedListItem", "<ul><li>x</body>", 0, false},
    {"Missing", "<p>x</p>", -1, false},
    {"Empty", "", -1, false},
    {"Frameset", "<frameset></frameset></body>", -1, false},
    {"FramesetBeforeBody", "<frameset><frame></frameset><body></body>", -1, false},
};

class BodyEndTagTest : public testing::TestWithParam<BodyEndCase> {};

TEST_P(BodyEndTagTest, IsTheHonouredEndTag) {
  const BodyEndCase& test = GetParam();
  const ParseResult result = Parse(test.page, {.scripting = test.scripting});
  EXPECT_EQ(result.bodyEndTag, Occurrence(test.page, test.occurrence));
  EXPECT_EQ(result.bodyClosedClean, test.clean);
}

INSTANTIATE_TEST_SUITE_P(Pages, BodyEndTagTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<BodyEndCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace tervane::html
