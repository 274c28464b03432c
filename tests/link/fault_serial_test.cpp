// Faults on the serial line, through the real serial control on a
// pseudo-terminal: the other end going away in the middle of an exchange or
// while frames are being written, a line that floods without ever sending
// EOT, a port held by another program and device paths that are no terminal.
// Time and processor bounds here are generous sanity checks ("it ends", "it
// does not spin"), not timing targets.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <pty.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "link/link_fixture.h"
#include "link/port_settings.h"
#include "link/protocol.h"
#include "platform/serial_port.h"
#include "platform/vb_error.h"
#include "support/child_process.h"
#include "support/converter_emulator.h"
#include "support/port_test_util.h"

#if defined(__SANITIZE_ADDRESS__)
#define KONWERTER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KONWERTER_ASAN 1
#endif
#endif
#ifndef KONWERTER_ASAN
#define KONWERTER_ASAN 0
#endif
#if KONWERTER_ASAN
// The sanitizer's count of heap bytes in use (its allocator interface).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace converter {
namespace {

using std::chrono::milliseconds;
using test::RecordingConverterView;
using test::TempAppFolder;
using testing_support::ConverterEmulator;

constexpr int kPort = 43;
const std::string kTimeout = "Przekroczony czas oczekiwania!";
const std::string kNoPort = "Port com43 nie jest zainstalowany";
const std::string kHeld = "Port com43 jest już otwarty przez inną aplikację";

// Processor time of the calling thread, in seconds.
double ThreadCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Heap bytes in use now (the resident size says little: a sanitizer keeps
// freed memory in quarantine).
size_t LiveHeapBytes() {
#if KONWERTER_ASAN
  return __sanitizer_get_current_allocated_bytes();
#else
  struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
#endif
}

// The most heap in use while it lives, sampled every millisecond.
class HeapPeak {
 public:
  HeapPeak() : start_(LiveHeapBytes()), peak_(start_) {
    thread_ = std::thread([this] {
      while (!stop_) {
        size_t now = LiveHeapBytes();
        if (now > peak_) peak_ = now;
        std::this_thread::sleep_for(milliseconds(1));
      }
    });
  }
  ~HeapPeak() { Stop(); }
  // The peak's growth over the start, in megabytes.
  double Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    return peak_ > start_ ? (peak_ - start_) / 1048576.0 : 0.0;
  }

 private:
  size_t start_;
  std::atomic<size_t> peak_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

class ScopedPortPath {
 public:
  explicit ScopedPortPath(const std::string& path)
      : name_("KONWERTER_COM" + std::to_string(kPort)) {
    setenv(name_.c_str(), path.c_str(), 1);
  }
  ~ScopedPortPath() { unsetenv(name_.c_str()); }

 private:
  std::string name_;
};

class FaultLinkTest : public ::testing::Test {
 protected:
  FaultLinkTest() : link_(comm_, view_) {
    comm_.SetCommPort(kPort);
    PortSettings = PortSettingsData{};
    PortSettings.PortNumber = std::to_string(kPort);
  }

  // The request ended with the port closed and the banner shown and hidden.
  void ExpectCleanEnd() {
    EXPECT_FALSE(comm_.PortOpen());
    ASSERT_FALSE(view_.calls.empty());
    EXPECT_FALSE(view_.calls.back());
  }

  TempAppFolder app_;
  platform::SerialPort comm_;
  RecordingConverterView view_;
  ConverterLink link_;
};

class FaultEmulatorTest : public FaultLinkTest {
 protected:
  FaultEmulatorTest() { emulator_.Attach(kPort); }
  ConverterEmulator emulator_;
};

TEST_F(FaultEmulatorTest, OtherEndClosedHalfWayThroughAReply) {
  // The converter sends the first bytes of its reply, then the cable goes.
  emulator_.SetSplitReplies(3, milliseconds(400));
  std::thread unplug([&] {
    if (emulator_.WaitForFrames(1, milliseconds(3000))) {
      std::this_thread::sleep_for(milliseconds(150));  // the first piece is out
      emulator_.Unplug();
    }
  });
  auto start = std::chrono::steady_clock::now();
  double cpu_start = ThreadCpuSeconds();
  std::string result = link_.GetMax();
  double cpu = ThreadCpuSeconds() - cpu_start;
  double elapsed = SecondsSince(start);
  unplug.join();
  EXPECT_EQ(result, kTimeout);
  EXPECT_LT(elapsed, 3.0);
  EXPECT_LT(cpu, 1.0);
  ExpectCleanEnd();
  EXPECT_TRUE(app_.shown().empty());
  // Nothing is left to talk to: the next requests fail at the opening.
  EXPECT_EQ(link_.GetMode(), "");
  EXPECT_EQ(link_.SetMax("1500"), "");
  ASSERT_EQ(app_.shown().size(), 2u);
  EXPECT_EQ(app_.shown()[0].text, kNoPort);
}

TEST_F(FaultEmulatorTest, OtherEndClosedDuringTheSettingsReadBack) {
  // The setting frame is answered; the cable goes while the read-back waits.
  emulator_.QueueReply(std::string("\x01\x32\x30\x30\x31\x35\x30\x30\x04"));
  emulator_.QueueReply(std::nullopt);
  std::thread unplug([&] {
    if (emulator_.WaitForFrames(2, milliseconds(3000))) emulator_.Unplug();
  });
  auto start = std::chrono::steady_clock::now();
  std::string result = link_.SetMax("1500");
  unplug.join();
  EXPECT_EQ(result, kTimeout);
  EXPECT_LT(SecondsSince(start), 3.0);
  ExpectCleanEnd();
}

TEST_F(FaultEmulatorTest, SilentWaitDoesNotSpin) {
  emulator_.SetSilent(true);
  double cpu_start = ThreadCpuSeconds();
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(link_.GetVersion(), kTimeout);
  double elapsed = SecondsSince(start);
  double cpu = ThreadCpuSeconds() - cpu_start;
  EXPECT_GE(elapsed, 2.0);
  EXPECT_LT(elapsed, 5.0);
  // A busy poll would burn the whole two seconds.
  EXPECT_LT(cpu, 1.0) << "processor seconds in a two-second wait";
  ExpectCleanEnd();
}

TEST_F(FaultEmulatorTest, OtherEndClosedWhileFramesAreWrittenEvery50ms) {
  // As the simulator sends: the port stays open and a frame goes out every
  // 50 ms. The device goes away after a few frames; the next write fails with
  // an error of the control, the port counts as closed and stays usable.
  comm_.SetPortOpen(true);
  const std::string frame = "+0001.50kg\r\n";
  std::thread unplug([&] {
    if (emulator_.WaitForLines(3, milliseconds(3000))) emulator_.Unplug();
  });
  int errors = 0;
  int first_error = 0;
  double cpu_start = ThreadCpuSeconds();
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 40 && errors < 3; ++i) {
    try {
      comm_.Output(frame);
    } catch (const platform::VbError& error) {
      if (errors++ == 0) first_error = error.number();
    }
    std::this_thread::sleep_for(milliseconds(50));
  }
  double elapsed = SecondsSince(start);
  double cpu = ThreadCpuSeconds() - cpu_start;
  unplug.join();
  EXPECT_EQ(errors, 3) << "writes to a vanished device must fail";
  EXPECT_EQ(first_error, platform::kCommWriteFailed);
  EXPECT_FALSE(comm_.PortOpen());
  EXPECT_LT(elapsed, 6.0);
  EXPECT_LT(cpu, 1.0);
  EXPECT_GE(emulator_.Lines().size(), 3u);
  // The port stays closed: a later write is refused at once.
  try {
    comm_.Output(frame);
    ADD_FAILURE() << "a closed port took a frame";
  } catch (const platform::VbError& error) {
    EXPECT_EQ(error.number(), platform::kCommPortNotOpen);
  }
}

TEST_F(FaultEmulatorTest, EmulatorFloodEndsAtTheTimeOut) {
  emulator_.SetSilent(true);
  emulator_.StartFlood('\x01');
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(link_.GetVersion(), kTimeout);
  double elapsed = SecondsSince(start);
  emulator_.StopFlood();
  EXPECT_GE(elapsed, 2.0);
  EXPECT_LT(elapsed, 5.0);
  ExpectCleanEnd();
}

// A pseudo-terminal of the test's own, whose master side a thread writes as
// fast as the kernel takes bytes: far faster than any serial line. It floods
// one byte (and sends an EOT once eot_after seconds have passed), or sends a
// text once.
class FastFlooder {
 public:
  explicit FastFlooder(char byte, double eot_after = -1) {
    if (!Open()) return;
    thread_ = std::thread([this, byte, eot_after] {
      const std::string burst(4096, byte);
      auto start = std::chrono::steady_clock::now();
      bool eot_sent = false;
      while (!stop_) {
        std::string bytes = burst;
        if (eot_after >= 0 && !eot_sent && SecondsSince(start) > eot_after) {
          bytes = "\x04";
          eot_sent = true;
        }
        Send(bytes);
      }
    });
  }
  explicit FastFlooder(const std::string& once) {
    if (!Open()) return;
    thread_ = std::thread([this, once] {
      // Answers the frame the request sends (bytes written before the
      // opening would be dropped by it).
      bool frame_seen = false;
      while (!stop_ && !frame_seen) {
        char c;
        ssize_t n = read(master_, &c, 1);
        if (n == 1) {
          frame_seen = c == '\x04';
        } else {
          std::this_thread::sleep_for(milliseconds(1));
        }
      }
      Send(once);
    });
  }
  ~FastFlooder() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (master_ >= 0) close(master_);
  }
  const std::string& path() const { return path_; }
  size_t sent() const { return sent_; }

