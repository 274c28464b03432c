#pragma once
// A top-level window with its controls in control order.

#include <QImage>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/control.h"
#include "toolkit/kinds.h"

namespace tk {

class Form : public VisualControl, public settings::TranslatableWindow {
 public:
  explicit Form(std::string name);
  ~Form() override;

  // TranslatableWindow (Tag and Caption are the window's own).
  std::string Tag() const override { return tag_; }
  std::string Caption() const override;
  void SetCaption(const std::string& caption) override;
  int ControlCount() const override;
  Control& ControlAt(int index) override;  // raises kErrSubscript outside the range

  // The control of that name (and index, for arrays); raises kErrInvalidCall
  // when there is none or it is not of kind T.
  template <typename T = Control>
  T& Get(const std::string& name, int index = -1) {
    Control& c = Find(name, index);
    T* t = dynamic_cast<T*>(&c);
    if (!t) throw platform::VbError(platform::kErrTypeMismatch, "wrong kind: " + name);
    return *t;
  }
  Control& Find(const std::string& name, int index = -1);
  bool Has(const std::string& name, int index = -1) const;

  // The control that has the keyboard focus, or nullptr.
  Control* ActiveControl() const;

  // Outer size in twips, title bar and border included.
  void SetOuterSize(int width_twips, int height_twips);
  int ScaleWidth() const;   // client area, twips
  int ScaleHeight() const;

  void SetBorderStyle(int style);  // 0 none, 1 fixed single, 2 sizable
  void SetMinButton(bool on);
  void SetMaxButton(bool on);
  void SetIcon(const QImage& icon);
  void SetKeyPreview(bool on);
  void SetCentred(bool centred);   // centred on the screen when shown

  void Show();       // modeless
  void ShowModal();  // returns when the window is unloaded or hidden
  void Hide();
  // Raises QueryUnload, then Unload; neither may cancel in this program.
  void Unload();
  bool Loaded() const;

  std::function<void(int16_t& cancel, int16_t& unload_mode)> QueryUnload;
  std::function<void(int16_t& cancel)> Unloaded;  // the window's Unload event

  // Controls are added by the description loader in control order.
  void AddControl(std::unique_ptr<Control> control, Control* container);
  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }

 private:
  std::vector<std::unique_ptr<Control>> controls_;
  bool loaded_ = true;
};

}  // namespace tk
