#include "controls/register_controls.h"

#include <memory>

#include "controls/button_xp.h"
#include "controls/text_xp.h"
#include "toolkit/description.h"

namespace controls {
namespace {

// A new instance gets InitProperties, a stored one ReadProperties, with the
// container's values at hand for both.
template <typename T>
std::unique_ptr<tk::Control> Make(const std::string& name, int index, tk::Form& form,
                                  tk::Control* container, const tk::PropertyBag* bag) {
  auto control = std::make_unique<T>(name, index);
  control->SetAmbientSource(container, &form);
  control->LoadProperties(bag);
  return control;
}

}  // namespace

void RegisterControls() {
  tk::RegisterUserControl("ButtonXP", &Make<ButtonXP>);
  tk::RegisterUserControl("TextXP", &Make<TextXP>);
}

}  // namespace controls
