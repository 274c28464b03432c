// The pickers of the connection page: a click on a row's caption opens the
// row's picker on the page, beside the row; a choice hands its value to the
// port settings, which park the picker again. The port number is typed on a
// keypad whose entry is the row's own value label.

#include <string>

#include "link/port_settings.h"
#include "platform/cp1250.h"
#include "platform/vb_error.h"
#include "ui/key_window.h"
#include "ui/wartosci.h"

namespace ui {
namespace {

constexpr size_t kMaxPortDigits = 4;

}  // namespace

void KEY::LblNrPortuCap_Click() {
  tk::Control& keypad = C("picNrPort");
  SetControlContainer(keypad, C("picPoloczenie"));
  PlaceControlAtAnchor(keypad, C("Picture4"), 0);

  // Only the ten digit keys keep a tab stop, in the order 0 to 9, for the
  // rest of the window's life. Kinds without a tab stop are passed over.
  for (int i = 0; i < form_->ControlCount(); ++i) {
    platform::ResumeNext([&] { form_->ControlAt(i).SetTabStop(false); });
  }
  for (int d = 0; d <= 9; ++d) {
    platform::ResumeNext([&] { C("ButtonXP1", d).SetTabIndex(d); });
    platform::ResumeNext([&] { C("ButtonXP1", d).SetTabStop(true); });
  }
  platform::ResumeNext([&] { C("lblNrPortuVal").SetCaption(""); });
}

void KEY::lblSpeedCap_Click() {
  tk::Control& picker = C("picSpeed");
  picker.SetContainer(&C("picPoloczenie"));
  PlaceControlAtAnchor(picker, C("Picture10"), 0);
}

void KEY::lblPariteCap_Click() {
  // Placed below its row like the others, but the focus stays where it is.
  tk::Control& picker = C("picParite");
  tk::Control& row = C("Picture7");
  SetControlContainer(picker, C("picPoloczenie"));
  picker.SetLeft(row.Left());
  picker.SetTop(row.Top() + row.Height());
}

void KEY::lblBitsDataCap_Click() {
  tk::Control& picker = C("picData");
  SetControlContainer(picker, C("picPoloczenie"));
  PlaceControlAtAnchor(picker, C("Picture9"), 0);
}

void KEY::lblBitsStopCap_Click() {
  // The last row: its picker opens above it.
  tk::Control& picker = C("picStop");
  SetControlContainer(picker, C("picPoloczenie"));
  PlaceControlAtAnchor(picker, C("Picture8"), 1);
}

void KEY::ButtonXP1_Click(int16_t& Index) {
  // The digit keys stay tab stops after the keypad is parked; the row then
  // shows the port number in force, which a key must not change.
  if (C("picNrPort").Container() != &C("picPoloczenie")) return;
  tk::Control& entry = C("lblNrPortuVal");
  const std::string typed = entry.Caption();
  if (platform::Utf8Length(typed) < kMaxPortDigits) entry.SetCaption(typed + std::to_string(Index));
}

void KEY::cmdCLRNrPortu_Click() { C("lblNrPortuVal").SetCaption(""); }

void KEY::cmdOkNrPortu_Click() {
  const std::string typed = C("lblNrPortuVal").Caption();
  // Nothing typed keeps the stored number (shown, written and applied again).
  port_settings_->SetPortNumber(typed.empty() ? converter::PortSettings.PortNumber : typed);
}

void KEY::cmdNoNrPortu_Click() {
  port_settings_->SetPortNumber(converter::PortSettings.PortNumber);
}

void KEY::ButtonXP4_Click() { port_settings_->SetBaudRate("4800"); }
void KEY::ButtonXP5_Click() { port_settings_->SetBaudRate("9600"); }
void KEY::ButtonXP6_Click() { port_settings_->SetBaudRate("19200"); }
void KEY::ButtonXP7_Click() { port_settings_->SetParity("N"); }
void KEY::ButtonXP8_Click() { port_settings_->SetParity("O"); }
void KEY::ButtonXP9_Click() { port_settings_->SetParity("E"); }
void KEY::ButtonXP13_Click() { port_settings_->SetDataBits("7"); }
void KEY::ButtonXP10_Click() { port_settings_->SetDataBits("8"); }
void KEY::ButtonXP12_Click() { port_settings_->SetStopBits("1"); }
void KEY::ButtonXP11_Click() { port_settings_->SetStopBits("2"); }

}  // namespace ui
