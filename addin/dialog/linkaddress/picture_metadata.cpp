#include "addin/dialog/linkaddress/picture_metadata.h"

#include <string_view>

#include "addin/dialog/linkaddress/utf8.h"

namespace tervane {
namespace {

std::uint32_t Byte(std::string_view b, std::size_t at) { return static_cast<unsigned char>(b[at]); }
std::uint32_t Big16(std::string_view b, std::size_t at) {
  return Byte(b, at) << 8 | Byte(b, at + 1);
}
std::uint32_t Big32(std::string_view b, std::size_t at) {
  return Big16(b, at) << 16 | Big16(b, at + 2);
}

// The file, read through a budget: once kMaxPictureMetadataBytes are spent,
// every further read fails.
class Source {
 public:
  explicit Source(const PictureReadAt& read) : read_(read) {}

  /// The `length` bytes at `offset`, or nullopt when the file ends before
  /// them or the budget does not cover them.
  std::optional<std::string> Read(std::uint64_t offset, std::size_t length) {
    if (length > left_) {
      left_ = 0;
      return std::nullopt;
    }
    left_ -= length;
    std::string bytes(length, '\0');
    std::size_t got = 0;
    while (got < length) {
      const std::size_t count = read_(offset + got, bytes.data() + got, length - got);
      if (count == 0) return std::nullopt;
      got += count;
    }
    return bytes;
  }

 private:
  const PictureReadAt& read_;
  std::size_t left_ = kMaxPictureMetadataBytes;
};

// A TIFF structure (the EXIF block): ImageDescription and XPTitle of the
// first directory, DateTimeOriginal of the EXIF directory it points to.
class Tiff {
 public:
  explicit Tiff(std::string_view bytes) : b_(bytes) {}

  void Read(PictureMetadata& m) {
    if (b_.size() < 8) return;
    little_ = b_.substr(0, 4) == std::string_view("II*\0", 4);
    if (!little_ && b_.substr(0, 4) != std::string_view("MM\0*", 4)) return;
    const std::uint64_t exifDirectory = ReadDirectory(U32(4), m, true);
    if (exifDirectory != 0) ReadDirectory(exifDirectory, m, false);
  }

 private:
  std::uint32_t U16(std::uint64_t at) const {
    return little_ ? Byte(b_, at) | Byte(b_, at + 1) << 8 : Big16(b_, at);
  }
  std::uint32_t U32(std::uint64_t at) const {
    return little_ ? U16(at) | U16(at + 2) << 16 : Big32(b_, at);
  }

  // The value of the entry at `entry` when it has `type` (1 BYTE, 2 ASCII,
  // 7 UNDEFINED: one byte a value), or nullopt.
  std::optional<std::string> Bytes(std::uint64_t entry) const {
    const std::uint32_t type = U16(entry + 2);
    if (type != 1 && type != 2 && type != 7) return std::nullopt;
    const std::uint64_t count = U32(entry + 4);
    const std::uint64_t at = count <= 4 ? entry + 8 : U32(entry + 8);
    if (at > b_.size() || count > b_.size() - at) return std::nullopt;
    return std::string(b_.substr(at, count));
  }

  // Returns the offset of the EXIF directory the first directory points to
  // (0 for none).
  std::uint64_t ReadDirectory(std::uint64_t at, PictureMetadata& m, bool first) {
    if (at + 2 > b_.size()) return 0;
    const std::uint32_t entries = U16(at);
    std::uint64_t exif = 0;
    for (std::uint32_t i = 0; i < entries; ++i) {
      const std::uint64_t entry = at + 2 + std::uint64_t{i} * 12;
      if (entry + 12 > b_.size()) break;
      const std::uint32_t tag = U16(entry);
      if (first && tag == 0x010E) m.exifDescription = Bytes(entry);
      if (first && tag == 0x9C9B) m.xpTitle = Bytes(entry);
      if (first && tag == 0x8769 && U16(entry + 2) == 4) exif = U32(entry + 8);
      if (!first && tag == 0x9003) {
        if (std::optional<std::string> value = Bytes(entry)) {
          m.taken = value->substr(0, value->find('\0'));
        }
      }
    }
    return exif != at ? exif : 0;
  }

