#include "toolkit/description.h"

#include <QFile>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

#include "platform/ascii.h"
#include "platform/vb_number.h"
#include "toolkit/internal.h"

namespace tk {

DescriptionError::DescriptionError(const std::string& source, int line, const std::string& what)
    : std::runtime_error(source + ":" + std::to_string(line) + ": " + what), line_(line) {}

namespace {

std::string Lower(std::string s) { return platform::AsciiLower(std::move(s)); }

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && platform::IsAsciiSpace(s[b])) ++b;
  while (e > b && platform::IsAsciiSpace(s[e - 1])) --e;
  return s.substr(b, e - b);
}

std::map<std::string, UserControlFactory>& Factories() {
  static std::map<std::string, UserControlFactory> factories;
  return factories;
}

struct NamedPictureEntry {
  QImage picture;
  std::function<QImage()> draw;  // until drawn
};

std::map<std::string, NamedPictureEntry>& Pictures() {
  static std::map<std::string, NamedPictureEntry> pictures;
  return pictures;
}

// A parsed property value.
struct Value {
  enum Type { kText, kNumber, kColour, kBool, kFont, kList } type = kText;
  std::string text;
  double number = 0;
  Colour colour = 0;
  bool boolean = false;
  FontSpec font;
  std::vector<std::string> list;
};

struct Property {
  std::string key;
  Value value;
  int line;
};

struct Block {
  std::string kind;
  std::string name;
  int line = 0;
  std::vector<Property> properties;
  std::vector<Block> children;
};

class ValueError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads a quoted text at s[pos] (which is '"'); pos ends after the closing quote.
std::string ReadQuoted(const std::string& s, size_t& pos) {
  std::string out;
  ++pos;
  while (pos < s.size()) {
    if (s[pos] == '"') {
      if (pos + 1 < s.size() && s[pos + 1] == '"') {
        out += '"';
        pos += 2;
        continue;
      }
      ++pos;
      return out;
    }
    out += s[pos++];
  }
  throw ValueError("text without its closing quote");
}

void SkipSpaces(const std::string& s, size_t& pos) {
  while (pos < s.size() && platform::IsAsciiSpace(s[pos])) ++pos;
}

bool ParseNumber(const std::string& token, double& out) {
  if (token.empty()) return false;
  const char* begin = token.c_str();
  char* end = nullptr;
  out = platform::StrToDoubleC(begin, &end);
  if (end == begin || *end != '\0' || !std::isfinite(out)) return false;
  // Only plain decimal numbers: no hexadecimal, exponents or words.
  for (char c : token) {
    if (!platform::IsAsciiDigit(c) && c != '-' && c != '+' && c != '.') return false;
  }
  return true;
}

std::vector<std::string> Words(const std::string& s) {
  std::vector<std::string> words;
  size_t pos = 0;
  while (true) {
    SkipSpaces(s, pos);
    if (pos >= s.size()) break;
    size_t end = pos;
    while (end < s.size() && !platform::IsAsciiSpace(s[end])) ++end;
    words.push_back(s.substr(pos, end - pos));
    pos = end;
  }
  return words;
}

