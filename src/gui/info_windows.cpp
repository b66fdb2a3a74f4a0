#include "gui/info_windows.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTextCursor>
#include <QVBoxLayout>
#include <QtGlobal>

#include "library/device_library.h"
#include "ui/runtime.h"

namespace zivivar {
namespace {

// The log can grow for years; the window shows its end.
constexpr qsizetype kShownLogLines = 1000;

QString Where(const QString& path) {
  const QFileInfo file(path);
  return QDir::toNativeSeparators(file.absoluteFilePath()) +
         (file.exists() ? QString() : QStringLiteral(" (nicht gefunden)"));
}

}  // namespace

QDialog* OpenOperationLogWindow(const QString& log_path, QWidget* parent) {
  auto* window = new QDialog(parent, Qt::Window);
  window->setObjectName(QStringLiteral("operationLog"));
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setWindowTitle(QStringLiteral("Protokoll"));
  auto* text = new QPlainTextEdit(window);
  text->setReadOnly(true);
  text->setLineWrapMode(QPlainTextEdit::NoWrap);
  text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  QFile file(log_path);
  if (!log_path.isEmpty() && file.open(QIODevice::ReadOnly)) {
    QStringList lines =
        QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (lines.size() > kShownLogLines)
      lines = lines.mid(lines.size() - kShownLogLines);
    text->setPlainText(lines.join(QLatin1Char('\n')));
  } else {
    text->setPlaceholderText(QStringLiteral("Noch keine Einträge."));
  }
  text->moveCursor(QTextCursor::End);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, window);
  QObject::connect(buttons, &QDialogButtonBox::rejected, window, &QDialog::close);
  auto* layout = new QVBoxLayout(window);
  layout->addWidget(new QLabel(QDir::toNativeSeparators(log_path), window));
  layout->addWidget(text);
  layout->addWidget(buttons);
  window->resize(text->fontMetrics().horizontalAdvance(QString(90, QLatin1Char('0'))),
                 text->fontMetrics().height() * 20);
  window->show();
  return window;
}

QString AboutText(Runtime& runtime, const QString& log_path) {
  const Settings& settings = runtime.settings();
  const QString directory = QString::fromStdString(settings.settings_directory);
  QStringList lines;
  lines << QStringLiteral("zivivar %1").arg(QStringLiteral(ZIVIVAR_VERSION))
        << QString::fromUtf8("Brenner für AT89S-Flash-Controller am Druckerport") << QString()
        << QStringLiteral("Lizenz: MIT")
        << QStringLiteral("Qt %1 (gebaut mit Qt %2)")
               .arg(QString::fromLatin1(qVersion()), QStringLiteral(QT_VERSION_STR))
        << QString()
        << QStringLiteral("Einstellungen: %1")
               .arg(Where(QString::fromStdString(settings.settings_file_path)))
        << QStringLiteral("Bausteinbibliothek: %1")
               .arg(Where(QDir(directory).filePath(QString::fromLatin1(kLibraryFileName))))
        << QStringLiteral("Protokoll: %1").arg(QDir::toNativeSeparators(log_path));
  return lines.join(QLatin1Char('\n'));
}

void ShowAboutBox(Runtime& runtime, const QString& log_path, QWidget* parent) {
  QMessageBox::about(parent, QString::fromUtf8("Über zivivar"), AboutText(runtime, log_path));
}

}  // namespace zivivar
