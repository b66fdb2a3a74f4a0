// Takes the pictures of the window for the documentation: the main window,
// the preferences dialog, a message box, the window while it programs and
// the hex view of the data file.
// Usage: gui_screenshot_tool SETTINGS_DIR OUTPUT_DIR. The settings directory
// must hold a settings file that chooses the simulator, the device library
// and the data file the settings name. Not part of the shipped program.
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <cstdio>

#include "gui/busy_window.h"
#include "gui/german_translation.h"
#include "gui/hex_view_window.h"
#include "gui/window_run.h"

namespace {

bool Save(const QPixmap& picture, const QString& path) {
  if (picture.isNull() || !picture.save(path)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

// Calls action with the next modal widget to appear.
void WhenModal(std::function<void(QWidget&)> action) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, action] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible())
      return;
    timer->stop();
    timer->deleteLater();
    // Let it paint first.
    QTimer::singleShot(300, [modal, action] { action(*modal); });
  });
  timer->start(20);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s SETTINGS_DIR OUTPUT_DIR\n", argv[0]);
    return 2;
  }
  zivivar::InstallGermanTranslation(app);
  const QString out = QString::fromLocal8Bit(argv[2]);
  QDir().mkpath(out);

  zivivar::RuntimeOptions options;
  options.settings_directory = argv[1];
  options.lock_directory = std::string(argv[1]);
  zivivar::WindowRun run(std::move(options));
  if (!run.ClaimInstance())
    return 1;
  run.Start();
  zivivar::MainWindow& window = run.window();
  auto button = [&window](zivivar::Control id) {
    return qobject_cast<QPushButton*>(window.control(id));
  };

  bool ok = true;
  QTimer::singleShot(500, [&] {
    ok &= Save(window.grab(), out + "/main-window.png");

    WhenModal([&](QWidget& dialog) {
      ok &= Save(dialog.grab(), out + "/preferences.png");
      qobject_cast<QDialog*>(&dialog)->reject();
    });
    button(zivivar::Control::kPrefsButton)->click();

    // The window while it programs: the status line, the bar, the busy window.
    bool taken = false;
    QTimer during;
    QObject::connect(&during, &QTimer::timeout, [&] {
      if (taken || window.progressBar()->value() < 20 || window.busyWindow() == nullptr)
        return;
      taken = true;
      const QRect main = window.frameGeometry();
      const QRect busy = window.busyWindow()->frameGeometry();
      const QRect area = main.united(busy).adjusted(-8, -8, 8, 8);
      ok &= Save(window.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()),
                 out + "/programming.png");
    });
    during.start(0);
    WhenModal([&](QWidget& box) {
      ok &= Save(box.grab(), out + "/message-box.png");
      qobject_cast<QMessageBox*>(&box)->button(QMessageBox::Ok)->click();
    });
    button(zivivar::Control::kProgramButton)->click();
    during.stop();
    if (!taken) {
      std::fprintf(stderr, "no picture taken while programming\n");
      ok = false;
    }

    zivivar::HexViewWindow* view = window.OpenHexView();
    if (view == nullptr) {
      std::fprintf(stderr, "no hex view\n");
      ok = false;
      window.close();
      return;
    }
    QTimer::singleShot(300, [&, view] {
      ok &= Save(view->grab(), out + "/hex-view.png");
      view->close();
      window.close();
    });
  });
  app.exec();
  return ok ? 0 : 1;
}
