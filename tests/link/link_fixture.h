#pragma once
// Shared pieces of the converter-link tests: a temporary executable folder
// with its language file, a message-box recorder and a recording wait banner.

#include <string>
#include <vector>

#include "link/protocol.h"
#include "platform/cp1250.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "settings/language.h"
#include "support/temp_folder.h"

namespace converter {
namespace test {

// Points the executable's folder and the language file at a fresh temporary
// folder and records message boxes for as long as it lives.
class TempAppFolder : public testing_support::TempFolder {
 public:
  struct Shown {
    std::string text;
    platform::MsgBoxIcon icon;
  };

  TempAppFolder() {
    platform::SetAppFolderForTesting(path());
    settings::LanguageFile = File("set.lng");
    old_sink_ = platform::SetMsgBoxSink([this](const std::string& text, platform::MsgBoxIcon icon) {
      shown_.push_back({text, icon});
    });
  }
  ~TempAppFolder() {
    platform::SetMsgBoxSink(old_sink_);
    platform::SetAppFolderForTesting("");
    settings::LanguageFile.clear();
  }

  const std::vector<Shown>& shown() const { return shown_; }

  // Raw bytes of a file in the folder ("" when missing).
  std::string ReadBytes(const std::string& name) const {
    return testing_support::ReadBytes(File(name));
  }
  // Writes UTF-8 text as windows-1250 with CR LF line ends.
  void WriteText(const std::string& name, const std::string& text) const {
    std::string bytes;
    for (char c : platform::Utf8ToCp1250(text)) {
      if (c == '\n') bytes += '\r';
      bytes += c;
    }
    testing_support::WriteBytes(File(name), bytes);
  }

 private:
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
