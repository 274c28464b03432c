#pragma once
// Makes the styled controls known to the window-description loader, under
// the kinds "ButtonXP" and "TextXP". Call once before loading a window.

namespace controls {
void RegisterControls();
}
