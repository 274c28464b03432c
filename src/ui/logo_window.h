#pragma once
// The splash window LOGO: the program's logo picture, a notice against
// unauthorised copying and a contact line. It closes itself after five
// seconds, on "&Dalej" or on Esc. Nothing in the program opens it.

#include <QImage>
#include <cstdint>
#include <memory>

#include "toolkit/form.h"

namespace ui {

// The logo picture, 209 x 150 pixels at 24 bits, drawn in code; registered as
// the picture "logo".
QImage DrawLogo();
void RegisterLogoPicture();

class LOGO {
 public:
  // Loads the window from its description and runs Form_Load; from here the
  // five-second timer counts. The window is not shown.
  LOGO();
  ~LOGO();
  LOGO(const LOGO&) = delete;
  LOGO& operator=(const LOGO&) = delete;

  tk::Form& form() { return *form_; }

  // ---- Event handlers ----
  void Form_Load();
  void Command1_Click();
  void Form_KeyDown(int16_t& KeyCode, int16_t& Shift);
  void Timer1_Timer();

 private:
  std::unique_ptr<tk::Form> form_;
};

}  // namespace ui
