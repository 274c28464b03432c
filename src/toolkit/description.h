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

// Makes a user control of a registered kind. The loader always passes the
// stored entries of the control's block (an empty bag when the block stores
// nothing: ReadProperties); nullptr is for an instance the program makes
// with nothing stored (InitProperties). The loader then places the control
// in container (Form::AddControl) and applies the block's host properties.
using UserControlFactory = std::function<std::unique_ptr<Control>(
    const std::string& name, int index, Form& form, Control* container, const PropertyBag* bag)>;
void RegisterUserControl(const std::string& kind, UserControlFactory factory);

// Pictures named in descriptions ("Picture = "icon_exclamation""), supplied by
// the windows' code before loading: a picture, or the function that draws it
// the first time it is asked for (a picture no window shows is never drawn).
void RegisterPicture(const std::string& name, const QImage& picture);
void RegisterPicture(const std::string& name, std::function<QImage()> draw);
bool HasPicture(const std::string& name);
// Throws std::invalid_argument for a name never registered (the loader
// reports it as a DescriptionError on the line that names it).
QImage NamedPicture(const std::string& name);

// Builds a window from description text; source names it in error messages.
std::unique_ptr<Form> LoadForm(const std::string& text, const std::string& source);
// Reads the description from a Qt resource path (":/ui/key.frm") and loads it.
std::unique_ptr<Form> LoadFormResource(const std::string& resource_path);

}  // namespace tk
