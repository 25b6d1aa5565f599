// Pictures as a gallery shows them, through the real `tervane`: in the order
// asked for, titled by their own metadata as exiftool reads it, loading
// lazily, with a class on every item; for `link` and for `sync` blocks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>

#include "tests/cli/tervane_fixture.h"

namespace tervane::testing {
namespace {

namespace fs = std::filesystem;

std::string Escaped(const std::string& text) {
  std::string escaped;
  for (const char c : text) {
    escaped += c == '&'   ? std::string("&amp;")
               : c == '<' ? std::string("&lt;")
               : c == '>' ? std::string("&gt;")
               : c == '"' ? std::string("&quot;")
                          : std::string(1, c);
  }
  return escaped;
}

class PicturesTest : public TervaneTest {
 protected:
  // Runs `command` in the test's folder; its standard output.
  std::string Shell(const std::string& command) {
    const std::string line = "cd " + Quote(dir.Path().string()) + " && (" + command + ") >" +
                             Quote(io / "shell") + " 2>/dev/null";
    EXPECT_EQ(std::system(line.c_str()), 0) << command;
    return TempDir::Read(io / "shell");
  }
  // A small picture made by ImageMagick, then given metadata by exiftool.
  void Picture(const std::string& path, const std::vector<std::string>& exiftool) {
    fs::create_directories((dir.Path() / path).parent_path());
    const std::string kind = path.substr(path.rfind('.'));
    if (!fs::exists(io.Path() / ("blank" + kind))) {
      Shell("convert -size 16x8 xc:gray " + Quote((io.Path() / ("blank" + kind)).string()));
    }
    fs::copy_file(io.Path() / ("blank" + kind), dir.Path() / path);
    if (exiftool.empty()) return;
    std::string command = "exiftool -q -m -overwrite_original";
    for (const std::string& arg : exiftool) command += " " + Quote(arg);
    Shell(command + " " + Quote(path));
  }
  // For each picture of `folder`, "name|title" as exiftool reads the sources
  // in the order of --alt: the first that holds more than blanks, its white
  // space made single spaces; the name without its extension for none.
  std::map<std::string, std::string> ExiftoolTitles(const std::string& folder) {
    const std::string lines = Shell(
        "exiftool -q -j -XMP-dc:Title -XMP-dc:Description -IPTC:Caption-Abstract "
        "-EXIF:ImageDescription -XPTitle -PNG:Title -PNG:Description " +
        Quote(folder) +
        " | python3 -c '\n"
        "import json, os, sys\n"
        "for e in json.load(sys.stdin):\n"
        "  name = os.path.basename(e[\"SourceFile\"])\n"
        "  title = os.path.splitext(name)[0]\n"
        "  for k in [\"Title\", \"Description\", \"Caption-Abstract\", \"ImageDescription\",\n"
        "            \"XPTitle\"]:\n"
        "    v = \" \".join(str(e.get(k, \"\")).split())\n"
        "    if v:\n"
        "      title = v\n"
        "      break\n"
        "  print(name + \"|\" + title)'");
    std::map<std::string, std::string> titles;
    std::size_t start = 0;
    for (std::size_t end; (end = lines.find('\n', start)) != std::string::npos; start = end + 1) {
      const std::string line = lines.substr(start, end - start);
      titles[line.substr(0, line.find('|'))] = line.substr(line.find('|') + 1);
    }
    return titles;
  }
  // "name|alt" of each picture that `link --mode image --alt` writes.
  std::map<std::string, std::string> TervaneTitles(const std::string& folder) {
    dir.Write("p.htm", Page(""));
    const Result r =
        Run({"link", "p.htm", "--folder", folder, "--mode", "image", "--alt", "--dry-run"});
    EXPECT_EQ(r.status, 0) << r.err;
    std::map<std::string, std::string> titles;
    std::size_t start = 0;
    for (std::size_t end; (end = r.out.find('\n', start)) != std::string::npos; start = end + 1) {
      const std::string line = r.out.substr(start, end - start);
      const std::size_t src = line.find("src=\"") + 5;
      const std::size_t alt = line.find("alt=\"") + 5;
      const std::string address = line.substr(src, line.find('"', src) - src);
      titles[address.substr(address.rfind('/') + 1)] = line.substr(alt, line.find('"', alt) - alt);
    }
    return titles;
  }
};

// The sources of a title in their order, in the character sets they declare,
// blanks as none: tervane's alt text is exiftool's reading, escaped.
TEST_F(PicturesTest, PicturesAreTitledByTheirOwnMetadata) {
  const std::string shiftJis = "\x8D\xF7\x82\xCC\x96\xD8\x81\x60\x87\x40";  // 桜の木～① in CP932
  const struct {
    std::string name;
    std::vector<std::string> exiftool;
    std::string title;
  } cases[] = {
      {"xmp-title.jpg", {"-XMP-dc:Title=夕焼け & \"海\" <b>"}, "夕焼け & \"海\" <b>"},
      {"xmp-description.jpg", {"-XMP-dc:Description=説明"}, "説明"},
      {"every-source.jpg",
       {"-EXIF:ImageDescription=4", "-IPTC:Caption-Abstract=3", "-XMP-dc:Description=2",
        "-XMP-dc:Title=1", "-XPTitle=5"},
       "1"},
      {"description-first.jpg",
       {"-XMP-dc:Description=2", "-IPTC:Caption-Abstract=3", "-EXIF:ImageDescription=4"},
       "2"},
      {"iptc-utf8.jpg",
       {"-IPTC:CodedCharacterSet=UTF8", "-IPTC:Caption-Abstract=富士山の朝",
        "-EXIF:ImageDescription=4"},
       "富士山の朝"},
      {"iptc-latin1.jpg",
       {"-charset", "iptc=latin", "-IPTC:Caption-Abstract=Café au lait"},
       "Café au lait"},
      {"exif.jpg", {"-EXIF:ImageDescription=Harbour\nat dawn"}, "Harbour at dawn"},
      {"xptitle.jpg", {"-XPTitle=窓のタイトル"}, "窓のタイトル"},
      {"blank.jpg",
       {"-EXIF:ImageDescription=                               ", "-XMP-dc:Title=  ",
        "-IPTC:Caption-Abstract= "},
       "blank"},
      {"blank-then-xptitle.jpg",
       {"-EXIF:ImageDescription=                               ", "-XPTitle=題"},
       "題"},
      {"none.jpg", {}, "none"},
      {"png-title.png", {"-PNG:Title=PNG の題"}, "PNG の題"},
      {"png-description.png", {"-PNG:Description=A & B"}, "A & B"},
      {"png-xmp.png", {"-XMP-dc:Title=XMP の題"}, "XMP の題"},
      {"none.png", {}, "none"},
  };
  for (const auto& c : cases) Picture("img/" + c.name, c.exiftool);
  // IPTC in Shift_JIS, undeclared: the bytes go in as they stand.
  Picture("img/iptc-shift-jis.jpg",
          {"-charset", "latin", "-charset", "iptc=latin", "-IPTC:Caption-Abstract=" + shiftJis});
  // A real photo whose XMP has minor faults (a duplicate property), given a
  // title.
  const std::string elephants = "/usr/share/backgrounds/mate/abstract/Elephants_3840x2160.jpg";
  fs::copy_file(elephants, dir.Path() / "img/elephants.jpg");
  Shell("exiftool -q -m -overwrite_original '-XMP-dc:Title=象の群れ' img/elephants.jpg");

  const std::map<std::string, std::string> exiftool = ExiftoolTitles("img");
  const std::map<std::string, std::string> tervane = TervaneTitles("img");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(exiftool.at(c.name), c.title);
    EXPECT_EQ(tervane.at(c.name), Escaped(c.title));
  }
  EXPECT_EQ(Shell("exiftool -b -charset latin -charset iptc=latin -IPTC:Caption-Abstract "
                  "img/iptc-shift-jis.jpg | iconv -f CP932 -t UTF-8"),
            "桜の木～①");
  EXPECT_EQ(tervane.at("iptc-shift-jis.jpg"), "桜の木～①");
  EXPECT_EQ(exiftool.at("elephants.jpg"), "象の群れ");
  EXPECT_EQ(tervane.at("elephants.jpg"), "象の群れ");
}

// Real photos and pictures as Debian ships them (blank ImageDescriptions of
// 31 spaces, a camera's name, XMP with minor faults): the same titles as
// exiftool's.
TEST_F(PicturesTest, RealPhotosGetTheTitlesExiftoolReads) {
  for (const fs::directory_entry& folder : fs::directory_iterator("/usr/share/backgrounds/mate")) {
    for (const fs::directory_entry& file : fs::directory_iterator(folder.path())) {
      fs::create_symlink(file.path(), dir.Path() / file.path().filename());
    }
  }
  const std::map<std::string, std::string> exiftool = ExiftoolTitles(".");
  const std::map<std::string, std::string> tervane = TervaneTitles(".");
  EXPECT_GE(tervane.size(), 20u);
  for (const auto& [name, title] : tervane) {
    SCOPED_TRACE(name);
    EXPECT_EQ(title, Escaped(exiftool.at(name)));
  }
}

// --sort and --reverse, for link and for a sync block: natural order, the
// date taken (the modification time for a picture without one), the
// modification time; ties by name.
TEST_F(PicturesTest, ItemsComeInTheOrderAsked) {
  const struct {
    const char* name;
    const char* taken;     // EXIF DateTimeOriginal, or none
    const char* modified;  // as `touch -d` reads it
  } pictures[] = {
      {"IMG_10.jpg", "2021:01:01 10:00:00", "2023-05-01 12:00"},
      {"IMG_2.jpg", "2020:06:01 08:00:00", "2023-04-01 12:00"},
      {"IMG_3.jpg", "2021:01:01 10:00:00", "2023-05-01 12:00"},
      {"img_1.jpg", nullptr, "2019-01-01 12:00"},
      {"a.png", nullptr, "2022-01-01 12:00"},
  };
  for (const auto& p : pictures) {
    Picture("site/img/" + std::string(p.name),
            p.taken ? std::vector<std::string>{"-DateTimeOriginal=" + std::string(p.taken)}
                    : std::vector<std::string>{});
    Shell("touch -d " + Quote(p.modified) + " site/img/" + p.name);
  }
  const struct {
    std::vector<std::string> options;
    std::vector<std::string> names;
  } cases[] = {
      {{}, {"a.png", "img_1.jpg", "IMG_10.jpg", "IMG_2.jpg", "IMG_3.jpg"}},
      {{"--sort", "name"}, {"a.png", "img_1.jpg", "IMG_10.jpg", "IMG_2.jpg", "IMG_3.jpg"}},
      {{"--sort", "natural"}, {"a.png", "img_1.jpg", "IMG_2.jpg", "IMG_3.jpg", "IMG_10.jpg"}},
      {{"--sort", "taken"}, {"img_1.jpg", "IMG_2.jpg", "IMG_10.jpg", "IMG_3.jpg", "a.png"}},
      {{"--sort", "modified"}, {"img_1.jpg", "a.png", "IMG_2.jpg", "IMG_10.jpg", "IMG_3.jpg"}},
      {{"--reverse"}, {"IMG_3.jpg", "IMG_2.jpg", "IMG_10.jpg", "img_1.jpg", "a.png"}},
      {{"--sort", "natural", "--reverse"},
       {"IMG_10.jpg", "IMG_3.jpg", "IMG_2.jpg", "img_1.jpg", "a.png"}},
      {{"--sort", "taken", "--reverse"},
       {"a.png", "IMG_3.jpg", "IMG_10.jpg", "IMG_2.jpg", "img_1.jpg"}},
  };
  for (const auto& c : cases) {
    std::string lines, settings = "folder=\"img\" kinds=\"jpeg,gif-png\" mode=\"text\"";
    for (const std::string& name : c.names) {
      lines += "<a href=\"img/" + name + "\">" + name + "</a><br>\n";
    }
    for (const std::string& option : c.options) {
      if (option == "--reverse") continue;
      if (option != "--sort" && option != "name") settings += " sort=\"" + option + "\"";
    }
    if (std::find(c.options.begin(), c.options.end(), "--reverse") != c.options.end()) {
      settings += " reverse";
    }
    SCOPED_TRACE(settings);
    dir.Write("site/p.htm", Page(""));
    std::vector<std::string> link = {"link", "site/p.htm", "--folder", "site/img", "--dry-run"};
    link.insert(link.end(), c.options.begin(), c.options.end());
    const Result linked = Run(link);
    EXPECT_EQ(linked.status, 0) << linked.err;
    EXPECT_EQ(linked.out, lines);

    std::vector<std::string> sync = {"sync", "site/p.htm", "--folder", "site/img"};
    sync.insert(sync.end(), c.options.begin(), c.options.end());
    const Result synced = Run(sync);
    EXPECT_EQ(synced.status, 0) << synced.err;
    const std::string page =
        Page("\n<!-- tervane " + settings + " -->\n" + lines + "<!-- /tervane -->");
    EXPECT_EQ(TempDir::Read(dir / "site/p.htm"), page);
    // The block keeps its order by itself.
    EXPECT_EQ(Run({"sync", "site/p.htm", "--check"}).status, 0);
  }
}

// --lazy and --class: the attributes on the picture and on each item's
// outer element, in every mode and for shortcuts; as block settings they
// are written into the start comment and read back.
TEST_F(PicturesTest, ItemsCarryLazyLoadingAndAClass) {
  Images("site/img", {"a.jpg"});
  dir.Write("site/img/news.url", "[InternetShortcut]\r\nURL=https://example.jp/\r\n");
  const struct {
    std::vector<std::string> options;
    std::string block;  // the settings the start comment gets
    std::string lines;
  } cases[] = {
      {{"--mode", "image", "--lazy"},
       "mode=\"image\" lazy",
       "<img src=\"img/a.jpg\" loading=\"lazy\" decoding=\"async\"><br>\n"},
      {{"--mode", "image-link", "--lazy", "--class", "gallery \"big\""},
       "mode=\"image-link\" lazy class=\"gallery &quot;big&quot;\"",
       "<a href=\"img/a.jpg\" class=\"gallery &quot;big&quot;\"><img src=\"img/a.jpg\" "
       "loading=\"lazy\" decoding=\"async\"></a>\n"},
      {{"--mode", "image", "--alt", "--lazy", "--class", "g"},
       "mode=\"image\" alt lazy class=\"g\"",
       "<img src=\"img/a.jpg\" alt=\"a\" loading=\"lazy\" decoding=\"async\" class=\"g\"><br>\n"},
      {{"--kinds", "shortcut,jpeg", "--class", "links"},
       "mode=\"text\" class=\"links\"",
       "<a href=\"img/a.jpg\" class=\"links\">a.jpg</a><br>\n"
       "<a href=\"https://example.jp/\" class=\"links\">news</a><br>\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.block);
    dir.Write("site/p.htm", Page(""));
    std::vector<std::string> link = {"link", "site/p.htm", "--folder", "site/img", "--dry-run"};
    link.insert(link.end(), c.options.begin(), c.options.end());
    const Result linked = Run(link);
    EXPECT_EQ(linked.status, 0) << linked.err;
    EXPECT_EQ(linked.out, c.lines);

    std::vector<std::string> sync = {"sync", "site/p.htm", "--folder", "site/img"};
    sync.insert(sync.end(), c.options.begin(), c.options.end());
    EXPECT_EQ(Run(sync).status, 0);
    const std::string kinds =
        c.lines.find("news") != std::string::npos ? "shortcut,jpeg" : "jpeg,gif-png";
    EXPECT_EQ(TempDir::Read(dir / "site/p.htm"),
              Page("\n<!-- tervane folder=\"img\" kinds=\"" + kinds + "\" " + c.block + " -->\n" +
                   c.lines + "<!-- /tervane -->"));
    EXPECT_EQ(Run({"sync", "site/p.htm", "--check"}).status, 0);
  }
  // The last block's picture given a title: its line, written by Tervane,
  // takes it; a line edited by hand would have kept its own.
  fs::remove(dir.Path() / "site/img/a.jpg");
  Picture("site/img/a.jpg", {"-XMP-dc:Title=夕日"});
  EXPECT_EQ(Run({"sync", "site/p.htm"}).status, 0);
  EXPECT_NE(TempDir::Read(dir / "site/p.htm")
                .find("<a href=\"img/a.jpg\" class=\"links\">a.jpg</a><br>\n"),
            std::string::npos);
  dir.Write("site/p.htm", Page("\n<!-- tervane folder=\"img\" kinds=\"jpeg\" mode=\"image\" alt "
                               "lazy class=\"g\" -->\n<img src=\"img/a.jpg\" alt=\"a\" "
                               "loading=\"lazy\" decoding=\"async\" class=\"g\"><br>\n"
                               "<!-- /tervane -->"));
  EXPECT_EQ(Run({"sync", "site/p.htm"}).status, 0);
  EXPECT_NE(TempDir::Read(dir / "site/p.htm")
                .find("<img src=\"img/a.jpg\" alt=\"夕日\" loading=\"lazy\" decoding=\"async\" "
                      "class=\"g\"><br>\n"),
            std::string::npos)
      << TempDir::Read(dir / "site/p.htm");
  const struct {
    std::vector<std::string> args;
    std::string errHas;
  } refused[] = {
      {{"link", "site/p.htm", "--lazy"}, "--lazy need --mode image-link or image"},
      {{"link", "site/p.htm", "--sort", "date"}, "--sort"},
      {{"link", "site/p.htm", "--class", ""}, "--class needs a name"},
      {{"sync", "site/p.htm", "--reverse"}, "they need --folder"},
  };
  for (const auto& r : refused) {
    SCOPED_TRACE(r.errHas);
    const Result result = Run(r.args);
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find(r.errHas), std::string::npos) << result.err;
  }
}

}  // namespace
}  // namespace tervane::testing
