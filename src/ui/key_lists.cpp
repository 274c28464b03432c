// The frame-type list and the list of compatible scales.

#include "link/frame.h"
#include "settings/ini.h"
#include "ui/key_window.h"

namespace ui {

void KEY::FillCompatibleScales(const std::string& code) {
  auto& scales = Get<tk::ListBox>("lstWagiZgodne");
  scales.Clear();
  for (const auto& pair : ScaleTable)
    if (pair.ValueText == code || code == "ALL") scales.AddItem(pair.KeyText);
}

void KEY::SelectFrameForScale(const std::string& scale) {
  const std::string code = settings::ReadIniValue(settings::SettingsFile(), "wagi", scale, "ALL");
  bool found = false;
  SelectFrameType(code, found);
}

void KEY::SelectFrameType(const std::string& code, bool& found) {
  found = false;
  auto& frame_types = Get<tk::ListBox>("lstTypRamki");
  for (size_t i = 0; i < FrameTypeTable.size(); ++i) {
    if (FrameTypeTable[i].KeyText == code) {
      frame_types.SetSelected(static_cast<int>(i), true);
      converter::LoadFrameLayout(code);
      found = true;
    }
  }
}

}  // namespace ui
