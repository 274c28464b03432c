#include "settings/language.h"

#include "platform/cp1250.h"
#include "platform/vb_error.h"
#include "settings/ini.h"
#include "settings/profile.h"

namespace settings {

std::string LanguageFile;

namespace {

// The longest entry that a value read can return whole, in the file's bytes.
constexpr size_t kLongestReadableEntry = 98;

// An entry too long to be read reads as empty; it is a translator's text all
// the same and must not be overwritten with the built-in one.
bool StoredEntryTooLong(const std::string& section, const std::string& key) {
  std::optional<std::string> stored = FindPrivateProfileValue(
      platform::Utf8ToCp1250(section), platform::Utf8ToCp1250(key), LanguageFile);
  return stored.has_value() && stored->size() > kLongestReadableEntry;
}

}  // namespace

std::string TranslateText(const std::string& section, const std::string& key,
                          const std::string& builtin) {
  std::string value = ReadIniValue(LanguageFile, section, key, "");
  if (!value.empty()) return value;
  if (!StoredEntryTooLong(section, key)) WriteIniValue(LanguageFile, section, key, builtin);
  return builtin;
}

void TranslateControls(const std::string& section, TranslatableWindow& window,
                       const std::string& mode) {
  int count = 0;
  if (!platform::ResumeNext([&] { count = window.ControlCount(); })) return;
  for (int i = 0; i < count; ++i) {
    TranslatableControl* control = nullptr;
    if (!platform::ResumeNext([&] { control = &window.ControlAt(i); })) continue;
    std::string tag;
    // A Tag that cannot be read fails the two steps below the same way.
    if (platform::ResumeNext([&] { tag = control->Tag(); }) && tag.empty()) continue;
    platform::ResumeNext([&] {
      std::string key = control->Tag();
      std::string caption = control->Caption();
      control->SetCaption(TranslateText(section, key, caption));
    });
    platform::ResumeNext([&] {
      std::string text = control->Text();
      if (!text.empty() && mode == "text") {
        control->SetText(TranslateText(section, control->Tag(), text));
      }
    });
  }
}

void TranslateFormCaption(TranslatableWindow& window) {
  window.SetCaption(TranslateText("Formatki", window.Tag(), window.Caption()));
}

std::string TranslateMessageText(const std::string& key, const std::string& text) {
  if (!text.empty()) return TranslateText("komunikaty", key, text);
  return TranslateText("komunikatyProste", key, key);
}

}  // namespace settings
