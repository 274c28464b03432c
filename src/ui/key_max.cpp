// The maximum weight: the six-digit box, the simulator slider's range that
// follows it, and the read and set buttons.

#include <cmath>
#include <string>

#include "platform/message_box.h"
#include "platform/vb_error.h"
#include "platform/vb_number.h"
#include "ui/key_window.h"

namespace ui {

void KEY::txtMaxVal_KeyPress(int16_t& KeyAscii) {
  if (KeyAscii < 28) return;                     // control keys pass
  if (KeyAscii >= 48 && KeyAscii <= 57) return;  // digits pass
  KeyAscii = 0;
}

void KEY::txtMaxVal_Change() {
  auto& slider = Get<tk::Slider>("Slider1");
  tk::Control& box = C("txtMaxVal");
  const double v = platform::Val(box.Text());
  platform::ResumeNext([&] { slider.SetMax(platform::CLng(v)); });
  platform::ResumeNext([&] { slider.SetMin(platform::CLng(-platform::Val(box.Text()))); });
  platform::ResumeNext([&] { C("lblMinus").SetCaption(platform::NumberToText(slider.Min())); });
  platform::ResumeNext([&] { C("lblPlus").SetCaption(platform::NumberToText(slider.Max())); });
}

void KEY::cmdOdbierzMax_Click() {
  const std::string r = link_->GetMax();
  if (platform::IsNumeric(r)) {
    C("txtMaxVal").SetText(platform::Format(platform::Val(r), "000000"));
  } else {
    platform::MsgBox(r, platform::MsgBoxIcon::kInformation);
  }
}

namespace {

// The digits of a number's text without its leading zeros.
std::string Digits(const std::string& text) {
  std::string digits;
  for (char c : text) {
    if (c >= '0' && c <= '9' && (c != '0' || !digits.empty())) digits += c;
  }
  return digits;
}

}  // namespace

void KEY::cmdUstawMax_Click() {
  tk::Control& box = C("txtMaxVal");
  const double value = platform::Val(box.Text());
  // A number beyond a double's range ("1e400", hundreds of digits) has no
  // digits to send, and from 2^53 up a double holds only some whole numbers
  // (12345678901234567890 would go out as 12345678901234567168): nothing goes
  // to the converter but the digits in the box.
  const bool held =
      std::isfinite(value) &&
      (std::fabs(value) < 0x1p53 || Digits(box.Text()) == Digits(platform::Format(value, "0")));
  if (!held) {
    platform::MsgBox("Wartość poza zakresem", platform::MsgBoxIcon::kInformation);
    return;
  }
  const std::string sent = platform::Format(value, "000000");
  const std::string r = link_->SetMax(sent);
  const bool numeric = platform::IsNumeric(r);
  if (!numeric || platform::Val(box.Text()) != platform::Val(r)) {
    if (!numeric) platform::MsgBox(r, platform::MsgBoxIcon::kInformation);
    if (numeric && platform::Val(box.Text()) != platform::Val(r))
      platform::MsgBox(kWriteFailedText, platform::MsgBoxIcon::kInformation);
  }
}

}  // namespace ui
