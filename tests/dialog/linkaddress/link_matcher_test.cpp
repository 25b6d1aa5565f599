#include "addin/dialog/linkaddress/link_matcher.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/support/nested_loop_matches.h"

namespace tervane {
namespace {

using Link = ReferenceLink;
using Matches = ReferenceMatches;

Matches MatcherMatches(const std::vector<std::string>& files, const std::vector<Link>& links) {
  LinkMatcher matcher(files);
  Matches matches;
  for (const Link& link : links) {
    matches.push_back(link.written ? matcher.Match(link.href, *link.written)
                                   : matcher.Match(link.href));
  }
  return matches;
}

TEST(LinkMatcherTest, InversionRules) {
  const std::vector<std::string> five = {"img/a.jpg", "img/b.jpg", "img/c.jpg", "img/d.jpg",
                                         "img/e.jpg"};
  const struct {
    std::string_view what;
    std::vector<std::string> files;
    std::vector<Link> links;
    Matches expected;
  } cases[] = {
      {"two of five linked", five, {{"img/d.jpg"}, {"img/b.jpg"}}, {3, 1}},
      {"three links to one file",
       five,
       {{"img/c.jpg"}, {"img/c.jpg"}, {"img/c.jpg"}},
       {2, std::nullopt, std::nullopt}},
      {"letter case differs", five, {{"IMG/A.JPG"}}, {std::nullopt}},
      {"two shortcuts with one target",
       {"http://x/", "a.jpg", "http://x/"},
       {{"http://x/"}, {"http://x/"}, {"http://x/"}},
       {0, 2, std::nullopt}},
      {"empty address of an unreadable shortcut", {"a.jpg", ""}, {{""}, {"a.jpg"}}, {1, 0}},
      {"no files", {}, {{"a.jpg"}}, {std::nullopt}},
      {"address as written", {"a.jpg", "b.jpg"}, {{"file:///C:/web/b.jpg", "b.jpg"}}, {1}},
      {"earlier of the two forms",
       {"x", "y"},
       {{"y", "x"}, {"y", "x"}, {"y", "x"}},
       {0, 1, std::nullopt}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(MatcherMatches(c.files, c.links), c.expected);
  }
}

TEST(LinkMatcherTest, SameAsNestedLoopOnGeneratedPages) {
  std::mt19937 engine(2024);
  const std::vector<std::string> addresses = {"a", "b", "c", "d", "", "A"};
  const auto pick = [&] { return addresses[engine() % addresses.size()]; };
  for (int round = 0; round < 5000; ++round) {
    std::vector<std::string> files(engine() % 12);
    for (std::string& file : files) file = pick();
    std::vector<Link> links(engine() % 16);
    for (Link& link : links) {
      link.href = pick();
      if (engine() % 2 == 0) link.written = pick();
    }
    const Matches expected = NestedLoopMatches(files, links);
    ASSERT_EQ(MatcherMatches(files, links), expected) << "round " << round;
  }
}

}  // namespace
}  // namespace tervane
