#include "link/protocol.h"

#include "link/port_settings.h"
#include "platform/cp1250.h"
#include "platform/message_box.h"
#include "platform/vb_error.h"
#include "platform/vb_number.h"
#include "settings/language.h"

namespace converter {
namespace {

// How long a reply may take.
constexpr double kReplyTimeoutSeconds = 2.0;
constexpr int kPauseAfterFrameMs = 20;
// The most a reply may hold (far more than any reply of the protocol). A line
// that sends more without an EOT is flooding: what it sends is dropped and
// the wait ends at the time-out, so memory stays bounded however fast it is.
constexpr size_t kMaxReplyBytes = 64 * 1024;

std::string TimeoutText() {
  return settings::TranslateMessageText("Przekroczony czas oczekiwania!", "");
}

// The stored text names the port through "%1" (and its device through "%2"),
// so the message always shows the port number in force when it is shown; a
// text without them (an older or hand-edited language file) is shown as it
// stands.
std::string PortMessage(const std::string& key, const std::string& builtin,
                        const std::string& device = "") {
  std::string text = settings::TranslateMessageText(key, builtin);
  std::string result;
  size_t start = 0;
  while (true) {
    size_t at = text.find('%', start);
    if (at == std::string::npos || at + 1 >= text.size()) break;
    const char which = text[at + 1];
    if (which != '1' && which != '2') {
      result.append(text, start, at + 1 - start);
      start = at + 1;
      continue;
    }
    result.append(text, start, at - start);
    result += which == '1' ? PortSettings.PortNumber : device;
    start = at + 2;
  }
  result.append(text, start, std::string::npos);
  return result;
}

std::string SettingValue(const std::string& value, const char* pattern) {
  return platform::Format(platform::Val(value), pattern);
}

}  // namespace

std::string CommandFrame(char command, const std::string& payload) {
  std::string frame;
  frame += kSOH;
  frame += command;
  frame += payload;
  frame += kEOT;
  return frame;
}

bool ConverterLink::OpenPort() {
  try {
    if (!comm_.PortOpen()) comm_.SetPortOpen(true);
    return comm_.PortOpen();
  } catch (const platform::VbError& error) {
    if (error.number() == platform::kCommInvalidPort) {
      platform::MsgBox(PortMessage("BrakPortu", "Port com%1 nie jest zainstalowany"),
                       platform::MsgBoxIcon::kCritical);
    }
    if (error.number() == platform::kCommPortAlreadyOpen) {
      platform::MsgBox(
          PortMessage("PortOtwarty", "Port com%1 jest już otwarty przez inną aplikację"),
          platform::MsgBoxIcon::kCritical);
    }
    if (error.number() == platform::kErrPermissionDenied) {
      platform::MsgBox(
          PortMessage("PortBrakDostepu", "Brak dostępu do portu com%1 (%2): odmowa dostępu",
                      platform::SerialPort::DevicePath(comm_.CommPort())),
          platform::MsgBoxIcon::kCritical);
    }
    return false;
  }
}

// Ends an exchange on every way out, an error included: hides the wait
// banner when the exchange showed it, and closes the port. An error in the
// middle of an exchange (a wait on the port that fails, say) so goes on to
// the caller without leaving the banner up or the port locked against other
// programs until the next exchange. The clean-up's own errors are ignored:
// nothing may leave a destructor, and the error on its way is the one to
// report.
class ConverterLink::ExchangeEnd {
 public:
  explicit ExchangeEnd(ConverterLink& link) : link_(link) {}
  ExchangeEnd(const ExchangeEnd&) = delete;
  ExchangeEnd& operator=(const ExchangeEnd&) = delete;
  ~ExchangeEnd() {
    try {
      if (banner_shown_) link_.view_.ShowWaitBanner(false);
    } catch (...) {
    }
    try {
      link_.ClosePort();
    } catch (...) {
    }
  }
  void ShowBanner() {
    banner_shown_ = true;  // hidden again even when showing it fails half-way
    link_.view_.ShowWaitBanner(true);
  }

