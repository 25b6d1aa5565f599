#include "addin/dialog/linkaddress/thumbnail_rules.h"

#include <gtest/gtest.h>

#include <set>

namespace tervane {
namespace {

TEST(ThumbnailRulesTest, SizesKeepTheAspectAndOfferTwiceOnlyFromLargeOriginals) {
  const struct {
    PictureSize shown;
    std::uint32_t edge;
    std::optional<PictureSize> size;
    std::optional<PictureSize> size2x;
  } cases[] = {
      {{4000, 3000}, 320, {{320, 240}}, {{640, 480}}},  // landscape
      {{3000, 4000}, 320, {{240, 320}}, {{480, 640}}},  // portrait
      {{1000, 1000}, 320, {{320, 320}}, {{640, 640}}},
      {{2560, 1440}, 320, {{320, 180}}, {{640, 360}}},
      {{1366, 768}, 320, {{320, 180}}, {{640, 360}}},  // 179.9 and 359.8 rounded
      {{639, 480}, 320, {{320, 240}}, std::nullopt},   // not enough pixels for 640
      {{640, 10}, 320, {{320, 5}}, {{640, 10}}},
      {{5000, 3}, 320, {{320, 1}}, {{640, 1}}},  // never below one pixel
      {{321, 200}, 320, {{320, 199}}, std::nullopt},
      {{320, 200}, 320, std::nullopt, std::nullopt},  // too small to shrink
      {{16, 16}, 320, std::nullopt, std::nullopt},
      {{4000, 3000}, 1000, {{1000, 750}}, {{2000, 1500}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.shown.width << "x" << c.shown.height << " at " << c.edge);
    const std::optional<ThumbnailPlan> plan = PlanThumbnails(c.shown, c.edge);
    ASSERT_EQ(plan.has_value(), c.size.has_value());
    if (!plan) continue;
    EXPECT_EQ(plan->size, *c.size);
    EXPECT_EQ(plan->size2x, c.size2x);
  }
}

TEST(ThumbnailRulesTest, NamesAndAddresses) {
  EXPECT_EQ(ThumbnailFormat(PictureFormat::kGif), PictureFormat::kPng);

  EXPECT_EQ(ThumbnailName("IMG 1.jpg", {320, 240}, PictureFormat::kJpeg), "IMG 1.jpg.320x240.jpg");
  EXPECT_EQ(ThumbnailName("a.gif", {20, 320}, PictureFormat::kPng), "a.gif.20x320.png");

  const struct {
    std::string_view original, folder, name, expected;
  } cases[] = {
      {"img/a.jpg", "thumbs", "a.jpg.2x1.jpg", "img/thumbs/a.jpg.2x1.jpg"},
      {"a.jpg", "thumbs", "a.jpg.2x1.jpg", "thumbs/a.jpg.2x1.jpg"},
      {"../x/%23 1.jpg", "t/small", "# 1.jpg.2x1.jpg", "../x/t/small/%23 1.jpg.2x1.jpg"},
      {"./a:b.jpg", "thumbs", "a:b.jpg.2x1.jpg", "./thumbs/a:b.jpg.2x1.jpg"},
      {"%20lead.jpg", "thumbs", " lead.jpg.2x1.jpg", "thumbs/ lead.jpg.2x1.jpg"},
      {"img/a.jpg", "50% off", "a.jpg.2x1.jpg", "img/50%25 off/a.jpg.2x1.jpg"},
      {"img/a.jpg", "x:y", "a.jpg.2x1.jpg", "img/x:y/a.jpg.2x1.jpg"},
      {"file:///C:/p/a.jpg", "thumbs", "a.jpg.2x1.jpg", "file:///C:/p/thumbs/a.jpg.2x1.jpg"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.original << " in " << c.folder);
    EXPECT_EQ(ThumbnailAddress(c.original, c.folder, c.name), c.expected);
  }

  for (const std::string_view good : {"thumbs", "a/b", "写真 小", ".hidden"}) {
    EXPECT_TRUE(IsThumbnailFolder(good)) << good;
  }
  for (const std::string_view bad :
       {"", "/abs", "a/", "a//b", "..", "a/../b", ".", "a\\b", "C:x"}) {
    EXPECT_FALSE(IsThumbnailFolder(bad)) << bad;
  }
}

TEST(ThumbnailRulesTest, StaleWhenMissingOrOlderThanTheOriginal) {
  EXPECT_TRUE(ThumbnailIsStale(std::nullopt, 100));
  EXPECT_TRUE(ThumbnailIsStale(99, 100));
  EXPECT_FALSE(ThumbnailIsStale(100, 100));
  EXPECT_FALSE(ThumbnailIsStale(101, 100));
}

TEST(ThumbnailRulesTest, TheManifestListsWhatWasMadeAndOnlyThatGoes) {
  const std::vector<ManifestEntry> made = {
      {"b.jpg", "b.jpg.2x1.jpg"},
      {"a\tb%\n.png", "a\tb%\n.png.2x1.png"},
      {"gone.jpg", "gone.jpg.2x1.jpg"},
  };
  const std::vector<ManifestEntry> listed = WithEntries({{"b.jpg", "b.jpg.2x1.jpg"}}, made);
  ASSERT_EQ(listed.size(), 3u);
  EXPECT_EQ(listed.front().original, "a\tb%\n.png");
  EXPECT_EQ(ReadManifest(ManifestText(listed)), listed);
  EXPECT_EQ(ManifestText({{"a%", "t\tx"}}), "a%25\tt%09x\n");
  // Lines that are not ours, or name anything but a thumbnail of their
  // original in the folder (a manifest that others wrote), are never read as
  // entries, so that their files are never deleted.
  EXPECT_EQ(ReadManifest("junk\n\tx.jpg\na.jpg\t../a.jpg\na.jpg\t\nb%zz\tb.jpg\n"
                         "c\tc.jpg\n..\t...1x1.jpg\nd\\..\td\\...1x1.png\ne\te.1x1.jpg.gz\n"
                         "f\tf.12x3.jpg\ng\tg.1x.png\nh\th.1x1.gif\n"),
            (std::vector<ManifestEntry>{{"f", "f.12x3.jpg"}}));

  const std::set<std::string> present = {"b.jpg", "a\tb%\n.png"};
  const ManifestSplit split =
      SplitByOriginal(listed, [&](const std::string& name) { return present.contains(name); });
  EXPECT_EQ(split.deleted, (std::vector<ManifestEntry>{{"gone.jpg", "gone.jpg.2x1.jpg"}}));
  EXPECT_EQ(split.kept.size(), 2u);
}

}  // namespace
}  // namespace tervane
