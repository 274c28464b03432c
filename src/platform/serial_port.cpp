#include "platform/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/ascii.h"
#include "platform/cp1250.h"
#include "platform/device_lock.h"
#include "platform/vb_error.h"

namespace platform {
namespace {

// How long Output keeps trying when the line does not take bytes.
constexpr int kOutputDeadlineMs = 1000;
// One Input hands out at most this much, so that a line that never falls
// silent cannot keep it from returning.
constexpr size_t kInputLimit = 64 * 1024;

std::string Trim(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) return "";
  size_t end = text.find_last_not_of(" \t");
  return text.substr(begin, end - begin + 1);
}

bool ParseSpeed(const std::string& text, speed_t* speed) {
  if (text.empty() || text.size() > 7) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  static const struct {
    long baud;
    speed_t code;
  } kSpeeds[] = {{110, B110},       {300, B300},      {600, B600},       {1200, B1200},
                 {2400, B2400},     {4800, B4800},    {9600, B9600},     {19200, B19200},
                 {38400, B38400},   {57600, B57600},  {115200, B115200}, {230400, B230400},
                 {460800, B460800}, {921600, B921600}};
  long baud = std::strtol(text.c_str(), nullptr, 10);
  for (const auto& entry : kSpeeds) {
    if (entry.baud == baud) {
      *speed = entry.code;
      return true;
    }
  }
  return false;
}

bool ParseParity(const std::string& text, tcflag_t* flags) {
  static const struct {
    char letter;
    tcflag_t flags;
  } kParities[] = {{'N', 0},
                   {'E', PARENB},
                   {'O', PARENB | PARODD},
                   {'M', PARENB | CMSPAR | PARODD},
                   {'S', PARENB | CMSPAR}};
  if (text.size() != 1) return false;
  for (const auto& entry : kParities) {
    if (AsciiLower(text[0]) == AsciiLower(entry.letter)) {
      *flags = entry.flags;
      return true;
    }
  }
  return false;
}

bool ParseDataBits(const std::string& text, tcflag_t* size) {
  static const struct {
    const char* text;
    tcflag_t size;
  } kSizes[] = {{"5", CS5}, {"6", CS6}, {"7", CS7}, {"8", CS8}};
  for (const auto& entry : kSizes) {
    if (text == entry.text) {
      *size = entry.size;
      return true;
    }
  }
  return false;
}

// Gives the device the terminal settings the settings text asks for.
bool ApplyLine(int fd, const std::string& settings) {
  termios tio;
  if (tcgetattr(fd, &tio) != 0) return false;
  std::optional<termios> line = LineTermios(settings, tio);
  if (!line) {
    errno = EINVAL;
    return false;
  }
  return tcsetattr(fd, TCSANOW, &*line) == 0;
}

// What closing gives back, for every open port of the program. It is kept
// here rather than in the SerialPort objects so that an exit signal can close
// every port (CloseSerialPortsOnExitSignals); the mutex makes an opening or a
// closing whole as far as that is concerned.
struct HeldPort {
  int fd;
  termios saved;          // the device's settings before the opening
  bool exclusive;         // exclusive mode set by this port (never one found set)
  std::string lock_file;  // "" when none could be made
};
struct OpenPorts {
  std::mutex mutex;
  std::vector<HeldPort> ports;
};
// Never destroyed: a signal may come while the program's statics go away.
OpenPorts& Held() {
  static OpenPorts* open_ports = new OpenPorts;
  return *open_ports;
}

// Closes a port as it was found: exclusive mode off (when this port set it),
// the saved settings back, the lock file gone. At once, not after draining: a
// line nobody reads would never drain. On a device that has gone away the
// terminal calls fail, which does not matter then.
void GiveBack(const HeldPort& port, bool drop_input) {
  if (port.exclusive) ioctl(port.fd, TIOCNXCL);
  if (drop_input) tcflush(port.fd, TCIFLUSH);
  tcsetattr(port.fd, TCSANOW, &port.saved);
  ::close(port.fd);
  DropDeviceLock(port.lock_file);
}

// Closes the open port fd; the caller holds Held().mutex.
void ReleaseHeld(int fd, bool drop_input) {
  std::vector<HeldPort>& ports = Held().ports;
  for (auto it = ports.begin(); it != ports.end(); ++it) {
    if (it->fd == fd) {
      GiveBack(*it, drop_input);
      ports.erase(it);
      return;
    }
  }
}

// The signal thread: waits for one of the signals, closes every open port and
// ends the program as the signal would have. It keeps the mutex, so no port
// opens or closes after it has looked.
[[noreturn]] void CloseAllAndEnd(sigset_t signals) {
  int signo = 0;
  while (sigwait(&signals, &signo) != 0) {
  }
  OpenPorts& open_ports = Held();
  open_ports.mutex.lock();
  for (const HeldPort& port : open_ports.ports) GiveBack(port, false);
  std::signal(signo, SIG_DFL);
  sigset_t just_this;
  sigemptyset(&just_this);
  sigaddset(&just_this, signo);
  pthread_sigmask(SIG_UNBLOCK, &just_this, nullptr);
  raise(signo);
  _exit(128 + signo);
}

bool DeviceGone(int error) {
  return error == EIO || error == ENXIO || error == ENODEV || error == EPIPE || error == EBADF;
}

std::string ErrnoText(const std::string& what, int error) {
  return what + ": " + std::strerror(error);
}

}  // namespace