  std::string_view b_;
  bool little_ = false;
};

// Each search that may scan the rest of a packet is tried this many times at
// most: the cost of a packet stays linear in its size.
constexpr int kMaxTries = 16;

// The text of XML character data or an attribute value, its references
// replaced.
std::string XmlText(std::string_view raw) {
  std::string text;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw.substr(i).starts_with("<![CDATA[")) {
      const std::size_t end = raw.find("]]>", i + 9);
      text += raw.substr(i + 9, end == std::string_view::npos ? end : end - i - 9);
      if (end == std::string_view::npos) break;
      i = end + 2;
      continue;
    }
    if (raw[i] != '&') {
      text += raw[i];
      continue;
    }
    const std::size_t semicolon = raw.find(';', i);
    if (semicolon == std::string_view::npos || semicolon - i > 10) {
      text += raw[i];
      continue;
    }
    const std::string_view name = raw.substr(i + 1, semicolon - i - 1);
    static constexpr std::pair<std::string_view, char> kNamed[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    bool done = false;
    for (const auto& [entity, c] : kNamed) {
      if (name == entity) {
        text += c;
        done = true;
      }
    }
    if (!done && name.size() > 1 && name[0] == '#') {
      const bool hex = name[1] == 'x' || name[1] == 'X';
      char32_t value = 0;
      bool digits = name.size() > (hex ? 2u : 1u);
      for (std::size_t k = hex ? 2 : 1; k < name.size() && digits; ++k) {
        const char c = name[k];
        const int digit = c >= '0' && c <= '9'          ? c - '0'
                          : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                        : -1;
        if (digit < 0 || value > 0x10FFFF) digits = false;
        value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
      }
      if (digits && value > 0 && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF)) {
        AppendUtf8(value, text);
        done = true;
      }
    }
    if (!done) {
      text += raw.substr(i, semicolon - i + 1);
    }
    i = semicolon;
  }
  return text;
}

// Where the start tag `<prefix:local` begins in `xml` from `from` on (the
// name followed by a blank, "/" or ">"), or npos.
std::size_t FindStartTag(std::string_view xml, std::string_view name, std::size_t from) {
  const std::string open = "<" + std::string(name);
  for (std::size_t at = xml.find(open, from); at != std::string_view::npos;
       at = xml.find(open, at + 1)) {
    const std::size_t after = at + open.size();
    if (after < xml.size() && (xml[after] == '>' || xml[after] == '/' || xml[after] == ' ' ||
                               xml[after] == '\t' || xml[after] == '\r' || xml[after] == '\n')) {
      return at;
    }
  }
  return std::string_view::npos;
}

// The value of attribute `name` in the start tag `tag`, or nullopt.
std::optional<std::string> Attribute(std::string_view tag, std::string_view name) {
  for (std::size_t at = tag.find(name); at != std::string_view::npos; at = tag.find(name, at + 1)) {
    const char before = at > 0 ? tag[at - 1] : '<';
    if (before != ' ' && before != '\t' && before != '\r' && before != '\n') continue;
    std::size_t i = at + name.size();
    while (i < tag.size() && (tag[i] == ' ' || tag[i] == '\t' || tag[i] == '\r' || tag[i] == '\n'))
      ++i;
    if (i >= tag.size() || tag[i] != '=') continue;
    ++i;
    while (i < tag.size() && (tag[i] == ' ' || tag[i] == '\t' || tag[i] == '\r' || tag[i] == '\n'))
      ++i;
    if (i >= tag.size() || (tag[i] != '"' && tag[i] != '\'')) continue;
    const std::size_t end = tag.find(tag[i], i + 1);
    if (end == std::string_view::npos) return std::nullopt;
    return XmlText(tag.substr(i + 1, end - i - 1));
  }
  return std::nullopt;
}

// The prefix the packet binds to `uri` ("dc" when it binds none).
std::string PrefixOf(std::string_view xml, std::string_view uri, std::string_view usual) {
  int tries = 0;
  for (std::size_t at = xml.find("xmlns:"); at != std::string_view::npos && tries < kMaxTries;
       at = xml.find("xmlns:", at + 1), ++tries) {
    const std::size_t equals = xml.find('=', at);
    if (equals == std::string_view::npos) break;
    const std::size_t quote = equals + 1;
    if (quote >= xml.size() || (xml[quote] != '"' && xml[quote] != '\'')) continue;
    if (xml.substr(quote + 1).starts_with(uri) && quote + 1 + uri.size() < xml.size() &&
        xml[quote + 1 + uri.size()] == xml[quote]) {
      return std::string(xml.substr(at + 6, equals - at - 6));
    }
  }
  return std::string(usual);
}

