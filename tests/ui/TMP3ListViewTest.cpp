// The file list: rows built only when shown, check marks, selection reporting, view styles.

#include <QHeaderView>
#include <QListView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <map>
#include <stdexcept>

#include "scan/TMP3ListModel.h"
#include "scan/TMP3ListView.h"

namespace {

TStringList ThreeColumns() { return {"0NAM=Name", "0SIZ=Size", "1TIT=Song Title"}; }

// A list of files and a row builder that counts how often each row is built.
struct TListFixture {
  TFoundFileList Files;
  TRowCache Cache;
  std::map<std::string, int> Builds;
  TMP3ListModel Model{Files, Cache};

  explicit TListFixture(int count, const TStringList& columns = ThreeColumns()) {
    for (int i = 0; i < count; ++i) {
      const std::string path = "/music/track" + std::to_string(i) + ".mp3";
      Files.push_back({path, 0});
      Cache.push_back(TRowCacheEntry{false, -1, {}});
    }
    Model.SetRowBuilder([this](const std::string& path) {
      ++Builds[path];
      return std::vector<std::string>{path.substr(7), "      1 KB", "(not available)"};
    });
    Model.SetColumns(columns);
    Model.ResetRows(count);
  }

  int TotalBuilds() const {
    int total = 0;
    for (const auto& [path, count] : Builds) total += count;
    return total;
  }
};

void ShowAndSettle(QWidget& widget) {
  widget.resize(600, 300);
  widget.show();
  QVERIFY(QTest::qWaitForWindowExposed(&widget));
  QCoreApplication::processEvents();
}

}  // namespace

class TMP3ListViewTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void OnlyPaintedRowsAreBuiltAndOnlyOnce();
  void OtherStylesBuildOnlyWhatTheyShow();
  void ModelAnswersPerRole();
  void BuilderErrorsLeaveARowOfMissingValues();
  void ClearingFlagAndRowCountGuardTheCache();
  void NoUsedColumnStillGivesSelectableRows();
  void HomeAndEndGoToFirstAndLastRowInEveryStyle();
  void BuildColumnsSetsWidthsAndAlignment();
  void ClickOnCheckBoxTogglesButElsewhereDoesNot();
  void SpaceKeyTogglesOnlyWhileChecksShow();
  void MarksSurviveHidingAndSelectAllCounts();
  void SelectionReportsSelectAndLoneDeselect();
  void StylesShareTheSelection();
  void HeaderAndRowSignals();
};

void TMP3ListViewTest::OnlyPaintedRowsAreBuiltAndOnlyOnce() {
  TListFixture list(10000);
  TMP3ListView view(&list.Model);
  ShowAndSettle(view);
  const int afterShow = list.Model.BuiltRowCount();
  QVERIFY(afterShow > 0);
  QVERIFY2(afterShow < 40, qPrintable(QString::number(afterShow)));
  QCOMPARE(list.TotalBuilds(), afterShow);

  // Repainting the same rows builds nothing again.
  view.DetailsView()->viewport()->repaint();
  QCoreApplication::processEvents();
  QCOMPARE(list.TotalBuilds(), afterShow);

  // Jumping to the end builds the rows there, not the ones in between.
  view.DetailsView()->verticalScrollBar()->setValue(view.DetailsView()->verticalScrollBar()->maximum());
  QCoreApplication::processEvents();
  view.DetailsView()->viewport()->repaint();
  QVERIFY(list.Cache.back().Built);
  QVERIFY(!list.Cache[5000].Built);
  QVERIFY(list.Model.BuiltRowCount() < 80);
  for (const auto& [path, count] : list.Builds) QCOMPARE(count, 1);
}

void TMP3ListViewTest::OtherStylesBuildOnlyWhatTheyShow() {
  for (const auto style : {TMP3ListView::TStyle::Icons, TMP3ListView::TStyle::SmallIcons,
                           TMP3ListView::TStyle::List}) {
    TListFixture list(20000);
    TMP3ListView view(&list.Model);
    view.SetViewStyle(style);
    ShowAndSettle(view);
    view.IconView()->viewport()->repaint();
    QVERIFY(list.Model.BuiltRowCount() > 0);
    QVERIFY2(list.Model.BuiltRowCount() < 400,
             qPrintable(QString::number(list.Model.BuiltRowCount())));
    QCOMPARE(view.ActiveView(), static_cast<QAbstractItemView*>(view.IconView()));
  }
}

