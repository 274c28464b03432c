#pragma once
// The users' own locale for a test: pl_PL.UTF-8, whose decimal mark is ",".
// A machine without it gets one of its own, compiled from the locale sources
// into a temporary folder that LOCPATH names for the test's lifetime.
// SetProcessLocale puts it in force as the window toolkit does at start;
// everything is put back when the object goes.

#include <locale.h>
#include <stdlib.h>

#include <clocale>
#include <cstdlib>
#include <optional>
#include <string>

#include "support/temp_folder.h"

namespace testing_support {

class PolishLocale {
 public:
  static constexpr const char* kName = "pl_PL.UTF-8";

  PolishLocale() {
    const char* current = std::setlocale(LC_ALL, nullptr);
    saved_ = current ? current : "C";
    locale_t probe = newlocale(LC_ALL_MASK, kName, static_cast<locale_t>(nullptr));
    if (probe != static_cast<locale_t>(nullptr)) {
      freelocale(probe);
      return;
    }
    folder_.emplace();
    const std::string make =
        "localedef -i pl_PL -f UTF-8 " + folder_->File(kName) + " >/dev/null 2>&1";
    if (std::system(make.c_str()) == 0) setenv("LOCPATH", folder_->path().c_str(), 1);
  }
  ~PolishLocale() {
    std::setlocale(LC_ALL, saved_.c_str());
    if (folder_) unsetenv("LOCPATH");
  }
  PolishLocale(const PolishLocale&) = delete;
  PolishLocale& operator=(const PolishLocale&) = delete;

  // Makes it the process's C locale; false when it cannot be had.
  bool SetProcessLocale() { return std::setlocale(LC_ALL, kName) != nullptr; }

 private:
  std::string saved_;
  std::optional<TempFolder> folder_;
};

}  // namespace testing_support
