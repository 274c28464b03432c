// Times converter exchanges against the emulated converter on a
// pseudo-terminal, each beside a naive wait that polls the port without pause,
// measured in the same run:
// - one GetMax exchange (target: at most 2 ms above the 20 ms pause);
// - the processor time of one two-second time-out wait (target: at most
//   0.5% of one core);
// - the time from a reply's arrival to the wait seeing it (target: at most
//   1 ms).

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "link/port_settings.h"
#include "link/protocol.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/serial_port.h"
#include "support/converter_emulator.h"

namespace {

constexpr int kPort = 77;
constexpr int kExchanges = 50;
constexpr auto kReplyDelay = std::chrono::milliseconds(50);

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double Seconds(testing_support::ConverterEmulator::TimePoint at) {
  return std::chrono::duration<double>(at.time_since_epoch()).count();
}

// Notes when the wait ends: the banner is hidden right after the loop.
class NoBanner : public converter::ConverterView {
 public:
  void ShowWaitBanner(bool visible) override {
    if (!visible) hidden_at = Now();
  }
  double hidden_at = 0;
};

double ThreadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec + t.tv_nsec / 1e9;
}

// The exchange as a wait without pause would make it: read, test, read again.
// seen_at: when the loop ended.
std::string NaiveExchange(platform::SerialPort& comm, const std::string& frame,
                          double* seen_at = nullptr) {
  comm.SetPortOpen(true);
  comm.Output(frame);
  platform::SystemClock().Sleep(20);
  const double t0 = Now();
  std::string buffer;
  std::string result;
  while (true) {
    if (buffer.find('\x04') != std::string::npos) {
      result = buffer;
      break;
    }
    buffer += comm.Input();
    if (Now() - t0 > 2.0) {
      result = "time-out";
      break;
    }
  }
  if (seen_at != nullptr) *seen_at = Now();
  comm.SetPortOpen(false);
  return result;
}

struct Figures {
  double median_ms;
  double worst_ms;
};

Figures Summary(std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  return {ms[ms.size() / 2], ms.back()};
}

template <typename F>
Figures TimeExchanges(F&& exchange) {
  std::vector<double> ms;
  for (int i = 0; i < kExchanges; ++i) {
    double start = Now();
    exchange();
    ms.push_back((Now() - start) * 1000.0);
  }
  return Summary(ms);
}

// Milliseconds from the emulator's writing of the reply to the end of the
// wait, over kExchanges exchanges whose reply comes kReplyDelay late, so
// that the wait is well under way when it arrives. seen() gives the end of
// the wait of the exchange just made.
template <typename F, typename S>
Figures Latencies(testing_support::ConverterEmulator& emulator, F&& exchange, S&& seen) {
  std::vector<double> ms;
  for (int i = 0; i < kExchanges; ++i) {
    exchange();
    ms.push_back((seen() - Seconds(emulator.ReplyTimes().back())) * 1000.0);
  }
  return Summary(ms);
}

}  // namespace

int main() {
  platform::SetMsgBoxSink([](const std::string& text, platform::MsgBoxIcon) {
    std::fprintf(stderr, "message: %s\n", text.c_str());
  });
  testing_support::ConverterEmulator emulator;
  emulator.Attach(kPort);
  emulator.SetState('0', '1', "001500", "BENCH");
  converter::PortSettings.PortNumber = std::to_string(kPort);

  platform::SerialPort comm;
  comm.SetCommPort(kPort);
  NoBanner banner;
  converter::ConverterLink link(comm, banner);

  std::string check = link.GetMax();
  if (check != "001500") {
    std::fprintf(stderr, "unexpected reply: %s\n", check.c_str());
    return 1;
  }

  Figures waited = TimeExchanges([&] { link.GetMax(); });
  Figures naive = TimeExchanges([&] { NaiveExchange(comm, converter::CommandFrame('2', "?")); });
  std::printf("GetMax exchange (%d runs), 20 ms pause included; target <= 22 ms\n", kExchanges);
  std::printf("  ReadReply (waits on the port): median %6.2f ms, worst %6.2f ms\n",
              waited.median_ms, waited.worst_ms);
  std::printf("  naive busy poll:               median %6.2f ms, worst %6.2f ms\n", naive.median_ms,
              naive.worst_ms);

  emulator.SetReplyDelay(kReplyDelay);
  double naive_seen = 0;
  Figures seen = Latencies(
      emulator, [&] { link.GetMax(); }, [&] { return banner.hidden_at; });
  Figures seen_naive = Latencies(
      emulator, [&] { NaiveExchange(comm, converter::CommandFrame('2', "?"), &naive_seen); },
      [&] { return naive_seen; });
  emulator.SetReplyDelay(std::chrono::milliseconds(0));
  std::printf("From a reply's arrival to its being seen (%d runs); target <= 1 ms\n", kExchanges);
  std::printf("  ReadReply (waits on the port): median %6.3f ms, worst %6.3f ms\n", seen.median_ms,
              seen.worst_ms);
  std::printf("  naive busy poll:               median %6.3f ms, worst %6.3f ms\n",
              seen_naive.median_ms, seen_naive.worst_ms);

  emulator.SetSilent(true);
  double cpu0 = ThreadCpuSeconds();
  double wall0 = Now();
  std::string result = link.GetMax();
  double cpu = ThreadCpuSeconds() - cpu0;
  double wall = Now() - wall0;
  double cpu_naive0 = ThreadCpuSeconds();
  double wall_naive0 = Now();
  NaiveExchange(comm, converter::CommandFrame('2', "?"));
  double cpu_naive = ThreadCpuSeconds() - cpu_naive0;
  double wall_naive = Now() - wall_naive0;
  std::printf("Two-second time-out wait; target <= 0.5%% of one core\n");
  std::printf("  ReadReply (waits on the port): %.3f s wall, %.4f s CPU = %6.2f%% (\"%s\")\n", wall,
              cpu, 100.0 * cpu / wall, result.c_str());
  std::printf("  naive busy poll:               %.3f s wall, %.4f s CPU = %6.2f%%\n", wall_naive,
              cpu_naive, 100.0 * cpu_naive / wall_naive);
  return 0;
}
