#include "platform/c_locale_thread.h"

#include <system_error>
#include <utility>

namespace platform {

CLocaleThread::CLocaleThread(std::function<void()> work)
    : work_(std::move(work)), locale_(newlocale(LC_ALL_MASK, "C", locale_t{})) {
  if (locale_ == locale_t{}) return;
  try {
    thread_ = std::thread([this] { Run(); });
  } catch (const std::system_error&) {
    // No thread to be had: Wait does the work.
  }
}

CLocaleThread::~CLocaleThread() {
  if (thread_.joinable()) thread_.join();
  if (locale_ != locale_t{}) freelocale(locale_);
}

void CLocaleThread::Wait() {
  if (thread_.joinable()) {
    thread_.join();
  } else if (work_) {
    Run();
  }
  work_ = nullptr;
}

void CLocaleThread::Run() {
  // A null locale_ (none could be made) changes nothing.
  const locale_t previous = uselocale(locale_);
  work_();
  uselocale(previous);
}

}  // namespace platform