// The value of the property `name` (a language alternative or a simple
// text), as an element or as an attribute of a description.
std::optional<std::string> XmpProperty(std::string_view xml, const std::string& name) {
  const std::size_t start = FindStartTag(xml, name, 0);
  if (start == std::string_view::npos) {
    // The attribute form: <rdf:Description dc:title="...">. A few tries
    // at most, so that a packet made of such names costs linear time.
    int tries = 0;
    for (std::size_t at = xml.find(name + "="); at != std::string_view::npos && tries < kMaxTries;
         at = xml.find(name + "=", at + 1), ++tries) {
      const std::size_t tagStart = xml.find_last_of("<>", at);
      if (tagStart == std::string_view::npos || xml[tagStart] != '<') continue;
      const std::size_t tagEnd = xml.find('>', at);
      const std::string_view tag = xml.substr(
          tagStart, tagEnd == std::string_view::npos ? std::string_view::npos : tagEnd - tagStart);
      if (std::optional<std::string> value = Attribute(tag, name)) return value;
    }
    return std::nullopt;
  }
  const std::size_t contentStart = xml.find('>', start);
  if (contentStart == std::string_view::npos || xml[contentStart - 1] == '/') return std::nullopt;
  const std::size_t end = xml.find("</" + name, contentStart);
  const std::string_view content =
      xml.substr(contentStart + 1,
                 end == std::string_view::npos ? std::string_view::npos : end - contentStart - 1);
  // The items of an rdf:Alt (or rdf:Seq, rdf:Bag): the x-default one, else
  // the first.
  std::optional<std::string> first;
  int items = 0;
  for (std::size_t at = content.find('<'); at != std::string_view::npos && items < kMaxTries;
       at = content.find('<', at + 1)) {
    std::size_t nameEnd = at + 1;
    while (nameEnd < content.size() && content[nameEnd] != '>' && content[nameEnd] != ' ' &&
           content[nameEnd] != '/' && content[nameEnd] != '\t' && content[nameEnd] != '\r' &&
           content[nameEnd] != '\n')
      ++nameEnd;
    const std::string_view tagName = content.substr(at + 1, nameEnd - at - 1);
    if (tagName != "li" && !tagName.ends_with(":li")) continue;
    const std::size_t tagEnd = content.find('>', at);
    if (tagEnd == std::string_view::npos) break;
    ++items;
    const std::string_view tag = content.substr(at, tagEnd - at);
    std::string value;
    if (content[tagEnd - 1] != '/') {
      const std::size_t close = content.find("</" + std::string(tagName), tagEnd);
      value = XmlText(content.substr(tagEnd + 1, close == std::string_view::npos
                                                     ? std::string_view::npos
                                                     : close - tagEnd - 1));
    }
    if (Attribute(tag, "xml:lang") == "x-default") return value;
    if (!first) first = std::move(value);
  }
  if (first) return first;
  if (content.find('<') == std::string_view::npos) return XmlText(content);
  return std::nullopt;
}

// The IPTC-NAA record: 1:90 the coded character set, 2:120 the caption.
void ReadIptc(std::string_view b, PictureMetadata& m) {
  std::size_t at = 0;
  while (at + 5 <= b.size() && Byte(b, at) == 0x1C) {
    const std::uint32_t record = Byte(b, at + 1);
    const std::uint32_t dataset = Byte(b, at + 2);
    std::uint64_t length = Big16(b, at + 3);
    at += 5;
    if (length & 0x8000) {
      // An extended length: the next (length & 0x7FFF) bytes hold it.
      const std::size_t count = length & 0x7FFF;
      if (count > 4 || at + count > b.size()) return;
      length = 0;
      for (std::size_t k = 0; k < count; ++k) length = length << 8 | Byte(b, at + k);
      at += count;
    }
    if (length > b.size() - at) return;
    const std::string_view value = b.substr(at, length);
    if (record == 1 && dataset == 90) m.iptcUtf8 = value == "\x1B%G";
    if (record == 2 && dataset == 120 && !m.iptcCaption) m.iptcCaption = std::string(value);
    at += length;
  }
}

// Photoshop's image resources (APP13): the IPTC-NAA record is resource 0x0404.
void ReadPhotoshop(std::string_view b, PictureMetadata& m) {
  std::size_t at = 0;
  while (at + 12 <= b.size() && b.substr(at, 4) == "8BIM") {
    const std::uint32_t id = Big16(b, at + 4);
    // A Pascal name padded to an even length.
    std::size_t nameLength = Byte(b, at + 6) + 1;
    nameLength += nameLength % 2;
    at += 6 + nameLength;
    if (at + 4 > b.size()) return;
    const std::uint64_t size = Big32(b, at);
    at += 4;
    if (size > b.size() - at) return;
    if (id == 0x0404) ReadIptc(b.substr(at, size), m);
    at += size + size % 2;
  }
}

constexpr std::string_view kXmpSignature("http://ns.adobe.com/xap/1.0/\0", 29);

