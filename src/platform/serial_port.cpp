#include "platform/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/cp1250.h"
#include "platform/vb_error.h"

namespace platform {
namespace {

// How long Output keeps trying when the line does not take bytes.
constexpr int kOutputDeadlineMs = 1000;
// One Input hands out at most this much, so that a line that never falls
// silent cannot keep it from returning.
constexpr size_t kInputLimit = 64 * 1024;

struct LineSettings {
  speed_t speed = B9600;
  tcflag_t parity_flags = 0;  // PARENB, PARODD, CMSPAR
  tcflag_t size = CS8;
  bool two_stop_bits = false;
};

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

// "speed,parity,data bits,stop bits"; false when any part is not one the
// line can carry.
bool ParseSettings(const std::string& text, LineSettings* out) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (true) {
    size_t comma = text.find(',', start);
    parts.push_back(Trim(text.substr(start, comma == std::string::npos ? comma : comma - start)));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (parts.size() != 4) return false;
  LineSettings settings;
  if (!ParseSpeed(parts[0], &settings.speed)) return false;
  if (parts[1].size() != 1) return false;
  switch (parts[1][0]) {
    case 'N':
    case 'n':
      settings.parity_flags = 0;
      break;
    case 'E':
    case 'e':
      settings.parity_flags = PARENB;
      break;
    case 'O':
    case 'o':
      settings.parity_flags = PARENB | PARODD;
      break;
    case 'M':
    case 'm':
      settings.parity_flags = PARENB | CMSPAR | PARODD;
      break;
    case 'S':
    case 's':
      settings.parity_flags = PARENB | CMSPAR;
      break;
    default:
      return false;
  }
  if (parts[2] == "5") {
    settings.size = CS5;
  } else if (parts[2] == "6") {
    settings.size = CS6;
  } else if (parts[2] == "7") {
    settings.size = CS7;
  } else if (parts[2] == "8") {
    settings.size = CS8;
  } else {
    return false;
  }
  if (parts[3] == "1") {
    settings.two_stop_bits = false;
  } else if (parts[3] == "1.5" || parts[3] == "2") {
    // termios has no 1.5 stop bits; the driver gives 1.5 for 5-bit
    // characters when two are asked for.
    settings.two_stop_bits = true;
  } else {
    return false;
  }
  *out = settings;
  return true;
}

// Raw 8-bit style line with the given settings: no echo, no line editing, no
// flow control, no character translation. VMIN 1 with O_NONBLOCK makes a read
// without data fail with EAGAIN, so a read of 0 bytes means the device hung up.
bool ApplyLine(int fd, const LineSettings& line) {
  termios tio;
  if (tcgetattr(fd, &tio) != 0) return false;
  cfmakeraw(&tio);
  tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | ISTRIP);
  tio.c_iflag |= IGNBRK;
  tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  tio.c_cflag |= line.size | line.parity_flags | CLOCAL | CREAD;
  if (line.two_stop_bits) tio.c_cflag |= CSTOPB;
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  if (cfsetispeed(&tio, line.speed) != 0 || cfsetospeed(&tio, line.speed) != 0) return false;
  return tcsetattr(fd, TCSANOW, &tio) == 0;
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
  LineSettings line;
  if (!ParseSettings(settings, &line)) {
    throw VbError(kErrInvalidPropertyValue, "Invalid property value");
  }
  if (fd_ >= 0 && !ApplyLine(fd_, line)) {
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
  // The lock keeps out other programs that lock (and second copies of this
  // one, also when TIOCEXCL does not bind, as for root); TIOCEXCL keeps out
  // programs that do not lock.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int error = errno;
    ::close(fd);
    if (error == EWOULDBLOCK) {
      throw VbError(kCommPortAlreadyOpen, "Port already open " + path);
    }
    throw VbError(kCommHardwareNotAvailable, ErrnoText("Cannot lock " + path, error));
  }
  // What the device was set to before, given back at closing: a port that
  // names the user's own terminal must not leave it raw.
  termios saved;
  if (tcgetattr(fd, &saved) != 0) {
    int error = errno;
    ::close(fd);
    throw VbError(kCommSetStateFailed, ErrnoText("The device refused the line settings", error));
  }
  LineSettings line;
  ParseSettings(settings_, &line);  // settings_ was accepted when it was set
  if (!ApplyLine(fd, line)) {
    int error = errno;
    ::close(fd);
    throw VbError(kCommSetStateFailed, ErrnoText("The device refused the line settings", error));
  }
  ioctl(fd, TIOCEXCL);
  // A new exchange starts with nothing received. (Output is left alone: on a
  // pseudo-terminal flushing it would drop bytes sent before the last close.)
  tcflush(fd, TCIFLUSH);
  fd_ = fd;
  saved_line_ = saved;
}

void SerialPort::Release(bool drop_input) {
  if (fd_ < 0) return;
  // The exclusive flag lives on the device, not on this descriptor: clear it
  // so that the next opening (by anyone) is not refused.
  ioctl(fd_, TIOCNXCL);
  if (drop_input) tcflush(fd_, TCIFLUSH);
  // At once, not after draining: a line nobody reads would never drain. On a
  // device that has gone away this fails, which does not matter then.
  tcsetattr(fd_, TCSANOW, &saved_line_);
  ::close(fd_);
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