void TMP3ListViewTest::ModelAnswersPerRole() {
  TListFixture list(3);
  TMP3ListModel& model = list.Model;
  QCOMPARE(model.columnCount(), 3);
  QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Name"));
  QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Song Title"));
  QCOMPARE(model.data(model.index(1, 0)).toString(), QStringLiteral("track1.mp3"));
  QCOMPARE(model.data(model.index(1, 2)).toString(), QStringLiteral("(not available)"));
  QVERIFY(model.data(model.index(1, 0), Qt::DecorationRole).isValid());
  QVERIFY(!model.data(model.index(1, 1), Qt::DecorationRole).isValid());
  QCOMPARE(model.data(model.index(0, 1), Qt::TextAlignmentRole).value<Qt::Alignment>() &
               Qt::AlignHorizontal_Mask,
           Qt::AlignRight);
  QCOMPARE(model.data(model.index(0, 0), Qt::TextAlignmentRole).value<Qt::Alignment>() &
               Qt::AlignHorizontal_Mask,
           Qt::AlignLeft);
  // Rows are built for display only; the check state needs no row texts.
  QCOMPARE(list.TotalBuilds(), 1);
  QVERIFY(!model.data(model.index(2, 0), Qt::CheckStateRole).isValid());
  QCOMPARE(list.TotalBuilds(), 1);
  QCOMPARE(model.PathOfRow(2), std::string("/music/track2.mp3"));
  QCOMPARE(model.CaptionOfRow(2), QStringLiteral("track2.mp3"));
  QCOMPARE(model.PathOfRow(3), std::string());
  // New columns: the rows are built again, for the new columns.
  model.SetColumns({"1TIT=Song Title"});
  QCOMPARE(model.BuiltRowCount(), 0);
  QCOMPARE(model.rowCount(), 3);
  QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Song Title"));
  model.data(model.index(2, 0));
  QCOMPARE(list.Builds["/music/track2.mp3"], 2);
  // Sorting is the owner's: neither -1 nor a real column changes the order.
  model.sort(-1);
  model.sort(0, Qt::DescendingOrder);
  QCOMPARE(model.PathOfRow(0), std::string("/music/track0.mp3"));
  QCOMPARE(list.Files.front().Path, std::string("/music/track0.mp3"));
}

void TMP3ListViewTest::BuilderErrorsLeaveARowOfMissingValues() {
  TListFixture list(2);
  int calls = 0;
  list.Model.SetRowBuilder([&calls](const std::string&) -> std::vector<std::string> {
    ++calls;
    throw std::runtime_error("unreadable");
  });
  const QModelIndex cell = list.Model.index(0, 1);
  QCOMPARE(list.Model.data(cell).toString(), QStringLiteral("(not available)"));
  QCOMPARE(list.Model.data(cell).toString(), QStringLiteral("(not available)"));
  QCOMPARE(calls, 1);
  QVERIFY(list.Cache[0].Built);

  // A builder giving fewer texts than columns leaves the rest empty, never out of range.
  list.Model.SetRowBuilder([](const std::string&) { return std::vector<std::string>{"only"}; });
  QCOMPARE(list.Model.data(list.Model.index(1, 0)).toString(), QStringLiteral("only"));
  QCOMPARE(list.Model.data(list.Model.index(1, 2)).toString(), QString());
}

void TMP3ListViewTest::ClearingFlagAndRowCountGuardTheCache() {
  TListFixture list(5);
  list.Model.SetRowsBeingCleared(true);
  QVERIFY(!list.Model.data(list.Model.index(0, 0)).isValid());
  QCOMPARE(list.Model.CaptionOfRow(0), QString());
  QCOMPARE(list.TotalBuilds(), 0);
  list.Model.SetRowsBeingCleared(false);

  // The owner empties the cache before it says so: the model must not reach past it.
  list.Cache.resize(2);
  QVERIFY(!list.Model.data(list.Model.index(3, 0)).isValid());
  list.Model.ResetRows(5);
  QCOMPARE(list.Model.rowCount(), 2);
  list.Model.ResetRows(0);
  QCOMPARE(list.Model.rowCount(), 0);
  list.Model.ResetRows(-3);
  QCOMPARE(list.Model.rowCount(), 0);
}

