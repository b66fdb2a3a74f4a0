// zivivar: the window program. The settings file and the device library are
// looked for in the working directory.
#include <QApplication>

#include "gui/german_translation.h"
#include "gui/window_run.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("zivivar"));
  QApplication::setDesktopFileName(QStringLiteral("zivivar"));
  // The whole interface is German, the toolkit's own buttons and dialogs too.
  zivivar::InstallGermanTranslation(app);

  zivivar::WindowRun run{zivivar::RuntimeOptions{}};
  // A second copy ends silently while another is open or busy; the open one
  // comes to the front instead.
  if (!run.ClaimInstance()) {
    run.ShowRunningCopy();
    return 0;
  }
  run.Start();
  QObject::connect(&run.window(), &QDialog::finished, &app, &QCoreApplication::quit);
  return app.exec();
}
