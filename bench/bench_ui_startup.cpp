// Start-up of the main window, measured two ways.
//
// In this process: the time from the program's start to a shown, loaded
// window, and the peak memory of such a start (the window quits at once), on
// the delivered Settings.ini and set.lng copied to a temporary folder.
// Targets: under 300 ms and under 80 MB.
//
// As programs of their own (needs an X server: DISPLAY): the time from exec to
// the first mapped top-level window, for the tool (build/bin/konwerter) and for
// a bare Qt 6 window (bench/bare_qt_window), run in turn, each round in a
// different order. The benchmark watches the root window for MapNotify itself,
// then closes the window as a window manager would (WM_DELETE_WINDOW) and
// waits for the program to end. Each program runs from a copy in a folder of
// its own, since the tool keeps its files beside its executable:
//   normal   the delivered Settings.ini and set.lng (filled by a first run)
//   first    Settings.ini only: the language file is made during the start
//   crowded  as normal, with 10,000 other files in the folder
//   crowded first  a first start beside 10,000 other files
// Targets: a normal start at most 1.6 times the bare window; a first start at
// most 10 ms and the crowded folder at most 5 ms slower than a normal start; a
// first start beside 10,000 files at most 20 ms slower than a normal start
// there. Differences are medians of the differences within each round.
// Then one start of each kind runs under strace to count what it does to its
// folder: opens of Settings.ini and set.lng and listings of the folder (a
// normal start: at most two each; a first start beside 10,000 files: at most
// three), syncs (a first start: at most two).
//
// Usage: bench_ui_startup [rounds [tool]]   (default 15 rounds and the tool of
// this build; another build's executable compares two versions in the same
// conditions. QT_QPA_PLATFORM=offscreen and no exec figures without DISPLAY.)

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/message_box.h"
#include "toolkit/control.h"
#include "ui/key_window.h"

namespace {

namespace fs = std::filesystem;

std::string DataDir() {
  std::string here = __FILE__;
  return here.substr(0, here.rfind("/bench/")) + "/data";
}

double NowMs() {
  return std::chrono::duration<double, std::milli>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

bool CopyData(const std::string& to) {
  for (const char* name : {"Settings.ini", "set.lng"}) {
    std::string bytes;
    if (!platform::ReadWholeFile(DataDir() + "/" + name, &bytes)) return false;
    if (!platform::WriteFileAtomically(to + "/" + name, bytes)) return false;
  }
  return true;
}

// ---------------------------------------------------------------------------
// In this process

int MeasureInProcess(int argc, char** argv, double t0) {
  if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY"))
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QTemporaryDir dir;
  if (!dir.isValid() || !CopyData(dir.path().toStdString())) {
    std::fprintf(stderr, "cannot prepare the data folder\n");
    return 1;
  }
  platform::SetAppFolderForTesting(dir.path().toStdString());
  platform::SetMsgBoxSink([](const std::string& text, platform::MsgBoxIcon) {
    std::fprintf(stderr, "message: %s\n", text.c_str());
  });

  QApplication app(argc, argv);
  tk::InstallFontSubstitutions();
  ui::KEY window;
  window.Form_Load();
  double shown_ms = 0;
  QTimer::singleShot(0, [&] {
    // The first turn of the event loop: the window has been shown and painted.
    shown_ms = NowMs() - t0;
    app.quit();
  });
  app.exec();

  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const double peak_mb = usage.ru_maxrss / 1024.0;  // ru_maxrss is in kilobytes
  std::printf("start to shown window (in process): %.1f ms (target < 300 ms)\n", shown_ms);
  std::printf("peak memory: %.1f MB (target < 80 MB)\n", peak_mb);
  return 0;
}

// ---------------------------------------------------------------------------
// As programs of their own

// The root window's watcher: MapNotify of its children, and the close request.
class XWatch {
 public:
  ~XWatch() {
    if (conn_) xcb_disconnect(conn_);
  }

  bool Open() {
    conn_ = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(conn_)) return false;
    root_ = xcb_setup_roots_iterator(xcb_get_setup(conn_)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(conn_, root_, XCB_CW_EVENT_MASK, &mask);
    protocols_ = Atom("WM_PROTOCOLS");
    delete_window_ = Atom("WM_DELETE_WINDOW");
    xcb_flush(conn_);
    return protocols_ != XCB_NONE && delete_window_ != XCB_NONE;
  }

  // The first top-level window mapped from now on; XCB_NONE when the child
  // ends first or nothing is mapped within ten seconds.
  xcb_window_t WaitForMap(pid_t child) {
    const double give_up = NowMs() + 10000;
    for (;;) {
      while (xcb_generic_event_t* event = xcb_poll_for_event(conn_)) {
        xcb_window_t mapped = XCB_NONE;
        if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
          auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
          if (map->event == root_) mapped = map->window;
        }
        std::free(event);
        if (mapped != XCB_NONE) return mapped;
      }
      if (xcb_connection_has_error(conn_) || NowMs() > give_up) return XCB_NONE;
      if (waitpid(child, nullptr, WNOHANG) == child) return XCB_NONE;
      pollfd fd{xcb_get_file_descriptor(conn_), POLLIN, 0};
      poll(&fd, 1, 2);
    }
  }

  void RequestClose(xcb_window_t window) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = protocols_;
    message.data.data32[0] = delete_window_;
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(conn_, 0, window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(conn_);
  }

  void Drain() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(conn_)) std::free(event);
  }

 private:
  xcb_atom_t Atom(const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        conn_, xcb_intern_atom(conn_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    if (!reply) return XCB_NONE;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
  }

  xcb_connection_t* conn_ = nullptr;
  xcb_window_t root_ = XCB_NONE;
  xcb_atom_t protocols_ = XCB_NONE;
  xcb_atom_t delete_window_ = XCB_NONE;
};

