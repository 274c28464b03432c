#pragma once
// Work done on a thread of its own while the main thread goes on, in the C
// locale whatever the main thread puts in force meanwhile: the C library's
// setlocale is not safe while another thread reads numbers, and the thread's
// own locale object (uselocale) never changes under it. Where no thread can
// be started (the user's process limit reached), Wait does the work on the
// caller's thread, in the C locale too. The work must not throw: on its
// thread that would end the program.

#include <locale.h>

#include <functional>
#include <thread>

namespace platform {

class CLocaleThread {
 public:
  explicit CLocaleThread(std::function<void()> work);
  ~CLocaleThread();  // joins the thread; a work not yet done is not done
  CLocaleThread(const CLocaleThread&) = delete;
  CLocaleThread& operator=(const CLocaleThread&) = delete;

  // Returns when the work is done.
  void Wait();

 private:
  void Run();

  std::function<void()> work_;
  locale_t locale_;  // made before the thread starts, so that it never races setlocale
  std::thread thread_;
};

}  // namespace platform
