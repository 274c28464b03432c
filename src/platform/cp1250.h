#pragma once
// The program keeps text as UTF-8; its files and the serial line hold
// windows-1250 bytes. Conversions go through iconv.

#include <string>
#include <string_view>

namespace platform {

// UTF-8 to windows-1250. A character that windows-1250 lacks, and every byte
// of a malformed UTF-8 sequence, becomes "?". The result has one byte per character.
std::string Utf8ToCp1250(std::string_view utf8);

// windows-1250 to UTF-8. Each byte is one character; the five byte values that
// windows-1250 leaves undefined become "?", so the character count is kept.
std::string Cp1250ToUtf8(std::string_view bytes);

// The number of characters (code points) of a UTF-8 text, and its characters
// one by one; a malformed byte counts as one character of its own (U+FFFD
// among the code points). Code points that are no characters (surrogates,
// values past U+10FFFF) are written as U+FFFD.
size_t Utf8Length(std::string_view utf8);
std::u32string Utf8ToCodePoints(std::string_view utf8);
std::string CodePointsToUtf8(std::u32string_view text);

}  // namespace platform
