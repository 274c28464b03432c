#pragma once
// The language service: captions and messages looked up in the language file,
// which fills itself with the built-in Polish texts the first time each is needed.

#include <string>

#include "platform/files.h"
#include "settings/window_walk.h"

namespace settings {

// Full path of the language file; set first thing at start-up, to
// DefaultLanguageFile(): "set.lng" in the executable's folder.
extern std::string LanguageFile;
std::string DefaultLanguageFile();

// Held while a window loads its texts: one load of the files
// (platform::FileLoad). Where the language file holds no entry yet when the
// load begins (a first start: missing, empty, or only blank lines, comments
// and section headers), the entries the load writes into it replace the file
// at once but are flushed to disk once, in the background when the load ends,
// instead of after each entry. Loads inside a load change nothing.
class LanguageLoad {
 public:
  LanguageLoad();
  ~LanguageLoad();
  LanguageLoad(const LanguageLoad&) = delete;
  LanguageLoad& operator=(const LanguageLoad&) = delete;

 private:
  platform::FileLoad files_;  // made first and ended last
  bool owner_ = false;
};

std::string TranslateText(const std::string& section, const std::string& key,
                          const std::string& builtin);
// Translates the window's tagged controls; one load of the files
// (platform::FileLoad) of its own.
void TranslateControls(const std::string& section, TranslatableWindow& window,
                       const std::string& mode);
void TranslateFormCaption(TranslatableWindow& window);
std::string TranslateMessageText(const std::string& key, const std::string& text);

}  // namespace settings
