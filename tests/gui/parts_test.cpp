// The result list model, the control kinds' extra events and the file-dialog filter text.

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "gui/app/controls.h"
#include "gui/platform/file_dialog.h"
#include "gui/results/result_list_model.h"

namespace xyx {

class PartsTest : public QObject {
  Q_OBJECT

 private slots:
  void modelAppendsReadsWritesAndClears();
  void modelOutOfRangeIsQuiet();
  void searchButtonReportsRightPress();
  void listReportsClicksAfterSelecting();
  void nameFilters_data();
  void nameFilters();
  void initialDirectoryMapsIntoWinePrefix();
};

namespace {

ResultRow Row(const QString& name, std::int64_t value) {
  return ResultRow{
      {name, QStringLiteral("1 GB"), QStringLiteral("actor"), QStringLiteral("qvod://") + name},
      0,
      value};
}

}  // namespace

void PartsTest::modelAppendsReadsWritesAndClears() {
  ResultListModel model;
  QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
  QCOMPARE(model.AppendRow(Row(QStringLiteral("a"), 1)), 0);
  std::vector<ResultRow> batch;
  const std::int64_t big = std::int64_t{5} << 30;  // beyond 32 bits
  batch.push_back(Row(QStringLiteral("b"), big));
  batch.push_back(Row(QStringLiteral("c"), 3));
  model.AppendRows(std::move(batch));
  QCOMPARE(inserted.count(), 2);
  QCOMPARE(inserted.at(1).at(1).toInt(), 1);
  QCOMPARE(inserted.at(1).at(2).toInt(), 2);

  QCOMPARE(model.rowCount(), 3);
  QCOMPARE(model.CellText(1, 0), QStringLiteral("b"));
  QCOMPARE(model.CellText(1, 3), QStringLiteral("qvod://b"));
  QCOMPARE(model.RowValue(1), big);
  QCOMPARE(model.data(model.index(1, 0), ResultListModel::kValueRole).toLongLong(), big);

  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
  model.SetCellText(2, 2, QStringLiteral("someone"));
  QCOMPARE(model.CellText(2, 2), QStringLiteral("someone"));
  QCOMPARE(model.data(model.index(2, 2)).toString(), QStringLiteral("someone"));
  QCOMPARE(changed.count(), 1);

  model.SetColumnTitle(0, QStringLiteral("资源 >> 正在搜索中.."));
  QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("资源 >> 正在搜索中.."));

  model.Clear();
  QCOMPARE(model.rowCount(), 0);
  QCOMPARE(model.ColumnTitle(0), QStringLiteral("资源 >> 正在搜索中.."));
}

void PartsTest::modelOutOfRangeIsQuiet() {
  ResultListModel model;
  model.AppendRow(Row(QStringLiteral("a"), 1));
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
  for (const auto& [row, column] : {std::pair{-1, 0}, {1, 0}, {0, 4}, {0, -1}}) {
    QVERIFY(model.CellText(row, column).isEmpty());
    model.SetCellText(row, column, QStringLiteral("x"));
  }
  QCOMPARE(changed.count(), 0);
  QCOMPARE(model.RowValue(5), 0);
  QVERIFY(model.ColumnTitle(7).isEmpty());
  model.AppendRows({});
  QCOMPARE(model.rowCount(), 1);
}

void PartsTest::searchButtonReportsRightPress() {
  SearchButton button(QStringLiteral("搜  索 >>"));
  button.resize(159, 32);
  button.show();
  QVERIFY(QTest::qWaitForWindowExposed(&button));
  QSignalSpy right(&button, &SearchButton::rightPressed);
  QSignalSpy clicked(&button, &QAbstractButton::clicked);
  QTest::mousePress(&button, Qt::RightButton);
  QCOMPARE(right.count(), 1);
  QTest::mouseRelease(&button, Qt::RightButton);
  QCOMPARE(clicked.count(), 0);
  QTest::mouseClick(&button, Qt::LeftButton);
  QCOMPARE(right.count(), 1);
  QCOMPARE(clicked.count(), 1);
}

void PartsTest::listReportsClicksAfterSelecting() {
  ResultListModel model;
  for (int i = 0; i < 3; ++i) model.AppendRow(Row(QString::number(i), i));
  ResultListView view;
  view.setRootIsDecorated(false);
  view.setSelectionMode(QAbstractItemView::SingleSelection);
  view.setSelectionBehavior(QAbstractItemView::SelectRows);
  view.setModel(&model);
  view.resize(400, 300);
  view.show();
  QVERIFY(QTest::qWaitForWindowExposed(&view));
  QCOMPARE(view.CurrentRow(), -1);

  int rowAtSignal = -2;
  QObject::connect(&view, &ResultListView::rightClicked, [&] { rowAtSignal = view.CurrentRow(); });
  const QPoint second = view.visualRect(model.index(2, 1)).center();
  QTest::mouseClick(view.viewport(), Qt::RightButton, Qt::NoModifier, second);
  QCOMPARE(rowAtSignal, 2);

  QSignalSpy doubled(&view, &ResultListView::listDoubleClicked);
  QTest::mouseDClick(view.viewport(), Qt::LeftButton, Qt::NoModifier,
                     view.visualRect(model.index(1, 0)).center());
  QCOMPARE(doubled.count(), 1);
  QCOMPARE(view.CurrentRow(), 1);

  view.SetCurrentRow(0);
  QCOMPARE(view.CurrentRow(), 0);
  view.SetCurrentRow(-1);
  QCOMPARE(view.CurrentRow(), -1);
}

void PartsTest::nameFilters_data() {
  QTest::addColumn<QString>("filter");
  QTest::addColumn<QStringList>("expected");
  QTest::newRow("player") << "快播主程序(QvodPlayer.exe)|QvodPlayer.exe|程序文件|*.exe|全部文件|*.*"
                          << QStringList{"快播主程序(QvodPlayer.exe) (QvodPlayer.exe)",
                                         "程序文件 (*.exe)", "全部文件 (*.*)"};
  QTest::newRow("several patterns") << "图片|*.png;*.jpg" << QStringList{"图片 (*.png *.jpg)"};
  QTest::newRow("dangling description") << "文本|*.txt|其他" << QStringList{"文本 (*.txt)"};
  QTest::newRow("empty") << "" << QStringList{};
}

void PartsTest::nameFilters() {
  QFETCH(QString, filter);
  QFETCH(QStringList, expected);
  QCOMPARE(ToQtNameFilters(filter), expected);
}

void PartsTest::initialDirectoryMapsIntoWinePrefix() {
  QTemporaryDir prefix;
  QVERIFY(prefix.isValid());
  QVERIFY(QDir(prefix.path()).mkpath(QStringLiteral("drive_c/Program Files/QvodPlayer")));
  qputenv("WINEPREFIX", prefix.path().toUtf8());
  QCOMPARE(LocalInitialDirectory(QStringLiteral("C:\\Program Files\\QvodPlayer")),
           prefix.path() + QStringLiteral("/drive_c/Program Files/QvodPlayer"));
  // Missing in the prefix, or not a directory path at all: the home directory.
  QCOMPARE(LocalInitialDirectory(QStringLiteral("D:\\Games")), QDir::homePath());
  QCOMPARE(LocalInitialDirectory(QStringLiteral("/no/such/dir")), QDir::homePath());
  QCOMPARE(LocalInitialDirectory(prefix.path()), prefix.path());
  qunsetenv("WINEPREFIX");
}

}  // namespace xyx

QTEST_MAIN(xyx::PartsTest)
#include "parts_test.moc"
