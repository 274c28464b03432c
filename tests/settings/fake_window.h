#pragma once
// A window and controls for the language service, with the behaviour of late-
// bound properties: asking a control for a property it lacks raises 438.

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/vb_error.h"
#include "settings/window_walk.h"

namespace settings_test {

[[noreturn]] inline void NoSuchProperty() {
  throw platform::VbError(platform::kErrPropertyNotSupported,
                          "Object doesn't support this property or method");
}

class FakeControl : public settings::TranslatableControl {
 public:
  // A control without a caption or a text is given std::nullopt for it.
  FakeControl(std::string name, std::string tag, std::optional<std::string> caption,
              std::optional<std::string> text = std::nullopt)
      : name_(std::move(name)),
        tag_(std::move(tag)),
        caption_(std::move(caption)),
        text_(std::move(text)) {}

  const std::string& name() const { return name_; }
  bool has_caption() const { return caption_.has_value(); }
  std::string caption() const { return caption_.value_or(""); }
  std::string text() const { return text_.value_or(""); }
  void set_tag_fails(bool fails) { tag_fails_ = fails; }

  std::string Tag() const override {
    if (tag_fails_) NoSuchProperty();
    return tag_;
  }
  std::string Caption() const override {
    if (!caption_) NoSuchProperty();
    return *caption_;
  }
  void SetCaption(const std::string& caption) override {
    if (!caption_) NoSuchProperty();
    caption_ = caption;
  }
  std::string Text() const override {
    if (!text_) NoSuchProperty();
    return *text_;
  }
  void SetText(const std::string& text) override {
    if (!text_) NoSuchProperty();
    text_ = text;
  }

 private:
  std::string name_;
  std::string tag_;
  std::optional<std::string> caption_;
  std::optional<std::string> text_;
  bool tag_fails_ = false;
};

class FakeWindow : public settings::TranslatableWindow {
 public:
  FakeWindow(std::string tag, std::string caption)
      : tag_(std::move(tag)), caption_(std::move(caption)) {}

  FakeControl& Add(std::string name, std::string tag, std::optional<std::string> caption,
                   std::optional<std::string> text = std::nullopt) {
    controls_.push_back(std::make_unique<FakeControl>(std::move(name), std::move(tag),
                                                      std::move(caption), std::move(text)));
    return *controls_.back();
  }
  FakeControl& Named(const std::string& name) {
    for (auto& c : controls_) {
      if (c->name() == name) return *c;
    }
    throw std::out_of_range(name);
  }

  std::string Tag() const override { return tag_; }
  std::string Caption() const override { return caption_; }
  void SetCaption(const std::string& caption) override { caption_ = caption; }
  int ControlCount() const override { return static_cast<int>(controls_.size()); }
  settings::TranslatableControl& ControlAt(int index) override {
    if (index < 0 || index >= ControlCount()) {
      throw platform::VbError(platform::kErrSubscript, "Subscript out of range");
    }
    return *controls_[static_cast<size_t>(index)];
  }

 private:
  std::string tag_;
  std::string caption_;
  std::vector<std::unique_ptr<FakeControl>> controls_;
};

}  // namespace settings_test
