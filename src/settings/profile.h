#pragma once
// Our own version of the profile functions of the Windows API, on the bytes of
// an INI file (windows-1250 text; every string here is in the file's bytes).
//
// The format:
//   - Lines end in LF or CR LF. A new file gets CR LF; an existing one keeps
//     what it has (the style of its first line end is used for added lines).
//   - A line whose first non-blank character is "[" opens a section; its name
//     is the text up to the first "]" (to the end of the line when there is
//     none), without blanks at either end.
//   - A line whose first non-blank character is ";" is a comment. A blank line
//     is nothing.
//   - Any other line holding "=" is an entry: the key is the text before the
//     first "=", the value the text after it, both without blanks at their
//     ends; a value enclosed in one pair of quotes (double or single) loses
//     them. Any other line (no "=") is a bare entry: it is no key for a value
//     read, but a section read returns it as it stands (without blanks at its
//     ends), so that the reader sees a key without "=".
//   - Section names and keys are compared without regard to case, the letters
//     of windows-1250 included ("Ę" and "ę" are one letter).
//   - Only the first section of a name counts, and in it only the first entry
//     of a key; the lines before the first section belong to no section.
//   - A NUL byte in a value or an entry is given out as "?": the callers' text
//     and the section buffer use NUL as a terminator.
// Blanks are spaces, tabs and the other ASCII white-space characters but LF.
//
// File names go through platform::ResolveCaseInsensitive; writes go through
// platform::WriteFileAtomically. Every call reads the file anew
// (platform::ReadFileInLoad), so any change made since the last call is seen;
// inside a platform::FileLoad the file is read once and the load's own writes
// are seen. Each call runs in time linear in the file's size. A file above
// 1 MiB is treated like one that cannot be read: reads give the defaults and
// writes fail.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace settings {

// The largest real settings or language file holds a few KiB. A larger one is
// no file of ours (or a broken one): it reads like a file that cannot be read
// and is never written, so that it can neither hold up the window nor exhaust
// the memory; nor does a write make a file larger than this.
constexpr size_t kLargestProfileFile = 1 << 20;

// Copies the value of key in section, or, when the file, the section or the
// key is missing, default_value without its trailing blanks, into *buffer as
// into a buffer of buffer_size bytes ended by a NUL: a text longer than
// buffer_size - 1 bytes is cut to buffer_size - 1. Returns the number of bytes
// copied (the size of *buffer).
size_t GetPrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view default_value, std::string* buffer,
                               size_t buffer_size, const std::string& file);

// Copies every entry of section as "key=value" (a bare entry as it stands),
// each followed by a NUL, into *buffer as into a buffer of buffer_size bytes
// that ends with one more NUL. Returns the number of bytes up to and including
// the NUL of the last entry (0 for a missing or empty section). When the
// entries do not fit, returns buffer_size - 2 and *buffer holds the first
// buffer_size - 2 bytes. *buffer always holds exactly the returned number of bytes.
size_t GetPrivateProfileSection(std::string_view section, std::string* buffer, size_t buffer_size,
                                const std::string& file);

// Writes key=value into section: an existing key gets the new value in its own
// line (the text up to its "=" kept); a new key becomes the section's last
// entry (after its last entry, before the blank or comment lines that end it);
// a missing section is added at the end of the file; a missing file is
// created. Every other byte of the file stays as it is. False when the file
// could not be written (the old file is then left whole), when an existing
// file could not be read, and when the text would not read back as the same
// entry: a line break or NUL anywhere, "]" in the section name, "=" in the key
// or a key that would open a section or a comment. A write that would leave
// the file's bytes as they are touches nothing and gives true. sync tells when
// the new file reaches the disk (platform::FileSync).
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& file,
                               platform::FileSync sync = platform::FileSync::kNow);

// The stored value of key in section, whatever its length (blanks and quotes
// removed as for a read); nullopt when the file, the section or the key is missing.
std::optional<std::string> FindPrivateProfileValue(std::string_view section, std::string_view key,
                                                   const std::string& file);

// True when the file holds no entry: it is missing or cannot be read, or holds
// nothing but blank lines, comments and section headers.
bool ProfileHoldsNoEntries(const std::string& file);

}  // namespace settings