// Waits for the child to end, at most five seconds; then kills it.
void Reap(pid_t child) {
  const double give_up = NowMs() + 5000;
  while (waitpid(child, nullptr, WNOHANG) != child) {
    if (NowMs() > give_up) {
      kill(child, SIGKILL);
      waitpid(child, nullptr, 0);
      return;
    }
    usleep(1000);
  }
}

// Runs the program and gives the milliseconds from exec to its first mapped
// window (a negative number when none came); then closes it.
double TimeToMap(XWatch& x, const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  x.Drain();
  std::fflush(nullptr);
  const double t0 = NowMs();
  const pid_t child = fork();
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  if (child < 0) return -1;
  const xcb_window_t window = x.WaitForMap(child);
  const double elapsed = NowMs() - t0;
  if (window != XCB_NONE) x.RequestClose(window);
  Reap(child);
  return window != XCB_NONE ? elapsed : -1;
}

struct Folder {
  std::string path;
  std::string exe;
};

Folder MakeFolder(const fs::path& base, const char* name, const char* exe_source,
                  const std::vector<const char*>& data) {
  Folder f;
  f.path = (base / name).string();
  fs::create_directory(f.path);
  f.exe = f.path + "/" + fs::path(exe_source).filename().string();
  fs::copy_file(exe_source, f.exe);
  for (const char* file : data) fs::copy_file(fs::path(DataDir()) / file, fs::path(f.path) / file);
  return f;
}

// A first start finds no language file, nor what an earlier run left.
void ForgetLanguageFile(const Folder& f) {
  for (const auto& entry : fs::directory_iterator(f.path)) {
    const std::string name = entry.path().filename().string();
    if (name == "set.lng" || name.rfind(".set.lng.tmp", 0) == 0) fs::remove(entry.path());
  }
}

struct Counts {
  int settings_opens = 0;
  int language_opens = 0;
  int listings = 0;
  int syncs = 0;
};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The path strace -y shows after a descriptor: "5</tmp/x>" gives "/tmp/x".
std::string Annotation(const std::string& text, size_t from) {
  const size_t open = text.find('<', from);
  const size_t close = open == std::string::npos ? open : text.find('>', open);
  if (close == std::string::npos) return "";
  return text.substr(open + 1, close - open - 1);
}

