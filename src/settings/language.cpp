#include "settings/language.h"

#include "platform/cp1250.h"
#include "platform/files.h"
#include "platform/vb_error.h"
#include "settings/ini.h"
#include "settings/profile.h"

namespace settings {

std::string LanguageFile;

namespace {

// The longest entry that a value read can return whole, in the file's bytes.
constexpr size_t kLongestReadableEntry = 98;

// While a load fills a language file that held nothing: its writes are
// flushed once, when the load ends.
bool deferring_sync = false;
bool sync_pending = false;

}  // namespace

std::string DefaultLanguageFile() { return platform::AppPath("set.lng"); }

LanguageLoad::LanguageLoad() {
  if (deferring_sync) return;  // an outer load decides
  owner_ = deferring_sync = ProfileHoldsNoEntries(LanguageFile);
}

LanguageLoad::~LanguageLoad() {
  if (!owner_) return;
  deferring_sync = false;
  // The window need not wait for the disk.
  if (sync_pending) platform::SyncFileInBackground(platform::ResolveCaseInsensitive(LanguageFile));
  sync_pending = false;
}

std::string TranslateText(const std::string& section, const std::string& key,
                          const std::string& builtin) {
  // One read gives the stored text whatever its length: an entry too long to
  // be read shows the built-in text, but it is a translator's text all the
  // same and must not be overwritten with the built-in one.
  const std::optional<std::string> stored = FindPrivateProfileValue(
      platform::Utf8ToCp1250(section), platform::Utf8ToCp1250(key), LanguageFile);
  if (stored && stored->size() > kLongestReadableEntry) return builtin;
  if (stored && !stored->empty()) return platform::Cp1250ToUtf8(*stored);
  const platform::FileSync sync =
      deferring_sync ? platform::FileSync::kLater : platform::FileSync::kNow;
  if (WriteIniValue(LanguageFile, section, key, builtin, sync) && deferring_sync) {
    sync_pending = true;
  }
  return builtin;
}

void TranslateControls(const std::string& section, TranslatableWindow& window,
                       const std::string& mode) {
  const platform::FileLoad files;
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
