// The simulated weight frame from a hand-edited frame layout: any sign
// characters, mask and unit text, any weight. Nothing may crash, and the
// frame has one character for every character of the mask.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "fuzz_util.h"
#include "link/frame.h"
#include "platform/cp1250.h"
#include "platform/files.h"

namespace {

std::string Entry(const std::string& key, const std::string& value) {
  return key + "=" + value + "\r\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  int32_t value = data.ConsumeIntegral<int32_t>();
  std::string code = data.ConsumeRandomLengthString(8);
  std::string plus = data.ConsumeRandomLengthString(8);
  std::string minus = data.ConsumeRandomLengthString(8);
  std::string zero = data.ConsumeRandomLengthString(8);
  std::string mask = data.ConsumeRandomLengthString(120);
  std::string unit = data.ConsumeRandomLengthString(120);
  std::string extra = data.ConsumeRemainingBytesAsString();

  static const bool folder_set = [] {
    platform::SetAppFolderForTesting(fuzz_util::TempFolder());
    return true;
  }();
  (void)folder_set;
  std::string file = "[" + code + "]\r\n" + Entry("plus", plus) + Entry("minus", minus) +
                     Entry("zero", zero) + Entry("ramka", mask) + "[parametry]\r\n" +
                     Entry("jm", unit) + extra;
  fuzz_util::WriteRaw(fuzz_util::TempFolder() + "/settings.ini", file);

  converter::LoadFrameLayout(platform::Cp1250ToUtf8(code));
  for (const std::string* field :
       {&converter::FrameLayout.PlusChar, &converter::FrameLayout.MinusChar,
        &converter::FrameLayout.ZeroChar}) {
    FUZZ_CHECK(platform::Utf8Length(*field) == 1);
  }
  std::string frame = converter::BuildFrame(value);
  FUZZ_CHECK(platform::Utf8Length(frame) == platform::Utf8Length(converter::FrameLayout.FrameMask));
  FUZZ_CHECK(frame == converter::SimulatedFrame);
  // The frame goes to the line as windows-1250: one byte per character.
  FUZZ_CHECK(platform::Utf8ToCp1250(frame).size() == platform::Utf8Length(frame));
  return 0;
}