 private:
  bool Open() {
    int slave = -1;
    char name[128] = {};
    if (openpty(&master_, &slave, name, nullptr, nullptr) != 0) return false;
    termios tio{};
    tcgetattr(slave, &tio);
    cfmakeraw(&tio);
    tcsetattr(slave, TCSANOW, &tio);
    close(slave);  // the serial control opens its own
    // Never blocks, so that the thread stops even when nobody reads.
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    path_ = name;
    return true;
  }
  // Writes all of bytes unless stopped first.
  void Send(const std::string& bytes) {
    size_t done = 0;
    while (!stop_ && done < bytes.size()) {
      ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
      if (n > 0) {
        done += static_cast<size_t>(n);
        sent_ += static_cast<size_t>(n);
      } else if (n < 0 && errno != EAGAIN && errno != EINTR && errno != EIO) {
        return;
      } else {
        std::this_thread::sleep_for(milliseconds(1));
      }
    }
  }

  int master_ = -1;
  std::string path_;
  std::atomic<bool> stop_{false};
  std::atomic<size_t> sent_{0};
  std::thread thread_;
};

TEST_F(FaultLinkTest, FastFloodWithoutEotEndsAtTheTimeOutWithBoundedMemory) {
  // Bytes above 127 grow to two UTF-8 bytes each in the program's text.
  FastFlooder flooder('\xB9');
  ASSERT_FALSE(flooder.path().empty());
  ScopedPortPath port(flooder.path());
  HeapPeak heap;
  auto start = std::chrono::steady_clock::now();
  std::string result = link_.GetVersion();
  double elapsed = SecondsSince(start);
  double heap_growth = heap.Stop();
  EXPECT_EQ(result, kTimeout);
  EXPECT_GE(elapsed, 2.0);
  EXPECT_LT(elapsed, 5.0);
  RecordProperty("flood_bytes", std::to_string(flooder.sent()));
  std::printf("flooded %zu bytes in %.2f s; peak heap grew by %.2f MB\n", flooder.sent(), elapsed,
              heap_growth);
  // The reply buffer is bounded, however fast the line: far below what came.
  EXPECT_LT(heap_growth, 16.0);
  ExpectCleanEnd();
}

