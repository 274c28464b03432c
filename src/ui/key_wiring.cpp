// Every handler of the main window tied to its control's event, in one place.

#include "ui/key_window.h"

namespace ui {

void KEY::WireEvents() {
  auto click = [this](const char* name, void (KEY::*handler)()) {
    C(name).Click = [this, handler] { (this->*handler)(); };
  };

  // The window itself.
  form_->KeyDown = [this](int16_t& key_code, int16_t& shift) { Form_KeyDown(key_code, shift); };
  form_->QueryUnload = [this](int16_t& cancel, int16_t& mode) { Form_QueryUnload(cancel, mode); };
  form_->Unloaded = [this](int16_t& cancel) { Form_Unload(cancel); };
  Get<tk::Timer>("Timer1").Tick = [this] { Timer1_Timer(); };
  Get<tk::Timer>("Timer3").Tick = [this] { Timer3_Timer(); };
  C("PicTray").MouseMove = [this](int16_t& b, int16_t& s, float& x, float& y) {
    PicTray_MouseMove(b, s, x, y);
  };
  comm_->OnComm = [this] { MSComm1_OnComm(); };
  click("cmdZamknij", &KEY::cmdZamknij_Click);

  // Side menu.
  click("lblzdarzenia", &KEY::lblzdarzenia_Click);
  click("lblPlik", &KEY::lblPlik_Click);
  click("LblUstawieniaPortu", &KEY::LblUstawieniaPortu_Click);
  click("lblTransmisja", &KEY::lblTransmisja_Click);
  click("lblRamka", &KEY::lblRamka_Click);

  // The maximum.
  C("txtMaxVal").KeyPress = [this](int16_t& key_ascii) { txtMaxVal_KeyPress(key_ascii); };
  C("txtMaxVal").Change = [this] { txtMaxVal_Change(); };
  click("cmdOdbierzMax", &KEY::cmdOdbierzMax_Click);
  click("cmdUstawMax", &KEY::cmdUstawMax_Click);

  // Working mode and version.
  for (int i = 0; i <= 2; ++i) {
    C("opModPracy", i).Click = [this, i] {
      int16_t index = static_cast<int16_t>(i);
      opModPracy_Click(index);
    };
  }
  click("cmdOdbierzMod", &KEY::cmdOdbierzMod_Click);
  click("cmdUstawMod", &KEY::cmdUstawMod_Click);
  click("ButtonXP2", &KEY::ButtonXP2_Click);
  click("cmdWersja", &KEY::cmdWersja_Click);

  // Lists.
  click("lstTypRamki", &KEY::lstTypRamki_Click);
  click("lstWagiZgodne", &KEY::lstWagiZgodne_Click);
  click("cmdOdbierzRamke", &KEY::cmdOdbierzRamke_Click);
  click("cmdUstawRamke", &KEY::cmdUstawRamke_Click);

  // Port-setting pickers.
  click("LblNrPortuCap", &KEY::LblNrPortuCap_Click);
  click("lblSpeedCap", &KEY::lblSpeedCap_Click);
  click("lblPariteCap", &KEY::lblPariteCap_Click);
  click("lblBitsDataCap", &KEY::lblBitsDataCap_Click);
  click("lblBitsStopCap", &KEY::lblBitsStopCap_Click);
  for (int d = 0; d <= 9; ++d) {
    C("ButtonXP1", d).Click = [this, d] {
      int16_t index = static_cast<int16_t>(d);
      ButtonXP1_Click(index);
    };
  }
  click("cmdCLRNrPortu", &KEY::cmdCLRNrPortu_Click);
  click("cmdOkNrPortu", &KEY::cmdOkNrPortu_Click);
  click("cmdNoNrPortu", &KEY::cmdNoNrPortu_Click);
  click("ButtonXP4", &KEY::ButtonXP4_Click);
  click("ButtonXP5", &KEY::ButtonXP5_Click);
  click("ButtonXP6", &KEY::ButtonXP6_Click);
  click("ButtonXP7", &KEY::ButtonXP7_Click);
  click("ButtonXP8", &KEY::ButtonXP8_Click);
  click("ButtonXP9", &KEY::ButtonXP9_Click);
  click("ButtonXP13", &KEY::ButtonXP13_Click);
  click("ButtonXP10", &KEY::ButtonXP10_Click);
  click("ButtonXP12", &KEY::ButtonXP12_Click);
  click("ButtonXP11", &KEY::ButtonXP11_Click);

  // Frame options and the handlers out of reach.
  click("Option1", &KEY::Option1_Click);
  click("Option2", &KEY::Option2_Click);
  click("chZmiana", &KEY::chZmiana_Click);
  click("chZmianaCR", &KEY::chZmianaCR_Click);
  click("chZmianaLF", &KEY::chZmianaLF_Click);
  click("cmdStart", &KEY::cmdStart_Click);
  click("cmdUkryj", &KEY::cmdUkryj_Click);
  click("mnuVisible", &KEY::mnuVisible_Click);
  click("mnuClose", &KEY::mnuClose_Click);
  click("mnuHelp", &KEY::mnuHelp_Click);

  // The simulator.
  click("chNasluch", &KEY::chNasluch_Click);
  Get<tk::Slider>("Slider1").Moved = [this] { Slider1_Moved(); };
}

}  // namespace ui
