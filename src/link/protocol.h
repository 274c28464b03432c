#pragma once
// The converter's command protocol: SOH, a command character, "?" or a value,
// EOT; one exchange at a time, a reply awaited for at most two seconds.
//
// Every request returns one of four kinds of text: the value of an accepted
// reply; the reply unchanged when it fails its test; the translated time-out
// text; "" when the port failed to open (then nothing was sent).

#include <string>

#include "platform/clock.h"
#include "platform/serial_port.h"

namespace converter {

inline constexpr char kSOH = '\x01';
inline constexpr char kEOT = '\x04';

// The frame for a command character and "?" or a value.
std::string CommandFrame(char command, const std::string& payload);

// What the exchange needs of the main window: its wait banner.
class ConverterView {
 public:
  virtual ~ConverterView() = default;
  // Shows (and repaints at once) or hides "Czekaj transmisja".
  virtual void ShowWaitBanner(bool visible) = 0;
};

class ConverterLink {
 public:
  ConverterLink(platform::SerialPort& comm, ConverterView& view,
                platform::Clock& clock = platform::SystemClock())
      : comm_(comm), view_(view), clock_(clock) {}

  bool OpenPort();
  // Shows the banner and collects the reply; the banner is hidden and the
  // port closed however it ends, an error included.
  std::string ReadReply();

  std::string GetMode();
  std::string GetFrameType();
  std::string GetMax();
  std::string GetVersion();
  std::string SetMode(const std::string& value);
  std::string SetFrameType(const std::string& value);
  std::string SetMax(const std::string& value);

 private:
  class ExchangeEnd;

  // Opens the port and exchanges the query frame of `command`: the reply as
  // ReadReply returned it, or "" when the port did not open.
  std::string Query(char command);
  // Opens the port and exchanges the setting frame of `command` with `value`
  // formatted by `pattern`, dropping the reply; false when the port did not
  // open. Both close the port however they end, an error included.
  bool Send(char command, const std::string& value, const char* pattern);
  // Writes the frame, pauses and waits for the reply. A frame the line does
  // not take gives the time-out text. Its caller's ExchangeEnd closes the
  // port.
  std::string Exchange(const std::string& frame);
  void ClosePort();  // errors ignored

  platform::SerialPort& comm_;
  ConverterView& view_;
  platform::Clock& clock_;
};

// The reply tests of the four queries, on a reply as ReadReply returned it:
// the value part when the reply passes, else the reply unchanged.
std::string JudgeModeReply(const std::string& reply);
std::string JudgeFrameTypeReply(const std::string& reply);
std::string JudgeMaxReply(const std::string& reply);
std::string JudgeVersionReply(const std::string& reply);

}  // namespace converter
