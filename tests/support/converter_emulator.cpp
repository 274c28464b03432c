#include "support/converter_emulator.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace testing_support {
namespace {

constexpr char kSoh = '\x01';
constexpr char kEot = '\x04';

void Fail(const char* what) {
  throw std::runtime_error(std::string("converter emulator: ") + what + ": " +
                           std::strerror(errno));
}

}  // namespace

ConverterEmulator::ConverterEmulator() {
  master_fd_ = posix_openpt(O_RDWR | O_NOCTTY);
  if (master_fd_ < 0) Fail("posix_openpt");
  if (grantpt(master_fd_) != 0) Fail("grantpt");
  if (unlockpt(master_fd_) != 0) Fail("unlockpt");
  char name[128];
  if (ptsname_r(master_fd_, name, sizeof name) != 0) Fail("ptsname");
  slave_path_ = name;
  slave_fd_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave_fd_ < 0) Fail("open slave");
  termios tio;
  if (tcgetattr(slave_fd_, &tio) != 0) Fail("tcgetattr");
  cfmakeraw(&tio);
  if (tcsetattr(slave_fd_, TCSANOW, &tio) != 0) Fail("tcsetattr");
  int flags = fcntl(master_fd_, F_GETFL);
  fcntl(master_fd_, F_SETFL, flags | O_NONBLOCK);
  fcntl(master_fd_, F_SETFD, FD_CLOEXEC);
  if (pipe2(wake_pipe_, O_NONBLOCK | O_CLOEXEC) != 0) Fail("pipe");
  thread_ = std::thread([this] { Run(); });
}

ConverterEmulator::~ConverterEmulator() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  char c = 's';
  (void)!::write(wake_pipe_[1], &c, 1);
  thread_.join();
  if (master_fd_ >= 0) ::close(master_fd_);
  if (slave_fd_ >= 0) ::close(slave_fd_);
  ::close(wake_pipe_[0]);
  ::close(wake_pipe_[1]);
  for (const std::string& name : env_names_) unsetenv(name.c_str());
}

void ConverterEmulator::Attach(int port_number) {
  std::string name = "KONWERTER_COM" + std::to_string(port_number);
  setenv(name.c_str(), slave_path_.c_str(), 1);
  env_names_.push_back(name);
}

void ConverterEmulator::SetState(char mode, char frame_type, const std::string& max,
                                 const std::string& version) {
  std::lock_guard<std::mutex> lock(mutex_);
  mode_ = mode;
  frame_type_ = frame_type;
  max_ = max;
  version_ = version;
}

char ConverterEmulator::Mode() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return mode_;
}

char ConverterEmulator::FrameType() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return frame_type_;
}

std::string ConverterEmulator::Max() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return max_;
}

std::string ConverterEmulator::Version() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return version_;
}

void ConverterEmulator::SetSilent(bool silent) {
  std::lock_guard<std::mutex> lock(mutex_);
  silent_ = silent;
}

void ConverterEmulator::SetReplyDelay(std::chrono::milliseconds delay) {
  std::lock_guard<std::mutex> lock(mutex_);
  delay_ = delay;
}

void ConverterEmulator::SetSplitReplies(size_t chunk, std::chrono::milliseconds gap) {
  std::lock_guard<std::mutex> lock(mutex_);
  chunk_ = chunk;
  gap_ = gap;
}

void ConverterEmulator::SetStrayBytes(const std::string& before, const std::string& after) {
  std::lock_guard<std::mutex> lock(mutex_);
  before_ = before;
  after_ = after;
}

void ConverterEmulator::SetReadBackOverride(char command, const std::string& stored_value) {
  std::lock_guard<std::mutex> lock(mutex_);
  read_back_override_[command] = stored_value;
}

void ConverterEmulator::SetRawReply(char command, const std::string& bytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  raw_reply_[command] = bytes;
}

void ConverterEmulator::ClearRawReply(char command) {
  std::lock_guard<std::mutex> lock(mutex_);
  raw_reply_.erase(command);
}

void ConverterEmulator::QueueReply(std::optional<std::string> bytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  queued_.push_back(std::move(bytes));
}

void ConverterEmulator::StartFlood(char byte) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    flood_ = true;
    flood_byte_ = byte;
  }
  char c = 'f';
  (void)!::write(wake_pipe_[1], &c, 1);
}

