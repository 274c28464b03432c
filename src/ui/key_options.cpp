// The frame options of the page "RAMKA", each written to the settings file the
// moment it changes, and the handlers whose controls lie out of the user's
// reach: the start and hide buttons, the hidden menu "Tray" and the serial
// control's event.

#include <string>

#include "platform/files.h"
#include "platform/process.h"
#include "settings/ini.h"
#include "ui/key_window.h"

namespace ui {
namespace {

// The section of the frame options, shared with the port settings. A write
// that fails is reported; the control keeps its new value.
void WriteFrameOption(const std::string& key, const std::string& value) {
  settings::SaveUserSetting("USTAWIENIA", key, value);
}

}  // namespace

void KEY::Option1_Click() { SaveTextOption(); }
void KEY::Option2_Click() { SaveTextOption(); }
void KEY::chZmiana_Click() { SaveDotOption(); }
void KEY::chZmianaCR_Click() { SaveCrOption(); }
void KEY::chZmianaLF_Click() { SaveLfOption(); }

void KEY::SaveTextOption() {
  // Both options come here; the first one alone decides.
  WriteFrameOption("TEKST", Get<tk::OptionButton>("Option1").Value() ? "True" : "False");
}

void KEY::SaveDotOption() {
  WriteFrameOption("ZMIANA", std::to_string(Get<tk::CheckBox>("chZmiana").Value()));
}

void KEY::SaveCrOption() {
  WriteFrameOption("CR", Get<tk::CheckBox>("chZmianaCR").Value() == 1 ? "0" : "13");
}

void KEY::SaveLfOption() {
  WriteFrameOption("LF", Get<tk::CheckBox>("chZmianaLF").Value() == 1 ? "0" : "10");
}

void KEY::cmdStart_Click() {
  // The port is not opened here; a tick that cannot write stops the sending.
  Get<tk::Timer>("Timer3").SetEnabled(true);
  form_->Hide();
  ShowPanel(*form_);
}

void KEY::cmdUkryj_Click() { form_->Hide(); }

void KEY::mnuVisible_Click() { form_->Show(); }

void KEY::mnuClose_Click() { form_->Unload(); }

void KEY::mnuHelp_Click() {
  // Started on its own and not waited for; a missing or broken program is
  // ignored.
  const std::string program =
      platform::ResolveCaseInsensitive(platform::AppPath("tormex_help.exe"));
  platform::StartDetached(program, platform::AppFolder());
}

void KEY::MSComm1_OnComm() {
  // Replies are read by polling the port; the control's event has no use.
}

}  // namespace ui
