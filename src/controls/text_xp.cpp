#include "controls/text_xp.h"

#include <QWidget>
#include <algorithm>

#include "platform/vb_error.h"
#include "platform/vb_number.h"

namespace controls {
namespace {

constexpr tk::Colour kWhite = tk::Rgb(0xFF, 0xFF, 0xFF);
constexpr tk::Colour kDefaultBorder = tk::Rgb(0x7F, 0x9D, 0xB9);
constexpr tk::Colour kDefaultBorderFocus = tk::Rgb(0xB0, 0xD0, 0xF0);
constexpr tk::Colour kDisabledBorder = tk::Rgb(0xBF, 0xA7, 0x80);
constexpr tk::Colour kLockedBack = tk::Rgb(0xEB, 0xEB, 0xE4);
constexpr tk::Colour kLockedFore = tk::Rgb(0xA1, 0xA1, 0x92);

tk::PropertyValue Number(double v) { return tk::PropertyValue(v); }
tk::PropertyValue Boolean(bool b) { return tk::PropertyValue(b ? -1.0 : 0.0); }
tk::PropertyValue AsText(const std::string& s) { return tk::PropertyValue(s); }

}  // namespace

TextXP::TextXP(std::string name, int index)
    : tk::UserControl(std::move(name), index, /*can_get_focus=*/false),
      my_txt_(std::make_unique<tk::TextBox>("MyTxt", -1)) {
  // The design: the inner box at 60, 60, 4575 x 3225 twips, first in the
  // tab order, on a surface of 4740 x 3540.
  QWidget* inner = my_txt_->widget();
  inner->setParent(widget());
  widget()->setFocusProxy(inner);
  my_txt_->Move(60, 60, 4575, 3225);
  inner->show();

  my_txt_->Change = [this] { MyTxt_Change(); };
  my_txt_->Click = [this] { MyTxt_Click(); };
  my_txt_->DblClick = [this] { MyTxt_DblClick(); };
  my_txt_->KeyPress = [this](int16_t& key_ascii) { MyTxt_KeyPress(key_ascii); };
  my_txt_->MouseMove = [this](int16_t& button, int16_t& shift, float& x, float& y) {
    MyTxt_MouseMove(button, shift, x, y);
  };
  my_txt_->GotFocus = [this] { MyTxt_GotFocus(); };
}

TextXP::~TextXP() {
  DetachSurface();
  my_txt_->Change = nullptr;
  my_txt_->Click = nullptr;
  my_txt_->DblClick = nullptr;
  my_txt_->KeyPress = nullptr;
  my_txt_->MouseMove = nullptr;
  my_txt_->GotFocus = nullptr;
}

// ---------------------------------------------------------------------------
// Placement and drawing

void TextXP::RePos() {
  // Each step on its own: a size the box refuses leaves it as it was, and
  // the position is still set.
  platform::ResumeNext([&] { my_txt_->SetWidth(Width() - 120); });
  platform::ResumeNext([&] { my_txt_->SetHeight(Height() - 280); });
  platform::ResumeNext([&] { my_txt_->SetLeft(60); });
  platform::ResumeNext([&] { my_txt_->SetTop(60); });
  FitInsideFrame();
}

// The box's window keeps inside the frame, whose four lines always show. A
// box lower than a line of text grows towards the line's height as far as
// the frame lets it and shows the rest of the line cut; its Width and
// Height stay what was set (or kept, when the box refused a size).
void TextXP::FitInsideFrame() {
  QWidget* inner = my_txt_->widget();
  if (!inner) return;
  const int room_w = std::max(0, widget()->width() - 1 - inner->x());
  const int room_h = std::max(0, widget()->height() - 1 - inner->y());
  const int line = inner->minimumSizeHint().height();
  const int w = std::min(tk::TwipsToPixels(my_txt_->Width()), room_w);
  const int h = std::min(std::max(tk::TwipsToPixels(my_txt_->Height()), line), room_h);
  inner->resize(w, h);
}

void TextXP::UserControl_Resize() {
  RePos();
  RedrawControl(*my_txt_, kWhite);
}

void TextXP::RedrawControl(tk::TextBox& box, tk::Colour background) {
  Cls();
  SetBackColor(background);
  SetScaleMode(tk::kScaleTwips);
  box.SetAppearance(0);
  box.SetBorderStyle(0);
  SetAutoRedraw(true);
  Line(0, 0, Width(), 0, m_BorderColor);
  Line(0, 0, 0, Height(), m_BorderColor);
  Line(Width() - 15, 0, Width() - 15, Height(), m_BorderColor);
  Line(0, Height() - 15, Width(), Height() - 15, m_BorderColor);
  if (!box.Locked()) {
    box.SetBackColor(kWhite);
    box.SetEnabled(true);
    box.SetLocked(false);
  } else {
    box.SetEnabled(false);
    box.SetBackColor(kLockedBack);
    box.SetForeColor(kLockedFore);
  }
}

void TextXP::DrawFrame(tk::Colour colour) {
  SetAutoRedraw(true);
  Line(0, 0, Width(), 0, colour);
  Line(0, 0, 0, Height(), colour);
  Line(Width() - 15, 0, Width() - 15, Height(), colour);
  Line(0, Height() - 15, Width(), Height() - 15, colour);
}

// ---------------------------------------------------------------------------
// Properties

int16_t TextXP::Alignment() const { return static_cast<int16_t>(my_txt_->Alignment()); }

void TextXP::SetAlignment(int16_t New_Alignment) {
  if (New_Alignment > 2) New_Alignment = 0;
  my_txt_->SetAlignment(New_Alignment);
  PropertyChanged("Alignment");
}

bool TextXP::Enabled() const { return my_txt_->Enabled(); }

void TextXP::SetEnabled(bool New_Enabled) {
  my_txt_->SetEnabled(New_Enabled);
  PropertyChanged("Enabled");
  DrawFrame(New_Enabled ? kDefaultBorder : kDisabledBorder);
}

const tk::FontSpec& TextXP::Font() const { return my_txt_->Font(); }

void TextXP::SetFont(const tk::FontSpec& New_Font) {
  my_txt_->SetFont(New_Font);
  PropertyChanged("Font");
}

tk::Colour TextXP::ForeColor() const { return my_txt_->ForeColor(); }

void TextXP::SetForeColor(tk::Colour New_ForeColor) {
  my_txt_->SetForeColor(New_ForeColor);
  PropertyChanged("ForeColor");
}

bool TextXP::Locked() const { return my_txt_->Locked(); }

void TextXP::SetLocked(bool New_Locked) {
  my_txt_->SetLocked(New_Locked);
  PropertyChanged("Locked");
}

int32_t TextXP::MaxLength() const { return my_txt_->MaxLength(); }

void TextXP::SetMaxLength(int32_t New_MaxLength) {
  my_txt_->SetMaxLength(New_MaxLength);
  PropertyChanged("MaxLength");
}

std::string TextXP::PasswordChar() const { return my_txt_->PasswordChar(); }

void TextXP::SetPasswordChar(const std::string& New_PasswordChar) {
  my_txt_->SetPasswordChar(New_PasswordChar);
  PropertyChanged("PasswordChar");
}

int32_t TextXP::SelStart() const { return my_txt_->SelStart(); }

void TextXP::SetSelStart(int32_t New_SelStart) {
  my_txt_->SetSelStart(New_SelStart);
  PropertyChanged("SelStart");
}

std::string TextXP::SelText() const { return my_txt_->SelText(); }

void TextXP::SetSelText(const std::string& New_SelText) {
  my_txt_->SetSelText(New_SelText);
  PropertyChanged("SelText");
}

int32_t TextXP::SelLength() const { return my_txt_->SelLength(); }

void TextXP::SetSelLength(int32_t New_SelLength) {
  my_txt_->SetSelLength(New_SelLength);
  PropertyChanged("SelLength");
}

std::string TextXP::Text() const { return my_txt_->Text(); }

void TextXP::SetText(const std::string& New_Text) {
  my_txt_->SetText(New_Text);
  PropertyChanged("Text");
}

std::string TextXP::ToolTipText() const { return my_txt_->ToolTipText(); }

void TextXP::SetToolTipText(const std::string& New_ToolTipText) {
  my_txt_->SetToolTipText(New_ToolTipText);
  PropertyChanged("ToolTipText");
}

double TextXP::Value() const { return platform::Val(my_txt_->Text()); }

void TextXP::SetValue(double New_Value) {
  my_txt_->SetText(platform::NumberToText(New_Value));
  PropertyChanged("Value");
}

tk::Colour TextXP::BorderColor() const { return m_BorderColor; }

void TextXP::SetBorderColor(tk::Colour New_BorderColor) {
  m_BorderColor = New_BorderColor;
  RedrawControl(*my_txt_, kWhite);
  PropertyChanged("BorderColor");
}

tk::Colour TextXP::BorderColorFocus() const { return m_BorderColorFocus; }

void TextXP::SetBorderColorFocus(tk::Colour New_BorderColorOver) {
  m_BorderColorFocus = New_BorderColorOver;
  PropertyChanged("BorderColorOver");
}

// ---------------------------------------------------------------------------
// Events of the inner box

void TextXP::MyTxt_Change() {
  if (Change) Change();
}

void TextXP::MyTxt_Click() {
  if (Click) Click();
}

void TextXP::MyTxt_DblClick() {
  if (DblClick) DblClick();
}

void TextXP::MyTxt_KeyPress(int16_t& KeyAscii) {
  if (KeyPress) KeyPress(KeyAscii);
}

void TextXP::MyTxt_MouseMove(int16_t& Button, int16_t& Shift, float& X, float& Y) {
  if (MouseMove) MouseMove(Button, Shift, X, Y);
}

void TextXP::MyTxt_GotFocus() { DrawFrame(m_BorderColorFocus); }

void TextXP::UserControl_ExitFocus() { DrawFrame(m_BorderColor); }

void TextXP::UserControl_AccessKeyPress(int16_t& /*KeyAscii*/) {
  // A box that cannot take the focus now (disabled, hidden) stays as it is.
  platform::ResumeNext([&] { my_txt_->SetFocus(); });
}

// ---------------------------------------------------------------------------
// Stored properties

void TextXP::UserControl_InitProperties() {
  m_BorderColor = kDefaultBorder;
  m_BorderColorFocus = kDefaultBorderFocus;
  const std::string display_name = AmbientDisplayName();
  my_txt_->SetText("Text" + (display_name.size() >= 11 ? display_name.substr(10) : std::string()));
  SetHeight(330);
  tk::FontSpec font = my_txt_->Font();
  font.name = "Verdana";
  my_txt_->SetFont(font);
  UserControl_Resize();
}

void TextXP::UserControl_ReadProperties(const tk::PropertyBag& PropBag) {
  tk::TextBox& box = *my_txt_;
  box.SetAlignment(PropBag.ReadProperty("Alignment", int32_t{0}));
  box.SetBackColor(PropBag.ReadProperty("BackColor", tk::SystemColour(5)));
  box.SetEnabled(PropBag.ReadProperty("Enabled", true));
  box.SetFont(PropBag.ReadProperty("Font", AmbientFont()));
  box.SetForeColor(PropBag.ReadProperty("ForeColor", tk::SystemColour(8)));
  box.SetLocked(PropBag.ReadProperty("Locked", false));
  box.SetMaxLength(PropBag.ReadProperty("MaxLength", int32_t{0}));
  box.SetPasswordChar(PropBag.ReadProperty("PasswordChar", ""));
  box.SetSelStart(PropBag.ReadProperty("SelStart", int32_t{0}));
  box.SetSelText(PropBag.ReadProperty("SelText", ""));
  box.SetSelLength(PropBag.ReadProperty("SelLength", int32_t{0}));
  box.SetText(PropBag.ReadProperty("Text", "Text1"));
  box.SetToolTipText(PropBag.ReadProperty("ToolTipText", ""));
  m_BorderColor = PropBag.ReadProperty("BorderColor", kDefaultBorder);
  m_BorderColorFocus = PropBag.ReadProperty("BorderColorOver", kDefaultBorderFocus);
}

void TextXP::UserControl_WriteProperties(tk::PropertyBag& PropBag) {
  tk::TextBox& box = *my_txt_;
  PropBag.WriteProperty("Alignment", Number(box.Alignment()), Number(0));
  PropBag.WriteProperty("BackColor", Number(box.BackColor()), Number(tk::SystemColour(5)));
  PropBag.WriteProperty("Enabled", Boolean(box.Enabled()), Boolean(true));
  PropBag.WriteProperty("Font", tk::PropertyValue(box.Font()), tk::PropertyValue(AmbientFont()));
  PropBag.WriteProperty("ForeColor", Number(box.ForeColor()), Number(tk::SystemColour(8)));
  PropBag.WriteProperty("Locked", Boolean(box.Locked()));
  PropBag.WriteProperty("MaxLength", Number(box.MaxLength()), Number(0));
  PropBag.WriteProperty("PasswordChar", AsText(box.PasswordChar()), AsText(""));
  PropBag.WriteProperty("SelStart", Number(box.SelStart()), Number(0));
  PropBag.WriteProperty("SelText", AsText(box.SelText()), AsText(""));
  PropBag.WriteProperty("SelLength", Number(box.SelLength()), Number(0));
  PropBag.WriteProperty("Text", AsText(box.Text()), AsText("Text1"));
  PropBag.WriteProperty("ToolTipText", AsText(box.ToolTipText()), AsText(""));
  PropBag.WriteProperty("Value", Number(platform::Val(box.Text())), Number(0));
  PropBag.WriteProperty("BorderColor", Number(m_BorderColor), Number(kDefaultBorder));
  PropBag.WriteProperty("BorderColorOver", Number(m_BorderColorFocus), Number(kDefaultBorderFocus));
}

}  // namespace controls
