#pragma once
// What the language service needs of a window and its controls. The window
// toolkit implements it; tests use fakes. A property that a control does not
// have raises platform::VbError(kErrPropertyNotSupported), as the platform's
// late-bound property access did.

#include <string>

namespace settings {

class TranslatableControl {
 public:
  virtual ~TranslatableControl() = default;
  virtual std::string Tag() const = 0;
  virtual std::string Caption() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& text) = 0;
};

class TranslatableWindow {
 public:
  virtual ~TranslatableWindow() = default;
  virtual std::string Tag() const = 0;
  virtual std::string Caption() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  // The window's controls in control order (the order of its description).
  virtual int ControlCount() const = 0;
  virtual TranslatableControl& ControlAt(int index) = 0;
};

}  // namespace settings
