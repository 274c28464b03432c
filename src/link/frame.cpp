#include "link/frame.h"

#include <algorithm>
#include <cstdlib>

#include "platform/cp1250.h"
#include "platform/files.h"
#include "platform/vb_number.h"
#include "settings/ini.h"

namespace converter {

FrameLayoutData FrameLayout;
std::vector<std::string> Digits(6);
std::vector<std::string> UnitChars;
std::string SimulatedFrame;

namespace {

// The largest value the six digit places can show.
constexpr int64_t kLargestShown = 999999;

// The first character of a text, as one-character fields keep it; an empty
// text leaves one blank.
std::string FirstChar(const std::string& text) {
  std::u32string chars = platform::Utf8ToCodePoints(text);
  if (chars.empty()) return " ";
  return platform::CodePointsToUtf8(chars.substr(0, 1));
}

}  // namespace

void LoadFrameLayout(const std::string& code) {
  const platform::FileLoad one_read;  // five values of one file
  const std::string file = settings::SettingsFile();
  FrameLayout.PlusChar = FirstChar(settings::ReadIniValue(file, code, "plus", "+"));
  FrameLayout.MinusChar = FirstChar(settings::ReadIniValue(file, code, "minus", "_"));
  FrameLayout.ZeroChar = FirstChar(settings::ReadIniValue(file, code, "zero", " "));
  FrameLayout.FrameMask = settings::ReadIniValue(file, code, "ramka", "mmmmmm");
  FrameLayout.UnitText = settings::ReadIniValue(file, "parametry", "jm", "kg");
}

void SplitValueDigits(int32_t n) {
  // A value of seven or more digits cannot be shown in six places; cutting
  // it would send a wrong weight, so it is sent as the largest value the
  // frame shows.
  int64_t magnitude = std::min<int64_t>(std::llabs(static_cast<int64_t>(n)), kLargestShown);
  std::string s = platform::Format(static_cast<double>(magnitude), "@@@@@@");
  Digits.assign(6, " ");
  for (size_t i = 0; i < 6 && i < s.size(); ++i) Digits[i] = s.substr(i, 1);
}

void SplitUnitChars(const std::string& unit) {
  std::u32string chars = platform::Utf8ToCodePoints(unit.empty() ? std::string("kg") : unit);
  UnitChars.clear();
  for (char32_t c : chars) UnitChars.push_back(platform::CodePointsToUtf8(std::u32string(1, c)));
}

std::string BuildFrame(int32_t value) {
  if (FrameLayout.UnitText.empty()) FrameLayout.UnitText = "kg";
  if (FrameLayout.FrameMask.empty()) FrameLayout.FrameMask = "mm0k00msjj";
  SplitValueDigits(value);
  SplitUnitChars(FrameLayout.UnitText);

  const std::u32string mask = platform::Utf8ToCodePoints(FrameLayout.FrameMask);
  int d = 5;
  int u = static_cast<int>(UnitChars.size()) - 1;
  std::vector<std::string> pieces(mask.size());
  for (size_t i = mask.size(); i-- > 0;) {
    std::string piece;
    switch (mask[i]) {
      case U'z':
        piece = value < 0    ? FrameLayout.MinusChar
                : value == 0 ? FrameLayout.ZeroChar
                             : FrameLayout.PlusChar;
        break;
      case U'm':
        piece = d >= 0 ? Digits[d] : " ";
        --d;
        break;
      case U'0':
        piece = d >= 0 ? Digits[d] : " ";
        if (piece == " ") piece = "0";
        --d;
        break;
      case U'k':
        piece = ".";
        break;
      case U'j':
        piece = u >= 0 ? UnitChars[u] : " ";
        --u;
        break;
      default:  // "s" and every other character
        piece = " ";
        break;
    }
    pieces[i] = piece;
  }
  std::string result;
  for (const std::string& piece : pieces) result += piece;
  SimulatedFrame = result;
  return result;
}

}  // namespace converter
