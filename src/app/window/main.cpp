// soustruh: the simulator's window. Reads its data files from its own directory.

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <clocale>

#include "platform/ApplicationDirectory.h"
#include "ui/MainWindow.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // Numbers are read and written with "." whatever the user's locale; Qt has just taken the
  // locale from the environment, so the C library's number formatting is set back.
  std::setlocale(LC_NUMERIC, "C");
  QLocale::setDefault(QLocale::c());
  QApplication::setApplicationName(QStringLiteral("soustruh"));
  QApplication::setApplicationDisplayName(QStringLiteral("Soustruh"));
  QApplication::setApplicationVersion(QStringLiteral(SOUSTRUH_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("soustruh"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/soustruh.svg")));

  soustruh::ui::TForm1 window(soustruh::ApplicationDirectory());
  window.showMaximized();
  const int result = QApplication::exec();
  return window.startFailed() ? 1 : result;
}
