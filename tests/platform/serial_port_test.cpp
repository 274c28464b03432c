#include "platform/serial_port.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>

#include "platform/vb_error.h"
#include "support/child_process.h"
#include "support/converter_emulator.h"
#include "support/port_test_util.h"
#include "support/temp_folder.h"

namespace platform {
namespace {

using std::chrono::milliseconds;
using testing_support::ConverterEmulator;
using testing_support::ErrorOf;

constexpr int kPort = 41;  // a number that names no real device here

class ScopedEnv {
 public:
  ScopedEnv(int port, const std::string& value) : name_("KONWERTER_COM" + std::to_string(port)) {
    setenv(name_.c_str(), value.c_str(), 1);
  }
  ~ScopedEnv() { unsetenv(name_.c_str()); }

 private:
  std::string name_;
};

TEST(SerialPortPathTest, PortNumbersNameDevices) {
  EXPECT_EQ(SerialPort::DevicePath(1), "/dev/ttyS0");
  EXPECT_EQ(SerialPort::DevicePath(32), "/dev/ttyS31");
  EXPECT_EQ(SerialPort::DevicePath(33), "/dev/ttyUSB0");
  EXPECT_EQ(SerialPort::DevicePath(64), "/dev/ttyUSB31");
  EXPECT_EQ(SerialPort::DevicePath(65), "/dev/ttyACM0");
  EXPECT_EQ(SerialPort::DevicePath(96), "/dev/ttyACM31");
  EXPECT_EQ(SerialPort::DevicePath(97), "");
  {
    ScopedEnv env(3, "/dev/ttyUSB7");
    EXPECT_EQ(SerialPort::DevicePath(3), "/dev/ttyUSB7");
    EXPECT_EQ(SerialPort::DevicePath(30), "/dev/ttyS29");
  }
  ScopedEnv empty(4, "");
  EXPECT_EQ(SerialPort::DevicePath(4), "/dev/ttyS3");
}

TEST(SerialPortSettingsTest, RefusedPortNumberKeepsTheFormer) {
  SerialPort port;
  EXPECT_EQ(port.CommPort(), 1);
  port.SetCommPort(7);
  EXPECT_EQ(ErrorOf([&] { port.SetCommPort(0); }), kErrInvalidPropertyValue);
  EXPECT_EQ(ErrorOf([&] { port.SetCommPort(-3); }), kErrInvalidPropertyValue);
  EXPECT_EQ(ErrorOf([&] { port.SetCommPort(256); }), kErrInvalidPropertyValue);
  EXPECT_EQ(port.CommPort(), 7);
  port.SetCommPort(255);
  EXPECT_EQ(port.CommPort(), 255);
}

TEST(SerialPortSettingsTest, LineSettingsAcceptedAndRefused) {
  SerialPort port;
  EXPECT_EQ(port.Settings(), "9600,N,8,1");
  for (const char* good : {"19200,E,7,2", "4800,o,8,1", "115200,N,8,1", "9600,M,5,1.5"}) {
    EXPECT_EQ(ErrorOf([&] { port.SetSettings(good); }), 0) << good;
    EXPECT_EQ(port.Settings(), good);
  }
  port.SetSettings("9600,N,8,1");
  for (const char* bad : {"", "12345,N,8,1", "9600,X,8,1"}) {
    EXPECT_EQ(ErrorOf([&] { port.SetSettings(bad); }), kErrInvalidPropertyValue) << bad;
    EXPECT_EQ(port.Settings(), "9600,N,8,1") << bad;
  }
}

TEST(SerialPortSettingsTest, SettingsTextGivesTheTerminalSettings) {
  // A pseudo-terminal keeps 8 data bits without parity whatever it is given,
  // so what the line is set to is checked here, before it reaches a device.
  termios base{};  // a shell's terminal, with every flag the line must drop
  base.c_iflag = ICRNL | IXON | IXOFF | INPCK | ISTRIP;
  base.c_oflag = OPOST | ONLCR;
  base.c_lflag = ECHO | ICANON | ISIG | IEXTEN;
  base.c_cflag = CS8 | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;
  cfsetispeed(&base, B38400);
  cfsetospeed(&base, B38400);
  const struct {
    const char* text;
    speed_t speed;
    tcflag_t line;  // size, parity and stop bits
  } kGood[] = {
      {"4800,N,8,1", B4800, CS8},  // the speeds of the program's picker
      {"9600,N,8,1", B9600, CS8},
      {"19200,N,8,1", B19200, CS8},
      {"110,n,5,1", B110, CS5},
      {"921600,N,6,2", B921600, CS6 | CSTOPB},
      {"9600,E,7,1", B9600, CS7 | PARENB},
      {"9600,e,8,2", B9600, CS8 | PARENB | CSTOPB},
      {"9600,O,7,1", B9600, CS7 | PARENB | PARODD},
      {"9600,o,8,1", B9600, CS8 | PARENB | PARODD},
      {"9600,M,5,1.5", B9600, CS5 | PARENB | PARODD | CMSPAR | CSTOPB},
      {"9600,m,8,1", B9600, CS8 | PARENB | PARODD | CMSPAR},
      {"9600,S,7,1", B9600, CS7 | PARENB | CMSPAR},
      {"9600,s,8,2", B9600, CS8 | PARENB | CMSPAR | CSTOPB},
      {" 19200 , E , 7 , 1 ", B19200, CS7 | PARENB},
  };
  constexpr tcflag_t kLineBits = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;
  for (const auto& good : kGood) {
    std::optional<termios> tio = LineTermios(good.text, base);
    ASSERT_TRUE(tio) << good.text;
    EXPECT_EQ(tio->c_cflag & kLineBits, good.line) << good.text;
    EXPECT_EQ(tio->c_cflag & (CLOCAL | CREAD), CLOCAL | CREAD) << good.text;
    EXPECT_EQ(cfgetispeed(&*tio), good.speed) << good.text;
    EXPECT_EQ(cfgetospeed(&*tio), good.speed) << good.text;
    EXPECT_EQ(tio->c_iflag & base.c_iflag, 0u) << good.text;
    EXPECT_EQ(tio->c_oflag & OPOST, 0u) << good.text;
    EXPECT_EQ(tio->c_lflag & base.c_lflag, 0u) << good.text;
    EXPECT_EQ(tio->c_cc[VMIN], 1) << good.text;
  }
  for (const char* bad : {"", "9600", "9600,N,8", "9600,N,8,1,1", "12345,N,8,1", "14400,N,8,1",
                          "9600,X,8,1", "9600,N,9,1", "9600,N,4,1", "9600,N,8,3", "9600,N,8,1.0",
                          "-9600,N,8,1", "9600,NN,8,1", "9600,,8,1", "abc,N,8,1"}) {
    EXPECT_FALSE(LineTermios(bad, base)) << bad;
  }
}

class SerialPortOpenErrorTest : public ::testing::Test {
 protected:
  int OpenError(const std::string& path) {
    ScopedEnv env(kPort, path);
    SerialPort port;
    port.SetCommPort(kPort);
    int error = ErrorOf([&] { port.SetPortOpen(true); });
    EXPECT_FALSE(port.PortOpen()) << path;
    return error;
  }
  testing_support::TempFolder folder_;
};

TEST_F(SerialPortOpenErrorTest, WhatIsNoTerminalIsNoPort) {
  testing_support::WriteBytes(folder_.File("file"), "not a port");
  EXPECT_EQ(OpenError(folder_.File("file")), kCommInvalidPort);
  EXPECT_EQ(OpenError(folder_.path()), kCommInvalidPort);
  EXPECT_EQ(OpenError(folder_.File("missing")), kCommInvalidPort);
  EXPECT_EQ(OpenError("/dev/null"), kCommInvalidPort);  // a device, but no terminal
  SerialPort unmapped;
  unmapped.SetCommPort(200);
  EXPECT_EQ(ErrorOf([&] { unmapped.SetPortOpen(true); }), kCommInvalidPort);
}

TEST(SerialPortClosedTest, ClosedPortRefusesInputAndOutput) {
  SerialPort port;
  EXPECT_FALSE(port.PortOpen());
  EXPECT_EQ(ErrorOf([&] { port.Input(); }), kCommPortNotOpen);
  EXPECT_EQ(ErrorOf([&] { port.Output("x"); }), kCommPortNotOpen);
  EXPECT_FALSE(port.WaitForInput(50));
  port.SetPortOpen(false);  // closing a closed port is harmless
}

class SerialPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    emulator_.SetSilent(true);
    emulator_.Attach(kPort);
    port_.SetCommPort(kPort);
  }
  ConverterEmulator emulator_;
  SerialPort port_;
};