SerialPort::SerialPort() = default;

SerialPort::~SerialPort() { Release(true); }

void SerialPort::SetCommPort(int number) {
  if (number < 1 || number > 255) {
    throw VbError(kErrInvalidPropertyValue, "Invalid port number");
  }
  if (fd_ >= 0) throw VbError(kCommPortAlreadyOpen, "Port already open");
  comm_port_ = number;
}

void SerialPort::SetSettings(const std::string& settings) {
  if (!LineTermios(settings, termios{})) {
    throw VbError(kErrInvalidPropertyValue, "Invalid property value");
  }
  if (fd_ >= 0 && !ApplyLine(fd_, settings)) {
    int error = errno;
    if (DeviceGone(error)) Release(false);
    throw VbError(kCommSetStateFailed, ErrnoText("The device refused the line settings", error));
  }
  settings_ = settings;
}

bool SerialPort::PortOpen() const { return fd_ >= 0; }

void SerialPort::SetPortOpen(bool open) {
  if (!open) {
    Release(true);
    return;
  }
  if (fd_ >= 0) throw VbError(kCommPortAlreadyOpen, "Port already open");
  Open();
}

void SerialPort::Open() {
  const std::string path = DevicePath(comm_port_);
  if (path.empty()) throw VbError(kCommInvalidPort, "Invalid port number");
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    int error = errno;
    switch (error) {
      case ENOENT:
      case ENODEV:
      case ENXIO:
      case ENOTDIR:
      case EISDIR:
      case ENAMETOOLONG:
      case ELOOP:
      case ENOTTY:
        throw VbError(kCommInvalidPort, ErrnoText("Invalid port number " + path, error));
      case EBUSY:
        throw VbError(kCommPortAlreadyOpen, ErrnoText("Port already open " + path, error));
      case EACCES:
      case EPERM:
        // Most often the user is not in the group that owns serial devices.
        throw VbError(kErrPermissionDenied, ErrnoText("Access denied " + path, error));
      default:
        throw VbError(kCommHardwareNotAvailable, ErrnoText("Cannot open " + path, error));
    }
  }
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode) || !isatty(fd)) {
    ::close(fd);
    throw VbError(kCommInvalidPort, "Invalid port number " + path + ": not a terminal");
  }
  // Exclusive mode keeps out programs that do not lock, but not root: a port
  // found in it is held by another program. (Without TIOCGEXCL, before Linux
  // 3.8, only the opening itself tells.)
  int exclusive = 0;
  if (ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0) {
    ::close(fd);
    throw VbError(kCommPortAlreadyOpen, "Port already open " + path + " (exclusive mode)");
  }
  std::lock_guard<std::mutex> guard(Held().mutex);
  HeldPort held{fd, {}, false, ""};
  auto fail = [&](int number, const std::string& text) {
    ::close(fd);
    DropDeviceLock(held.lock_file);
    throw VbError(number, text);
  };
  // The lock file keeps out the serial programs that honour lock files; the
  // flock, those that flock (and second copies of this one); exclusive mode,
  // those that do neither.
  if (TakeDeviceLock(path, &held.lock_file) == DeviceLock::kHeld) {
    fail(kCommPortAlreadyOpen, "Port already open " + path + " (lock file)");
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int error = errno;
    if (error == EWOULDBLOCK) fail(kCommPortAlreadyOpen, "Port already open " + path);
    fail(kCommHardwareNotAvailable, ErrnoText("Cannot lock " + path, error));
  }
  // What the device was set to before, given back at closing: a port that
  // names the user's own terminal must not leave it raw.
  if (tcgetattr(fd, &held.saved) != 0) {
    fail(kCommSetStateFailed, ErrnoText("The device refused the line settings", errno));
  }
  held.exclusive = ioctl(fd, TIOCEXCL) == 0;
  Held().ports.push_back(held);
  fd_ = fd;
  if (!ApplyLine(fd, settings_)) {  // settings_ was accepted when it was set
    int error = errno;
    ReleaseHeld(fd, false);
    fd_ = -1;
    throw VbError(kCommSetStateFailed, ErrnoText("The device refused the line settings", error));
  }
  // A new exchange starts with nothing received. (Output is left alone: on a
  // pseudo-terminal flushing it would drop bytes sent before the last close.)
  tcflush(fd, TCIFLUSH);
}

