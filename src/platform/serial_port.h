#pragma once
// The serial communications control: the five properties the program uses
// (CommPort, Settings, PortOpen, Output, Input) over POSIX termios.
//
// Port number n names a device: the environment variable KONWERTER_COM<n>
// where it is set; otherwise COM1-COM32 are /dev/ttyS0-31, COM33-64
// /dev/ttyUSB0-31 and COM65-96 /dev/ttyACM0-31.
//
// Errors are raised as VbError with the control's numbers: 8002 when the port
// number names no terminal device, 8005 when another program holds the port
// (its lock file, see device_lock.h, its flock, or the terminal's exclusive
// mode), 70 when the user may not open the device, others (8010, 8012, 8015,
// 8020, 380) for the rest. While open the port holds its lock file, a flock
// and exclusive mode; closing gives all of them up and gives the device back
// the terminal settings it had before the opening.

#include <termios.h>

#include <optional>
#include <string>

namespace platform {

class SerialPort {
 public:
  SerialPort();
  ~SerialPort();  // closes the port
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  int CommPort() const { return comm_port_; }
  // Selects the port of the next opening. Numbers below 1 or above 255 are
  // refused with error 380, and a change while the port is open with error
  // 8005; either way the former number stays.
  void SetCommPort(int number);

  std::string Settings() const { return settings_; }
  // "speed,parity,data bits,stop bits", for example "9600,N,8,1". A text the
  // control does not accept is refused with error 380 and the former settings
  // stay. Applied at once when the port is open.
  void SetSettings(const std::string& settings);

  bool PortOpen() const;
  // True opens the port CommPort with Settings (errors above; the port stays
  // closed on an error). False closes it and drops what was not read.
  void SetPortOpen(bool open);

  // Sends the text as windows-1250 bytes, every byte, waiting at most about a
  // second for a slow line. Raises kCommPortNotOpen on a closed port; a device
  // that has gone away raises kCommWriteFailed and the port counts as closed.
  void Output(const std::string& text);

  // What has arrived since the last read, as UTF-8 (one character per byte
  // received); "" when nothing has. Never waits. Reading a closed port raises
  // kCommPortNotOpen; a device that has gone away closes the port and raises it too.
  std::string Input();

  // Waits at most timeout_ms for bytes to arrive (poll); true when some are
  // waiting, or when the device has failed (the next Input then raises).
  // Returns false at once on a closed port.
  bool WaitForInput(int timeout_ms);

  // The device a port number names, following the mapping above.
  static std::string DevicePath(int number);

 private:
  void Open();
  // Closes the descriptor; drop_input throws away what was not read.
  void Release(bool drop_input);

  int comm_port_ = 1;
  std::string settings_ = "9600,N,8,1";
  int fd_ = -1;  // what closing gives back is kept with the open ports (serial_port.cpp)
};

// The terminal settings for a settings text ("19200,E,7,2"), made from base
// (the device's present settings): a raw 8-bit line without echo, line
// editing, flow control or character translation, with the text's speed,
// parity, data bits and stop bits. nullopt for a text the control refuses.
std::optional<termios> LineTermios(const std::string& settings, const termios& base);

// Called once at program start, before any other thread: SIGTERM, SIGINT,
// SIGHUP and SIGQUIT (each unless the program was started with it ignored,
// as by nohup) close every open port, as closing it would and whatever the
// program is doing (a wait for a reply included), and then end the program
// as the signal does. Where no thread can be made for them, they act as
// they would without it.
void CloseSerialPortsOnExitSignals();

}  // namespace platform
