#pragma once
// SendKeys for the keys the program sends itself: "{Tab}" moves the focus to
// the next tab stop of the active window, "+{Tab}" to the previous one. Other
// key texts raise platform::VbError(kErrInvalidCall).

#include <string>

namespace tk {

void SendKeys(const std::string& keys);

}  // namespace tk