TEST_F(FaultLinkTest, EotAfterAFloodIsNoReply) {
  // A flood far longer than any reply, then an EOT: the flood was dropped,
  // so the EOT ends nothing and the wait ends at the time-out.
  FastFlooder flooder('2', 0.5);
  ASSERT_FALSE(flooder.path().empty());
  ScopedPortPath port(flooder.path());
  auto start = std::chrono::steady_clock::now();
  std::string result = link_.GetMax();
  double elapsed = SecondsSince(start);
  EXPECT_EQ(result, kTimeout);
  EXPECT_GE(elapsed, 2.0);
  EXPECT_LT(elapsed, 5.0);
  ExpectCleanEnd();
}

TEST_F(FaultLinkTest, LongReplyWithinTheBoundIsKeptWhole) {
  // A version reply of 30000 characters (60000 UTF-8 bytes) is still a reply.
  const std::string body(30000, '\xB9');
  FastFlooder sender(
      "\x01"
      "3" +
      body + "\x04");
  ASSERT_FALSE(sender.path().empty());
  ScopedPortPath port(sender.path());
  std::string result = link_.GetVersion();
  EXPECT_EQ(result, platform::Cp1250ToUtf8(body));
  ExpectCleanEnd();
}

TEST_F(FaultEmulatorTest, PortHeldByAnotherProcessGivesThe8005Message) {
  const std::string path = emulator_.SlavePath();
  int ready[2];
  int release[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(release), 0);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Another program holding the port as this one would: open and lock.
    int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    char ok = (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0) ? 'y' : 'n';
    (void)!write(ready[1], &ok, 1);
    char c;
    (void)!read(release[0], &c, 1);
    _exit(0);
  }
  char ok = 0;
  ASSERT_EQ(read(ready[0], &ok, 1), 1);
  ASSERT_EQ(ok, 'y');

  EXPECT_EQ(link_.GetMode(), "");
  EXPECT_EQ(link_.SetMode("1"), "");
  ASSERT_EQ(app_.shown().size(), 2u);
  EXPECT_EQ(app_.shown()[0].text, kHeld);
  EXPECT_EQ(app_.shown()[0].icon, platform::MsgBoxIcon::kCritical);
  EXPECT_FALSE(comm_.PortOpen());
  EXPECT_TRUE(view_.calls.empty());

  (void)!write(release[1], "x", 1);
  int status = 0;
  waitpid(child, &status, 0);
  for (int fd : {ready[0], ready[1], release[0], release[1]}) close(fd);
  // Once the other program lets go, the port works; its request is the
  // first thing written: nothing went to the port while another held it.
  EXPECT_EQ(link_.GetMode(), "0");
  EXPECT_EQ(emulator_.Received(),
            "\x01"
            "0?\x04");
}

