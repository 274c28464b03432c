#include "platform/cp1250.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

namespace platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kUndefined = 0;  // marks a byte with no character

// The upper half of windows-1250, read once from iconv. Looking bytes up in a
// table afterwards keeps each conversion free of iconv's shift state and of
// per-call descriptor set-up, and makes the ASCII half a plain copy.
struct Cp1250Table {
  std::array<char32_t, 128> to_unicode{};                        // byte 0x80 + i
  std::vector<std::pair<char32_t, unsigned char>> from_unicode;  // sorted by code point
};

char32_t DecodeOneWithIconv(iconv_t cd, unsigned char byte) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
  char in[1] = {static_cast<char>(byte)};
  char32_t out[2] = {};
  char* in_ptr = in;
  size_t in_left = 1;
  char* out_ptr = reinterpret_cast<char*>(out);
  size_t out_left = sizeof out;
  if (iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<size_t>(-1)) {
    return kUndefined;
  }
  if (sizeof out - out_left != sizeof(char32_t)) return kUndefined;
  return out[0];
}

Cp1250Table BuildTable() {
  Cp1250Table table;
  iconv_t cd = iconv_open("UTF-32LE", "WINDOWS-1250");
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    std::fprintf(stderr, "windows-1250 conversion unavailable; non-ASCII characters become ?\n");
    return table;
  }
  for (int i = 0; i < 128; ++i) {
    char32_t c = DecodeOneWithIconv(cd, static_cast<unsigned char>(0x80 + i));
    // The undefined bytes (0x81, 0x83, 0x88, 0x90, 0x98) are undefined here
    // whatever a converter maps them to, and control characters of the C1
    // range never come out of this table.
    if (c >= 0x80 && c <= 0x9F) c = kUndefined;
    table.to_unicode[i] = c;
    if (c != kUndefined) table.from_unicode.emplace_back(c, static_cast<unsigned char>(0x80 + i));
  }
  iconv_close(cd);
  std::sort(table.from_unicode.begin(), table.from_unicode.end());
  return table;
}

const Cp1250Table& Table() {
  static const Cp1250Table table = BuildTable();
  return table;
}

// Decodes one UTF-8 character at text[pos]. Returns its length in bytes and
// its code point, or 0 when the byte at pos does not start a well-formed
// sequence (overlong forms, surrogates and values past U+10FFFF included).
size_t DecodeUtf8(std::string_view text, size_t pos, char32_t* code_point) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(text[pos + i]); };
  unsigned char lead = byte(0);
  if (lead < 0x80) {
    *code_point = lead;
    return 1;
  }
  size_t length;
  char32_t value;
  char32_t minimum;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    value = lead & 0x1F;
    minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    value = lead & 0x0F;
    minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    value = lead & 0x07;
    minimum = 0x10000;
  } else {
    return 0;
  }
  if (pos + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    unsigned char next = byte(i);
    if ((next & 0xC0) != 0x80) return 0;
    value = (value << 6) | (next & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  *code_point = value;
  return length;
}

void AppendUtf8(char32_t c, std::string* out) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacement;
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

std::string Utf8ToCp1250(std::string_view utf8) {
  const auto& from_unicode = Table().from_unicode;
  std::string out;
  out.reserve(utf8.size());
  size_t pos = 0;
  while (pos < utf8.size()) {
    unsigned char lead = static_cast<unsigned char>(utf8[pos]);
    if (lead < 0x80) {
      out.push_back(static_cast<char>(lead));
      ++pos;
      continue;
    }
    char32_t c = 0;
    size_t length = DecodeUtf8(utf8, pos, &c);
    if (length == 0) {
      out.push_back('?');
      ++pos;
      continue;
    }
    pos += length;
    auto it = std::lower_bound(from_unicode.begin(), from_unicode.end(),
                               std::make_pair(c, static_cast<unsigned char>(0)));
    out.push_back(it != from_unicode.end() && it->first == c ? static_cast<char>(it->second) : '?');
  }
  return out;
}

std::string Cp1250ToUtf8(std::string_view bytes) {
  const auto& to_unicode = Table().to_unicode;
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 4);
  for (char b : bytes) {
    unsigned char byte = static_cast<unsigned char>(b);
    if (byte < 0x80) {
      out.push_back(b);
      continue;
    }
    char32_t c = to_unicode[byte - 0x80];
    if (c == kUndefined) {
      out.push_back('?');
    } else {
      AppendUtf8(c, &out);
    }
  }
  return out;
}

size_t Utf8Length(std::string_view utf8) {
  size_t count = 0;
  size_t pos = 0;
  while (pos < utf8.size()) {
    char32_t c;
    size_t length = DecodeUtf8(utf8, pos, &c);
    pos += length == 0 ? 1 : length;
    ++count;
  }
  return count;
}

std::u32string Utf8ToCodePoints(std::string_view utf8) {
  std::u32string out;
  out.reserve(utf8.size());
  size_t pos = 0;
  while (pos < utf8.size()) {
    char32_t c = kReplacement;
    size_t length = DecodeUtf8(utf8, pos, &c);
    if (length == 0) {
      c = kReplacement;
      length = 1;
    }
    out.push_back(c);
    pos += length;
  }
  return out;
}

std::string CodePointsToUtf8(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char32_t c : text) AppendUtf8(c, &out);
  return out;
}

}  // namespace platform
