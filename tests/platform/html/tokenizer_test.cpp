#include "addin/platform/html/tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace tervane::html {
namespace {

using namespace std::string_literals;

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\0') {
      out += "\\0";
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string Describe(const Token& token) {
  switch (token.kind) {
    case TokenKind::kDoctype: {
      std::string out = "Doctype";
      if (token.hasName) out += " " + token.name;
      if (token.publicId) out += " public=" + Quoted(*token.publicId);
      if (token.systemId) out += " system=" + Quoted(*token.systemId);
      return token.forceQuirks ? out + " quirks" : out;
    }
    case TokenKind::kStartTag:
    case TokenKind::kEndTag: {
      std::string out = token.kind == TokenKind::kStartTag ? "StartTag " : "EndTag ";
      out += token.name;
      for (const Attribute& attribute : token.attributes) {
        out += " " + attribute.name + "=" + Quoted(attribute.value);
      }
      return token.selfClosing ? out + " /" : out;
    }
    case TokenKind::kComment:
      return "Comment " + Quoted(token.data);
    case TokenKind::kCharacters:
      return "Characters " + Quoted(token.data);
    case TokenKind::kEndOfFile:
      return "EOF";
  }
  return "?";
}

struct Options {
  /// The state the tokenizer switches to after the first start tag, as the
  /// tree builder does after title, style, script or plaintext.
  TextState afterFirstStartTag = TextState::kData;
  bool cdataAllowed = false;
  /// Each token prefixed with "@offset", and the end of file shown.
  bool offsets = false;
};

// The tokens of `input`, one reused Token for all. Without offsets,
// adjacent runs of characters are shown as one: where a run is split is
// the tokenizer's choice.
std::string Tokens(std::string_view input, Options options = {}) {
  Tokenizer tokenizer(input);
  tokenizer.SetCdataAllowed(options.cdataAllowed);
  Token token;
  std::string out;
  std::string text;
  bool inText = false;
  const auto add = [&out](const std::string& item) {
    if (!out.empty()) out += " | ";
    out += item;
  };
  bool switched = false;
  for (int guard = 0; guard < 10000; ++guard) {
    tokenizer.Next(token);
    EXPECT_LE(token.offset, input.size());
    if (options.offsets) {
      add("@" + std::to_string(token.offset) + " " + Describe(token));
    } else if (token.kind == TokenKind::kCharacters) {
      text += token.data;
      inText = true;
    } else {
      if (inText) add("Characters " + Quoted(text));
      text.clear();
      inText = false;
      if (token.kind != TokenKind::kEndOfFile) add(Describe(token));
    }
    if (token.kind == TokenKind::kEndOfFile) break;
    if (token.kind == TokenKind::kStartTag && !switched) {
      tokenizer.SwitchTo(options.afterFirstStartTag);
      switched = true;
    }
  }
  return out;
}

struct Case {
  std::string input;
  std::string expected;
};

void Check(std::initializer_list<Case> cases, Options options = {}) {
  for (const Case& c : cases) {
    EXPECT_EQ(Tokens(c.input, options), c.expected) << "input: " << Quoted(c.input);
  }
}

const std::string kReplacement = "\xEF\xBF\xBD";

TEST(TokenizerTest, TagsAndAttributes) {
  Check({
      {"<a href=\"x\" HREF='y' c=d e>t</A >",
       R"(StartTag a href="x" c="d" e="" | Characters "t" | EndTag a)"},
      {"<A B=C>", R"(StartTag a b="C")"},
      {"<br/><img src=x/>", R"(StartTag br / | StartTag img src="x/")"},
      {"<a/b>", R"(StartTag a b="")"},
      {"<a b c=1 b=2 c=3 d>", R"(StartTag a b="" c="1" d="")"},
      {"<a x=\"1\"y='2'z>", R"(StartTag a x="1" y="2" z="")"},
      {"<a =b>", R"(StartTag a =b="")"},
      {"<a b= >", R"(StartTag a b="")"},
      {"<a b=\"c'd\" e='f\"g' h=i\"j'k`l=m<n>", R"(StartTag a b="c'd" e="f"g" h="i"j'k`l=m<n")"},
      {"<a b = 'c' / >", R"(StartTag a b="c")"},
      {"</a b=1 />", R"(EndTag a /)"},
      {"<h1>x</h1>", R"(StartTag h1 | Characters "x" | EndTag h1)"},
      {"a</>b", R"(Characters "ab")"},
      {"</ x>", R"(Comment " x")"},
      {"< a><1>a<b", R"(Characters "< a><1>a")"},
      {"x<", R"(Characters "x<")"},
      {"x</", R"(Characters "x</")"},
      {"<a b=\"c", ""},
      {"<a b", ""},
      {"<a\0b c\0=\0>"s,
       "StartTag a" + kReplacement + "b c" + kReplacement + "=\"" + kReplacement + "\""},
      {"<x-y:Z data-Q=1>", R"(StartTag x-y:z data-q="1")"},
  });
}

TEST(TokenizerTest, ReusedTokenKeepsNothingFromTheLastOne) {
  Check({
      {"<a x=1 y=2 z=3><b><!DOCTYPE html PUBLIC 'p'><!--c--></b><i w=4>t<u/>",
       R"(StartTag a x="1" y="2" z="3" | StartTag b | Doctype html public="p" | Comment "c" | )"
       R"(EndTag b | StartTag i w="4" | Characters "t" | StartTag u /)"},
      {"<a x=1 x=2 y=3><b y=4 y=5>", R"(StartTag a x="1" y="3" | StartTag b y="4")"},
  });
}

TEST(TokenizerTest, ManyAttributesKeepTheFirstOfEachName) {
  std::string input = "<a";
  std::string expected = "StartTag a";
  for (int k = 0; k < 40; ++k) {
    const std::string name = "n" + std::to_string(k % 30);
    input += " " + name + "=" + std::to_string(k);
    if (k < 30) expected += " " + name + "=\"" + std::to_string(k) + "\"";
  }
  Check({{input + ">", expected}});
}

TEST(TokenizerTest, Comments) {
  Check({
      {"<!--x-->", R"(Comment "x")"},
      {"<!---->", R"(Comment "")"},
      {"<!-->a", R"(Comment "" | Characters "a")"},
      {"<!--->a", R"(Comment "" | Characters "a")"},
      {"<!-- a -- b -->", R"(Comment " a -- b ")"},
      {"<!--a---->", R"(Comment "a--")"},
      {"<!--a--!>b", R"(Comment "a" | Characters "b")"},
      {"<!--a--!-->", R"(Comment "a--!")"},
      {"<!--a<!--b-->", R"(Comment "a<!--b")"},
      {"<!--a<!-->", R"(Comment "a<!")"},
      {"<!--a<!--->", R"(Comment "a<!-")"},
      {"<!--<<!x-->", R"(Comment "<<!x")"},
      {"<!--a", R"(Comment "a")"},
      {"<!--a-", R"(Comment "a")"},
      {"<!--a--", R"(Comment "a")"},
      {"<!--a--!", R"(Comment "a")"},
      {"<!-", R"(Comment "-")"},
      {"<!x>y", R"(Comment "x" | Characters "y")"},
      {"<?php x?>", R"(Comment "?php x?")"},
      {"<![CDATA[x]]>", R"(Comment "[CDATA[x]]")"},
      {"<!--a\0b-->"s, "Comment \"a" + kReplacement + "b\""},
      {"<?a\0>"s, "Comment \"?a" + kReplacement + "\""},
  });
}

TEST(TokenizerTest, Doctypes) {
  Check({
      {"<!DOCTYPE html>", "Doctype html"},
      {"<!doctypeHTML>", "Doctype html"},
      {"<!DOCTYPE>", "Doctype quirks"},
      {"<!DOCTYPE", "Doctype quirks"},
      {"<!DOCTYPE html", "Doctype html quirks"},
      {"<!DOCTYPE html BOGUS>x", R"(Doctype html quirks | Characters "x")"},
      {"<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01//EN\" "
       "\"http://www.w3.org/TR/html4/strict.dtd\">",
       R"(Doctype html public="-//W3C//DTD HTML 4.01//EN" )"
       R"(system="http://www.w3.org/TR/html4/strict.dtd")"},
      {"<!DOCTYPE html SYSTEM 'about:legacy-compat'>",
       R"(Doctype html system="about:legacy-compat")"},
      {"<!DOCTYPE html public\"a\"'b'>", R"(Doctype html public="a" system="b")"},
      {"<!DOCTYPE html PUBLIC \"a>b", R"(Doctype html public="a" quirks | Characters "b")"},
      {"<!DOCTYPE html PUBLIC>", "Doctype html quirks"},
      {"<!DOCTYPE html SYSTEM>", "Doctype html quirks"},
      {"<!DOCTYPE html PUBLIC \"a\" x>", R"(Doctype html public="a" quirks)"},
      {"<!DOCTYPE html PUBLIC \"a\" \"b\" x>", R"(Doctype html public="a" system="b")"},
      {"<!DOCTYPE html SYSTEM \"b\"", R"(Doctype html system="b" quirks)"},
      {"<!DOCTYPE \0x>"s, "Doctype " + kReplacement + "x"},
  });
}

TEST(TokenizerTest, CharacterReferencesInText) {
  Check({
      {"&amp;&lt;&gt;&quot;", R"(Characters "&<>"")"},
      {"&AMP &copy x", R"(Characters "& © x")"},
      {"&notit; &notin; &notin", R"(Characters "¬it; ∉ ¬in")"},
      {"&ampx &xyz; & &; &", R"(Characters "&x &xyz; & &; &")"},
      {"&CounterClockwiseContourIntegral;&NotEqualTilde;", R"(Characters "∳≂̸")"},
      {"&#65;&#x41;&#X41&#0065x", R"(Characters "AAAAx")"},
      {"&#;&#x;&#xg;&#a", R"(Characters "&#;&#x;&#xg;&#a")"},
      {"&#x80;&#x81;&#150;&#x9F;", "Characters \"€\xC2\x81–Ÿ\""},
      {"&#x1F600;&#13;", "Characters \"😀\\r\""},
      {"&#0;|&#xD800;|&#x110000;|&#99999999999999999999;", "Characters \"" + kReplacement + "|" +
                                                               kReplacement + "|" + kReplacement +
                                                               "|" + kReplacement + "\""},
      {"<p>&amp;</p>", R"(StartTag p | Characters "&" | EndTag p)"},
  });
}

TEST(TokenizerTest, CharacterReferencesInAttributes) {
  Check({
      {"<a b=\"&amp\" c=\"&ampx\" d=\"&amp=\" e='&amp;x' f=&notit; g=&lt h=&#65x i=&nots>",
       R"(StartTag a b="&" c="&ampx" d="&amp=" e="&x" f="&notit;" g="<" h="Ax" i="&nots")"},
      {"<a b=\"&not;it&copy-&copy;\">", R"(StartTag a b="¬it©-©")"},
  });
}

TEST(TokenizerTest, TextStatesEndAtTheirOwnEndTag) {
  Check({{"<title>a<b>&lt;</titlex></p></title>c",
          R"(StartTag title | Characters "a<b><</titlex></p>" | EndTag title | Characters "c")"},
         {"<textarea>x</TEXTAREA\tfoo=\"bar\">",
          R"(StartTag textarea | Characters "x" | EndTag textarea)"},
         {"<title>x</title", R"(StartTag title | Characters "x</title")"},
         {"<title>\0</title>"s,
          "StartTag title | Characters \"" + kReplacement + "\" | EndTag title"}},
        {.afterFirstStartTag = TextState::kRcdata});
  Check({{"<style><!--&amp;</style>", R"(StartTag style | Characters "<!--&amp;" | EndTag style)"},
         {"<xmp></xmp/>", R"(StartTag xmp | EndTag xmp /)"}},
        {.afterFirstStartTag = TextState::kRawtext});
  Check({{"<plaintext></plaintext>&amp;\0"s,
          "StartTag plaintext | Characters \"</plaintext>&amp;" + kReplacement + "\""}},
        {.afterFirstStartTag = TextState::kPlaintext});
}

TEST(TokenizerTest, ScriptDataAndItsEscapes) {
  Check(
      {
          {"<script>a<b></scriptx></script>c",
           R"(StartTag script | Characters "a<b></scriptx>" | EndTag script | Characters "c")"},
          {"<script><!--a</script>b",
           R"(StartTag script | Characters "<!--a" | EndTag script | Characters "b")"},
          {"<script><!--<script></script>--></script>",
           R"(StartTag script | Characters "<!--<script></script>-->" | EndTag script)"},
          {"<script><!--<script>--></script>x",
           R"(StartTag script | Characters "<!--<script>-->" | EndTag script | Characters "x")"},
          {"<script><!--<script></script></script>",
           R"(StartTag script | Characters "<!--<script></script>" | EndTag script)"},
          {"<script><!--<scripts></script>",
           R"(StartTag script | Characters "<!--<scripts>" | EndTag script)"},
          {"<script><!-- --><script></script>",
           R"(StartTag script | Characters "<!-- --><script>" | EndTag script)"},
          {"<script><!--<SCRIPT>-</script>",
           R"(StartTag script | Characters "<!--<SCRIPT>-</script>")"},
          {"<script><!-x</script>", R"(StartTag script | Characters "<!-x" | EndTag script)"},
          {"<script><!---->--></script>",
           R"(StartTag script | Characters "<!---->-->" | EndTag script)"},
          {"<script>\0<!--\0-\0<script>\0</script>"s,
           "StartTag script | Characters \"" + kReplacement + "<!--" + kReplacement + "-" +
               kReplacement + "<script>" + kReplacement + "</script>\""},
      },
      {.afterFirstStartTag = TextState::kScriptData});
}

TEST(TokenizerTest, CdataSectionsWhereAllowed) {
  Check(
      {
          {"<![CDATA[a<b>&amp;]]>", R"(Characters "a<b>&amp;")"},
          {"<![CDATA[a]]]>", R"(Characters "a]")"},
          {"<![CDATA[a]b]]c]]>", R"(Characters "a]b]]c")"},
          {"<![CDATA[a]]", R"(Characters "a]]")"},
          {"<![CDATA[]]>x", R"(Characters "x")"},
          {"<![cdata[x]]>", R"(Comment "[cdata[x]]")"},
          {"<![CDATA[\0]]>"s, "Characters \"" + kReplacement + "\""},
      },
      {.cdataAllowed = true});
}

TEST(TokenizerTest, LineBreaksReadAsLineFeeds) {
  Check({
      {"a\r\nb\rc\n\rd\r", R"(Characters "a\nb\nc\n\nd\n")"},
      {"<a b=\"x\r\ny\"\rc='\r'>", R"(StartTag a b="x\ny" c="\n")"},
      {"<!--\r\n-->", R"(Comment "\n")"},
      {"<!DOCTYPE\rhtml\r\nPUBLIC\r'a\rb'>", R"(Doctype html public="a\nb")"},
  });
  Check({{"<title>\r\n</title\r\n>", R"(StartTag title | Characters "\n" | EndTag title)"}},
        {.afterFirstStartTag = TextState::kRcdata});
}

TEST(TokenizerTest, BytesThatAreNotUtf8ReadAsReplacementCharacters) {
  const std::string& r = kReplacement;
  Check({
      {"a\xFF"
       "b",
       "Characters \"a" + r + "b\""},
      {"\xC3", "Characters \"" + r + "\""},
      {"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", "Characters \"é€😀\""},
      {"\xC0\xAF", "Characters \"" + r + r + "\""},
      {"\xED\xA0\x80", "Characters \"" + r + r + r + "\""},
      {"\xF4\x90\x80\x80", "Characters \"" + r + r + r + r + "\""},
      {"\xE2\x82<p>", "Characters \"" + r + r + "\" | StartTag p"},
      {"<a \xFF=\xFE>", "StartTag a " + r + "=\"" + r + "\""},
      {"<\xFF", "Characters \"<" + r + "\""},
      {"a\0b"s, "Characters \"a\\0b\""},
  });
}

TEST(TokenizerTest, OffsetsPointAtTheFirstByteOfEachToken) {
  Check(
      {
          {"ab<p>cd</p>",
           "@0 Characters \"ab\" | @2 StartTag p | @5 Characters \"cd\" | @7 EndTag p | "
           "@11 EOF"},
          {"\r\n<p>\xC3\xA9\r</p>",
           "@0 Characters \"\\n\" | @2 StartTag p | @5 Characters \"é\\n\" | @8 EndTag p | @12 "
           "EOF"},
          {"<!--x--><!DOCTYPE html><?x></ x>",
           "@0 Comment \"x\" | @8 Doctype html | @23 Comment \"?x\" | @27 Comment \" x\" | @32 "
           "EOF"},
          {"&lt;<b>", "@0 Characters \"<\" | @4 StartTag b | @7 EOF"},
          {"\xEF\xBB\xBF"
           "a<p>\xEF\xBB\xBF",
           "@3 Characters \"a\" | @4 StartTag p | @7 Characters \"\xEF\xBB\xBF\" | @10 EOF"},
      },
      {.offsets = true});
  Check({{"<title>a\r\n</title>",
          "@0 StartTag title | @7 Characters \"a\\n\" | @10 EndTag title | @18 EOF"}},
        {.afterFirstStartTag = TextState::kRcdata, .offsets = true});
  Check({{"<script>a<!--</script>",
          "@0 StartTag script | @8 Characters \"a<!--\" | @13 EndTag script | @22 EOF"}},
        {.afterFirstStartTag = TextState::kScriptData, .offsets = true});
  Check({{"a<![CDATA[x]]>y",
          "@0 Characters \"a\" | @1 Characters \"x\" | @14 Characters \"y\" | @15 EOF"}},
        {.cdataAllowed = true, .offsets = true});
}

TEST(TokenizerTest, KeepsAnsweringEndOfFile) {
  Tokenizer tokenizer("<p>x");
  Token token;
  for (int k = 0; k < 2; ++k) tokenizer.Next(token);
  for (int k = 0; k < 3; ++k) {
    tokenizer.Next(token);
    EXPECT_EQ(token.kind, TokenKind::kEndOfFile);
    EXPECT_EQ(token.offset, 4u);
  }
}

}  // namespace
}  // namespace tervane::html