TEST_F(FaultEmulatorTest, ALiveLockUnderTheLinksNameOrTheDevicesGivesThe8005Message) {
  // The port is given by a link, as /dev/serial/by-id names devices; another
  // program given the same link locks it under the link's own name.
  testing_support::ScopedLockFolder locks;
  const std::string link = app_.File("by-id-link");
  ASSERT_EQ(symlink(emulator_.SlavePath().c_str(), link.c_str()), 0);
  ScopedPortPath port(link);
  for (const std::string& lock :
       {locks.path() + "/LCK..by-id-link", locks.LockFileOf(emulator_.SlavePath())}) {
    SCOPED_TRACE(lock);
    testing_support::WriteBytes(lock, std::to_string(getpid()) + "\n");
    EXPECT_EQ(link_.GetMode(), "");
    ASSERT_FALSE(app_.shown().empty());
    EXPECT_EQ(app_.shown().back().text, kHeld);
    EXPECT_EQ(testing_support::ReadBytes(lock), std::to_string(getpid()) + "\n");
    ASSERT_EQ(unlink(lock.c_str()), 0);
  }
  // Without them the port works; its request is the first thing written.
  EXPECT_EQ(link_.GetMode(), "0");
  EXPECT_EQ(emulator_.Received(),
            "\x01"
            "0?\x04");
}

TEST_F(FaultEmulatorTest, DeviceTheUserMayNotOpenGivesTheAccessMessage) {
  // Root opens every device, so the request runs as an ordinary user in a
  // child process, to whom the terminal is closed as a serial device is to a
  // user outside its group.
  const std::string path = emulator_.SlavePath();
  ASSERT_EQ(chmod(path.c_str(), 0600), 0);
  int out[2];
  ASSERT_EQ(pipe(out), 0);
  // The report is far smaller than a pipe holds: the child never waits on it.
  const int status = testing_support::RunAsOrdinaryUser([&] {
    const std::string result = link_.GetMode();
    std::string report = "result \"" + result + "\", banner " + std::to_string(view_.calls.size());
    for (const auto& shown : app_.shown()) {
      report += shown.icon == platform::MsgBoxIcon::kCritical ? "\ncritical: " : "\ninfo: ";
      report += shown.text;
    }
    (void)!write(out[1], report.data(), report.size());
    return 0;
  });
  close(out[1]);
  std::string report;
  char chunk[256];
  for (ssize_t n; (n = read(out[0], chunk, sizeof chunk)) > 0;) report.append(chunk, n);
  close(out[0]);
  if (status == testing_support::kChildCannotSetUp) {
    GTEST_SKIP() << "cannot run as an ordinary user here";
  }
  ASSERT_EQ(status, 0);
  EXPECT_EQ(report, "result \"\", banner 0\ncritical: Brak dostępu do portu com" +
                        std::to_string(kPort) + " (" + path + "): odmowa dostępu");
  EXPECT_EQ(emulator_.Received(), "");
}

TEST_F(FaultLinkTest, DevicePathsThatAreNoTerminalGiveThe8002Message) {
  const std::string file = app_.File("not-a-port");
  const std::string fifo = app_.File("fifo");
  const std::string link = app_.File("dangling");
  app_.WriteText("not-a-port", "ramka\n");
  const std::string file_before = app_.ReadBytes("not-a-port");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(symlink((app_.path() + "/nowhere").c_str(), link.c_str()), 0);
  int shown = 0;
  for (const std::string& path : {file, app_.path(), fifo, link, std::string("/dev/null")}) {
    ScopedPortPath port(path);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(link_.GetVersion(), "") << path;
    EXPECT_EQ(link_.SetFrameType("2"), "") << path;
    EXPECT_LT(SecondsSince(start), 1.5) << path;
    EXPECT_FALSE(comm_.PortOpen()) << path;
    shown += 2;
    ASSERT_EQ(app_.shown().size(), static_cast<size_t>(shown)) << path;
    EXPECT_EQ(app_.shown().back().text, kNoPort) << path;
  }
  EXPECT_TRUE(view_.calls.empty());
  // No frame went into the file that pretended to be a port.
  EXPECT_EQ(app_.ReadBytes("not-a-port"), file_before);
}

}  // namespace
}  // namespace converter
