#include "platform/vb_number.h"

#include <langinfo.h>
#include <locale.h>
#include <stdlib.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <utility>

#include "platform/ascii.h"
#include "platform/vb_error.h"

namespace platform {
namespace {

bool IsValBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsExponentMark(char c) { return c == 'e' || c == 'E' || c == 'd' || c == 'D'; }

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The "C" locale, so that "." is the decimal point whatever the process's
// locale is (the window toolkit sets the user's locale at start).
locale_t CLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return locale;
}

// The locale the environment names for numbers, as the C library chooses
// it, with the folder it is looked for in.
std::string EnvironmentNumericLocale() {
  std::string name;
  for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') {
      name = value;
      break;
    }
  }
  const char* path = std::getenv("LOCPATH");
  return name + '\n' + (path ? path : "");
}

// Loaded once for each locale the environment names: loading one costs far
// more than the test it serves (and leaks a little inside the C library where
// LOCPATH is set).
std::string EnvironmentDecimalMark() {
  static bool loaded = false;
  static std::string loaded_for, mark;
  const std::string wanted = EnvironmentNumericLocale();
  if (loaded && wanted == loaded_for) return mark;
  loaded = true;
  loaded_for = wanted;
  mark = ".";
  locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
  if (user == static_cast<locale_t>(nullptr)) return mark;
  const char* radix = nl_langinfo_l(RADIXCHAR, user);
  if (radix != nullptr && *radix != '\0') mark = radix;
  freelocale(user);
  return mark;
}

std::string& MarkOverride() {
  static std::string mark;
  return mark;
}

// Parses canonical decimal text ("-12.5e3") without regard to the locale.
// Out-of-range values come back as +-infinity or (towards zero) as 0.
double ParseDecimal(const std::string& canonical) {
  return strtod_l(canonical.c_str(), nullptr, CLocale());
}

// Hexadecimal and octal literals are whole numbers of the platform's 16- or
// 32-bit types, so "&HFFFF" is -1 and "&H8000" is -32768, while "&H10000" is
// 65536. Values beyond 32 bits keep their plain magnitude.
double RadixValue(double magnitude) {
  if (magnitude <= 65535.0) {
    return static_cast<double>(static_cast<int16_t>(static_cast<uint16_t>(magnitude)));
  }
  if (magnitude <= 4294967295.0) {
    return static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(magnitude)));
  }
  return magnitude;
}

// Reads the digits of a &H or &O literal starting at text[*pos]; the caller's
// skip rule decides whether blanks between the digits are passed over.
// Returns the number of digits read.
template <typename Skip>
size_t ReadRadixDigits(std::string_view text, size_t* pos, int radix, Skip skip,
                       double* magnitude) {
  size_t count = 0;
  double value = 0;
  for (;;) {
    skip(pos);
    if (*pos >= text.size()) break;
    int digit = HexDigitValue(text[*pos]);
    if (digit < 0 || digit >= radix) break;
    value = value * radix + digit;  // saturates at infinity on absurd lengths
    ++count;
    ++*pos;
  }
  *magnitude = value;
  return count;
}

// Exponents are clamped here: anything beyond this is far outside the range
// of a double however many digits the mantissa has.
constexpr long kExponentLimit = 100000000;

struct DecimalScan {
  std::string canonical;  // sign, digits, ".", digits, "e", exponent
  size_t mantissa_digits = 0;
  bool exponent_mark = false;  // an exponent letter was taken
  size_t exponent_digits = 0;  // digits after it
};

// Scans sign, digits, fraction and exponent from text[*pos]. skip(pos) moves
// past characters that are ignored inside the number; point is the decimal
// mark (several bytes in some locales).
template <typename Skip>
DecimalScan ScanDecimal(std::string_view text, size_t* pos, Skip skip, std::string_view point) {
  DecimalScan scan;
  skip(pos);
  if (*pos < text.size() && (text[*pos] == '+' || text[*pos] == '-')) {
    if (text[*pos] == '-') scan.canonical.push_back('-');
    ++*pos;
  }
  bool seen_point = false;
  for (;;) {
    skip(pos);
    if (*pos >= text.size()) break;
    char c = text[*pos];
    if (IsAsciiDigit(c)) {
      scan.canonical.push_back(c);
      ++scan.mantissa_digits;
      ++*pos;
    } else if (!seen_point && !point.empty() && text.substr(*pos, point.size()) == point) {
      seen_point = true;
      scan.canonical.push_back('.');
      *pos += point.size();
    } else {
      break;
    }
  }
  if (scan.mantissa_digits == 0) return scan;
  size_t before_exponent = *pos;
  skip(pos);
  if (*pos < text.size() && IsExponentMark(text[*pos])) {
    ++*pos;
    scan.exponent_mark = true;
    bool negative = false;
    skip(pos);
    if (*pos < text.size() && (text[*pos] == '+' || text[*pos] == '-')) {
      negative = text[*pos] == '-';
      ++*pos;
    }
    long exponent = 0;
    for (;;) {
      skip(pos);
      if (*pos >= text.size() || !IsAsciiDigit(text[*pos])) break;
      if (exponent < kExponentLimit) exponent = exponent * 10 + (text[*pos] - '0');
      ++scan.exponent_digits;
      ++*pos;
    }
    if (scan.exponent_digits > 0) {
      scan.canonical.push_back('e');
      scan.canonical += std::to_string(negative ? -exponent : exponent);
    }
  } else {
    *pos = before_exponent;
  }
  return scan;
}