void ConverterEmulator::StopFlood() {
  std::lock_guard<std::mutex> lock(mutex_);
  flood_ = false;
}

void ConverterEmulator::SendRaw(const std::string& bytes) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    pending_send_ += bytes;
    raw_queued_ += bytes.size();
  }
  char c = 'w';
  (void)!::write(wake_pipe_[1], &c, 1);
}

void ConverterEmulator::Unplug() {
  std::unique_lock<std::mutex> lock(mutex_);
  unplugged_ = true;
  char c = 'u';
  (void)!::write(wake_pipe_[1], &c, 1);
  changed_.notify_all();
  changed_.wait(lock, [this] { return master_fd_ < 0; });
  // The terminal's number is free now and soon names another terminal
  // (another test's, when tests run in parallel): from here on the port
  // numbers attached name a device that is not there, as after a pull.
  for (const auto& name : env_names_) setenv(name.c_str(), (slave_path_ + "-unplugged").c_str(), 1);
}

std::string ConverterEmulator::Received() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return received_;
}

std::vector<std::pair<char, ConverterEmulator::TimePoint>> ConverterEmulator::ReceivedTimed()
    const {
  std::lock_guard<std::mutex> lock(mutex_);
  return received_timed_;
}

std::vector<ConverterEmulator::TimedFrame> ConverterEmulator::Frames() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return frames_;
}

std::vector<ConverterEmulator::TimedLine> ConverterEmulator::Lines() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lines_;
}

size_t ConverterEmulator::RepliesSent() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return replies_sent_;
}

void ConverterEmulator::ClearReceived() {
  std::lock_guard<std::mutex> lock(mutex_);
  received_.clear();
  received_timed_.clear();
  frames_.clear();
  lines_.clear();
  frame_so_far_.clear();
  in_frame_ = false;
  line_so_far_.clear();
}

bool ConverterEmulator::WaitForBytes(size_t n, std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return received_.size() >= n; });
}

bool ConverterEmulator::WaitForReplies(size_t n, std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return replies_sent_ >= n; });
}

bool ConverterEmulator::WaitForRawSent(std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return raw_written_ == raw_queued_; });
}

std::vector<ConverterEmulator::TimePoint> ConverterEmulator::ReplyTimes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return reply_times_;
}

bool ConverterEmulator::WaitForFrames(size_t n, std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return frames_.size() >= n; });
}

bool ConverterEmulator::WaitForLines(size_t n, std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return lines_.size() >= n; });
}

bool ConverterEmulator::SleepFor(std::chrono::milliseconds duration) {
  std::unique_lock<std::mutex> lock(mutex_);
  return !changed_.wait_for(lock, duration, [this] { return stop_ || unplugged_; });
}

void ConverterEmulator::Run() {
  std::vector<std::string> replies;
  char buffer[4096];
  while (true) {
    bool flood;
    std::string to_send;
    char flood_byte;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stop_) return;
      if (unplugged_ && master_fd_ >= 0) {
        ::close(master_fd_);
        ::close(slave_fd_);
        master_fd_ = -1;
        slave_fd_ = -1;
        changed_.notify_all();
      }
      flood = flood_ && master_fd_ >= 0;
      flood_byte = flood_byte_;
      to_send.swap(pending_send_);
    }
    if (master_fd_ >= 0 && !to_send.empty()) WriteAll(to_send);
    if (!to_send.empty()) {
      std::lock_guard<std::mutex> lock(mutex_);
      raw_written_ += to_send.size();
      changed_.notify_all();
    }
    if (flood) {
      std::string burst(256, flood_byte);
      (void)!::write(master_fd_, burst.data(), burst.size());
    }

    pollfd fds[2] = {{wake_pipe_[0], POLLIN, 0}, {master_fd_, POLLIN, 0}};
    int count = master_fd_ >= 0 ? 2 : 1;
    int r = ::poll(fds, count, flood ? 1 : 100);
    if (r < 0 && errno != EINTR) return;
    if (fds[0].revents & POLLIN) {
      char drain[64];
      while (::read(wake_pipe_[0], drain, sizeof drain) > 0) {
      }
    }
    if (count == 2 && (fds[1].revents & POLLIN)) {
      ssize_t n = ::read(master_fd_, buffer, sizeof buffer);
      if (n > 0) {
        auto now = std::chrono::steady_clock::now();
        std::vector<std::string> frames_done;
        {
          std::lock_guard<std::mutex> lock(mutex_);
          size_t before = frames_.size();
          HandleBytes(buffer, static_cast<size_t>(n), now);
          for (size_t i = before; i < frames_.size(); ++i) frames_done.push_back(frames_[i].bytes);
        }
        changed_.notify_all();
        for (const std::string& frame : frames_done) {
          std::optional<std::string> reply;
          std::chrono::milliseconds delay;
          {
            std::lock_guard<std::mutex> lock(mutex_);
            reply = ReplyFor(frame);
            delay = delay_;
          }
          if (!reply) continue;
          if (delay.count() > 0 && !SleepFor(delay)) break;
          WriteReply(*reply);
        }
      }
    }
  }
}

