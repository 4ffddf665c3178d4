#pragma once
// A small read-only window with one file's properties: path, type, size, dates, attributes.

#include <QDialog>
#include <QString>

class QFormLayout;

class TfrmFileProperties : public QDialog {
  Q_OBJECT

 public:
  TfrmFileProperties(const QString& path, QWidget* owner);

  // The shown value of a row by its label ("Size:"), empty when there is no such row; for tests.
  QString ValueOf(const QString& label) const;

 private:
  void AddRow(const QString& label, const QString& value);

  QFormLayout* Form_;
};
