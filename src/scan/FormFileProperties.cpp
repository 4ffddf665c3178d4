#include "scan/FormFileProperties.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QStringList>
#include <QVBoxLayout>

#include "app/ByteString.h"
#include "scan/TFileShellActions.h"

namespace {

QString TimeText(const QDateTime& time) {
  if (!time.isValid()) return QStringLiteral("(not available)");
  return QLocale().toString(time.toLocalTime(), QLocale::LongFormat);
}

QString SizeText(qint64 bytes) {
  const QLocale locale;
  return locale.toString(bytes) % QStringLiteral(" bytes (") % locale.formattedDataSize(bytes) %
         QStringLiteral(")");
}

// The same words the list uses, worked out for this platform.
QString AttributesText(const QFileInfo& info) {
  QStringList words;
  if (!info.permission(QFileDevice::WriteOwner)) words << QStringLiteral("ReadOnly");
  if (info.fileName().startsWith(QLatin1Char('.'))) words << QStringLiteral("Hidden");
  if (!info.isFile() && !info.isDir()) words << QStringLiteral("System");
  if (info.isDir()) words << QStringLiteral("Directory");
  return words.isEmpty() ? QStringLiteral("(none)") : words.join(QStringLiteral(" + "));
}

QString PermissionsText(const QFileInfo& info) {
  static const struct {
    QFileDevice::Permission Bit;
    char Letter;
  } bits[] = {{QFileDevice::ReadOwner, 'r'}, {QFileDevice::WriteOwner, 'w'},
              {QFileDevice::ExeOwner, 'x'},  {QFileDevice::ReadGroup, 'r'},
              {QFileDevice::WriteGroup, 'w'}, {QFileDevice::ExeGroup, 'x'},
              {QFileDevice::ReadOther, 'r'}, {QFileDevice::WriteOther, 'w'},
              {QFileDevice::ExeOther, 'x'}};
  QString text;
  const QFileDevice::Permissions permissions = info.permissions();
  for (const auto& bit : bits) {
    text += permissions.testFlag(bit.Bit) ? QLatin1Char(bit.Letter) : QLatin1Char('-');
  }
  return text % QStringLiteral("  (") % info.owner() % QLatin1Char(':') % info.group() %
         QLatin1Char(')');
}

}  // namespace

TfrmFileProperties::TfrmFileProperties(const QString& path, QWidget* owner)
    : QDialog(owner), Form_(new QFormLayout) {
  setObjectName(QStringLiteral("frmFileProperties"));
  const QFileInfo info(path);
  setWindowTitle(info.fileName() % QStringLiteral(" Properties"));
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(Form_);

  AddRow(QStringLiteral("Name:"), info.fileName());
  AddRow(QStringLiteral("Location:"), QDir::toNativeSeparators(info.absolutePath()));
  if (!info.exists()) {
    AddRow(QStringLiteral("Status:"), QStringLiteral("The file no longer exists."));
  } else {
    const QString type = ToQString(MimeTypeDescription(QStringToPath(path)));
    AddRow(QStringLiteral("Type:"), type.isEmpty() ? QStringLiteral("(unknown)") : type);
    if (info.isSymLink()) AddRow(QStringLiteral("Link to:"), info.symLinkTarget());
    AddRow(QStringLiteral("Size:"), SizeText(info.size()));
    AddRow(QStringLiteral("Created:"), TimeText(info.birthTime()));
    AddRow(QStringLiteral("Modified:"), TimeText(info.lastModified()));
    AddRow(QStringLiteral("Accessed:"), TimeText(info.lastRead()));
    AddRow(QStringLiteral("Attributes:"), AttributesText(info));
    AddRow(QStringLiteral("Permissions:"), PermissionsText(info));
  }

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmFileProperties::AddRow(const QString& label, const QString& value) {
  auto* field = new QLabel(value, this);
  field->setTextFormat(Qt::PlainText);
  field->setTextInteractionFlags(Qt::TextSelectableByMouse);
  field->setObjectName(label);
  Form_->addRow(label, field);
}

QString TfrmFileProperties::ValueOf(const QString& label) const {
  const auto* field = findChild<QLabel*>(label, Qt::FindDirectChildrenOnly);
  return field != nullptr ? field->text() : QString();
}
