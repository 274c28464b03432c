// The working mode with its chart preview and chart window, and the version.

#include "platform/message_box.h"
#include "platform/vb_number.h"
#include "ui/chart_window.h"
#include "ui/key_window.h"

namespace ui {

int KEY::SelectedMode() {
  for (int i = 0; i <= 2; ++i)
    if (Get<tk::OptionButton>("opModPracy", i).Value()) return i;
  return -1;
}

void KEY::opModPracy_Click(int16_t& Index) {
  Get<tk::Image>("Image5").SetPicture(Get<tk::ImageList>("ImageList1").ListImage(Index + 1));
}

void KEY::cmdOdbierzMod_Click() {
  const int prev = SelectedMode();
  std::string r = link_->GetMode();
  if (!platform::IsNumeric(r) || platform::Val(r) < 0 || platform::Val(r) > 2) {
    platform::MsgBox(r, platform::MsgBoxIcon::kInformation);
    r = platform::NumberToText(prev);
  }
  const int k = platform::CInt(platform::Val(r));
  if (k < 0) return;  // no option was selected before a bad reply: nothing to restore
  Get<tk::OptionButton>("opModPracy", k).SetValue(true);
  Get<tk::Image>("Image5").SetPicture(Get<tk::ImageList>("ImageList1").ListImage(k + 1));
}

void KEY::cmdUstawMod_Click() {
  const int sel = SelectedMode();
  const std::string sent = platform::NumberToText(sel);
  const std::string r = link_->SetMode(sent);
  const bool numeric = platform::IsNumeric(r);
  const bool out_of_range = !numeric || platform::Val(r) < 0 || platform::Val(r) > 2;
  const bool differs = numeric && static_cast<double>(sel) != platform::Val(r);
  if (out_of_range || differs) {
    if (out_of_range) platform::MsgBox(r, platform::MsgBoxIcon::kInformation);
    if (differs) platform::MsgBox(kWriteFailedText, platform::MsgBoxIcon::kInformation);
  }
}

void KEY::ButtonXP2_Click() {
  if (!wykresy_) wykresy_ = std::make_unique<frmWykresy>(Get<tk::ImageList>("ImageList1"));
  wykresy_->WykresId(SelectedMode() + 1);
  wykresy_->ShowModal();
}

void KEY::cmdWersja_Click() { C("lblWersja").SetCaption(link_->GetVersion()); }

}  // namespace ui
