// The clicks of the frame-type list and the list of compatible scales, and
// the converter's frame type read and set from the page "PARAMETRY WAGI".

#include "link/frame.h"
#include "platform/message_box.h"
#include "platform/vb_number.h"
#include "ui/key_window.h"

namespace ui {

// A list's Click also comes when the program changes its selection; only a
// pick made while the list itself has the focus is the user's. Either list's
// Click is dropped unless its own list is the window's active control.

void KEY::lstTypRamki_Click() {
  auto& frame_types = Get<tk::ListBox>("lstTypRamki");
  const tk::Control* active = form_->ActiveControl();
  if (active == nullptr || active->Name() != frame_types.Name()) return;
  // A Click that cleared the selection names no frame type.
  const int row = frame_types.ListIndex();
  if (row < 0 || row >= static_cast<int>(FrameTypeTable.size())) return;
  const std::string code = FrameTypeTable[static_cast<size_t>(row)].KeyText;
  FillCompatibleScales(code);
  converter::LoadFrameLayout(code);
}

void KEY::lstWagiZgodne_Click() {
  auto& scales = Get<tk::ListBox>("lstWagiZgodne");
  const tk::Control* active = form_->ActiveControl();
  if (active == nullptr || active->Name() != scales.Name()) return;
  const int row = scales.ListIndex();
  if (row < 0) return;
  SelectFrameForScale(scales.List(row));
}

void KEY::cmdOdbierzRamke_Click() {
  const std::string reply = link_->GetFrameType();
  if (platform::IsNumeric(reply)) {
    bool found = false;
    SelectFrameType(reply, found);
    if (!found) platform::MsgBox("Wartość niezefiniowana", platform::MsgBoxIcon::kInformation);
  } else {
    // A wrong reply or the time-out text; empty when the port did not open.
    platform::MsgBox(reply, platform::MsgBoxIcon::kInformation);
  }
}

void KEY::cmdUstawRamke_Click() {
  // With no row selected there is no frame type to send.
  const int row = Get<tk::ListBox>("lstTypRamki").ListIndex();
  if (row < 0 || row >= static_cast<int>(FrameTypeTable.size())) return;
  const std::string code = FrameTypeTable[static_cast<size_t>(row)].KeyText;
  if (!platform::IsNumeric(code)) return;
  const std::string read_back = link_->SetFrameType(code);
  const bool numeric = platform::IsNumeric(read_back);
  // Compared by value: "01" sent and "1" read back are the same frame type.
  if (!numeric) {
    platform::MsgBox(read_back, platform::MsgBoxIcon::kInformation);
  } else if (platform::Val(code) != platform::Val(read_back)) {
    platform::MsgBox(kWriteFailedText, platform::MsgBoxIcon::kInformation);
  }
}

}  // namespace ui
