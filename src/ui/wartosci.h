#pragma once
// Moving controls between containers and placing one beside another: how
// pages and pickers are opened and parked.

#include <cstdint>

#include "toolkit/control.h"

namespace ui {

// Makes new_container (the window or a picture box) the control's container.
// Left and Top keep their values, now counted in the new container.
void SetControlContainer(tk::Control& ctl, tk::Control& new_container);

// mode 0: ctl just below anchor; mode 1: just above it; left edges aligned.
// Any other mode moves nothing. In every mode ctl then gets the focus, which
// raises the toolkit's error when it cannot take it.
void PlaceControlAtAnchor(tk::Control& ctl, tk::Control& anchor, int16_t mode);

}  // namespace ui
