#pragma once
// Simulated weight frames: the layout of a frame type, read from the settings
// file, and the frame built from a value.

#include <cstdint>
#include <string>
#include <vector>

namespace converter {

struct FrameLayoutData {
  std::string PlusChar = "+";  // one character each
  std::string MinusChar = "_";
  std::string ZeroChar = " ";
  std::string FrameMask;  // empty until the first LoadFrameLayout
  std::string UnitText;
};

// Program-wide values of the builder.
extern FrameLayoutData FrameLayout;
extern std::vector<std::string> Digits;     // six places, 5 the rightmost
extern std::vector<std::string> UnitChars;  // one per unit letter
extern std::string SimulatedFrame;          // the frame built last

void LoadFrameLayout(const std::string& code);
std::string BuildFrame(int32_t value);
// Fills Digits from n right-aligned in six places; a value of seven or more
// digits fills them as 999999, the largest the frame can show.
void SplitValueDigits(int32_t n);
void SplitUnitChars(const std::string& unit);

}  // namespace converter
