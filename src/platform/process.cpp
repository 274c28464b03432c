#include "platform/process.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

bool StartDetached(const std::string& program, const std::string& folder) {
  // Everything the children use is prepared before the fork: between fork and
  // exec only async-signal-safe calls are allowed in a program with threads.
  const char* path = program.c_str();
  const char* where = folder.c_str();
  char* const argv[] = {const_cast<char*>(path), nullptr};
  sigset_t none;
  sigemptyset(&none);

  const pid_t middle = fork();
  if (middle < 0) return false;
  if (middle == 0) {
    // The middle process ends at once, so the program is nobody's child to
    // wait for and never lingers as a zombie of ours.
    setsid();
    const pid_t started = fork();
    if (started == 0) {
      for (int signo = 1; signo < NSIG; ++signo) {
        if (signo != SIGKILL && signo != SIGSTOP) signal(signo, SIG_DFL);
      }
      sigprocmask(SIG_SETMASK, &none, nullptr);
      if (chdir(where) == 0) execv(path, argv);
      _exit(127);
    }
    _exit(started < 0 ? 1 : 0);
  }
  int status = 0;
  while (waitpid(middle, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace platform
