#pragma once
// Small helpers of the serial-control tests. Header-only.

#include <stdlib.h>

#include <functional>
#include <optional>
#include <string>

#include "platform/vb_error.h"
#include "support/temp_folder.h"

namespace testing_support {

// The error number that step raises; 0 when it raises none.
inline int ErrorOf(const std::function<void()>& step) {
  try {
    step();
  } catch (const platform::VbError& error) {
    return error.number();
  }
  return 0;
}

// A lock folder of the test's own (KONWERTER_LOCK_DIR) while it lives.
class ScopedLockFolder {
 public:
  ScopedLockFolder() {
    if (const char* former = getenv(kVariable)) former_ = former;
    setenv(kVariable, path().c_str(), 1);
  }
  ~ScopedLockFolder() {
    if (former_) {
      setenv(kVariable, former_->c_str(), 1);
    } else {
      unsetenv(kVariable);
    }
  }
  ScopedLockFolder(const ScopedLockFolder&) = delete;
  ScopedLockFolder& operator=(const ScopedLockFolder&) = delete;

  const std::string& path() const { return folder_.path(); }
  // The lock file that stands for a pseudo-terminal /dev/pts/n: "LCK..pts_n".
  std::string LockFileOf(const std::string& device) const {
    return folder_.File("LCK..pts_" + device.substr(device.rfind('/') + 1));
  }

 private:
  static constexpr const char* kVariable = "KONWERTER_LOCK_DIR";
  TempFolder folder_;
  std::optional<std::string> former_;
};

}  // namespace testing_support
