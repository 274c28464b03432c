#pragma once
// frmWykresy: a borderless modal window that shows one working-mode chart of
// the main window's image list and closes on a click on its label.

#include <cstdint>
#include <memory>

#include "toolkit/form.h"
#include "toolkit/kinds.h"

namespace ui {

class frmWykresy {
 public:
  explicit frmWykresy(tk::ImageList& charts) : charts_(charts) {}
  ~frmWykresy();

  // The chart number to show, 1 to 3; checked only when the window loads.
  void WykresId(int32_t vNewValue) { WykresId_ = vNewValue; }

  // Loads the window, runs its load handler and shows it modal; returns once
  // it has been closed, its controls unloaded again.
  void ShowModal();
  // Closes the window if it is open (the program is ending).
  void Drop();

  // The window while it is shown, else nullptr.
  tk::Form* form() { return form_.get(); }
  int32_t wykres_id_for_testing() const { return WykresId_; }

  void Form_Load();
  void Label1_Click();

 private:
  tk::ImageList& charts_;
  int32_t WykresId_ = 0;  // kept from one opening to the next
  std::unique_ptr<tk::Form> form_;
};

}  // namespace ui