TEST_F(SerialPortTest, OutputSendsWindows1250Bytes) {
  port_.SetPortOpen(true);
  ASSERT_TRUE(port_.PortOpen());
  port_.Output(std::string("\x01") + "2?" + "\x04" + "ąŁ");
  ASSERT_TRUE(emulator_.WaitForBytes(6, milliseconds(2000)));
  EXPECT_EQ(emulator_.Received(), "\x01\x32?\x04\xB9\xA3");
}

TEST_F(SerialPortTest, LargeOutputArrivesWhole) {
  port_.SetPortOpen(true);
  std::string text;
  for (int i = 0; i < 20000; ++i) text += static_cast<char>('a' + i % 26);
  port_.Output(text);
  ASSERT_TRUE(emulator_.WaitForBytes(text.size(), milliseconds(5000)));
  EXPECT_EQ(emulator_.Received(), text);
}

TEST_F(SerialPortTest, InputReturnsWhatCameWithoutWaiting) {
  port_.SetPortOpen(true);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(port_.Input(), "");
  EXPECT_LT(std::chrono::steady_clock::now() - start, milliseconds(500));
  emulator_.SendRaw("ab\xB9\x04");
  ASSERT_TRUE(port_.WaitForInput(2000));
  std::string got;
  for (int i = 0; i < 100 && got.size() < 5; ++i) {
    got += port_.Input();
    port_.WaitForInput(20);
  }
  EXPECT_EQ(got, "abą\x04");
  EXPECT_EQ(port_.Input(), "");
}

