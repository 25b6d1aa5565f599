// `link` and `sync` with thumbnails, end to end on real pictures that
// ImageMagick draws and exiftool marks: ImageMagick's -auto-orient and
// identify say what each thumbnail must show, exiftool what it must not
// carry.
#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <map>

#include "tests/cli/tervane_fixture.h"

namespace tervane::testing {
namespace {

namespace fs = std::filesystem;

class ThumbnailTest : public TervaneTest {
 protected:
  // Runs `command` in the test's folder; its output without the last
  // line break.
  std::string Sh(const std::string& command) {
    const std::string full = "cd " + Quote(dir.Path().string()) + " && " + command;
    std::string output;
    FILE* pipe = ::popen(full.c_str(), "r");
    if (!pipe) return output;
    std::array<char, 4096> buffer{};
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) {
      output.append(buffer.data(), n);
    }
    EXPECT_EQ(::pclose(pipe), 0) << command;
    while (!output.empty() && output.back() == '\n') output.pop_back();
    return output;
  }
  std::string Identify(const std::string& path, const std::string& format = "%wx%h") {
    return Sh("identify -format " + Quote(format) + " " + Quote(path) + "[0]");
  }
  // Where the picture is red ("R") or not ("-") near its four corners, as
  // shown.
  std::string Corners(const std::string& path) {
    std::string corners;
    for (const char* at : {"w*0.1,h*0.1", "w*0.9,h*0.1", "w*0.1,h*0.9", "w*0.9,h*0.9"}) {
      const std::string p = std::string("p{") + at + "}";
      corners +=
          Sh("convert " + Quote(path) + "[0] -auto-orient -colorspace sRGB -format '%[fx:" + p +
             ".r > 0.5 && " + p + ".b < 0.5]' info:") == "1"
              ? 'R'
              : '-';
    }
    return corners;
  }
  static std::int64_t Time(const fs::path& path) {
    struct stat status {};
    ::stat(path.c_str(), &status);
    return status.st_mtim.tv_sec * 1000000000LL + status.st_mtim.tv_nsec;
  }
};

// A block on a folder of every kind of picture: each original gets the
// thumbnails its size calls for, turned upright, in sRGB, without metadata;
// the page shows them and links to the originals.
TEST_F(ThumbnailTest, EachPictureGetsTheThumbnailsItsSizeCallsFor) {
  fs::create_directories(dir.Path() / "site/img");
  // A red block at the top left of a blue picture shows which way it is
  // turned.
  const auto marked = [](int width, int height) {
    return "-fill red -draw 'rectangle 0,0 " + std::to_string(width / 4) + "," +
           std::to_string(height / 4) + "'";
  };
  Sh("cd site/img && "
     "convert -size 800x600 xc:blue " +
     marked(800, 600) +
     " landscape.jpg && "
     "exiftool -q -overwrite_original -GPSLatitude=35.6 -GPSLatitudeRef=N "
     "-Artist=me landscape.jpg && "
     "convert -size 600x800 xc:blue " +
     marked(600, 800) +
     " 'portrait #1.jpg' && "
     "convert -size 700x350 xc:blue " +
     marked(700, 350) +
     " -interlace JPEG progressive.jpg && "
     "convert -size 500x500 xc:blue " +
     marked(500, 500) +
     " -colorspace CMYK cmyk.jpg && "
     "convert -size 500x400 xc:none -fill red -draw 'circle 250,200 250,50' alpha.png && "
     "convert -size 400x300 xc:red xc:blue anim.gif && "
     "convert -size 100x80 xc:red small.png && "
     // A header that reads, and no picture after it.
     "convert -size 800x600 xc:blue -strip plain.jpg && python3 -c \"import sys; "
     "d = open('plain.jpg', 'rb').read(); "
     "open('cut.jpg', 'wb').write(d[:d.index(b'\\\\xff\\\\xda')] + b'\\\\xff\\\\xd9')\" && "
     "rm plain.jpg && "
     "echo 'not a picture' > text.jpg");
  for (int orientation = 1; orientation <= 8; ++orientation) {
    const std::string name = "turned" + std::to_string(orientation) + ".jpg";
    Sh("cd site/img && convert -size 400x200 xc:blue " + marked(400, 200) + " " + name +
       " && exiftool -q -overwrite_original -n -Orientation=" + std::to_string(orientation) + " " +
       name);
  }
  dir.Write("site/p.htm", Page(""));
  const Result r = Run({"sync", "site/p.htm", "--folder", "site/img", "--mode", "image-link",
                        "--thumbs", "--kinds", "jpeg,gif-png"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string page = TempDir::Read((dir.Path() / "site/p.htm").string());

  struct Case {
    std::string name;
    std::string thumbnail;  // "" when the original is shown
    std::string size;       // in the markup, and the thumbnail's own
    std::string thumbnail2x = {};
    std::string format = "JPEG";
  };
  std::vector<Case> cases = {
      {"landscape.jpg", "landscape.jpg.320x240.jpg", "320x240", "landscape.jpg.640x480.jpg"},
      {"portrait #1.jpg", "portrait #1.jpg.240x320.jpg", "240x320", "portrait #1.jpg.480x640.jpg"},
      {"progressive.jpg", "progressive.jpg.320x160.jpg", "320x160", "progressive.jpg.640x320.jpg"},
      {"cmyk.jpg", "cmyk.jpg.320x320.jpg", "320x320"},
      {"alpha.png", "alpha.png.320x256.png", "320x256", "", "PNG"},
      {"anim.gif", "anim.gif.320x240.png", "320x240", "", "PNG"},
      {"small.png", "", "100x80"},
  };
  for (int orientation = 1; orientation <= 8; ++orientation) {
    const std::string name = "turned" + std::to_string(orientation) + ".jpg";
    const std::string size = orientation >= 5 ? "160x320" : "320x160";
    cases.push_back({name, name + "." + size + ".jpg", size});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string original = "site/img/" + c.name;
    std::string address = c.name;
    if (const std::size_t hash = address.find('#'); hash != std::string::npos) {
      address.replace(hash, 1, "%23");
    }
    const std::string width = c.size.substr(0, c.size.find('x'));
    const std::string height = c.size.substr(c.size.find('x') + 1);
    std::string src = "img/" + address;
    std::string srcset;
    if (!c.thumbnail.empty()) {
      src = "img/thumbs/" + c.thumbnail.substr(0, c.thumbnail.find('#')) +
            (c.thumbnail.find('#') == std::string::npos
                 ? ""
                 : "%23" + c.thumbnail.substr(c.thumbnail.find('#') + 1));
    }
    if (!c.thumbnail2x.empty()) {
      std::string shown = c.thumbnail2x;
      if (const std::size_t hash = shown.find('#'); hash != std::string::npos) {
        shown.replace(hash, 1, "%23");
      }
      if (const std::size_t blank = shown.find(' '); blank != std::string::npos) {
        shown.replace(blank, 1, "%20");
      }
      srcset = " srcset=\"img/thumbs/" + shown + " 2x\"";
    }
    const std::string markup = "<a href=\"img/" + address + "\"><img src=\"" + src + "\"" + srcset +
                               " width=\"" + width + "\" height=\"" + height + "\"></a>";
    EXPECT_NE(page.find(markup), std::string::npos) << markup << "\n" << page;
    if (c.thumbnail.empty()) continue;
    const std::string thumbnail = "site/img/thumbs/" + c.thumbnail;
    EXPECT_EQ(Identify(thumbnail, "%m %wx%h %[colorspace]"), c.format + " " + c.size + " sRGB");
    if (!c.thumbnail2x.empty()) {
      const std::string large = "site/img/thumbs/" + c.thumbnail2x;
      EXPECT_EQ(Identify(large, "%m"), c.format);
      EXPECT_EQ(Corners(large), Corners(original));
    }
    // What a browser shows of the original, the thumbnail shows upright.
    if (c.name != "alpha.png") {
      EXPECT_EQ(Corners(thumbnail), Corners(original));
    }
    EXPECT_EQ(Sh("exiftool -q -q -s3 -EXIF:all -XMP:all -IPTC:all -ICC_Profile:all " +
                 Quote(thumbnail) + " | wc -l"),
              "0");
  }
  const std::string opaque = Identify("site/img/thumbs/alpha.png.320x256.png", "%[opaque]");
  EXPECT_TRUE(opaque == "False" || opaque == "false") << opaque;
  // The two that cannot be decoded are shown as before and named.
  for (const char* name : {"cut.jpg", "text.jpg"}) {
    EXPECT_NE(
        page.find("<a href=\"img/" + std::string(name) + "\"><img src=\"img/" + name + "\"></a>"),
        std::string::npos)
        << name;
    EXPECT_NE(r.err.find(std::string("site/img/") + name), std::string::npos) << r.err;
  }
  // In the list's order, though pictures are decoded several at a time.
  EXPECT_LT(r.err.find("cut.jpg"), r.err.find("text.jpg")) << r.err;
  EXPECT_EQ(r.err.find("small.png"), std::string::npos) << r.err;
}

// Thumbnails are made when missing or older than their originals, and go
// when their originals go; nothing else in the folder is touched, and a
// sync that changes nothing decodes nothing.
TEST_F(ThumbnailTest, ThumbnailsFollowTheirOriginals) {
  fs::create_directories(dir.Path() / "site/img/small");
  Sh("cd site/img && convert -size 800x600 xc:blue a.jpg && convert -size 700x500 xc:red b.png");
  // Files of the user's, one named as a thumbnail of ours would be.
  dir.Write("site/img/small/mine.jpg", "mine");
  dir.Write("site/img/small/gone.jpg.320x240.jpg", "mine too");
  const fs::path small = dir.Path() / "site/img/small";
  dir.Write("site/p.htm", Page(""));
  const auto sync = [&](std::vector<std::string> more = {}) {
    std::vector<std::string> args = {"sync", "site/p.htm"};
    args.insert(args.end(), more.begin(), more.end());
    const Result r = Run(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    return r;
  };
  sync({"--folder", "site/img", "--mode", "image", "--thumbs=small", "--thumb-size", "200"});
  const std::set<std::string> all = {
      ".tervane-thumbs",   "a.jpg.200x150.jpg",    "a.jpg.400x300.jpg", "b.png.200x143.png",
      "b.png.400x286.png", "gone.jpg.320x240.jpg", "mine.jpg"};
  EXPECT_EQ(TempDir::Names(small), all);
  const std::string page = TempDir::Read((dir.Path() / "site/p.htm").string());
  EXPECT_NE(page.find("<!-- tervane folder=\"img\" kinds=\"jpeg,gif-png\" mode=\"image\" "
                      "thumbs=\"small\" thumb-size=\"200\" -->"),
            std::string::npos)
      << page;

  std::map<std::string, std::int64_t> times;
  for (const std::string& name : all) times[name] = Time(small / name);
  // The original's pixels spoilt behind its header, its time kept: a sync
  // that decoded it would say so.
  Sh("cd site/img && cp -p a.jpg keep && head -c 400 keep > a.jpg && "
     "head -c 3000 /dev/urandom >> a.jpg && touch -r keep a.jpg && rm keep");
  sync();
  EXPECT_EQ(TempDir::Read((dir.Path() / "site/p.htm").string()), page);
  for (const std::string& name : all) EXPECT_EQ(Time(small / name), times[name]) << name;

  // A newer original: its thumbnails are made again, the others stay.
  Sh("touch -d '+2 seconds' site/img/b.png");
  sync();
  EXPECT_NE(Time(small / "b.png.200x143.png"), times["b.png.200x143.png"]);
  EXPECT_NE(Time(small / "b.png.400x286.png"), times["b.png.400x286.png"]);
  EXPECT_EQ(Time(small / "a.jpg.200x150.jpg"), times["a.jpg.200x150.jpg"]);

  // A dry run or a check makes and deletes nothing.
  fs::remove(dir.Path() / "site/img/b.png");
  fs::remove(small / "a.jpg.200x150.jpg");
  EXPECT_EQ(Run({"sync", "site/p.htm", "--dry-run"}).status, 0);
  EXPECT_EQ(Run({"sync", "site/p.htm", "--check"}).status, 1);
  EXPECT_EQ(TempDir::Names(small).size(), all.size() - 1);

  // The original gone: its thumbnails go with it, and only they.
  Sh("cd site/img && convert -size 800x600 xc:blue a.jpg");
  sync();
  EXPECT_EQ(TempDir::Names(small),
            (std::set<std::string>{".tervane-thumbs", "a.jpg.200x150.jpg", "a.jpg.400x300.jpg",
                                   "gone.jpg.320x240.jpg", "mine.jpg"}));
  EXPECT_EQ(TempDir::Read((small / ".tervane-thumbs").string()),
            "a.jpg\ta.jpg.200x150.jpg\na.jpg\ta.jpg.400x300.jpg\n");

  // The original replaced by a portrait: its line shows the new thumbnail
  // (a changed thumbnail is no hand edit); a line edited by hand stays.
  Sh("cd site/img && convert -size 600x800 xc:blue a.jpg && convert -size 700x500 xc:red b.png");
  sync();
  std::string turned = TempDir::Read((dir.Path() / "site/p.htm").string());
  EXPECT_NE(turned.find("<img src=\"img/small/a.jpg.150x200.jpg\" srcset=\"img/small/"
                        "a.jpg.300x400.jpg 2x\" width=\"150\" height=\"200\"><br>\n<img"),
            std::string::npos)
      << turned;
  EXPECT_EQ(turned.find("a.jpg.200x150.jpg"), std::string::npos) << turned;
  const std::string edited = "<img src=\"img/small/b.png.200x143.png\" title=\"Red\"";
  turned.replace(turned.find("<img src=\"img/small/b.png.200x143.png\""), 39, edited);
  dir.Write("site/p.htm", turned);
  sync();
  EXPECT_EQ(TempDir::Read((dir.Path() / "site/p.htm").string()), turned);

  // `link --dry-run` prints the markup and writes no thumbnail.
  fs::remove_all(small);
  const Result dry = Run(
      {"link", "site/p.htm", "--folder", "site/img", "--mode", "image", "--thumbs", "--dry-run"});
  EXPECT_EQ(dry.out,
            "<img src=\"img/thumbs/a.jpg.240x320.jpg\" srcset=\"img/thumbs/a.jpg.480x640.jpg "
            "2x\" width=\"240\" height=\"320\"><br>\n<img src=\"img/thumbs/b.png.320x229.png\" "
            "srcset=\"img/thumbs/b.png.640x457.png 2x\" width=\"320\" height=\"229\"><br>\n");
  EXPECT_FALSE(fs::exists(dir.Path() / "site/img/thumbs"));
}

}  // namespace
}  // namespace tervane::testing
