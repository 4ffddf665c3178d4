#pragma once
// The one crossing between the core's byte strings and Qt's QString.
// Texts of the core are UTF-8; paths are the file system's bytes.

#include <QFile>
#include <QString>
#include <QStringList>
#include <string>
#include <string_view>
#include <vector>

// Text for display: UTF-8 decoded, invalid bytes shown as U+FFFD.
inline QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string ToStdString(const QString& text) {
  const QByteArray bytes = text.toUtf8();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// Paths: the file system's encoding, as Qt's own file classes use it.
inline QString PathToQString(std::string_view path) {
  return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

inline std::string QStringToPath(const QString& path) {
  const QByteArray bytes = QFile::encodeName(path);
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

inline QStringList ToQStringList(const std::vector<std::string>& texts) {
  QStringList result;
  result.reserve(static_cast<qsizetype>(texts.size()));
  for (const auto& t : texts) result.append(ToQString(t));
  return result;
}

inline std::vector<std::string> ToStdStrings(const QStringList& texts) {
  std::vector<std::string> result;
  result.reserve(static_cast<std::size_t>(texts.size()));
  for (const auto& t : texts) result.push_back(ToStdString(t));
  return result;
}