void SerialPort::Release(bool drop_input) {
  if (fd_ < 0) return;
  std::lock_guard<std::mutex> guard(Held().mutex);
  ReleaseHeld(fd_, drop_input);
  fd_ = -1;
}

void SerialPort::Output(const std::string& text) {
  if (fd_ < 0) throw VbError(kCommPortNotOpen, "Operation valid only when the port is open");
  const std::string bytes = Utf8ToCp1250(text);
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kOutputDeadlineMs);
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    int error = n < 0 ? errno : EAGAIN;
    if (error == EINTR) continue;
    if (error != EAGAIN && error != EWOULDBLOCK) {
      Release(false);
      throw VbError(kCommWriteFailed, ErrnoText("Write failed", error));
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now())
                    .count();
    if (left <= 0) throw VbError(kCommWriteFailed, "Write timed out");
    pollfd p{fd_, POLLOUT, 0};
    int r = ::poll(&p, 1, static_cast<int>(left));
    if (r < 0 && errno != EINTR) {
      int poll_error = errno;
      Release(false);
      throw VbError(kCommWriteFailed, ErrnoText("Write failed", poll_error));
    }
    if (r > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) && !(p.revents & POLLOUT)) {
      Release(false);
      throw VbError(kCommWriteFailed, "Write failed: the device has gone away");
    }
  }
}