void ReadJpeg(Source& source, PictureMetadata& m) {
  std::uint64_t at = 2;
  bool readPhotoshop = false;
  for (;;) {
    const std::optional<std::string> marker = source.Read(at, 2);
    if (!marker || Byte(*marker, 0) != 0xFF) return;
    const std::uint32_t code = Byte(*marker, 1);
    if (code == 0xFF) {  // a fill byte
      ++at;
      continue;
    }
    if (code == 0x01 || (code >= 0xD0 && code <= 0xD7)) {
      at += 2;
      continue;
    }
    // The scan, the end, or a second start: the metadata lies before them.
    if (code == 0xDA || code == 0xD9 || code == 0xD8 || code == 0x00) return;
    const std::optional<std::string> lengthBytes = source.Read(at + 2, 2);
    if (!lengthBytes) return;
    const std::uint32_t length = Big16(*lengthBytes, 0);
    if (length < 2) return;
    if (code == 0xE1 || (code == 0xED && !readPhotoshop)) {
      const std::optional<std::string> payload = source.Read(at + 4, length - 2);
      if (!payload) return;
      const std::string_view p = *payload;
      if (code == 0xED && p.starts_with(std::string_view("Photoshop 3.0\0", 14))) {
        ReadPhotoshop(p.substr(14), m);
        readPhotoshop = true;
      } else if (p.starts_with(std::string_view("Exif\0\0", 6))) {
        Tiff(p.substr(6)).Read(m);
      } else if (p.starts_with(kXmpSignature)) {
        ReadXmpTitles(p.substr(kXmpSignature.size()), m);
      }
    }
    at += 2 + length;
  }
}

// Latin-1, as tEXt chunks are written, in UTF-8.
std::string FromLatin1(std::string_view text) {
  std::string utf8;
  for (const char c : text) AppendUtf8(static_cast<unsigned char>(c), utf8);
  return utf8;
}

void ReadPngText(std::string_view type, std::string_view data, PictureMetadata& m) {
  const std::size_t zero = data.find('\0');
  if (zero == std::string_view::npos) return;
  const std::string_view keyword = data.substr(0, zero);
  std::optional<std::string> text;
  if (type == "tEXt") {
    text = FromLatin1(data.substr(zero + 1));
  } else {
    // iTXt: compression flag and method, language tag, translated keyword,
    // then the text in UTF-8. Compressed texts are left unread.
    std::string_view rest = data.substr(zero + 1);
    if (rest.size() < 2 || rest[0] != 0) return;
    rest.remove_prefix(2);
    for (int field = 0; field < 2; ++field) {
      const std::size_t end = rest.find('\0');
      if (end == std::string_view::npos) return;
      rest.remove_prefix(end + 1);
    }
    if (keyword == "XML:com.adobe.xmp") {
      ReadXmpTitles(rest, m);
      return;
    }
    text = std::string(rest);
  }
  if (keyword == "Title" && !m.pngTitle) m.pngTitle = std::move(text);
  if (keyword == "Description" && !m.pngDescription) m.pngDescription = std::move(text);
}

void ReadPng(Source& source, PictureMetadata& m) {
  std::uint64_t at = 8;
  for (;;) {
    const std::optional<std::string> header = source.Read(at, 8);
    if (!header) return;
    const std::uint32_t length = Big32(*header, 0);
    const std::string_view type = std::string_view(*header).substr(4);
    if (type == "IEND" || length > 0x7FFFFFFF) return;
    if (type == "tEXt" || type == "iTXt" || type == "eXIf") {
      const std::optional<std::string> data = source.Read(at + 8, length);
      if (!data) return;
      if (type == "eXIf") {
        Tiff(*data).Read(m);
      } else {
        ReadPngText(type, *data, m);
      }
    }
    at += 12 + std::uint64_t{length};
  }
}

}  // namespace

void ReadXmpTitles(std::string_view packet, PictureMetadata& m) {
  const std::string dc = PrefixOf(packet, "http://purl.org/dc/elements/1.1/", "dc");
  if (!m.xmpTitle) m.xmpTitle = XmpProperty(packet, dc + ":title");
  if (!m.xmpDescription) m.xmpDescription = XmpProperty(packet, dc + ":description");
}

PictureMetadata ReadPictureMetadata(const PictureReadAt& read) {
  PictureMetadata metadata;
  Source source(read);
  const std::optional<std::string> signature = source.Read(0, 8);
  if (!signature) {
    // A file shorter than a PNG signature may still start a JPEG file, but
    // holds no metadata.
    return metadata;
  }
  if (Byte(*signature, 0) == 0xFF && Byte(*signature, 1) == 0xD8) {
    ReadJpeg(source, metadata);
  } else if (*signature == std::string_view("\x89PNG\r\n\x1A\n", 8)) {
    ReadPng(source, metadata);
  }
  return metadata;
}

}  // namespace tervane
