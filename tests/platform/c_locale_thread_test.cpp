// Work on a thread of its own, in the C locale whatever the process's locale.

#include "platform/c_locale_thread.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <future>

#include "support/child_process.h"
#include "support/polish_locale.h"

namespace platform {
namespace {

TEST(CLocaleThreadTest, TheWorkReadsNumbersInTheCLocaleWhileTheProcessTakesTheUsers) {
  testing_support::PolishLocale polish;  // puts the process's locale back at the end
  std::promise<void> locale_set;
  double read = 0;
  CLocaleThread work([&read, set = locale_set.get_future().share()] {
    set.wait();
    read = std::strtod("1.5", nullptr);
  });
  const bool have_polish = std::setlocale(LC_NUMERIC, polish.kName) != nullptr;
  locale_set.set_value();
  work.Wait();
  if (!have_polish) GTEST_SKIP() << "pl_PL.UTF-8 cannot be had";
  EXPECT_EQ(read, 1.5);
}

TEST(CLocaleThreadTest, WithNoThreadToBeHadTheWorkIsDoneByWait) {
  const int status = testing_support::RunWithoutThreads([] {
    bool done = false;
    CLocaleThread work([&done] { done = true; });
    work.Wait();
    return done ? 0 : 1;
  });
  if (status == testing_support::kChildCannotSetUp) GTEST_SKIP() << "no ordinary user";
  EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace platform
