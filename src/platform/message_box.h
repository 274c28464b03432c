#pragma once
// Message boxes: an OK button, an empty title and one of two icons. The box
// itself is drawn by whoever installed the sink (the window toolkit at start,
// a recorder in tests); without a sink the text goes to standard error.

#include <functional>
#include <string>

namespace platform {

enum class MsgBoxIcon { kInformation, kCritical };

using MsgBoxSink = std::function<void(const std::string& text, MsgBoxIcon icon)>;

// Shows the text and returns when the user has pressed OK.
void MsgBox(const std::string& text, MsgBoxIcon icon = MsgBoxIcon::kInformation);

// Installs a sink and returns the one it replaces. An empty sink sends the
// texts to standard error again ("[info] text", "[critical] text").
MsgBoxSink SetMsgBoxSink(MsgBoxSink sink);

}  // namespace platform
