#pragma once
// The stored properties of a user control (ButtonXP, TextXP): the entries of
// its block in the window description. Keys are matched without regard to
// case; a write leaves out a value equal to its default and stores the key in
// lower case, after the host's "_extentx" and "_extenty".

#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "toolkit/control.h"

namespace tk {

// A stored value: text, number (colours and Booleans included: True is -1,
// False 0, as the platform stored them), or a font.
using PropertyValue = std::variant<std::string, double, FontSpec>;

// A value as the description writes it: text quoted ("" for a quote),
// numbers plain, fonts as face, size, weight, character set and style words.
std::string FormatPropertyValue(const PropertyValue& value);

class PropertyBag {
 public:
  // ReadProperty(key, default): the stored value converted to the default's
  // type, or the default when the key is absent.
  std::string ReadProperty(const std::string& key, const std::string& default_value) const;
  std::string ReadProperty(const std::string& key, const char* default_value) const {
    return ReadProperty(key, std::string(default_value));
  }
  double ReadProperty(const std::string& key, double default_value) const;
  int32_t ReadProperty(const std::string& key, int32_t default_value) const;
  Colour ReadProperty(const std::string& key, Colour default_value) const;
  bool ReadProperty(const std::string& key, bool default_value) const;
  FontSpec ReadProperty(const std::string& key, const FontSpec& default_value) const;

  // WriteProperty(key, value, default): stored unless value equals default.
  // The overloads without a default always store.
  void WriteProperty(const std::string& key, const PropertyValue& value,
                     const std::optional<PropertyValue>& default_value = std::nullopt);

  // Raw access for the loader and for tests.
  void Set(const std::string& key, const PropertyValue& value);  // replaces, keeps position
  const PropertyValue* Find(const std::string& key) const;
  const std::vector<std::pair<std::string, PropertyValue>>& entries() const { return entries_; }
  void Clear() { entries_.clear(); }

  // The entries as description lines ("key = value"), "_extentx" and
  // "_extenty" first.
  std::string ToDescription(int indent) const;

 private:
  std::vector<std::pair<std::string, PropertyValue>> entries_;
};

}  // namespace tk
