#pragma once
// Fault tests that need what the test process may not do to itself (run as
// an ordinary user, see a folder read-only, meet a file-size limit) run their
// body in a forked child. Header-only, so that every test program can use it.

#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace testing_support {

// The exit status of a child that could not set itself up (no permission to
// mount, no way to become another user): the test is skipped, or fails.
constexpr int kChildCannotSetUp = 77;

// The user "nobody": no group that owns serial devices or the test's files.
constexpr uid_t kOrdinaryUser = 65534;

// Starts body in a forked child, which ends with body's result; the child's
// process id, or -1 when none could be made.
inline pid_t StartChild(const std::function<int()>& body) {
  pid_t child = fork();
  if (child == 0) _exit(body());
  return child;
}

// Waits for a child of StartChild: body's result, or 100 + the number of the
// signal that ended it; -1 when there is no such child.
inline int WaitForChild(pid_t child) {
  int status = 0;
  if (child <= 0 || waitpid(child, &status, 0) != child) return -1;
  if (WIFSIGNALED(status)) return 100 + WTERMSIG(status);
  return WEXITSTATUS(status);
}

// Runs body in a forked child and returns the child's exit status as
// WaitForChild gives it.
inline int RunInChild(const std::function<int()>& body) { return WaitForChild(StartChild(body)); }

// In a child: becomes the ordinary user, without the groups root had.
inline bool BecomeOrdinaryUser() {
  if (getuid() != 0) return true;
  return setgroups(0, nullptr) == 0 && setgid(kOrdinaryUser) == 0 && setuid(kOrdinaryUser) == 0;
}

// Runs body in a child that has become the ordinary user.
inline int RunAsOrdinaryUser(const std::function<int()>& body) {
  return RunInChild([&] { return BecomeOrdinaryUser() ? body() : kChildCannotSetUp; });
}

// Runs body in a child that has become the ordinary user and may start no
// further process or thread (its process limit reached; root is above it).
inline int RunWithoutThreads(const std::function<int()>& body) {
  return RunAsOrdinaryUser([&] {
    const rlimit none{0, 0};
    return setrlimit(RLIMIT_NPROC, &none) == 0 ? body() : kChildCannotSetUp;
  });
}

// In a child: takes a private view of the mounts, in which folder can be
// changed without the rest of the machine seeing it.
inline bool PrivateMounts() {
  return unshare(CLONE_NEWNS) == 0 &&
         mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

// In a child, after PrivateMounts: makes folder read-only. As root nothing
// else stops a write.
inline bool MakeReadOnly(const std::string& folder) {
  return mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
         mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
}

}  // namespace testing_support