void TMP3ListViewTest::NoUsedColumnStillGivesSelectableRows() {
  TListFixture list(3, {});
  list.Model.SetRowBuilder([](const std::string&) { return std::vector<std::string>{}; });
  QCOMPARE(list.Model.columnCount(), 1);
  QCOMPARE(list.Model.data(list.Model.index(0, 0)).toString(), QString());
  TMP3ListView view(&list.Model);
  ShowAndSettle(view);
  view.SelectRow(2);
  QCOMPARE(view.CurrentRow(), 2);
  // The stand-in column has an empty caption, not a section number.
  QCOMPARE(list.Model.headerData(0, Qt::Horizontal).toString(), QString());
}

void TMP3ListViewTest::HomeAndEndGoToFirstAndLastRowInEveryStyle() {
  TListFixture list(50);
  TMP3ListView view(&list.Model);
  ShowAndSettle(view);
  for (const auto style : {TMP3ListView::TStyle::Details, TMP3ListView::TStyle::Icons,
                           TMP3ListView::TStyle::SmallIcons, TMP3ListView::TStyle::List}) {
    view.SetViewStyle(style);
    for (const Qt::KeyboardModifiers modifiers : {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::ControlModifier)}) {
      view.SelectRow(20);
      QTest::keyClick(view.ActiveView(), Qt::Key_End, modifiers);
      QCOMPARE(view.CurrentRow(), 49);
      QCOMPARE(view.SelectedRow(), 49);
      QTest::keyClick(view.ActiveView(), Qt::Key_Home, modifiers);
      QCOMPARE(view.CurrentRow(), 0);
      QCOMPARE(view.SelectedRow(), 0);
    }
  }
}

