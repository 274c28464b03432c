// The simulator page: while "Nasłuch ciągły" is ticked the frame of the
// slider's value goes out on the serial line every 50 ms, followed by CR LF.

#include "link/frame.h"
#include "platform/vb_error.h"
#include "ui/key_window.h"

namespace ui {

void KEY::chNasluch_Click() {
  auto& box = Get<tk::CheckBox>("chNasluch");
  auto& timer = Get<tk::Timer>("Timer3");
  if (box.Value() == 1) {
    if (link_->OpenPort()) {
      C("Text1").SetText(converter::BuildFrame(Get<tk::Slider>("Slider1").Value()));
      timer.SetEnabled(true);
      EnableNavigation(false);
    } else {
      // The port's message has been shown; clearing the box runs this handler
      // again, which leaves everything idle.
      box.SetValue(0);
    }
  } else {
    if (comm_->port().PortOpen()) comm_->port().SetPortOpen(false);
    timer.SetEnabled(false);
    EnableNavigation(true);
  }
}

void KEY::Slider1_Moved() {
  C("Text1").SetText(converter::BuildFrame(Get<tk::Slider>("Slider1").Value()));
}

void KEY::Timer3_Timer() {
  try {
    comm_->port().Output(converter::SimulatedFrame + "\r\n");
  } catch (const platform::VbError&) {
    // The port was closed under the simulator or the device has gone: stop
    // as if the box had been cleared, so that no further tick writes.
    auto& timer = Get<tk::Timer>("Timer3");
    timer.SetEnabled(false);
    auto& box = Get<tk::CheckBox>("chNasluch");
    if (box.Value() != 0) {
      box.SetValue(0);  // raises chNasluch_Click: port closed, menu enabled
    } else {
      // Sending without the box (the start button): undo the same way.
      platform::ResumeNext([&] {
        if (comm_->port().PortOpen()) comm_->port().SetPortOpen(false);
      });
      EnableNavigation(true);
    }
  }
}

}  // namespace ui
