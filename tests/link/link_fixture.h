#pragma once
// Shared pieces of the converter-link tests: a temporary executable folder
// with its language file, a message-box recorder and a recording wait banner.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "link/protocol.h"
#include "platform/cp1250.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "settings/language.h"

namespace converter {
namespace test {

// Points the executable's folder and the language file at a fresh temporary
// folder and records message boxes for as long as it lives.
class TempAppFolder {
 public:
  struct Shown {
    std::string text;
    platform::MsgBoxIcon icon;
  };

  TempAppFolder() {
    char pattern[] = "/tmp/link_test_XXXXXX";
    if (mkdtemp(pattern) != nullptr) folder_ = pattern;
    platform::SetAppFolderForTesting(folder_);
    settings::LanguageFile = folder_ + "/set.lng";
    old_sink_ = platform::SetMsgBoxSink([this](const std::string& text, platform::MsgBoxIcon icon) {
      shown_.push_back({text, icon});
    });
  }
  ~TempAppFolder() {
    platform::SetMsgBoxSink(old_sink_);
    platform::SetAppFolderForTesting("");
    settings::LanguageFile.clear();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  const std::string& folder() const { return folder_; }
  std::string Path(const std::string& name) const { return folder_ + "/" + name; }
  const std::vector<Shown>& shown() const { return shown_; }

  // Raw bytes of a file in the folder ("" when missing).
  std::string ReadBytes(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }
  // Writes UTF-8 text as windows-1250 with CR LF line ends.
  void WriteText(const std::string& name, const std::string& text) const {
    std::string bytes;
    for (char c : platform::Utf8ToCp1250(text)) {
      if (c == '\n') bytes += '\r';
      bytes += c;
    }
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }

 private:
  std::string folder_;
  platform::MsgBoxSink old_sink_;
  std::vector<Shown> shown_;
};

class RecordingConverterView : public ConverterView {
 public:
  void ShowWaitBanner(bool visible) override { calls.push_back(visible); }
  std::vector<bool> calls;
};

}  // namespace test
}  // namespace converter
