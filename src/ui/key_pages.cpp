// The side menu, its pages and the parking box Smietnik, and the value labels
// and pickers of the connection page as the port settings see them.

#include "ui/key_window.h"
#include "ui/wartosci.h"

namespace ui {
namespace {

const char* ValueLabelName(converter::PortField field) {
  switch (field) {
    case converter::PortField::kPortNumber:
      return "lblNrPortuVal";
    case converter::PortField::kBaudRate:
      return "lblSpeedVal";
    case converter::PortField::kParity:
      return "lblPariteVal";
    case converter::PortField::kDataBits:
      return "lblBitsDataVal";
    case converter::PortField::kStopBits:
      return "lblBitsStopVal";
  }
  return "lblNrPortuVal";
}

const char* PickerName(converter::PortField field) {
  switch (field) {
    case converter::PortField::kPortNumber:
      return "picNrPort";
    case converter::PortField::kBaudRate:
      return "picSpeed";
    case converter::PortField::kParity:
      return "picParite";
    case converter::PortField::kDataBits:
      return "picData";
    case converter::PortField::kStopBits:
      return "picStop";
  }
  return "picNrPort";
}

}  // namespace

void KEY::HideAllPanels() {
  tk::Control& parking = C("Smietnik");
  for (const char* page : {"picPoloczenie", "picZdarzenia", "picPlik", "picRamka", "picTransmisja"})
    SetControlContainer(C(page), parking);
}

void KEY::ShowPanel(tk::Control& panel) {
  HideAllPanels();
  if (&panel == form_.get()) return;
  SetControlContainer(panel, *form_);
  panel.SetLeft(50);
  panel.SetTop(50);
}

void KEY::EnableNavigation(bool value) {
  for (const char* entry : {"lblzdarzenia", "lblPlik", "LblUstawieniaPortu", "lblTransmisja"})
    C(entry).SetEnabled(value);
  C("cmdOdbierzAll").SetEnabled(value);
  C("cmdUstawAll").SetEnabled(value);
}

void KEY::lblzdarzenia_Click() { ShowPanel(C("picZdarzenia")); }
void KEY::lblPlik_Click() { ShowPanel(C("picPlik")); }
void KEY::LblUstawieniaPortu_Click() { ShowPanel(C("picPoloczenie")); }
void KEY::lblTransmisja_Click() { ShowPanel(C("picTransmisja")); }
void KEY::lblRamka_Click() { ShowPanel(C("picRamka")); }

void KEY::SetValueLabel(converter::PortField field, const std::string& text) {
  C(ValueLabelName(field)).SetCaption(text);
}

std::string KEY::ValueLabel(converter::PortField field) const {
  return form_->Find(ValueLabelName(field)).Caption();
}

void KEY::ParkPicker(converter::PortField field) {
  SetControlContainer(C(PickerName(field)), C("Smietnik"));
}

}  // namespace ui
