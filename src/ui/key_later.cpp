// Handlers whose pages are completed separately: the list clicks and the
// frame-type exchange, the port-setting pickers, the frame options, the
// handlers out of the user's reach and the simulator. Empty for now.

#include "ui/key_window.h"

namespace ui {

void KEY::lstTypRamki_Click() {}
void KEY::lstWagiZgodne_Click() {}
void KEY::cmdOdbierzRamke_Click() {}
void KEY::cmdUstawRamke_Click() {}

void KEY::LblNrPortuCap_Click() {}
void KEY::lblSpeedCap_Click() {}
void KEY::lblPariteCap_Click() {}
void KEY::lblBitsDataCap_Click() {}
void KEY::lblBitsStopCap_Click() {}
void KEY::ButtonXP1_Click(int16_t& /*Index*/) {}
void KEY::cmdCLRNrPortu_Click() {}
void KEY::cmdOkNrPortu_Click() {}
void KEY::cmdNoNrPortu_Click() {}
void KEY::ButtonXP4_Click() {}
void KEY::ButtonXP5_Click() {}
void KEY::ButtonXP6_Click() {}
void KEY::ButtonXP7_Click() {}
void KEY::ButtonXP8_Click() {}
void KEY::ButtonXP9_Click() {}
void KEY::ButtonXP13_Click() {}
void KEY::ButtonXP10_Click() {}
void KEY::ButtonXP12_Click() {}
void KEY::ButtonXP11_Click() {}

void KEY::Option1_Click() {}
void KEY::Option2_Click() {}
void KEY::chZmiana_Click() {}
void KEY::chZmianaCR_Click() {}
void KEY::chZmianaLF_Click() {}
void KEY::SaveTextOption() {}
void KEY::SaveDotOption() {}
void KEY::SaveCrOption() {}
void KEY::SaveLfOption() {}
void KEY::cmdStart_Click() {}
void KEY::cmdUkryj_Click() {}
void KEY::mnuVisible_Click() {}
void KEY::mnuClose_Click() {}
void KEY::mnuHelp_Click() {}
void KEY::MSComm1_OnComm() {}

void KEY::chNasluch_Click() {}
void KEY::Slider1_Moved() {}
void KEY::Timer3_Timer() {}

}  // namespace ui