Value ParseValue(const std::string& raw) {
  Value v;
  if (raw.empty()) throw ValueError("no value");
  if (raw[0] == '"') {
    size_t pos = 0;
    std::string first = ReadQuoted(raw, pos);
    SkipSpaces(raw, pos);
    if (pos == raw.size()) {
      v.type = Value::kText;
      v.text = first;
      return v;
    }
    if (raw[pos] == ',') {
      v.type = Value::kList;
      v.list.push_back(first);
      while (pos < raw.size()) {
        if (raw[pos] != ',') throw ValueError("a list of texts is separated by commas");
        ++pos;
        SkipSpaces(raw, pos);
        if (pos >= raw.size() || raw[pos] != '"')
          throw ValueError("a list holds quoted texts only");
        v.list.push_back(ReadQuoted(raw, pos));
        SkipSpaces(raw, pos);
      }
      return v;
    }
    // A font: face, size, weight, character set, style words.
    const std::vector<std::string> words = Words(raw.substr(pos));
    if (words.size() < 3) throw ValueError("a font needs its size, weight and character set");
    v.type = Value::kFont;
    v.font = FontSpec{};
    v.font.name = first;
    double size = 0, weight = 0, charset = 0;
    if (!ParseNumber(words[0], size) || size <= 0 || size > 1000) throw ValueError("bad font size");
    if (!ParseNumber(words[1], weight) || weight < 0 || weight > 1000 ||
        weight != std::floor(weight)) {
      throw ValueError("bad font weight");
    }
    if (!ParseNumber(words[2], charset) || charset < 0 || charset > 255 ||
        charset != std::floor(charset)) {
      throw ValueError("bad character set");
    }
    v.font.size = size;
    v.font.weight = static_cast<int>(weight);
    v.font.charset = static_cast<int>(charset);
    for (size_t i = 3; i < words.size(); ++i) {
      const std::string w = Lower(words[i]);
      if (w == "underline") {
        v.font.underline = true;
      } else if (w == "italic") {
        v.font.italic = true;
      } else if (w == "strikethrough") {
        v.font.strikethrough = true;
      } else {
        throw ValueError("unknown font style '" + words[i] + "'");
      }
    }
    return v;
  }
  if (raw.size() > 2 && (raw[0] == '&') && (raw[1] == 'H' || raw[1] == 'h')) {
    std::string digits = raw.substr(2);
    if (!digits.empty() && digits.back() == '&') digits.pop_back();
    if (digits.empty() || digits.size() > 8 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) {
          return platform::IsAsciiDigit(c) ||
                 (platform::AsciiLower(c) >= 'a' && platform::AsciiLower(c) <= 'f');
        })) {
      throw ValueError("bad colour '" + raw + "'");
    }
    v.type = Value::kColour;
    v.colour = static_cast<Colour>(std::strtoul(digits.c_str(), nullptr, 16));
    return v;
  }
  const std::string lower = Lower(raw);
  if (lower == "true" || lower == "false") {
    v.type = Value::kBool;
    v.boolean = lower == "true";
    return v;
  }
  if (ParseNumber(raw, v.number)) {
    v.type = Value::kNumber;
    return v;
  }
  throw ValueError("malformed value '" + raw + "'");
}

// Conversions a property makes of its value.
std::string AsText(const Value& v) {
  if (v.type != Value::kText) throw ValueError("a quoted text was expected");
  return v.text;
}
int AsInt(const Value& v) {
  if (v.type == Value::kBool) return v.boolean ? -1 : 0;
  if (v.type != Value::kNumber || v.number != std::floor(v.number) || v.number < -2147483648.0 ||
      v.number > 2147483647.0) {
    throw ValueError("a whole number was expected");
  }
  return static_cast<int>(v.number);
}
bool AsBool(const Value& v) {
  if (v.type == Value::kBool) return v.boolean;
  if (v.type == Value::kNumber && (v.number == 0 || v.number == -1 || v.number == 1)) {
    return v.number != 0;
  }
  throw ValueError("True or False was expected");
}
Colour AsColour(const Value& v) {
  if (v.type == Value::kColour) return v.colour;
  if (v.type == Value::kNumber && v.number >= 0 && v.number <= 4294967295.0 &&
      v.number == std::floor(v.number)) {
    return static_cast<Colour>(v.number);
  }
  throw ValueError("a colour (&H00BBGGRR&) was expected");
}
FontSpec AsFont(const Value& v) {
  if (v.type != Value::kFont)
    throw ValueError("a font (\"face\" size weight charset) was expected");
  return v.font;
}
// What draws a named picture the first time it is asked for ("" none); an
// unknown name is reported at once, on the line that names it.
std::function<QImage()> AsPicture(const Value& v) {
  const std::string name = AsText(v);
  if (name.empty()) return [] { return QImage(); };
  if (!HasPicture(name)) NamedPicture(name);  // throws
  return [name] { return NamedPicture(name); };
}

PropertyValue AsStored(const Value& v) {
  switch (v.type) {
    case Value::kText:
      return v.text;
    case Value::kNumber:
      return v.number;
    case Value::kColour:
      return static_cast<double>(v.colour);
    case Value::kBool:
      return v.boolean ? -1.0 : 0.0;
    case Value::kFont:
      return v.font;
    case Value::kList:
      break;
  }
  throw ValueError("a stored property holds one value, not a list");
}

