#include "toolkit/property_bag.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "platform/ascii.h"
#include "platform/vb_number.h"

namespace tk {

namespace {

std::string Lower(const std::string& s) { return platform::AsciiLower(s); }

bool IsExtentKey(const std::string& lower_key) {
  return lower_key == "_extentx" || lower_key == "_extenty";
}

// Numbers as the description writes them: integers without a point, others
// with as many digits as they need to read back the same; "." as the point
// whatever the user's locale.
std::string FormatNumber(double v) {
  char buf[64];
  if (std::isfinite(v) && v == std::floor(v) && std::fabs(v) < 1e15) {
    const auto done = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 0);
    return std::string(buf, done.ptr);
  }
  std::string text;
  for (int precision = 6; precision <= 17; ++precision) {
    const auto done =
        std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, precision);
    text.assign(buf, done.ptr);
    if (platform::StrToDoubleC(text.c_str(), nullptr) == v) break;
  }
  return text;
}

std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    out += c;
    if (c == '"') out += '"';
  }
  out += '"';
  return out;
}

}  // namespace

std::string FormatPropertyValue(const PropertyValue& value) {
  if (const auto* s = std::get_if<std::string>(&value)) return Quote(*s);
  if (const auto* d = std::get_if<double>(&value)) return FormatNumber(*d);
  const auto& f = std::get<FontSpec>(value);
  std::string out = Quote(f.name) + " " + FormatNumber(f.size) + " " + std::to_string(f.weight) +
                    " " + std::to_string(f.charset);
  if (f.underline) out += " Underline";
  if (f.italic) out += " Italic";
  if (f.strikethrough) out += " Strikethrough";
  return out;
}

const PropertyValue* PropertyBag::Find(const std::string& key) const {
  const std::string lower = Lower(key);
  for (const auto& entry : entries_) {
    if (entry.first == lower) return &entry.second;
  }
  return nullptr;
}

void PropertyBag::Set(const std::string& key, const PropertyValue& value) {
  const std::string lower = Lower(key);
  for (auto& entry : entries_) {
    if (entry.first == lower) {
      entry.second = value;
      return;
    }
  }
  // The host's extent keys lead: "_extentx", then "_extenty", then the rest.
  if (lower == "_extentx") {
    entries_.emplace(entries_.begin(), lower, value);
  } else if (lower == "_extenty") {
    auto at = entries_.begin();
    if (at != entries_.end() && at->first == "_extentx") ++at;
    entries_.emplace(at, lower, value);
  } else {
    entries_.emplace_back(lower, value);
  }
}

void PropertyBag::WriteProperty(const std::string& key, const PropertyValue& value,
                                const std::optional<PropertyValue>& default_value) {
  if (default_value && *default_value == value) {
    // A value equal to its default is not stored, nor is an older one kept.
    const std::string lower = Lower(key);
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                  [&](const auto& e) { return e.first == lower; }),
                   entries_.end());
    return;
  }
  Set(key, value);
}

std::string PropertyBag::ReadProperty(const std::string& key,
                                      const std::string& default_value) const {
  const PropertyValue* v = Find(key);
  if (!v) return default_value;
  if (const auto* s = std::get_if<std::string>(v)) return *s;
  if (const auto* d = std::get_if<double>(v)) return FormatNumber(*d);
  return std::get<FontSpec>(*v).name;
}

double PropertyBag::ReadProperty(const std::string& key, double default_value) const {
  const PropertyValue* v = Find(key);
  if (!v) return default_value;
  if (const auto* d = std::get_if<double>(v)) return *d;
  if (const auto* s = std::get_if<std::string>(v)) {
    const char* begin = s->c_str();
    char* end = nullptr;
    const double parsed = platform::StrToDoubleC(begin, &end);
    if (end != begin && *end == '\0' && std::isfinite(parsed)) return parsed;
  }
  return default_value;
}

int32_t PropertyBag::ReadProperty(const std::string& key, int32_t default_value) const {
  const double d = ReadProperty(key, static_cast<double>(default_value));
  const double r = std::nearbyint(d);  // half to even, as the platform rounded
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) return default_value;
  return static_cast<int32_t>(r);
}

Colour PropertyBag::ReadProperty(const std::string& key, Colour default_value) const {
  const PropertyValue* v = Find(key);
  if (!v) return default_value;
  const auto* d = std::get_if<double>(v);
  if (!d || !std::isfinite(*d) || *d != std::floor(*d)) return default_value;
  // Colours may be stored as signed 32-bit values (system colours negative).
  if (*d < 0 && *d >= -2147483648.0)
    return static_cast<Colour>(static_cast<int64_t>(*d) + 4294967296LL);
  if (*d >= 0 && *d <= 4294967295.0) return static_cast<Colour>(*d);
  return default_value;
}

bool PropertyBag::ReadProperty(const std::string& key, bool default_value) const {
  const PropertyValue* v = Find(key);
  if (!v) return default_value;
  if (const auto* d = std::get_if<double>(v)) return *d != 0;
  if (const auto* s = std::get_if<std::string>(v)) {
    const std::string lower = Lower(*s);
    if (lower == "true") return true;
    if (lower == "false") return false;
  }
  return default_value;
}

FontSpec PropertyBag::ReadProperty(const std::string& key, const FontSpec& default_value) const {
  const PropertyValue* v = Find(key);
  if (!v) return default_value;
  if (const auto* f = std::get_if<FontSpec>(v)) return *f;
  return default_value;
}

std::string PropertyBag::ToDescription(int indent) const {
  const std::string pad(static_cast<size_t>(std::max(0, indent)), ' ');
  std::string out;
  auto line = [&](const std::pair<std::string, PropertyValue>& e) {
    out += pad + e.first + " = " + FormatPropertyValue(e.second) + "\n";
  };
  for (const char* extent : {"_extentx", "_extenty"}) {
    for (const auto& e : entries_) {
      if (e.first == extent) line(e);
    }
  }
  for (const auto& e : entries_) {
    if (!IsExtentKey(e.first)) line(e);
  }
  return out;
}

}  // namespace tk
