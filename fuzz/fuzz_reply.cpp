// The reply tests of the four queries on arbitrary reply bytes: the result is
// always the value part of a reply that passes, or the reply unchanged.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_util.h"
#include "link/protocol.h"
#include "platform/cp1250.h"

namespace {

// The offsets at which the characters of a UTF-8 text begin (a malformed byte
// counting as a character of its own), plus the end.
std::vector<size_t> CharStarts(const std::string& text) {
  std::vector<size_t> starts;
  size_t i = 0;
  while (i < text.size()) {
    starts.push_back(i);
    unsigned char c = static_cast<unsigned char>(text[i]);
    size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
    size_t j = 1;
    while (j < length && i + j < text.size() &&
           (static_cast<unsigned char>(text[i + j]) & 0xC0) == 0x80) {
      ++j;
    }
    i += j < length ? 1 : length;
  }
  starts.push_back(text.size());
  return starts;
}

struct Rule {
  char command;
  size_t length;  // 0: any length of at least three
  size_t value_chars;
};

// The value part when the reply passes, counted in characters or, for the
// check that tolerates either reading, in bytes.
bool Passes(const std::string& reply, const Rule& rule, bool by_chars, std::string* value) {
  std::vector<size_t> starts;
  if (by_chars) {
    starts = CharStarts(reply);
  } else {
    for (size_t i = 0; i <= reply.size(); ++i) starts.push_back(i);
  }
  size_t count = starts.size() - 1;
  auto at = [&](size_t i) { return reply.substr(starts[i], starts[i + 1] - starts[i]); };
  if (rule.length != 0 ? count != rule.length : count < 3) return false;
  if (at(0) != std::string(1, converter::kSOH) || at(1) != std::string(1, rule.command) ||
      at(count - 1) != std::string(1, converter::kEOT)) {
    return false;
  }
  size_t last = rule.length != 0 ? 2 + rule.value_chars : count - 1;
  *value = reply.substr(starts[2], starts[last] - starts[2]);
  return true;
}

void CheckJudge(std::string (*judge)(const std::string&), const Rule& rule,
                const std::string& reply, bool well_formed) {
  std::string result = judge(reply);
  std::string by_chars, by_bytes;
  bool passes_chars = Passes(reply, rule, true, &by_chars);
  bool passes_bytes = Passes(reply, rule, false, &by_bytes);
  if (well_formed) {
    // Text as the reply reader hands it over: one character per byte received.
    FUZZ_CHECK(result == (passes_chars ? by_chars : reply));
  } else {
    // Malformed UTF-8 never comes from the reader. Counted as the text
    // functions count it (a malformed byte is one character, U+FFFD), its
    // value part may come back cleaned.
    std::u32string chars = platform::Utf8ToCodePoints(reply);
    std::string cleaned;
    bool passes_cleaned = Passes(platform::CodePointsToUtf8(chars), rule, true, &cleaned);
    FUZZ_CHECK(result == reply || (passes_chars && result == by_chars) ||
               (passes_cleaned && result == cleaned) || (passes_bytes && result == by_bytes));
  }
}

void CheckAll(const std::string& reply, bool well_formed) {
  CheckJudge(converter::JudgeModeReply, Rule{'0', 4, 1}, reply, well_formed);
  CheckJudge(converter::JudgeFrameTypeReply, Rule{'1', 4, 1}, reply, well_formed);
  CheckJudge(converter::JudgeMaxReply, Rule{'2', 9, 6}, reply, well_formed);
  CheckJudge(converter::JudgeVersionReply, Rule{'3', 0, 0}, reply, well_formed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  std::string received(reinterpret_cast<const char*>(bytes), size);
  CheckAll(platform::Cp1250ToUtf8(received), true);
  CheckAll(received, false);
  return 0;
}