Counts ParseTrace(const std::string& log, const std::string& folder) {
  Counts counts;
  std::map<std::string, std::string> unfinished;  // by thread
  std::map<int, bool> unlisted;                   // the folder's descriptors not yet read
  std::ifstream in(log);
  std::string line;
  while (std::getline(in, line)) {
    const size_t space = line.find(' ');
    const size_t start = line.find_first_not_of(' ', space);
    if (start == std::string::npos) continue;
    const std::string thread = line.substr(0, space);
    std::string call = line.substr(start);
    const std::string cut = " <unfinished ...>";
    if (call.size() > cut.size() && call.compare(call.size() - cut.size(), cut.size(), cut) == 0) {
      unfinished[thread] = call.substr(0, call.size() - cut.size());
      continue;
    }
    if (call.rfind("<... ", 0) == 0) {
      const size_t resumed = call.find("resumed>");
      if (resumed == std::string::npos) continue;
      call = unfinished[thread] + call.substr(resumed + 8);
      unfinished.erase(thread);
    }
    const size_t result = call.rfind(") = ");
    if (call.rfind("openat(", 0) == 0) {
      const size_t q1 = call.find('"');
      const size_t q2 = q1 == std::string::npos ? q1 : call.find('"', q1 + 1);
      if (q2 == std::string::npos || result == std::string::npos) continue;
      const std::string path = call.substr(q1 + 1, q2 - q1 - 1);
      const std::string name = Lower(path.substr(path.rfind('/') + 1));
      if (name == "settings.ini") ++counts.settings_opens;
      if (name == "set.lng") ++counts.language_opens;
      const int fd = std::atoi(call.c_str() + result + 4);
      if (fd >= 0 && Annotation(call, result) == folder) unlisted[fd] = true;
    } else if (call.rfind("getdents64(", 0) == 0) {
      const int fd = std::atoi(call.c_str() + 11);
      if (unlisted[fd] && Annotation(call, 11) == folder) {
        ++counts.listings;
        unlisted[fd] = false;
      }
    } else if (call.rfind("fsync(", 0) == 0 || call.rfind("fdatasync(", 0) == 0) {
      if (Annotation(call, 0).rfind(folder, 0) == 0) ++counts.syncs;
    }
  }
  return counts;
}

bool CountUnderStrace(XWatch& x, const Folder& f, Counts* counts) {
  const std::string log = f.path + ".strace";
  const double ms = TimeToMap(x, {"strace", "-f", "-y", "-qq", "-e",
                                  "trace=openat,getdents64,fsync,fdatasync", "-o", log, f.exe});
  if (ms < 0) return false;
  *counts = ParseTrace(log, fs::canonical(f.path).string());
  fs::remove(log);
  return true;
}

struct Series {
  const char* label;
  std::vector<double> ms;
  double Median() const {
    std::vector<double> s = ms;
    std::sort(s.begin(), s.end());
    const size_t n = s.size();
    return n == 0 ? 0 : n % 2 ? s[n / 2] : (s[n / 2 - 1] + s[n / 2]) / 2;
  }
  void Print() const {
    const auto [lo, hi] = std::minmax_element(ms.begin(), ms.end());
    std::printf("  %-34s %6.1f ms  (%.1f-%.1f)\n", label, Median(), *lo, *hi);
  }
};

// The median of the differences a - b within each round.
double MedianDifference(const Series& a, const Series& b) {
  Series differences{"", {}};
  for (size_t i = 0; i < a.ms.size() && i < b.ms.size(); ++i) {
    differences.ms.push_back(a.ms[i] - b.ms[i]);
  }
  return differences.Median();
}