const std::map<std::string, Kind>& IntrinsicKinds() {
  static const std::map<std::string, Kind> kinds = {
      {"form", Kind::kForm},
      {"label", Kind::kLabel},
      {"picturebox", Kind::kPictureBox},
      {"frame", Kind::kFrame},
      {"listbox", Kind::kListBox},
      {"optionbutton", Kind::kOptionButton},
      {"checkbox", Kind::kCheckBox},
      {"commandbutton", Kind::kCommandButton},
      {"image", Kind::kImage},
      {"shape", Kind::kShape},
      {"timer", Kind::kTimer},
      {"slider", Kind::kSlider},
      {"textbox", Kind::kTextBox},
      {"menu", Kind::kMenu},
      {"imagelist", Kind::kImageList},
      {"mscomm", Kind::kMSComm},
  };
  return kinds;
}

std::unique_ptr<Control> MakeIntrinsic(Kind kind, const std::string& name, int index) {
  switch (kind) {
    case Kind::kLabel:
      return std::make_unique<Label>(name, index);
    case Kind::kPictureBox:
      return std::make_unique<PictureBox>(name, index);
    case Kind::kFrame:
      return std::make_unique<Frame>(name, index);
    case Kind::kListBox:
      return std::make_unique<ListBox>(name, index);
    case Kind::kOptionButton:
      return std::make_unique<OptionButton>(name, index);
    case Kind::kCheckBox:
      return std::make_unique<CheckBox>(name, index);
    case Kind::kCommandButton:
      return std::make_unique<CommandButton>(name, index);
    case Kind::kImage:
      return std::make_unique<Image>(name, index);
    case Kind::kShape:
      return std::make_unique<Shape>(name, index);
    case Kind::kTimer:
      return std::make_unique<Timer>(name, index);
    case Kind::kSlider:
      return std::make_unique<Slider>(name, index);
    case Kind::kTextBox:
      return std::make_unique<TextBox>(name, index);
    case Kind::kMenu:
      return std::make_unique<Menu>(name, index);
    case Kind::kImageList:
      return std::make_unique<ImageList>(name, index);
    case Kind::kMSComm:
      return std::make_unique<MSComm>(name, index);
    default:
      return nullptr;
  }
}

bool IsIdentifier(const std::string& s) {
  if (s.empty() || !(platform::IsAsciiAlpha(s[0]) || s[0] == '_')) return false;
  return std::all_of(s.begin(), s.end(), [](char c) {
    return platform::IsAsciiAlpha(c) || platform::IsAsciiDigit(c) || c == '_';
  });
}

}  // namespace

// Builds a form from the parsed blocks.
class DescriptionLoader {
 public:
  explicit DescriptionLoader(std::string source) : source_(std::move(source)) {}

  std::vector<Block> Parse(const std::string& text);
  std::unique_ptr<Form> Build(const Block& top);

 private:
  [[noreturn]] void Fail(int line, const std::string& what) const {
    throw DescriptionError(source_, line, what);
  }
  void BuildChildren(Form& form, const Block& block, Control* container);
  void BuildBlock(Form& form, const Block& block, Control* container);
  void Apply(Control& c, const Property& p, const std::string& kind_name);
  bool ApplyCommon(Control& c, const std::string& key, const Value& v);
  bool ApplyOwn(Control& c, const std::string& key, const Value& v);
  bool ApplyForm(Form& f, const std::string& key, const Value& v);
  static void Stack(const std::vector<Control*>& children);

  std::string source_;
};