void ConverterEmulator::HandleBytes(const char* data, size_t size, TimePoint now) {
  for (size_t i = 0; i < size; ++i) {
    char c = data[i];
    received_.push_back(c);
    received_timed_.emplace_back(c, now);
    if (c == '\n' && !line_so_far_.empty() && line_so_far_.back() == '\r') {
      line_so_far_.pop_back();
      lines_.push_back({line_so_far_, now});
      line_so_far_.clear();
    } else {
      line_so_far_.push_back(c);
    }
    if (c == kSoh) {
      in_frame_ = true;
      frame_so_far_.assign(1, c);
    } else if (in_frame_) {
      frame_so_far_.push_back(c);
      if (c == kEot) {
        frames_.push_back({frame_so_far_, now});
        frame_so_far_.clear();
        in_frame_ = false;
      }
    }
  }
}

std::optional<std::string> ConverterEmulator::ReplyFor(const std::string& frame) {
  if (!queued_.empty()) {
    std::optional<std::string> reply = queued_.front();
    queued_.pop_front();
    return reply;
  }
  if (silent_ || frame.size() < 3) return std::nullopt;
  const char command = frame[1];
  const std::string payload = frame.substr(2, frame.size() - 3);
  if (auto raw = raw_reply_.find(command); raw != raw_reply_.end()) return raw->second;
  std::string value;
  if (payload == "?") {
    switch (command) {
      case '0':
        value.assign(1, mode_);
        break;
      case '1':
        value.assign(1, frame_type_);
        break;
      case '2':
        value = max_;
        break;
      case '3':
        value = version_;
        break;
      default:
        return std::nullopt;
    }
  } else {
    if (payload.empty()) return std::nullopt;
    auto override_value = read_back_override_.find(command);
    const std::string stored =
        override_value != read_back_override_.end() ? override_value->second : payload;
    switch (command) {
      case '0':
        mode_ = stored.empty() ? ' ' : stored[0];
        break;
      case '1':
        frame_type_ = stored.empty() ? ' ' : stored[0];
        break;
      case '2':
        max_ = stored;
        break;
      default:
        return std::nullopt;
    }
    value = payload;
  }
  return before_ + kSoh + command + value + kEot + after_;
}

void ConverterEmulator::WriteReply(const std::string& reply) {
  size_t chunk;
  std::chrono::milliseconds gap;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    chunk = chunk_;
    gap = gap_;
  }
  if (chunk == 0 || chunk >= reply.size()) {
    WriteAll(reply);
  } else {
    for (size_t at = 0; at < reply.size(); at += chunk) {
      if (at > 0 && !SleepFor(gap)) return;
      WriteAll(reply.substr(at, chunk));
    }
  }
  std::lock_guard<std::mutex> lock(mutex_);
  ++replies_sent_;
  reply_times_.push_back(std::chrono::steady_clock::now());
  changed_.notify_all();
}

void ConverterEmulator::WriteAll(const std::string& bytes) {
  size_t done = 0;
  int stalls = 0;
  while (done < bytes.size() && master_fd_ >= 0) {
    ssize_t n = ::write(master_fd_, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return;
    // Nobody reads the slave side: give up after a while rather than hang.
    if (++stalls > 20) return;
    pollfd p{master_fd_, POLLOUT, 0};
    ::poll(&p, 1, 50);
  }
}

}  // namespace testing_support
