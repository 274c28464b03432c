#include "platform/message_box.h"

#include <cstdio>
#include <mutex>
#include <utility>

namespace platform {
namespace {

std::mutex& SinkMutex() {
  static std::mutex mutex;
  return mutex;
}

MsgBoxSink& CurrentSink() {
  static MsgBoxSink sink;
  return sink;
}

void WriteToStandardError(const std::string& text, MsgBoxIcon icon) {
  std::fprintf(stderr, "%s %s\n", icon == MsgBoxIcon::kCritical ? "[critical]" : "[info]",
               text.c_str());
  std::fflush(stderr);
}

}  // namespace

void MsgBox(const std::string& text, MsgBoxIcon icon) {
  MsgBoxSink sink;
  {
    std::lock_guard<std::mutex> lock(SinkMutex());
    sink = CurrentSink();
  }
  // Called outside the lock: a sink runs a modal box, which may itself show
  // another message or install a sink.
  if (sink) {
    sink(text, icon);
  } else {
    WriteToStandardError(text, icon);
  }
}

MsgBoxSink SetMsgBoxSink(MsgBoxSink sink) {
  std::lock_guard<std::mutex> lock(SinkMutex());
  return std::exchange(CurrentSink(), std::move(sink));
}

}  // namespace platform