std::vector<Block> DescriptionLoader::Parse(const std::string& text) {
  std::vector<Block> top;
  int number = 0;
  size_t pos = 0;
  // The blocks not yet closed, innermost last; each moves into its parent
  // when closed.
  std::vector<Block> building;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    ++number;
    if (number == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line = line.substr(3);
    line = Trim(line);
    if (line.empty() || line[0] == '#') {
      if (end == text.size()) break;
      continue;
    }
    const std::vector<std::string> words = Words(line);
    if (words[0] == "Begin") {
      if (words.size() != 3) Fail(number, "a block opens with 'Begin <Kind> <Name>'");
      if (!IsIdentifier(words[1])) Fail(number, "bad kind '" + words[1] + "'");
      if (!IsIdentifier(words[2])) Fail(number, "bad control name '" + words[2] + "'");
      if (building.empty() && !top.empty()) Fail(number, "a description holds one window");
      Block b;
      b.kind = words[1];
      b.name = words[2];
      b.line = number;
      building.push_back(std::move(b));
    } else if (words[0] == "End" && words.size() == 1) {
      if (building.empty()) Fail(number, "'End' without a block to close");
      Block done = std::move(building.back());
      building.pop_back();
      if (building.empty()) {
        top.push_back(std::move(done));
      } else {
        building.back().children.push_back(std::move(done));
      }
    } else {
      const size_t eq = line.find('=');
      if (eq == std::string::npos) Fail(number, "expected 'Name = value', 'Begin' or 'End'");
      const std::string key = Trim(line.substr(0, eq));
      if (!IsIdentifier(key)) Fail(number, "bad property name '" + key + "'");
      if (building.empty()) Fail(number, "a property outside any block");
      Property p;
      p.key = key;
      p.line = number;
      try {
        p.value = ParseValue(Trim(line.substr(eq + 1)));
      } catch (const ValueError& e) {
        Fail(number, key + ": " + e.what());
      }
      building.back().properties.push_back(std::move(p));
    }
    if (end == text.size()) break;
  }
  if (!building.empty()) {
    Fail(building.back().line, "block '" + building.back().name + "' is left open");
  }
  if (top.empty()) Fail(std::max(number, 1), "no window in the description");
  return top;
}

std::unique_ptr<Form> DescriptionLoader::Build(const Block& top) {
  if (Lower(top.kind) != "form") Fail(top.line, "the description must begin with a Form block");
  auto form = std::make_unique<Form>(top.name);
  for (const Property& p : top.properties) Apply(*form, p, "Form");
  BuildChildren(*form, top, form.get());
  return form;
}

void DescriptionLoader::BuildChildren(Form& form, const Block& block, Control* container) {
  const int first = form.ControlCount();
  for (const Block& child : block.children) BuildBlock(form, child, container);
  // Only the container's direct children take part in its stacking order.
  std::vector<Control*> children;
  for (int i = first; i < form.ControlCount(); ++i) {
    Control& c = form.ControlAt(i);
    if (c.Container() == container && c.widget()) children.push_back(&c);
  }
  Stack(children);
}

// The first block of a container lies on top, as in the designer's files;
// labels, images and shapes, which have no window of their own there, lie
// below every control that has one.
void DescriptionLoader::Stack(const std::vector<Control*>& children) {
  auto lightweight = [](const Control* c) { return IsWindowless(c->kind()); };
  for (bool light : {true, false}) {
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
      if (lightweight(*it) == light) (*it)->widget()->raise();
    }
  }
}

