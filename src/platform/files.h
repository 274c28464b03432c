#pragma once
// The executable's folder, file names without regard to letter case, and file
// writes that never leave a half-written file behind.

#include <string>
#include <string_view>

namespace platform {

// The folder of the running executable (/proc/self/exe), without a trailing
// "/". Tests point it at a temporary folder with SetAppFolderForTesting.
std::string AppFolder();
void SetAppFolderForTesting(const std::string& folder);  // "" restores the real one

// The executable's folder joined with a fixed file name by "/".
std::string AppPath(std::string_view name);

// The path itself when it exists; otherwise the entry of the same folder whose
// name differs only in letter case (the first in name order when several do);
// otherwise the path as given, which is where a new file is created. Only the
// last name is matched this way, and letter case means ASCII letter case.
std::string ResolveCaseInsensitive(const std::string& path);

// Reads a whole file. False when it is missing, is not a regular file or cannot
// be read; *bytes is then empty.
bool ReadWholeFile(const std::string& path, std::string* bytes);

// Replaces the file's contents: writes a temporary file in the same folder,
// flushes it to disk and renames it over the old one, keeping the old file's
// permission bits. On any failure the temporary file is removed, the old file
// is left as it was and the result is false. A symbolic link to a file is
// written through (the link stays, its target gets the new contents); a
// folder or any other non-regular file is refused. Contents larger than the
// process's file-size limit are refused before anything is written.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

// Makes a write past the file-size limit fail with EFBIG instead of killing
// the process with SIGXFSZ. The program and the test set-up call it once at
// start; it changes only the disposition of SIGXFSZ.
void IgnoreFileSizeSignal();

}  // namespace platform
