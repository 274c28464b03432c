#pragma once
// TextXP: a flat text box (the inner box MyTxt, without a border of its own)
// inside a one-pixel frame drawn on the control's white surface. The frame
// takes BorderColor while the inner box has no focus and BorderColorFocus
// while it has it. The text-box properties are forwarded to the inner box,
// whose Change, Click, DblClick, KeyPress and MouseMove come out as the
// control's own (the tk::Control members of those names; a KeyPress handler
// that sets KeyAscii to 0 keeps the key out of the box).

#include <cstdint>
#include <memory>
#include <string>

#include "toolkit/kinds.h"
#include "toolkit/user_control.h"

namespace controls {

class TextXP : public tk::UserControl {
 public:
  TextXP(std::string name, int index);
  ~TextXP() override;

  void RePos();

  int16_t Alignment() const;
  void SetAlignment(int16_t New_Alignment);
  bool Enabled() const override;
  void SetEnabled(bool New_Enabled) override;
  const tk::FontSpec& Font() const override;
  void SetFont(const tk::FontSpec& New_Font) override;
  tk::Colour ForeColor() const override;
  void SetForeColor(tk::Colour New_ForeColor) override;
  bool Locked() const;
  void SetLocked(bool New_Locked);
  int32_t MaxLength() const;
  void SetMaxLength(int32_t New_MaxLength);
  std::string PasswordChar() const;
  void SetPasswordChar(const std::string& New_PasswordChar);
  int32_t SelStart() const;
  void SetSelStart(int32_t New_SelStart);
  std::string SelText() const;
  void SetSelText(const std::string& New_SelText);
  int32_t SelLength() const;
  void SetSelLength(int32_t New_SelLength);
  std::string Text() const override;
  void SetText(const std::string& New_Text) override;
  std::string ToolTipText() const;
  void SetToolTipText(const std::string& New_ToolTipText) override;
  double Value() const;
  void SetValue(double New_Value);
  tk::Colour BorderColor() const;
  void SetBorderColor(tk::Colour New_BorderColor);
  tk::Colour BorderColorFocus() const;
  void SetBorderColorFocus(tk::Colour New_BorderColorOver);

  // Host notifications.
  void UserControl_Resize() override;
  void UserControl_ExitFocus() override;
  void UserControl_AccessKeyPress(int16_t& KeyAscii) override;
  void UserControl_InitProperties() override;
  void UserControl_ReadProperties(const tk::PropertyBag& PropBag) override;
  void UserControl_WriteProperties(tk::PropertyBag& PropBag) override;

  tk::TextBox& MyTxt() { return *my_txt_; }

 private:
  void MyTxt_Change();
  void MyTxt_Click();
  void MyTxt_DblClick();
  void MyTxt_KeyPress(int16_t& KeyAscii);
  void MyTxt_MouseMove(int16_t& Button, int16_t& Shift, float& X, float& Y);
  void MyTxt_GotFocus();

  void RedrawControl(tk::TextBox& box, tk::Colour background);
  void DrawFrame(tk::Colour colour);
  void FitInsideFrame();

  std::unique_ptr<tk::TextBox> my_txt_;
  tk::Colour m_BorderColor = 0;
  tk::Colour m_BorderColorFocus = 0;
};

}  // namespace controls
