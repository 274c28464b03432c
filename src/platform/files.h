#pragma once
// The executable's folder, file names without regard to letter case, and file
// writes that never leave a half-written file behind.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// The folder of the running executable (/proc/self/exe), without a trailing
// "/". Tests point it at a temporary folder with SetAppFolderForTesting.
std::string AppFolder();
void SetAppFolderForTesting(const std::string& folder);  // "" restores the real one

// The executable's folder joined with a fixed file name by "/".
std::string AppPath(std::string_view name);

// The entry of the path's folder whose name equals the last name without
// regard to letter case, the first in byte order when several do (so
// "Settings.ini" before "settings.ini"): every spelling of a name reaches the
// same file whatever the folder holds. Without such an entry (or when the
// folder cannot be listed), the path as given, which is where a new file is
// created. Only the last name is matched this way, and letter case means
// ASCII letter case. Inside a FileLoad each path is resolved once.
std::string ResolveCaseInsensitive(const std::string& path);

// Held on the calling thread while one load (a window's start, a language
// load, one pass of translation) reads its files. Until it ends, each folder
// is listed once, each path is resolved once (ResolveCaseInsensitive) and
// each file is read once (ReadFileInLoad); a write of such a file by
// WriteFileAtomically is what later reads in the load give. Anything changed
// from outside during the load is seen by the next one. A load begun inside
// another changes nothing; outside a load every call looks at the disk.
class FileLoad {
 public:
  FileLoad();
  ~FileLoad();
  FileLoad(const FileLoad&) = delete;
  FileLoad& operator=(const FileLoad&) = delete;

 private:
  bool owner_;
};

// Reads a whole file. False when it is missing, is not a regular file, holds
// more than max_size bytes or cannot be read; *bytes is then empty.
bool ReadWholeFile(const std::string& path, std::string* bytes,
                   size_t max_size = static_cast<size_t>(-1));

// ReadWholeFile, once for each path in a FileLoad (see there).
bool ReadFileInLoad(const std::string& path, std::string* bytes,
                    size_t max_size = static_cast<size_t>(-1));

// When a write reaches the disk. kNow: the new file is flushed before it
// replaces the old one, and the folder after. kLater: the file is replaced
// just as atomically (a read right after sees the new contents, from any
// process) but nothing is flushed, not even implicitly: where the file system
// can, the new file takes the old one's place by an exchange of names, which
// ext4 does not turn into a flush as it does a rename over a file. A series
// of such writes ends with SyncFile; until then a power loss may cost what
// the series wrote.
enum class FileSync { kNow, kLater };

// Replaces the file's contents: writes a temporary file in the same folder,
// flushes it to disk and renames it over the old one, keeping the old file's
// permission bits. The temporary file has no name until it is complete where
// the file system allows that; otherwise it is named ".<name>.tmp<pid>.<n>".
// On any failure the temporary file is removed, the old file is left as it
// was and the result is false. A symbolic link to a file is written through
// (the link stays, its target gets the new contents); a folder or any other
// non-regular file is refused. Contents larger than the process's file-size
// limit are refused before anything is written.
//
// An existing file is written only when it may be written: a file without any
// write permission bit is read-only for everybody, the superuser included,
// and a file the system does not let this user write is refused as well.
// Where the folder refuses a new file, or lets none replace this one (a folder
// with the sticky bit and a file of another owner), but the file itself may be
// written, the file is written in place and flushed; that write is not atomic.
bool WriteFileAtomically(const std::string& path, std::string_view bytes,
                         FileSync sync = FileSync::kNow);

// Flushes the file (through a symbolic link, its target) and its folder to
// disk: the end of a series of FileSync::kLater writes. False when either
// could not be flushed.
bool SyncFile(const std::string& path);

// SyncFile on a thread of its own, so that the caller does not wait for the
// disk; on the caller's thread where no thread can be started. The program
// waits for every such flush when it ends normally.
void SyncFileInBackground(const std::string& path);

// Waits until every flush SyncFileInBackground started has ended.
void WaitForBackgroundSyncs();

// Removes the temporary files that an earlier run killed during a write of
// path left beside it (".<name>.tmp<pid>.<n>" of a process that is gone).
void RemoveStaleTemporaryFiles(const std::string& path);

// Makes a write past the file-size limit fail with EFBIG instead of killing
// the process with SIGXFSZ. The program and the test set-up call it once at
// start; it changes only the disposition of SIGXFSZ.
void IgnoreFileSizeSignal();

}  // namespace platform
