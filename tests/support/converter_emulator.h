#pragma once
// An emulated converter on a pseudo-terminal, reached through the real serial
// control: Attach(n) points the port number n (KONWERTER_COM<n>) at the
// terminal's slave side. It runs on its own thread, answers the four commands
// from the state it keeps, and records every byte it receives with its time of
// arrival. Its misbehaviours (silence, delays, split replies, stray bytes, a
// different read-back, a flood without EOT, a pulled device) are switched on
// by the tests. Independent of Qt.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

class ConverterEmulator {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;

  struct TimedLine {
    std::string text;   // the bytes before CR LF
    TimePoint arrival;  // when its LF arrived
  };
  struct TimedFrame {
    std::string bytes;  // SOH ... EOT as received
    TimePoint arrival;  // when its EOT arrived
  };

  ConverterEmulator();
  ~ConverterEmulator();
  ConverterEmulator(const ConverterEmulator&) = delete;
  ConverterEmulator& operator=(const ConverterEmulator&) = delete;

  // The slave side of the terminal, e.g. /dev/pts/7.
  const std::string& SlavePath() const { return slave_path_; }
  // Sets KONWERTER_COM<port_number> to the slave path; the destructor unsets
  // every variable it set.
  void Attach(int port_number);

  // The converter's state; a set frame changes it, a query reads it.
  void SetState(char mode, char frame_type, const std::string& max, const std::string& version);
  char Mode() const;
  char FrameType() const;
  std::string Max() const;
  std::string Version() const;

  // Does not answer at all (it still records).
  void SetSilent(bool silent);
  // Waits this long after a frame's EOT before answering.
  void SetReplyDelay(std::chrono::milliseconds delay);
  // Writes each reply in pieces of chunk bytes with gap between them (0: one write).
  void SetSplitReplies(size_t chunk, std::chrono::milliseconds gap);
  // Bytes written before the reply's SOH and after its EOT (in the same write).
  void SetStrayBytes(const std::string& before, const std::string& after);
  // A set of this command stores stored_value instead of the value sent, so
  // that the read-back differs.
  void SetReadBackOverride(char command, const std::string& stored_value);
  // Every frame of this command is answered by these raw bytes instead.
  void SetRawReply(char command, const std::string& bytes);
  void ClearRawReply(char command);
  // The next requests, one each, are answered by these raw bytes (nullopt:
  // silence for that request); taken before any other rule.
  void QueueReply(std::optional<std::string> bytes);
  // Sends bytes without EOT as fast as the line takes them until stopped.
  void StartFlood(char byte = 'x');
  void StopFlood();
  // Sends bytes on its own, outside any exchange.
  void SendRaw(const std::string& bytes);
  // Closes the master side, as a pulled USB adapter: the slave hangs up and
  // its device node goes away.
  void Unplug();

  // Everything received, raw (windows-1250) bytes.
  std::string Received() const;
  std::vector<std::pair<char, TimePoint>> ReceivedTimed() const;
  std::vector<TimedFrame> Frames() const;  // complete SOH..EOT frames
  std::vector<TimedLine> Lines() const;    // lines ended by CR LF
  size_t RepliesSent() const;
  void ClearReceived();
  // Wait until at least n bytes / frames / lines have come; false on time-out.
  bool WaitForBytes(size_t n, std::chrono::milliseconds timeout) const;
  bool WaitForFrames(size_t n, std::chrono::milliseconds timeout) const;
  bool WaitForLines(size_t n, std::chrono::milliseconds timeout) const;
  // Until at least n replies have been written whole (a write to the line,
  // so an opening of the port after it drops whatever of it was not read).
  bool WaitForReplies(size_t n, std::chrono::milliseconds timeout) const;
  // Until every byte given to SendRaw has been written.
  bool WaitForRawSent(std::chrono::milliseconds timeout) const;
  // When each reply's last byte was written.
  std::vector<TimePoint> ReplyTimes() const;

 private:
  void Run();
  void HandleBytes(const char* data, size_t size, TimePoint now);
  std::optional<std::string> ReplyFor(const std::string& frame);
  void WriteReply(const std::string& reply);
  void WriteAll(const std::string& bytes);
  // Sleeps, but returns early (false) when the emulator stops.
  bool SleepFor(std::chrono::milliseconds duration);

  int master_fd_ = -1;
  int slave_fd_ = -1;  // held open so that the master never sees a hang-up
  int wake_pipe_[2] = {-1, -1};
  std::string slave_path_;
  std::vector<std::string> env_names_;

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  bool stop_ = false;
  bool unplugged_ = false;
  bool flood_ = false;
  char flood_byte_ = 'x';

  char mode_ = '0';
  char frame_type_ = '0';
  std::string max_ = "001500";
  std::string version_ = "EMU 1.0";
  bool silent_ = false;
  std::chrono::milliseconds delay_{0};
  size_t chunk_ = 0;
  std::chrono::milliseconds gap_{0};
  std::string before_, after_;
  std::map<char, std::string> read_back_override_;
  std::map<char, std::string> raw_reply_;
  std::deque<std::optional<std::string>> queued_;
  std::string pending_send_;

  std::string received_;
  std::vector<std::pair<char, TimePoint>> received_timed_;
  std::vector<TimedFrame> frames_;
  std::vector<TimedLine> lines_;
  std::string frame_so_far_;
  bool in_frame_ = false;
  std::string line_so_far_;
  size_t replies_sent_ = 0;
  std::vector<TimePoint> reply_times_;
  size_t raw_queued_ = 0;
  size_t raw_written_ = 0;

  std::thread thread_;
};

}  // namespace testing_support
