#pragma once
// Number conversions with the rules the program's texts were written for:
// "." is always the decimal point, whatever the machine's locale. The one
// exception is IsNumeric, which follows the user's decimal mark as the
// platform's numeric test did.

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// The number at the start of a text: leading blanks, tabs and line feeds are
// skipped (blanks inside the digits too, as the platform did), then an optional
// sign, digits with "." as decimal point and an optional exponent (E or D), or
// the prefixes &H (hexadecimal) and &O (octal). 0 when the text starts with no
// number. "12,5" gives 12, "7x" gives 7, "abc" gives 0. &H and &O literals
// of up to 16 or 32 bits are signed as the platform's integers ("&HFFFF" is
// -1). A number beyond a double's range gives +-infinity (callers converting
// with CInt/CLng then get kErrOverflow); any text whatever gives a result.
double Val(std::string_view text);

// True when the whole text, blanks at both ends allowed, is one number: an
// optional sign, digits with an optional fraction after the user's decimal
// mark (UserDecimalMark), an optional exponent, or &H / &O forms. The empty
// text, a text of blanks and any text with a control character (SOH, EOT,
// ...) are not numeric, nor is a number beyond a double's range. Thousands
// separators and currency signs are never accepted.
bool IsNumeric(std::string_view text);

// The decimal mark of the user's locale as the environment names it (LC_ALL,
// LC_NUMERIC, LANG): "," on a Polish desktop, "." where the locale is not
// set or not installed; whatever the process's own C locale is.
std::string UserDecimalMark();
// Puts a mark in place of the environment's (tests choose the user's locale
// so); the empty text follows the environment again.
void SetUserDecimalMark(std::string mark);

// strtod with "." as the decimal point whatever the process's locale: for
// the numbers the program writes for itself (window descriptions, property
// bags). Same contract as std::strtod.
double StrToDoubleC(const char* text, char** end);

// Formats a number with one of the patterns the program uses:
//   "0", "000000": rounded to a whole number (halves away from zero), digits
//                  zero-padded on the left to the pattern's width, never cut
//                  (1234567 stays seven digits); a negative number keeps its "-"
//                  in front of the padding.
//   "@@@@@@":      the number's text right-aligned in the pattern's width with
//                  blanks on the left; a longer text is not cut.
// Any other pattern throws VbError(kErrInvalidCall); NaN or infinity with a
// "0" pattern throws VbError(kErrOverflow).
std::string Format(double value, std::string_view pattern);

// Conversion to a 16- or 32-bit whole number: halves go to the even neighbour
// (2.5 -> 2, 3.5 -> 4, -2.5 -> -2). A value outside the range, NaN or infinity
// throws VbError(kErrOverflow).
int16_t CInt(double value);
int32_t CLng(double value);

// A number as the platform writes it into text: whole numbers without a decimal
// point ("3", "-250"), other values with up to 15 significant digits and "." as
// decimal point ("12.5").
std::string NumberToText(double value);

}  // namespace platform