void TMP3ListViewTest::BuildColumnsSetsWidthsAndAlignment() {
  TListFixture list(1);
  TMP3ListView view(&list.Model);
  view.BuildColumns({"0NAM=File", "0LOC=Location", "0SIZ=Size", "TIT2=Title", "0NAMX"});
  QHeaderView* header = view.DetailsView()->horizontalHeader();
  QCOMPARE(header->count(), 5);
  QCOMPARE(header->sectionSize(0), 250);
  QCOMPARE(header->sectionSize(1), 220);
  QCOMPARE(header->sectionSize(2), 120);
  QCOMPARE(header->sectionSize(3), 150);
  // A short line still names its column by what stands from the sixth character on.
  QCOMPARE(header->sectionSize(4), 250);
  QCOMPARE(list.Model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("File"));
  QCOMPARE(list.Model.headerData(4, Qt::Horizontal).toString(), QString());
  QCOMPARE(list.Model.headerData(2, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>() &
               Qt::AlignHorizontal_Mask,
           Qt::AlignRight);
  QCOMPARE(view.DetailsView()->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
}

void TMP3ListViewTest::ClickOnCheckBoxTogglesButElsewhereDoesNot() {
  TListFixture list(5);
  TMP3ListView view(&list.Model);
  ShowAndSettle(view);
  QSignalSpy changed(&view, &TMP3ListView::CheckMarksChanged);
  QWidget* viewport = view.DetailsView()->viewport();

  // Hidden boxes: a click where the box would be changes nothing.
  view.SetChecksVisible(false);
  const QPoint boxCentre = view.CheckBoxRect(1).center();
  QTest::mouseClick(viewport, Qt::LeftButton, {}, boxCentre);
  QCOMPARE(list.Files[1].Checked, 0);

  view.SetChecksVisible(true);
  QCOMPARE(list.Model.data(list.Model.index(1, 0), Qt::CheckStateRole).value<Qt::CheckState>(),
           Qt::Unchecked);
  QTest::mouseClick(viewport, Qt::LeftButton, {}, view.CheckBoxRect(1).center());
  QCOMPARE(list.Files[1].Checked, 1);
  QCOMPARE(changed.count(), 1);
  QCOMPARE(list.Model.data(list.Model.index(1, 0), Qt::CheckStateRole).value<Qt::CheckState>(),
           Qt::Checked);

  // A click on the row's text or another column selects it but leaves the mark alone.
  const QRect nameCell = view.DetailsView()->visualRect(list.Model.index(2, 0));
  QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(nameCell.right() - 10, nameCell.center().y()));
  const QRect sizeCell = view.DetailsView()->visualRect(list.Model.index(2, 1));
  QTest::mouseClick(viewport, Qt::LeftButton, {}, sizeCell.center());
  QCOMPARE(list.Files[2].Checked, 0);
  QCOMPARE(view.CurrentRow(), 2);

  // The right button never toggles.
  QTest::mouseClick(viewport, Qt::RightButton, {}, view.CheckBoxRect(3).center());
  QCOMPARE(list.Files[3].Checked, 0);

  QTest::mouseClick(viewport, Qt::LeftButton, {}, view.CheckBoxRect(1).center());
  QCOMPARE(list.Files[1].Checked, 0);
  QCOMPARE(changed.count(), 2);

  // A double click on a box does not open the file; on the rest of the row it does.
  QSignalSpy opened(&view, &TMP3ListView::RowDoubleClicked);
  QTest::mouseClick(viewport, Qt::LeftButton, {}, view.CheckBoxRect(4).center());
  QTest::mouseDClick(viewport, Qt::LeftButton, {}, view.CheckBoxRect(4).center());
  QCOMPARE(opened.count(), 0);
  QTest::mouseClick(viewport, Qt::LeftButton, {}, sizeCell.center());
  QTest::mouseDClick(viewport, Qt::LeftButton, {}, sizeCell.center());
  QCOMPARE(opened.count(), 1);
}

void TMP3ListViewTest::SpaceKeyTogglesOnlyWhileChecksShow() {
  TListFixture list(4);
  TMP3ListView view(&list.Model);
  ShowAndSettle(view);
  QTableView* table = view.DetailsView();
  table->setFocus();
  view.SelectRow(2);
  // The current cell may lie in any column: the row's mark is what the key flips.
  table->selectionModel()->setCurrentIndex(list.Model.index(2, 2), QItemSelectionModel::NoUpdate);

  QTest::keyClick(table, Qt::Key_Space);
  QCOMPARE(list.Files[2].Checked, 0);

  view.SetChecksVisible(true);
  QSignalSpy changed(&view, &TMP3ListView::CheckMarksChanged);
  QTest::keyClick(table, Qt::Key_Space);
  QCOMPARE(list.Files[2].Checked, 1);
  QTest::keyClick(table, Qt::Key_Space);
  QCOMPARE(list.Files[2].Checked, 0);
  QCOMPARE(changed.count(), 2);

  // No current row: nothing to flip.
  table->selectionModel()->clearCurrentIndex();
  QTest::keyClick(table, Qt::Key_Space);
  for (const auto& file : list.Files) QCOMPARE(file.Checked, 0);
}

void TMP3ListViewTest::MarksSurviveHidingAndSelectAllCounts() {
  TListFixture list(6);
  list.Model.SetChecksVisible(true);
  QVERIFY(list.Model.ToggleCheck(0));
  QVERIFY(list.Model.ToggleCheck(4));
  QVERIFY(!list.Model.ToggleCheck(6));
  QCOMPARE(list.Model.CheckedCount(), 2);

  list.Model.SetChecksVisible(false);
  QVERIFY(!list.Model.data(list.Model.index(0, 0), Qt::CheckStateRole).isValid());
  QVERIFY(!(list.Model.flags(list.Model.index(0, 0)) & Qt::ItemIsUserCheckable));
  QVERIFY(!list.Model.ToggleCheck(1));
  QVERIFY(!list.Model.setData(list.Model.index(1, 0), Qt::Checked, Qt::CheckStateRole));
  QCOMPARE(list.Files[1].Checked, 0);

  list.Model.SetChecksVisible(true);
  QCOMPARE(list.Model.data(list.Model.index(4, 0), Qt::CheckStateRole).value<Qt::CheckState>(),
           Qt::Checked);
  QCOMPARE(list.Model.CheckedCount(), 2);

  QSignalSpy changed(&list.Model, &TMP3ListModel::CheckMarksChanged);
  list.Model.SetAllChecks(1);
  QCOMPARE(list.Model.CheckedCount(), 6);
  list.Model.SetAllChecks(0);
  QCOMPARE(list.Model.CheckedCount(), 0);
  QCOMPARE(changed.count(), 2);
  // Setting a mark to what it already is does not count as a change.
  QVERIFY(list.Model.setData(list.Model.index(3, 0), Qt::Unchecked, Qt::CheckStateRole));
  QCOMPARE(changed.count(), 2);
}

void TMP3ListViewTest::SelectionReportsSelectAndLoneDeselect() {
  TListFixture list(5);
  TMP3ListView view(&list.Model);
  ShowAndSettle(view);
  QSignalSpy spy(&view, &TMP3ListView::RowSelectionChanged);

  view.SelectRow(1);
  QCOMPARE(spy.count(), 1);
  QCOMPARE(spy.at(0).at(0).toInt(), 1);
  QCOMPARE(spy.at(0).at(1).toBool(), true);

  // Moving the selection reports the new row only, not a deselection in between.
  view.SelectRow(3);
  QCOMPARE(spy.count(), 2);
  QCOMPARE(spy.at(1).at(0).toInt(), 3);
  QCOMPARE(spy.at(1).at(1).toBool(), true);
  QCOMPARE(view.SelectedRow(), 3);

  view.SelectRow(-1);
  QCOMPARE(spy.count(), 3);
  QCOMPARE(spy.at(2).at(0).toInt(), 3);
  QCOMPARE(spy.at(2).at(1).toBool(), false);
  QCOMPARE(view.SelectedRow(), -1);
}

void TMP3ListViewTest::StylesShareTheSelection() {
  TListFixture list(50);
  TMP3ListView view(&list.Model);
  ShowAndSettle(view);
  view.SelectRow(7);
  for (const auto style : {TMP3ListView::TStyle::Icons, TMP3ListView::TStyle::SmallIcons,
                           TMP3ListView::TStyle::List, TMP3ListView::TStyle::Details}) {
    view.SetViewStyle(style);
    QCOMPARE(view.ViewStyle(), style);
    QCOMPARE(view.CurrentRow(), 7);
    QCOMPARE(view.ActiveView()->currentIndex().row(), 7);
  }
  view.SetViewStyle(TMP3ListView::TStyle::Icons);
  const int large = view.style()->pixelMetric(QStyle::PM_LargeIconSize);
  QCOMPARE(view.IconView()->iconSize(), QSize(large, large));
  QCOMPARE(view.IconView()->viewMode(), QListView::IconMode);
  view.SetViewStyle(TMP3ListView::TStyle::List);
  const int small = view.style()->pixelMetric(QStyle::PM_SmallIconSize);
  QCOMPARE(view.IconView()->iconSize(), QSize(small, small));
  QCOMPARE(view.IconView()->flow(), QListView::TopToBottom);
  view.SetViewStyle(TMP3ListView::TStyle::SmallIcons);
  QCOMPARE(view.IconView()->flow(), QListView::LeftToRight);
  QCOMPARE(view.IconView()->viewMode(), QListView::ListMode);
}

void TMP3ListViewTest::HeaderAndRowSignals() {
  TListFixture list(5);
  TMP3ListView view(&list.Model);
  ShowAndSettle(view);
  QSignalSpy headerClicks(&view, &TMP3ListView::HeaderClicked);
  QSignalSpy doubleClicks(&view, &TMP3ListView::RowDoubleClicked);
  QSignalSpy rowMenus(&view, &TMP3ListView::RowContextMenuRequested);
  QSignalSpy headerMenus(&view, &TMP3ListView::HeaderContextMenuRequested);

  QHeaderView* header = view.DetailsView()->horizontalHeader();
  const int x = header->sectionViewportPosition(1) + header->sectionSize(1) / 2;
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
  QCOMPARE(headerClicks.count(), 1);
  QCOMPARE(headerClicks.at(0).at(0).toInt(), 1);
  // The header never sorts the model by itself.
  QCOMPARE(list.Model.PathOfRow(0), std::string("/music/track0.mp3"));

  Q_EMIT header->customContextMenuRequested(QPoint(x, 2));
  QCOMPARE(headerMenus.count(), 1);

  const QRect cell = view.DetailsView()->visualRect(list.Model.index(3, 1));
  // A double click follows a first click on the same row.
  QTest::mouseClick(view.DetailsView()->viewport(), Qt::LeftButton, {}, cell.center());
  QTest::mouseDClick(view.DetailsView()->viewport(), Qt::LeftButton, {}, cell.center());
  QCOMPARE(doubleClicks.count(), 1);
  QCOMPARE(doubleClicks.at(0).at(0).toInt(), 3);

  Q_EMIT view.DetailsView()->customContextMenuRequested(cell.center());
  QCOMPARE(rowMenus.count(), 1);
  QCOMPARE(rowMenus.at(0).at(0).toInt(), 3);
  // Below the last row there is no file to offer a menu for.
  Q_EMIT view.DetailsView()->customContextMenuRequested(QPoint(5, view.DetailsView()->viewport()->height() - 2));
  QCOMPARE(rowMenus.count(), 1);
}

QTEST_MAIN(TMP3ListViewTest)
#include "TMP3ListViewTest.moc"