void DescriptionLoader::BuildBlock(Form& form, const Block& block, Control* container) {
  const std::string kind_lower = Lower(block.kind);
  int index = -1;
  for (const Property& p : block.properties) {
    if (Lower(p.key) == "index") {
      try {
        index = AsInt(p.value);
      } catch (const ValueError& e) {
        Fail(p.line, std::string("Index: ") + e.what());
      }
      if (index < 0 || index > 32767) Fail(p.line, "Index: out of range");
    }
  }
  if (form.Has(block.name, index)) {
    Fail(block.line, "a second control '" + block.name +
                         (index >= 0 ? "(" + std::to_string(index) + ")" : "") + "'");
  }
  const auto intrinsic = IntrinsicKinds().find(kind_lower);
  const bool is_menu = intrinsic != IntrinsicKinds().end() && intrinsic->second == Kind::kMenu;
  if (is_menu != (container->kind() == Kind::kMenu) && !(is_menu && container == &form)) {
    Fail(block.line, is_menu ? "a menu entry belongs to the window or to another menu"
                             : "'" + container->Name() + "' cannot hold controls");
  }
  if (!is_menu && !container->ClientWidget()) {
    Fail(block.line, "'" + container->Name() + "' cannot hold controls");
  }

  std::unique_ptr<Control> control;
  std::vector<const Property*> host;
  if (intrinsic != IntrinsicKinds().end()) {
    if (intrinsic->second == Kind::kForm) Fail(block.line, "a window cannot hold another window");
    control = MakeIntrinsic(intrinsic->second, block.name, index);
    for (const Property& p : block.properties) host.push_back(&p);
  } else {
    const auto factory = Factories().find(kind_lower);
    if (factory == Factories().end()) Fail(block.line, "unknown kind '" + block.kind + "'");
    // Keys that begin with a lower-case letter or "_" are the control's
    // stored properties; the capitalised ones the host's.
    PropertyBag bag;
    for (const Property& p : block.properties) {
      const char first = p.key[0];
      if ((first >= 'a' && first <= 'z') || first == '_') {
        try {
          bag.Set(p.key, AsStored(p.value));
        } catch (const ValueError& e) {
          Fail(p.line, p.key + ": " + e.what());
        }
      } else {
        host.push_back(&p);
      }
    }
    try {
      control = factory->second(block.name, index, form, container, &bag);
    } catch (const DescriptionError&) {
      throw;
    } catch (const std::exception& e) {
      Fail(block.line, "'" + block.name + "' could not be made: " + e.what());
    }
    if (!control) Fail(block.line, "'" + block.name + "' could not be made");
  }
  Control* c = control.get();
  // A menu entry takes its properties before it joins the window, so that a
  // hidden top-level entry never has the window build a menu bar.
  if (is_menu) {
    for (const Property* p : host) Apply(*c, *p, block.kind);
  }
  form.AddControl(std::move(control), container);
  if (!is_menu) {
    for (const Property* p : host) Apply(*c, *p, block.kind);
  }
  BuildChildren(form, block, c);
}

void DescriptionLoader::Apply(Control& c, const Property& p, const std::string& kind_name) {
  const std::string key = Lower(p.key);
  if (key == "index" && c.kind() != Kind::kForm) return;  // taken when the control was made
  try {
    bool known = false;
    if (auto* f = dynamic_cast<Form*>(&c)) {
      known = ApplyForm(*f, key, p.value);
    } else {
      known = ApplyCommon(c, key, p.value) || ApplyOwn(c, key, p.value);
    }
    if (!known) Fail(p.line, "unknown property '" + p.key + "' for " + kind_name);
  } catch (const DescriptionError&) {
    throw;
  } catch (const ValueError& e) {
    Fail(p.line, p.key + ": " + e.what());
  } catch (const platform::VbError& e) {
    if (e.number() == platform::kErrPropertyNotSupported) {
      Fail(p.line, "unknown property '" + p.key + "' for " + kind_name);
    }
    Fail(p.line, p.key + ": " + e.what());
  } catch (const std::exception& e) {
    Fail(p.line, p.key + ": " + e.what());
  }
}

bool DescriptionLoader::ApplyCommon(Control& c, const std::string& key, const Value& v) {
  if (key == "left") {
    c.SetLeft(AsInt(v));
  } else if (key == "top") {
    c.SetTop(AsInt(v));
  } else if (key == "width") {
    c.SetWidth(AsInt(v));
  } else if (key == "height") {
    c.SetHeight(AsInt(v));
  } else if (key == "tag") {
    c.SetTag(AsText(v));
  } else if (key == "tabindex") {
    const int i = AsInt(v);
    if (i < 0) throw ValueError("a TabIndex is 0 or more");
    c.TabIndex();      // raises for kinds without one
    c.tab_index_ = i;  // as designed; renumbering is for the program's changes
  } else if (key == "tabstop") {
    c.SetTabStop(AsBool(v));
  } else if (key == "visible") {
    c.SetVisible(AsBool(v));
  } else if (key == "enabled") {
    c.SetEnabled(AsBool(v));
  } else if (key == "tooltiptext") {
    c.SetToolTipText(AsText(v));
  } else if (key == "mousepointer") {
    const int m = AsInt(v);
    if (m < 0 || (m > 15 && m != 99)) throw ValueError("MousePointer is 0 to 15 or 99");
    c.SetPointer(m == 99 ? Pointer::kHand : Pointer::kDefault);
  } else if (key == "mouseicon") {
    // The custom pointer of this program is the pointing hand; a picture of
    // that name, where registered, is only checked to exist.
    const std::string name = AsText(v);
    if (Lower(name) != "hand") NamedPicture(name);
  } else {
    return false;
  }
  return true;
}