 private:
  ConverterLink& link_;
  bool banner_shown_ = false;
};

std::string ConverterLink::ReadReply() {
  ExchangeEnd end(*this);
  end.ShowBanner();
  const double t0 = clock_.Seconds();
  std::string buffer;
  size_t searched = 0;  // the buffer holds no EOT before this
  bool flooded = false;
  while (true) {
    if (buffer.find(kEOT, searched) != std::string::npos) return buffer;
    searched = buffer.size();
    std::string arrived;
    bool failed = false;
    try {
      arrived = comm_.Input();
    } catch (const platform::VbError&) {
      // The device has gone away: no reply can come any more.
      failed = true;
    }
    if (!flooded && buffer.size() + arrived.size() > kMaxReplyBytes &&
        arrived.find(kEOT) == std::string::npos) {
      flooded = true;
      std::string().swap(buffer);
      searched = 0;
    }
    if (!flooded) buffer += arrived;
    const double elapsed = clock_.Seconds() - t0;
    if (failed || elapsed > kReplyTimeoutSeconds) return TimeoutText();
    if (arrived.empty()) {
      // Block on the port until something comes or the time is up (one
      // millisecond past it, so that the next reading is beyond it).
      const int left_ms = static_cast<int>((kReplyTimeoutSeconds - elapsed) * 1000.0) + 1;
      clock_.WaitFor([this](int ms) { return comm_.WaitForInput(ms); }, left_ms);
    }
  }
}

void ConverterLink::ClosePort() {
  platform::ResumeNext([&] {
    if (comm_.PortOpen()) comm_.SetPortOpen(false);
  });
}

std::string ConverterLink::Exchange(const std::string& frame) {
  try {
    comm_.Output(frame);
  } catch (const platform::VbError&) {
    // The line does not take the frame (the device has gone away): no reply
    // can come, which the user sees as a time-out, at once.
    return TimeoutText();
  }
  clock_.Sleep(kPauseAfterFrameMs);
  return ReadReply();
}

std::string ConverterLink::Query(char command) {
  if (!OpenPort()) return "";
  ExchangeEnd end(*this);
  return Exchange(CommandFrame(command, "?"));
}

bool ConverterLink::Send(char command, const std::string& value, const char* pattern) {
  if (!OpenPort()) return false;
  ExchangeEnd end(*this);
  Exchange(CommandFrame(command, SettingValue(value, pattern)));
  return true;
}

// A query whose port did not open judges "", which every test returns as it
// stands.
std::string ConverterLink::GetMode() { return JudgeModeReply(Query('0')); }
std::string ConverterLink::GetFrameType() { return JudgeFrameTypeReply(Query('1')); }
std::string ConverterLink::GetMax() { return JudgeMaxReply(Query('2')); }
std::string ConverterLink::GetVersion() { return JudgeVersionReply(Query('3')); }

std::string ConverterLink::SetMode(const std::string& value) {
  return Send('0', value, "0") ? GetMode() : "";
}
std::string ConverterLink::SetFrameType(const std::string& value) {
  return Send('1', value, "0") ? GetFrameType() : "";
}
std::string ConverterLink::SetMax(const std::string& value) {
  return Send('2', value, "000000") ? GetMax() : "";
}

namespace {

// A reply of exactly `length` characters (any length when 0, at least three)
// that starts with SOH and the command and ends with EOT; its value is what
// lies between.
std::string Judge(const std::string& reply, char command, size_t length) {
  const std::u32string chars = platform::Utf8ToCodePoints(reply);
  const bool fits = length == 0 ? chars.size() >= 3 : chars.size() == length;
  if (!fits || chars[0] != U'\x01' || chars[1] != static_cast<char32_t>(command) ||
      chars.back() != U'\x04') {
    return reply;
  }
  return platform::CodePointsToUtf8(chars.substr(2, chars.size() - 3));
}

}  // namespace

std::string JudgeModeReply(const std::string& reply) { return Judge(reply, '0', 4); }
std::string JudgeFrameTypeReply(const std::string& reply) { return Judge(reply, '1', 4); }
std::string JudgeMaxReply(const std::string& reply) { return Judge(reply, '2', 9); }
std::string JudgeVersionReply(const std::string& reply) { return Judge(reply, '3', 0); }

}  // namespace converter