// Rounds to a whole number, halves to the even neighbour, independent of the
// floating-point rounding mode.
double RoundHalfEven(double value) {
  double floor = std::floor(value);
  double diff = value - floor;
  if (diff > 0.5) return floor + 1;
  if (diff < 0.5) return floor;
  return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

double RoundHalfAway(double value) { return std::round(value); }

std::string FixedWholeText(double whole) {
  // A double's whole part has at most 309 digits.
  char buffer[400];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, whole, std::chars_format::fixed, 0);
  return std::string(buffer, result.ptr);
}

}  // namespace

double Val(std::string_view text) {
  size_t pos = 0;
  auto skip = [&text](size_t* p) {
    while (*p < text.size() && IsValBlank(text[*p])) ++*p;
  };
  skip(&pos);
  if (pos < text.size() && text[pos] == '&') {
    ++pos;
    skip(&pos);
    if (pos >= text.size()) return 0;
    int radix = 0;
    if (text[pos] == 'h' || text[pos] == 'H') radix = 16;
    if (text[pos] == 'o' || text[pos] == 'O') radix = 8;
    if (radix == 0) return 0;
    ++pos;
    double magnitude = 0;
    if (ReadRadixDigits(text, &pos, radix, skip, &magnitude) == 0) return 0;
    return RadixValue(magnitude);
  }
  DecimalScan scan = ScanDecimal(text, &pos, skip, ".");
  if (scan.mantissa_digits == 0) return 0;
  return ParseDecimal(scan.canonical);
}

bool IsNumeric(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && text[begin] == ' ') ++begin;
  while (end > begin && text[end - 1] == ' ') --end;
  std::string_view body = text.substr(begin, end - begin);
  if (body.empty()) return false;
  auto no_skip = [](size_t*) {};
  size_t pos = 0;
  if (body[0] == '&') {
    if (body.size() < 3) return false;
    int radix = 0;
    if (body[1] == 'h' || body[1] == 'H') radix = 16;
    if (body[1] == 'o' || body[1] == 'O') radix = 8;
    if (radix == 0) return false;
    pos = 2;
    double magnitude = 0;
    if (ReadRadixDigits(body, &pos, radix, no_skip, &magnitude) == 0) return false;
    // The platform's literals are at most 32 bits wide.
    return pos == body.size() && magnitude <= 4294967295.0;
  }
  DecimalScan scan = ScanDecimal(body, &pos, no_skip, UserDecimalMark());
  if (pos != body.size() || scan.mantissa_digits == 0) return false;
  if (scan.exponent_mark && scan.exponent_digits == 0) return false;
  // A number too large for a double does not convert, so it is not numeric.
  return std::isfinite(ParseDecimal(scan.canonical));
}

std::string UserDecimalMark() {
  return MarkOverride().empty() ? EnvironmentDecimalMark() : MarkOverride();
}

void SetUserDecimalMark(std::string mark) { MarkOverride() = std::move(mark); }

double StrToDoubleC(const char* text, char** end) { return strtod_l(text, end, CLocale()); }

std::string Format(double value, std::string_view pattern) {
  bool zeros = !pattern.empty() && pattern.find_first_not_of('0') == std::string_view::npos;
  bool ats = !pattern.empty() && pattern.find_first_not_of('@') == std::string_view::npos;
  if (!zeros && !ats) {
    throw VbError(kErrInvalidCall, "Invalid procedure call or argument");
  }
  if (ats) {
    std::string text = NumberToText(value);
    if (text.size() < pattern.size()) text.insert(0, pattern.size() - text.size(), ' ');
    return text;
  }
  if (!std::isfinite(value)) throw VbError(kErrOverflow, "Overflow");
  double whole = RoundHalfAway(value);
  bool negative = whole < 0;
  std::string digits = FixedWholeText(std::fabs(whole));
  if (digits.size() < pattern.size()) digits.insert(0, pattern.size() - digits.size(), '0');
  return negative ? "-" + digits : digits;
}

int16_t CInt(double value) {
  if (!std::isfinite(value)) throw VbError(kErrOverflow, "Overflow");
  double whole = RoundHalfEven(value);
  if (whole < std::numeric_limits<int16_t>::min() || whole > std::numeric_limits<int16_t>::max()) {
    throw VbError(kErrOverflow, "Overflow");
  }
  return static_cast<int16_t>(whole);
}

int32_t CLng(double value) {
  if (!std::isfinite(value)) throw VbError(kErrOverflow, "Overflow");
  double whole = RoundHalfEven(value);
  if (whole < std::numeric_limits<int32_t>::min() || whole > std::numeric_limits<int32_t>::max()) {
    throw VbError(kErrOverflow, "Overflow");
  }
  return static_cast<int32_t>(whole);
}

std::string NumberToText(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
  if (value == 0) return "0";  // also for -0
  char buffer[64];
  auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  std::string text(buffer, result.ptr);
  // The platform writes exponents with a capital E and a sign: 1E+20, 1E-05.
  for (char& c : text) {
    if (c == 'e') c = 'E';
  }
  return text;
}

}  // namespace platform
