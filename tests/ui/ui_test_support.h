#pragma once
// A main window started in a folder of its own, with its own Settings.ini
// and (optionally) set.lng, its message boxes recorded instead of shown.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/cp1250.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "settings/ini.h"
#include "support/temp_folder.h"
#include "support/test_clock.h"
#include "ui/key_window.h"

namespace ui {

// Reaches the window's private procedures.
struct KeyTestPeer {
  static void ShowPanel(KEY& k, tk::Control& panel) { k.ShowPanel(panel); }
  static void HideAllPanels(KEY& k) { k.HideAllPanels(); }
  static void EnableNavigation(KEY& k, bool value) { k.EnableNavigation(value); }
};

}  // namespace ui

namespace ui_test {

struct Box {
  std::string text;
  platform::MsgBoxIcon icon;
  bool operator==(const Box& o) const { return text == o.text && icon == o.icon; }
};

inline std::ostream& operator<<(std::ostream& os, const Box& b) {
  return os << (b.icon == platform::MsgBoxIcon::kCritical ? "critical: " : "info: ") << '"'
            << b.text << '"';
}

// A clock on which a wait that finds the port empty lets all its time pass
// at once: a converter that stays silent times out at once. SetHurrying(false)
// makes the waits patient, for a converter that answers.
class HurryingClock : public testing_support::TestClock {
 public:
  HurryingClock() : TestClock(/*hurrying=*/true) {}
};

inline const char* kDefaultTables =
    "[typy ramek]\r\n0=Ramka 0\r\n1=Ramka 1\r\n2=Ramka 2\r\n3=Ramka 3\r\n\r\n"
    "[wagi]\r\nWaga A=0\r\nWaga B=0\r\nWaga C=1\r\nWaga D=2\r\nWaga E=ALL\r\n";

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetAppFolderForTesting(folder_.path());
    old_sink_ = platform::SetMsgBoxSink([this](const std::string& text, platform::MsgBoxIcon icon) {
      boxes.push_back({text, icon});
    });
  }
  void TearDown() override {
    window_.reset();
    platform::SetMsgBoxSink(old_sink_);
    platform::SetAppFolderForTesting("");
  }

  // Writes a file of the folder from UTF-8 text (stored as windows-1250).
  void WriteFile(const std::string& name, const std::string& utf8) {
    ASSERT_TRUE(platform::WriteFileAtomically(folder_.File(name), platform::Utf8ToCp1250(utf8)));
  }
  std::string ReadFile(const std::string& name) {
    std::string bytes;
    platform::ReadWholeFile(folder_.File(name), &bytes);
    return platform::Cp1250ToUtf8(bytes);
  }
  // A settings file: the port section for port_number, the given
  // "parametry" lines (none: no such section) and the two tables.
  void WriteSettings(const std::string& parametry, int port_number = 1,
                     const std::string& tables = kDefaultTables) {
    std::string text = "[USTAWIENIA]\r\nNR PORTU=" + std::to_string(port_number) +
                       "\r\nPRĘDKOŚĆ=9600\r\nPARZYSTOŚĆ=N\r\nBITY DANYCH=8\r\nBITY STOPU=1\r\n\r\n";
    if (!parametry.empty()) text += "[parametry]\r\n" + parametry + "\r\n";
    text += tables;
    WriteFile("Settings.ini", text);
  }

  // The settings and language files delivered with the program, from this
  // source tree's data folder.
  void UseDeliveredFiles() {
    std::string here = __FILE__;
    const std::string data = here.substr(0, here.rfind("/tests/")) + "/data/";
    for (const char* name : {"Settings.ini", "set.lng"}) {
      std::string bytes;
      ASSERT_TRUE(platform::ReadWholeFile(data + name, &bytes)) << name;
      ASSERT_TRUE(platform::WriteFileAtomically(folder_.File(name), bytes)) << name;
    }
  }

  ui::KEY& Start(platform::Clock& clock = platform::SystemClock()) {
    window_ = std::make_unique<ui::KEY>(clock);
    window_->Form_Load();
    QCoreApplication::processEvents();
    return *window_;
  }
  ui::KEY& key() { return *window_; }
  tk::Form& form() { return window_->form(); }
  tk::Control& C(const std::string& name, int index = -1) { return form().Find(name, index); }
  template <typename T>
  T& Get(const std::string& name, int index = -1) {
    return form().Get<T>(name, index);
  }

  std::vector<Box> boxes;
  testing_support::TempFolder folder_;

 private:
  platform::MsgBoxSink old_sink_;
  std::unique_ptr<ui::KEY> window_;
};

inline Box Info(const std::string& text) { return {text, platform::MsgBoxIcon::kInformation}; }
inline Box Critical(const std::string& text) { return {text, platform::MsgBoxIcon::kCritical}; }

// The keys of one section of an INI text, in file order.
inline std::vector<std::string> KeysOf(const std::string& text, const std::string& section) {
  std::vector<std::string> keys;
  bool in = false;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '[') {
      in = line == "[" + section + "]";
    } else if (in && !line.empty()) {
      keys.push_back(line.substr(0, line.find('=')));
    }
    start = end + 1;
  }
  return keys;
}

// The section names of an INI text, in file order.
inline std::vector<std::string> SectionsOf(const std::string& text) {
  std::vector<std::string> sections;
  size_t at = 0;
  while ((at = text.find('[', at)) != std::string::npos) {
    if (at == 0 || text[at - 1] == '\n') {
      size_t close = text.find(']', at);
      sections.push_back(text.substr(at + 1, close - at - 1));
    }
    ++at;
  }
  return sections;
}

}  // namespace ui_test