TEST_F(SerialPortTest, InputReturnsUnderAFloodThatNeverStops) {
  port_.SetPortOpen(true);
  emulator_.StartFlood('A');
  size_t total = 0;
  for (int i = 0; i < 50; ++i) {
    port_.WaitForInput(20);
    std::string got = port_.Input();
    EXPECT_LE(got.size(), 64u * 1024u);
    EXPECT_EQ(got.find_first_not_of('A'), std::string::npos);
    total += got.size();
  }
  emulator_.StopFlood();
  EXPECT_GT(total, 0u);
}

TEST_F(SerialPortTest, WaitForInputTimesOutWhenNothingComes) {
  port_.SetPortOpen(true);
  EXPECT_FALSE(port_.WaitForInput(20));
}

TEST_F(SerialPortTest, ClosingDropsUnreadInput) {
  port_.SetPortOpen(true);
  emulator_.SendRaw("stale");
  ASSERT_TRUE(port_.WaitForInput(2000));
  port_.SetPortOpen(false);
  EXPECT_FALSE(port_.PortOpen());
  port_.SetPortOpen(true);
  EXPECT_EQ(port_.Input(), "");
}

TEST_F(SerialPortTest, PortHeldByAnotherIsRefused) {
  port_.SetPortOpen(true);
  SerialPort second;
  second.SetCommPort(kPort);
  EXPECT_EQ(ErrorOf([&] { second.SetPortOpen(true); }), kCommPortAlreadyOpen);
  EXPECT_FALSE(second.PortOpen());
  EXPECT_EQ(ErrorOf([&] { port_.SetPortOpen(true); }), kCommPortAlreadyOpen);
  EXPECT_TRUE(port_.PortOpen());
  port_.SetPortOpen(false);
  second.SetPortOpen(true);  // free again
  EXPECT_TRUE(second.PortOpen());
}