std::string SerialPort::Input() {
  if (fd_ < 0) throw VbError(kCommPortNotOpen, "Operation valid only when the port is open");
  std::string bytes;
  char chunk[4096];
  while (bytes.size() < kInputLimit) {
    ssize_t n = ::read(fd_, chunk, sizeof chunk);
    if (n > 0) {
      bytes.append(chunk, static_cast<size_t>(n));
      continue;
    }
    int error = n == 0 ? EIO : errno;  // 0 bytes with VMIN 1: hung up
    if (error == EINTR) continue;
    if (error == EAGAIN || error == EWOULDBLOCK) {
      // Nothing to read. A device that reports a hang-up or an error without
      // data counts as gone, so that a waiting caller does not spin on it.
      pollfd p{fd_, POLLIN, 0};
      if (!bytes.empty() || ::poll(&p, 1, 0) <= 0 || (p.revents & POLLIN) ||
          !(p.revents & (POLLHUP | POLLERR | POLLNVAL))) {
        break;
      }
      error = EIO;
    }
    // Gone (or failing). What was read before is handed out now; the device
    // stays hung up, so the next read reports it.
    if (!bytes.empty()) break;
    Release(false);
    throw VbError(kCommPortNotOpen, ErrnoText("The device has gone away", error));
  }
  return Cp1250ToUtf8(bytes);
}

bool SerialPort::WaitForInput(int timeout_ms) {
  if (fd_ < 0) return false;
  pollfd p{fd_, POLLIN, 0};
  int r;
  do {
    r = ::poll(&p, 1, timeout_ms < 0 ? 0 : timeout_ms);
  } while (r < 0 && errno == EINTR);
  // A hang-up counts as something to read: the next Input reports it.
  return r > 0 && (p.revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL));
}

std::optional<termios> LineTermios(const std::string& settings, const termios& base) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (true) {
    size_t comma = settings.find(',', start);
    parts.push_back(
        Trim(settings.substr(start, comma == std::string::npos ? comma : comma - start)));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  speed_t speed;
  tcflag_t parity;
  tcflag_t size;
  if (parts.size() != 4 || !ParseSpeed(parts[0], &speed) || !ParseParity(parts[1], &parity) ||
      !ParseDataBits(parts[2], &size)) {
    return std::nullopt;
  }
  // termios has no 1.5 stop bits; the driver gives 1.5 for 5-bit characters
  // when two are asked for.
  if (parts[3] != "1" && parts[3] != "1.5" && parts[3] != "2") return std::nullopt;
  termios tio = base;
  cfmakeraw(&tio);
  tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | ISTRIP);
  tio.c_iflag |= IGNBRK;
  tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  tio.c_cflag |= size | parity | CLOCAL | CREAD;
  if (parts[3] != "1") tio.c_cflag |= CSTOPB;
  // VMIN 1 with O_NONBLOCK makes a read without data fail with EAGAIN, so a
  // read of 0 bytes means the device hung up.
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  if (cfsetispeed(&tio, speed) != 0 || cfsetospeed(&tio, speed) != 0) return std::nullopt;
  return tio;
}

void CloseSerialPortsOnExitSignals() {
  static std::once_flag once;
  std::call_once(once, [] {
    // Handled on a thread of their own (sigwait), so that closing runs as
    // ordinary code, whatever the other threads are doing. Every thread
    // started later keeps them blocked.
    sigset_t signals;
    sigemptyset(&signals);
    for (int signo : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) {
      struct sigaction current {};
      if (sigaction(signo, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) {
        sigaddset(&signals, signo);
      }
    }
    if (sigisemptyset(&signals)) return;
    sigset_t former;
    pthread_sigmask(SIG_BLOCK, &signals, &former);
    try {
      std::thread(CloseAllAndEnd, signals).detach();
    } catch (const std::system_error&) {
      // No thread can be had (a process limit): the signals then act as they
      // would without this one, and the program goes on.
      pthread_sigmask(SIG_SETMASK, &former, nullptr);
    }
  });
}

std::string SerialPort::DevicePath(int number) {
  const std::string name = "KONWERTER_COM" + std::to_string(number);
  if (const char* value = std::getenv(name.c_str()); value != nullptr && *value != '\0') {
    return value;
  }
  if (number >= 1 && number <= 32) return "/dev/ttyS" + std::to_string(number - 1);
  if (number >= 33 && number <= 64) return "/dev/ttyUSB" + std::to_string(number - 33);
  if (number >= 65 && number <= 96) return "/dev/ttyACM" + std::to_string(number - 65);
  return "";
}

}  // namespace platform
