#pragma once
// The language service: captions and messages looked up in the language file,
// which fills itself with the built-in Polish texts the first time each is needed.

#include <string>

#include "settings/window_walk.h"

namespace settings {

// Full path of the language file; set first thing at start-up.
extern std::string LanguageFile;

std::string TranslateText(const std::string& section, const std::string& key,
                          const std::string& builtin);
void TranslateControls(const std::string& section, TranslatableWindow& window,
                       const std::string& mode);
void TranslateFormCaption(TranslatableWindow& window);
std::string TranslateMessageText(const std::string& key, const std::string& text);

}  // namespace settings
