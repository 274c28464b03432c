#pragma once
// Window descriptions: one text file per window, compiled into the
// executable as a Qt resource. The format is documented in
// docs/WINDOW_DESCRIPTIONS.md. A description that does not parse, or names an
// unknown kind or property, throws DescriptionError naming the line.

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "toolkit/form.h"
#include "toolkit/property_bag.h"

namespace tk {

class DescriptionError : public std::runtime_error {
 public:
  DescriptionError(const std::string& source, int line, const std::string& what);
  int line() const { return line_; }

 private:
  int line_;
};

// Makes a user control of a registered kind. bag is nullptr for a new
// instance with nothing stored (InitProperties), else the stored entries
// (ReadProperties). The control is placed in container by the loader.
using UserControlFactory = std::function<std::unique_ptr<Control>(
    const std::string& name, int index, Form& form, Control* container, const PropertyBag* bag)>;
void RegisterUserControl(const std::string& kind, UserControlFactory factory);

// Pictures named in descriptions ("Picture = "icon_exclamation""), supplied by
// the windows' code before loading.
void RegisterPicture(const std::string& name, const QImage& picture);
QImage NamedPicture(const std::string& name);  // raises DescriptionError's cause when unknown

// Builds a window from description text; source names it in error messages.
std::unique_ptr<Form> LoadForm(const std::string& text, const std::string& source);
// Reads the description from a Qt resource path (":/ui/key.frm") and loads it.
std::unique_ptr<Form> LoadFormResource(const std::string& resource_path);

}  // namespace tk
