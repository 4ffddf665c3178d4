#pragma once
// Keeps the file list usable whatever sizes the panes were given: when the window becomes smaller
// (restored from maximised, or stored pane sizes from a larger window), the bottom pages and the
// Explorer Bar give up room before the list loses it.

#include <QObject>

class QSplitter;

class TPaneLimits : public QObject {
  Q_OBJECT

 public:
  static constexpr int MinListExtent = 100;     // list height, and list width beside the Explorer Bar
  static constexpr int MinExplorerWidth = 120;  // the Explorer Bar gives up room down to this

  // leftClient: Explorer Bar | rest; clientBottom: list / bottom pages. Both must outlive this.
  TPaneLimits(QSplitter* leftClient, QSplitter* clientBottom, QObject* parent);

  // Largest bottom pages height that leaves the list its room (a smaller wish stays as it is).
  static int ClampPagesHeight(int total, int wanted);
  // Largest Explorer Bar width that leaves the list its room, but never below MinExplorerWidth.
  static int ClampExplorerWidth(int total, int wanted);

  // Applies both limits to the splitters' current sizes.
  void Apply();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QSplitter* leftClient_;
  QSplitter* clientBottom_;
  bool pending_ = false;
};