TEST_F(SerialPortTest, PortLockedByAnotherProgramIsRefused) {
  int holder = ::open(emulator_.SlavePath().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
  EXPECT_EQ(ErrorOf([&] { port_.SetPortOpen(true); }), kCommPortAlreadyOpen);
  EXPECT_FALSE(port_.PortOpen());
  ::close(holder);
  port_.SetPortOpen(true);
  EXPECT_TRUE(port_.PortOpen());
}

TEST_F(SerialPortTest, LockFilesOfOtherProgramsAreHonoured) {
  testing_support::ScopedLockFolder locks;
  const std::string lock = locks.LockFileOf(emulator_.SlavePath());
  const pid_t live = getppid();
  const pid_t dead = [] {  // a process that has ended (its id is not reused this soon)
    pid_t child = testing_support::StartChild([] { return 0; });
    testing_support::WaitForChild(child);
    return child;
  }();
  auto ten = [](pid_t pid) {
    char text[16];
    snprintf(text, sizeof text, "%10d\n", static_cast<int>(pid));
    return std::string(text);
  };
  auto binary = [](pid_t pid) {
    int32_t number = pid;
    return std::string(reinterpret_cast<const char*>(&number), sizeof number);
  };
  auto read_lock = [&] {
    std::ifstream in(lock, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const struct {
    std::string content;
    bool held;
  } kCases[] = {
      {ten(live), true},
      {std::to_string(live), true},
      {binary(live), true},
      {"", true},
      {"garbage\n", true},
      {ten(dead), false},
      {std::to_string(dead) + "\n", false},
      {binary(dead), false},
  };
  int probe = ::open(emulator_.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(probe, 0);
  termios before;
  ASSERT_EQ(tcgetattr(probe, &before), 0);
  for (const auto& lock_case : kCases) {
    SCOPED_TRACE(testing::PrintToString(lock_case.content));
    std::ofstream(lock, std::ios::binary) << lock_case.content;
    const int error = ErrorOf([&] { port_.SetPortOpen(true); });
    if (lock_case.held) {
      // Refused before anything reached the device; the lock stays the owner's.
      EXPECT_EQ(error, kCommPortAlreadyOpen);
      EXPECT_FALSE(port_.PortOpen());
      EXPECT_EQ(read_lock(), lock_case.content);
      termios now;
      ASSERT_EQ(tcgetattr(probe, &now), 0);
      EXPECT_EQ(cfgetospeed(&now), cfgetospeed(&before));
      EXPECT_EQ(now.c_cflag, before.c_cflag);
      EXPECT_EQ(now.c_lflag, before.c_lflag);
    } else {
      // A stale lock gives way to ours, which goes with the closing.
      EXPECT_EQ(error, 0);
      EXPECT_EQ(read_lock(), ten(getpid()));
      port_.SetPortOpen(false);
      EXPECT_FALSE(std::filesystem::exists(lock));
    }
  }
  ::close(probe);
  // A live owner of another user counts too (the liveness probe is refused,
  // which root never meets): the test's own process, seen by an ordinary user.
  std::ofstream(lock, std::ios::binary) << ten(getpid());
  ASSERT_EQ(chmod(locks.path().c_str(), 0755), 0);
  ASSERT_EQ(chmod(emulator_.SlavePath().c_str(), 0666), 0);
  const int status = testing_support::RunAsOrdinaryUser([] {
    SerialPort port;
    port.SetCommPort(kPort);
    return ErrorOf([&] { port.SetPortOpen(true); }) == kCommPortAlreadyOpen ? 0 : 1;
  });
  if (status != testing_support::kChildCannotSetUp) {
    EXPECT_EQ(status, 0) << "another user's live lock was taken for stale";
  }
  EXPECT_EQ(read_lock(), ten(getpid()));
}

TEST_F(SerialPortTest, PortNumberCannotChangeWhileOpen) {
  port_.SetPortOpen(true);
  EXPECT_EQ(ErrorOf([&] { port_.SetCommPort(2); }), kCommPortAlreadyOpen);
  EXPECT_EQ(port_.CommPort(), kPort);
}

TEST_F(SerialPortTest, LineIsRawWithTheSettingsGivenUntilItCloses) {
  int probe = ::open(emulator_.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(probe, 0);
  // The terminal as a shell leaves it: line editing and echo.
  termios before;
  ASSERT_EQ(tcgetattr(probe, &before), 0);
  before.c_lflag |= ECHO | ICANON | ISIG;
  before.c_iflag |= ICRNL;
  before.c_oflag |= OPOST;
  cfsetospeed(&before, B38400);
  ASSERT_EQ(tcsetattr(probe, TCSANOW, &before), 0);
  ASSERT_EQ(tcgetattr(probe, &before), 0);

  port_.SetSettings("19200,E,7,2");
  port_.SetPortOpen(true);
  termios tio;
  ASSERT_EQ(tcgetattr(probe, &tio), 0);
  // A pseudo-terminal always keeps 8 data bits without parity; speed and
  // stop bits show what was asked for.
  EXPECT_EQ(cfgetospeed(&tio), B19200);
  EXPECT_TRUE(tio.c_cflag & CSTOPB);
  EXPECT_FALSE(tio.c_cflag & CRTSCTS);
  EXPECT_FALSE(tio.c_lflag & (ECHO | ICANON | ISIG));
  EXPECT_FALSE(tio.c_iflag & (IXON | IXOFF | ICRNL));
  EXPECT_FALSE(tio.c_oflag & OPOST);

  port_.SetSettings("4800,N,8,1");  // applied at once on an open port
  ASSERT_EQ(tcgetattr(probe, &tio), 0);
  EXPECT_EQ(cfgetospeed(&tio), B4800);
  EXPECT_FALSE(tio.c_cflag & CSTOPB);

  // Closing gives the terminal back as it was.
  port_.SetPortOpen(false);
  ASSERT_EQ(tcgetattr(probe, &tio), 0);
  EXPECT_EQ(cfgetospeed(&tio), B38400);
  EXPECT_EQ(tio.c_lflag, before.c_lflag);
  EXPECT_EQ(tio.c_iflag, before.c_iflag);
  EXPECT_EQ(tio.c_oflag, before.c_oflag);
  EXPECT_EQ(tio.c_cflag, before.c_cflag);
  ::close(probe);
}

TEST_F(SerialPortTest, CrAndLfPassUnchanged) {
  port_.SetPortOpen(true);
  port_.Output("a\r\nb\n");
  ASSERT_TRUE(emulator_.WaitForBytes(5, milliseconds(2000)));
  EXPECT_EQ(emulator_.Received(), "a\r\nb\n");
  emulator_.SendRaw("\r\n\r");
  std::string got;
  for (int i = 0; i < 100 && got.size() < 3; ++i) {
    port_.WaitForInput(20);
    got += port_.Input();
  }
  EXPECT_EQ(got, "\r\n\r");
}

TEST_F(SerialPortTest, VanishedDeviceFailsInputCleanly) {
  port_.SetPortOpen(true);
  emulator_.Unplug();
  // The hang-up wakes a wait at once, and the read reports it.
  auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(port_.WaitForInput(2000));
  EXPECT_LT(std::chrono::steady_clock::now() - start, milliseconds(1000));
  EXPECT_EQ(ErrorOf([&] { port_.Input(); }), kCommPortNotOpen);
  EXPECT_FALSE(port_.PortOpen());
  EXPECT_FALSE(port_.WaitForInput(2000));  // closed: returns at once
  EXPECT_EQ(ErrorOf([&] { port_.SetPortOpen(true); }), kCommInvalidPort);
}

TEST_F(SerialPortTest, VanishedDeviceFailsOutputCleanly) {
  port_.SetPortOpen(true);
  emulator_.Unplug();
  EXPECT_EQ(ErrorOf([&] { port_.Output("hello"); }), kCommWriteFailed);
  EXPECT_FALSE(port_.PortOpen());
  port_.SetPortOpen(false);
}

TEST_F(SerialPortTest, ReopeningAfterCloseWorksManyTimes) {
  for (int i = 0; i < 20; ++i) {
    port_.SetPortOpen(true);
    port_.Output("x");
    port_.SetPortOpen(false);
  }
  EXPECT_TRUE(emulator_.WaitForBytes(20, milliseconds(2000)));
}

}  // namespace
}  // namespace platform