int MeasureExec(int rounds, const char* tool) {
  XWatch x;
  if (!x.Open()) {
    std::printf("exec figures: no X server to watch (DISPLAY)\n");
    return 0;
  }
  unsetenv("QT_QPA_PLATFORM");  // the windows must really be mapped

  char pattern[] = "/tmp/bench_ui_startup_XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const fs::path base = fs::canonical(pattern);
  const Folder bare = MakeFolder(base, "bare", BARE_QT_WINDOW_EXE, {});
  const Folder normal = MakeFolder(base, "normal", tool, {"Settings.ini", "set.lng"});
  const Folder first = MakeFolder(base, "first", tool, {"Settings.ini"});
  const Folder crowded = MakeFolder(base, "crowded", tool, {"Settings.ini", "set.lng"});
  const Folder crowded_first = MakeFolder(base, "crowded_first", tool, {"Settings.ini"});
  for (const Folder* f : {&crowded, &crowded_first}) {
    for (int i = 0; i < 10000; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "/neighbour%05d.dat", i);
      const int fd = open((f->path + name).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
      if (fd >= 0) close(fd);
    }
  }

  // One start of each first: the delivered language file may lack entries
  // that a start adds, and the programs come into the page cache.
  bool ok = true;
  for (const Folder* f : {&bare, &normal, &crowded, &first, &crowded_first}) {
    ok = ok && TimeToMap(x, {f->exe}) >= 0;
  }

  Series s_bare{"bare Qt 6 window", {}};
  Series s_normal{"konwerter, normal start", {}};
  Series s_first{"konwerter, first start", {}};
  Series s_crowded{"konwerter, 10,000 files beside it", {}};
  Series s_crowded_first{"konwerter, first start beside them", {}};
  std::vector<std::pair<const Folder*, Series*>> order = {{&bare, &s_bare},
                                                          {&normal, &s_normal},
                                                          {&first, &s_first},
                                                          {&crowded, &s_crowded},
                                                          {&crowded_first, &s_crowded_first}};
  for (int round = 0; ok && round < rounds; ++round) {
    for (const auto& [folder, series] : order) {
      if (folder == &first || folder == &crowded_first) ForgetLanguageFile(*folder);
      const double ms = TimeToMap(x, {folder->exe});
      if (ms < 0) ok = false;
      series->ms.push_back(ms);
    }
    std::rotate(order.begin(), order.begin() + 1, order.end());
  }

  Counts c_normal, c_first, c_crowded, c_crowded_first;
  ForgetLanguageFile(first);
  ForgetLanguageFile(crowded_first);
  const bool counted = CountUnderStrace(x, normal, &c_normal) &&
                       CountUnderStrace(x, first, &c_first) &&
                       CountUnderStrace(x, crowded, &c_crowded) &&
                       CountUnderStrace(x, crowded_first, &c_crowded_first);

  std::error_code ignored;
  fs::remove_all(base, ignored);
  if (!ok) {
    std::printf("exec figures: a program showed no window\n");
    return 1;
  }

  std::printf("exec to the first mapped window, median of %d runs (min-max):\n", rounds);
  for (const Series* s : {&s_bare, &s_normal, &s_first, &s_crowded, &s_crowded_first}) s->Print();
  std::printf("  normal start / bare window: %.2f (target <= 1.6)\n",
              s_normal.Median() / s_bare.Median());
  std::printf("  first start - normal start: %+.1f ms (target <= 10 ms)\n",
              MedianDifference(s_first, s_normal));
  std::printf("  10,000 files - normal start: %+.1f ms (target <= 5 ms)\n",
              MedianDifference(s_crowded, s_normal));
  std::printf(
      "  first start beside 10,000 files - normal start there: %+.1f ms (target <= 20 ms)\n",
      MedianDifference(s_crowded_first, s_crowded));
  if (!counted) {
    std::printf("counts: strace could not run the tool\n");
    return 1;
  }
  auto print = [](const char* label, const Counts& c) {
    std::printf("  %-14s Settings.ini opened %d, set.lng opened %d, folder listed %d, syncs %d\n",
                label, c.settings_opens, c.language_opens, c.listings, c.syncs);
  };
  std::printf(
      "one start under strace (targets: a normal start opens each file and lists the "
      "folder at most twice, a first start beside 10,000 files at most three times; a first "
      "start syncs at most twice):\n");
  print("normal start", c_normal);
  print("first start", c_first);
  print("10,000 files", c_crowded);
  print("first, 10,000", c_crowded_first);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const double t0 = NowMs();
  if (argc > 1 && std::strcmp(argv[1], "--in-process") == 0) {
    return MeasureInProcess(argc, argv, t0);
  }
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  const char* tool = argc > 2 ? argv[2] : KONWERTER_EXE;

  // The in-process figures come from a fresh process, so that its peak
  // memory is that of a start alone.
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    execl("/proc/self/exe", argv[0], "--in-process", static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "the in-process start failed\n");
    return 1;
  }
  if (!std::getenv("DISPLAY")) {
    std::printf("exec figures: no DISPLAY\n");
    return 0;
  }
  return MeasureExec(rounds, tool);
}
