#include "ui/chart_window.h"

#include "settings/language.h"
#include "toolkit/description.h"
#include "ui/key_window.h"

namespace ui {

frmWykresy::~frmWykresy() = default;

void frmWykresy::ShowModal() {
  PrepareWindowResources();
  form_ = tk::LoadFormResource(":/ui/wykresy.frm");
  tk::Control& label = form_->Find("Label1");
  label.Click = [this] { Label1_Click(); };
  Form_Load();
  form_->ShowModal();
  form_.reset();
}

void frmWykresy::Drop() {
  if (form_ && form_->Loaded()) form_->Unload();
}

void frmWykresy::Form_Load() {
  if (WykresId_ > 3 || WykresId_ < 1) WykresId_ = 1;
  form_->Get<tk::Image>("Image1").SetPicture(charts_.ListImage(WykresId_));
  settings::TranslateControls(form_->Tag(), *form_, form_->Caption());
}

void frmWykresy::Label1_Click() { form_->Unload(); }

}  // namespace ui