bool DescriptionLoader::ApplyForm(Form& f, const std::string& key, const Value& v) {
  if (key == "caption") {
    f.SetCaption(AsText(v));
  } else if (key == "tag") {
    f.SetTag(AsText(v));
  } else if (key == "backcolor") {
    f.SetBackColor(AsColour(v));
  } else if (key == "forecolor") {
    f.SetForeColor(AsColour(v));
  } else if (key == "font") {
    f.SetFont(AsFont(v));
  } else if (key == "borderstyle") {
    f.SetBorderStyle(AsInt(v));
  } else if (key == "clientwidth") {
    f.SetClientSize(AsInt(v), f.ScaleHeight());
  } else if (key == "clientheight") {
    f.SetClientSize(f.ScaleWidth(), AsInt(v));
  } else if (key == "startupposition") {
    const int p = AsInt(v);
    if (p < 0 || p > 3) throw ValueError("StartUpPosition is 0 to 3");
    f.SetCentred(p == 1 || p == 2);
  } else if (key == "minbutton") {
    f.SetMinButton(AsBool(v));
  } else if (key == "maxbutton") {
    f.SetMaxButton(AsBool(v));
  } else if (key == "icon") {
    f.SetIcon(AsPicture(v)());
  } else {
    return false;
  }
  return true;
}

bool DescriptionLoader::ApplyOwn(Control& c, const std::string& key, const Value& v) {
  // Colours and font, for the kinds that have them.
  if (auto* vc = dynamic_cast<VisualControl*>(&c)) {
    if (key == "backcolor") return vc->SetBackColor(AsColour(v)), true;
    if (key == "forecolor") return vc->SetForeColor(AsColour(v)), true;
    if (key == "font") return vc->SetFont(AsFont(v)), true;
  }
  switch (c.kind()) {
    case Kind::kLabel: {
      auto& l = static_cast<Label&>(c);
      if (key == "caption") return l.SetCaption(AsText(v)), true;
      if (key == "alignment") {
        const int a = AsInt(v);
        if (a < 0 || a > 2) throw ValueError("Alignment is 0, 1 or 2");
        return l.SetAlignment(static_cast<Alignment>(a)), true;
      }
      if (key == "backstyle") return l.SetBackStyle(AsInt(v)), true;
      return false;
    }
    case Kind::kPictureBox: {
      auto& p = static_cast<PictureBox&>(c);
      if (key == "borderstyle") return p.SetBorderStyle(AsInt(v)), true;
      if (key == "align") return p.SetAlign(AsInt(v)), true;
      if (key == "picture") return p.SetPicture(AsPicture(v)()), true;
      return false;
    }
    case Kind::kFrame: {
      auto& f = static_cast<Frame&>(c);
      if (key == "caption") return f.SetCaption(AsText(v)), true;
      return false;
    }
    case Kind::kListBox: {
      auto& l = static_cast<ListBox&>(c);
      if (key == "list") {
        if (v.type == Value::kText) return l.AddItem(v.text), true;
        if (v.type != Value::kList) throw ValueError("a list of quoted texts was expected");
        for (const std::string& row : v.list) l.AddItem(row);
        return true;
      }
      return false;
    }
    case Kind::kOptionButton: {
      auto& o = static_cast<OptionButton&>(c);
      if (key == "caption") return o.SetCaption(AsText(v)), true;
      if (key == "value") return o.SetValue(AsBool(v)), true;
      return false;
    }
    case Kind::kCheckBox: {
      auto& b = static_cast<CheckBox&>(c);
      if (key == "caption") return b.SetCaption(AsText(v)), true;
      if (key == "value") {
        const int value = AsInt(v);
        if (value < 0 || value > 2) throw ValueError("Value is 0, 1 or 2");
        return b.SetValue(value), true;
      }
      return false;
    }
    case Kind::kCommandButton: {
      auto& b = static_cast<CommandButton&>(c);
      if (key == "caption") return b.SetCaption(AsText(v)), true;
      if (key == "cancel") return b.SetCancel(AsBool(v)), true;
      return false;
    }
    case Kind::kImage: {
      auto& i = static_cast<Image&>(c);
      if (key == "picture") return i.SetPicture(AsPicture(v)), true;
      if (key == "stretch") return i.SetStretch(AsBool(v)), true;
      return false;
    }
    case Kind::kShape: {
      auto& s = static_cast<Shape&>(c);
      if (key == "shape") return s.SetShape(AsInt(v)), true;
      if (key == "fillcolor") return s.SetFillColor(AsColour(v)), true;
      if (key == "fillstyle") return s.SetFillStyle(AsInt(v)), true;
      if (key == "bordercolor") return s.SetBorderColor(AsColour(v)), true;
      return false;
    }
    case Kind::kTimer: {
      auto& t = static_cast<Timer&>(c);
      if (key == "interval") return t.SetInterval(AsInt(v)), true;
      return false;
    }
    case Kind::kSlider: {
      auto& s = static_cast<Slider&>(c);
      if (key == "min") return s.SetMin(AsInt(v)), true;
      if (key == "max") return s.SetMax(AsInt(v)), true;
      if (key == "value") return s.SetValue(AsInt(v)), true;
      return false;
    }
    case Kind::kTextBox: {
      auto& t = static_cast<TextBox&>(c);
      if (key == "text") return t.SetText(AsText(v)), true;
      if (key == "alignment") return t.SetAlignment(AsInt(v)), true;
      if (key == "locked") return t.SetLocked(AsBool(v)), true;
      if (key == "maxlength") return t.SetMaxLength(AsInt(v)), true;
      if (key == "passwordchar") return t.SetPasswordChar(AsText(v)), true;
      if (key == "appearance") return t.SetAppearance(AsInt(v)), true;
      if (key == "borderstyle") return t.SetBorderStyle(AsInt(v)), true;
      return false;
    }
    case Kind::kMenu: {
      auto& m = static_cast<Menu&>(c);
      if (key == "caption") return m.SetCaption(AsText(v)), true;
      return false;
    }
    case Kind::kImageList: {
      auto& l = static_cast<ImageList&>(c);
      if (key == "listimage") return l.Add(AsPicture(v)), true;
      return false;
    }
    case Kind::kMSComm: {
      auto& m = static_cast<MSComm&>(c);
      if (key == "commport") return m.port().SetCommPort(AsInt(v)), true;
      if (key == "settings") return m.port().SetSettings(AsText(v)), true;
      return false;
    }
    default:
      return false;
  }
}

