#pragma once
// The application object: its notify() is where every event is dispatched, so an exception that
// no handler caught ends up here and is shown in the general error box instead of ending the
// program.

#include <QApplication>

class TSonarvexApplication : public QApplication {
  Q_OBJECT

 public:
  TSonarvexApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;

  // Points Qt's user-scope settings (where its file dialogs keep their history) at the program
  // folder. Done by the constructor.
  static void KeepQtSettingsInDataFolder();

  // Shows the message in a box titled with the application title; the program goes on.
  static void ShowException(const QString& message);
};
