#pragma once
// Run-time errors raised the way the original platform raised them: a number
// that callers test (8002, 8005, ...) and a description.

#include <stdexcept>
#include <string>

namespace platform {

// Error numbers the program relies on.
inline constexpr int kErrInvalidCall = 5;  // invalid procedure call or argument
inline constexpr int kErrOverflow = 6;     // a number outside the target range
inline constexpr int kErrSubscript = 9;    // subscript out of range
inline constexpr int kErrTypeMismatch = 13;
inline constexpr int kErrPermissionDenied = 70;  // the device may not be opened by this user
inline constexpr int kErrInvalidPropertyValue = 380;
inline constexpr int kErrPropertyNotSupported = 438;  // the object has no such property
inline constexpr int kCommInvalidPort = 8002;         // the port number names no port
inline constexpr int kCommPortAlreadyOpen = 8005;     // another program holds the port
inline constexpr int kCommHardwareNotAvailable = 8010;
inline constexpr int kCommPortNotOpen = 8012;     // operation needs an open port
inline constexpr int kCommSetStateFailed = 8015;  // line settings refused by the device
inline constexpr int kCommWriteFailed = 8020;     // the device stopped taking bytes

class VbError : public std::runtime_error {
 public:
  VbError(int number, const std::string& description)
      : std::runtime_error(description), number_(number) {}
  int number() const { return number_; }

 private:
  int number_;
};

// Describes the exception being handled (call it inside a catch block): a
// VbError as its text and number, "text (8002)"; another exception by its
// text; anything else as "nieznany".
inline std::string DescribeCurrentError() {
  try {
    throw;
  } catch (const VbError& e) {
    return std::string(e.what()) + " (" + std::to_string(e.number()) + ")";
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "nieznany";
  }
}

// Runs one step of a procedure under error resumption: an error raised by the
// step abandons that step only. Returns false when the step raised.
template <typename F>
bool ResumeNext(F&& step) {
  try {
    step();
    return true;
  } catch (const VbError&) {
    return false;
  }
}

}  // namespace platform