void RegisterUserControl(const std::string& kind, UserControlFactory factory) {
  Factories()[Lower(kind)] = std::move(factory);
}

void RegisterPicture(const std::string& name, const QImage& picture) {
  Pictures()[Lower(name)] = NamedPictureEntry{picture, nullptr};
}

void RegisterPicture(const std::string& name, std::function<QImage()> draw) {
  Pictures()[Lower(name)] = NamedPictureEntry{QImage(), std::move(draw)};
}

bool HasPicture(const std::string& name) { return Pictures().count(Lower(name)) > 0; }

QImage NamedPicture(const std::string& name) {
  const auto it = Pictures().find(Lower(name));
  if (it == Pictures().end()) throw std::invalid_argument("unknown picture '" + name + "'");
  NamedPictureEntry& entry = it->second;
  if (entry.draw) {
    entry.picture = entry.draw();
    entry.draw = nullptr;
  }
  return entry.picture;
}

std::unique_ptr<Form> LoadForm(const std::string& text, const std::string& source) {
  DescriptionLoader loader(source);
  const std::vector<Block> blocks = loader.Parse(text);
  if (blocks.size() != 1) {
    throw DescriptionError(source, blocks[1].line, "a description holds one window");
  }
  return loader.Build(blocks.front());
}

std::unique_ptr<Form> LoadFormResource(const std::string& resource_path) {
  QFile file(Q(resource_path));
  if (!file.open(QIODevice::ReadOnly)) {
    throw DescriptionError(resource_path, 0, "the window description cannot be read");
  }
  const QByteArray bytes = file.readAll();
  return LoadForm(bytes.toStdString(), resource_path);
}

}  // namespace tk
