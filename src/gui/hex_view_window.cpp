#include "gui/hex_view_window.h"

#include <QBrush>
#include <QColor>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>
#include <algorithm>

#include "commands/convert.h"
#include "gui/file_dialogs.h"
#include "ui/data_file_naming.h"
#include "ui/file_dialogs.h"
#include "ui/main_dialog.h"
#include "ui/runtime.h"

namespace zivivar {

HexViewWindow::HexViewWindow(Runtime& runtime, HexDumpRange range, const QString& title,
                             QWidget* parent)
    : QDialog(parent, Qt::Window),
      m_runtime(runtime),
      m_header(new QLabel(this)),
      m_dump(new QPlainTextEdit(this)) {
  setObjectName(QStringLiteral("hexView"));
  setWindowTitle(title);
  setAttribute(Qt::WA_DeleteOnClose);

  const uint32_t size = std::min(kImageBufferSize, std::max(runtime.device().code_size,
                                                            std::min(range.end, kImageBufferSize)));
  const int digits = HexDumpAddressDigits(size);
  const std::span<const uint8_t> memory(runtime.image().bytes.data(), size);
  QString text;
  for (uint32_t address = 0; address < size; address += kHexDumpBytesPerLine) {
    if (address != 0)
      text += QLatin1Char('\n');
    text += QString::fromStdString(HexDumpLine(memory, address, digits));
  }
  m_header->setText(QString::fromStdString(HexDumpRangeText(range, digits)));
  m_dump->setReadOnly(true);
  m_dump->setLineWrapMode(QPlainTextEdit::NoWrap);
  m_dump->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  m_dump->setPlainText(text);

  // The filled range gets the selection's colours, faintly, line by line.
  if (!range.empty() && range.first < size) {
    const QTextDocument* document = m_dump->document();
    const int first_line = static_cast<int>(range.first / kHexDumpBytesPerLine);
    const int last_line = static_cast<int>((std::min(range.end, size) - 1) / kHexDumpBytesPerLine);
    QTextCursor cursor(document->findBlockByNumber(first_line));
    cursor.setPosition(document->findBlockByNumber(last_line).position() +
                           document->findBlockByNumber(last_line).length() - 1,
                       QTextCursor::KeepAnchor);
    QTextEdit::ExtraSelection marked;
    marked.cursor = cursor;
    QColor tint = palette().color(QPalette::Highlight);
    tint.setAlpha(60);
    marked.format.setBackground(tint);
    m_dump->setExtraSelections({marked});
  }

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Close, this);
  connect(buttons->button(QDialogButtonBox::Save), &QPushButton::clicked, this, [this] { Save(); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_header);
  layout->addWidget(m_dump);
  layout->addWidget(buttons);
  const QFontMetrics metrics(m_dump->font());
  resize(metrics.horizontalAdvance(QString(76, QLatin1Char('0'))) + 60, metrics.height() * 28);
}

QString HexViewWindow::headerText() const {
  return m_header->text();
}

CommandResult HexViewWindow::Save() {
  Settings& settings = m_runtime.edit_settings();
  const FileDialogResult chosen =
      RunFileDialog(this, FileDialogMode::kSave, SaveDataFileRequest(settings));
  if (!chosen.accepted)
    return CommandResult::kCancelled;
  const ReadOutTarget target =
      ReadOutTargetFromDialog(chosen.path, chosen.file_name, chosen.filter);
  // As the read-out does: a file that the extension rule puts in place of
  // the confirmed name is not replaced unasked.
  if (target.names.path != chosen.path &&
      QFileInfo::exists(QString::fromStdString(target.names.path)) &&
      m_runtime.services().AskOkCancel(kReplaceQuestionStart + target.names.name +
                                       kReplaceQuestionEnd) != kIdOk) {
    return CommandResult::kCancelled;
  }
  settings.DataFormat = target.data_format;
  return WriteCodeFile(m_runtime.services(), m_runtime.image(), m_runtime.device(),
                       target.names.path, target.data_format, m_runtime.data_file_options());
}

}  // namespace zivivar
