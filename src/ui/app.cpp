#include "ui/app.h"

#include <QApplication>
#include <QLocale>
#include <clocale>
#include <cstdlib>
#include <optional>
#include <string>

#include "platform/c_locale_thread.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/serial_port.h"
#include "platform/vb_error.h"
#include "toolkit/control.h"
#include "toolkit/message_box.h"
#include "ui/key_window.h"

namespace ui {

namespace {

const std::string kCannotStart = "Nie można uruchomić programu: ";

// Where no box can be had: the text of one on standard error.
void TellOnStandardError(const std::string& text) {
  platform::SetMsgBoxSink(nullptr);
  platform::MsgBox(text, platform::MsgBoxIcon::kCritical);
}

// Until the event loop runs, Qt ends the process (abort) on a fatal error,
// such as no display to connect to; where it cannot start a thread of its own
// (the user's process limit reached) it only warns, and later waits for that
// thread for ever (the reader of the display connection, the bus connection
// its first label opens). Neither leaves a box to show (a box would wait for
// the same threads): the message goes to standard error, and the status is 1.
QtMessageHandler other_messages = nullptr;
void EndOnStartFailure(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type != QtFatalMsg && !text.startsWith(QLatin1String("QThread::start:"))) {
    return other_messages(type, context, text);
  }
  TellOnStandardError(kCannotStart + text.toStdString());
  std::_Exit(1);
}

}  // namespace

int RunKonwerter(int argc, char** argv) {
  std::optional<QApplication> app;
  std::optional<platform::CLocaleThread> font_configuration;
  const int status = RunGuarded([&] {
    platform::IgnoreFileSizeSignal();
    // Before QApplication starts threads of its own: they must inherit the
    // blocked exit signals, or a logout during an exchange would end the
    // program with the port still raw, locked and in exclusive mode.
    platform::CloseSerialPortsOnExitSignals();
    // While QApplication connects to the display, the font configuration is
    // read (some 8 ms the first text drawn would wait for). It parses numbers,
    // and QApplication puts the user's locale in force meanwhile.
    font_configuration.emplace(tk::LoadFontConfiguration);
    other_messages = qInstallMessageHandler(EndOnStartFailure);
    app.emplace(argc, argv);
    // From here on an error is shown in a box; before, on standard error.
    tk::InstallQtMessageBoxSink();
    font_configuration->Wait();
    // Qt has set the C library to the user's locale; the numbers the program
    // reads and writes for itself always have "." as the point.
    std::setlocale(LC_NUMERIC, "C");
    tk::InstallFontSubstitutions();
    tk::InstallQtTranslation(QLocale());

    // The window descriptions to the first show. An error here (a
    // description that does not parse, a picture that cannot be made)
    // leaves no window to go on with.
    PrepareWindowResources();
    KEY window;
    // Closing the main window ends the program at once, whatever else is open.
    window.EndProgram = [] { QCoreApplication::exit(0); };
    // The load handler is an event like any other: an error it did not
    // expect is shown, and the window still comes up so that the user can
    // close it.
    tk::Control::RaiseUserEvent([&window] { window.Form_Load(); });
    if (!window.form().Visible()) window.form().Show();
    // The window is up, and Qt's threads with it: Qt's messages are its own again.
    qInstallMessageHandler(other_messages);
    return QApplication::exec();
  });
  // Qt cannot be torn down safely after an error inside it (a widget half
  // made when the memory ran out): a start that failed, its message told,
  // ends here.
  if (status != 0) {
    platform::WaitForBackgroundSyncs();
    std::_Exit(status);
  }
  return status;
}

int RunGuarded(const std::function<int()>& run) {
  try {
    return run();
  } catch (...) {
    const std::string text = kCannotStart + platform::DescribeCurrentError();
    try {
      platform::MsgBox(text, platform::MsgBoxIcon::kCritical);
    } catch (...) {
      // The box could not be made (no memory left, as for the start).
      TellOnStandardError(text);
    }
  }
  return 1;
}

}  // namespace ui
