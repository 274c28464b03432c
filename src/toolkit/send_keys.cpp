#include "toolkit/send_keys.h"

#include <QApplication>
#include <algorithm>

#include "platform/ascii.h"
#include "platform/vb_error.h"
#include "toolkit/form.h"
#include "toolkit/internal.h"

namespace tk {

namespace {

// The window the keys go to: the one with the focus, else the active one,
// else the last shown form that is still visible.
Form* TargetForm() {
  if (QWidget* focus = QApplication::focusWidget()) {
    if (Form* f = FormOfWindow(focus->window())) return f;
  }
  if (QWidget* active = QApplication::activeWindow()) {
    if (Form* f = FormOfWindow(active)) return f;
  }
  const auto& forms = LiveForms();
  for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
    if ((*it)->widget()->isVisible()) return *it;
  }
  return nullptr;
}

}  // namespace

void SendKeys(const std::string& keys) {
  const std::string lower = platform::AsciiLower(keys);
  // Check the whole text first, so that nothing moves for a text we refuse.
  std::vector<bool> moves;  // true forward
  size_t pos = 0;
  while (pos < lower.size()) {
    if (lower.compare(pos, 5, "{tab}") == 0) {
      moves.push_back(true);
      pos += 5;
    } else if (lower.compare(pos, 6, "+{tab}") == 0) {
      moves.push_back(false);
      pos += 6;
    } else {
      throw platform::VbError(platform::kErrInvalidCall, "SendKeys: unsupported keys " + keys);
    }
  }
  for (bool forward : moves) {
    if (Form* form = TargetForm()) form->FocusNext(forward);
  }
}

}  // namespace tk
