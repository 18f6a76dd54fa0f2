// The result list's handlers on the real window: column sorting, playback in an external
// player, the address hint, copy and export, and locating a row within the results.

#include <sys/stat.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "core/platform/registry_store.h"
#include "core/results/playback.h"
#include "core/search/protocol.h"
#include "core/text/encoding.h"
#include "core/web/http_session.h"
#include "gui/app/local_text_qt.h"
#include "gui/app/main_window.h"
#include "gui/platform/clipboard.h"
#include "gui/platform/file_dialog.h"
#include "gui/platform/message_box.h"
#include "gui/results/playback.h"
#include "gui/results/sorting.h"
#include "gui/search/search_command.h"
#include "service_process.h"

namespace xyx {

namespace {

const QString kNotFound = QStringLiteral("结果内找不到！你可以换个词，可以使用通配符 * ? |");
const QString kHintPrefix = QStringLiteral("右击可复制该资源地址：");
const QString kCopied = QStringLiteral(
    "已复制该资源的快播地址。可以到快播‘网络任务’栏右键‘添加网络任务’粘贴本地址即可播放！");
const QString kPlaying = QStringLiteral("已双击启动快播，正在播放影片！");

ResultRow Row(const QString& name, const QString& actor, const QString& address,
              std::int64_t value = 0) {
  return ResultRow{{name, QString::number(value) + QStringLiteral(" B"), actor, address}, 0, value};
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

ino_t Inode(const QString& path) {
  struct stat info {};
  return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

}  // namespace

class ResultsTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void sortBySizeFromASearchAlternatesAndMovesRowsWhole();
  void headerClicksShareOneDirection();
  void emptyListStillFlipsTheDirection();
  void sortRefusesWhatItCannotSort();

  void firstActivationReadsTheStoredPlayer();
  void noPlayerFoundAsksForOneAndStoresItOnce();
  void playerGetsOnePlaylistPerDoubleClick();
  void storedPathWithIconSuffixFallsBackToTheDefault();
  void doubleClickWithoutARowDoesNothing();

  void hintFollowsTheCurrentRow();
  void rightClickCopiesTheCurrentAddress();
  void exportWritesAddressesInDisplayOrder();
  void exportFailureLeavesNoFile();

  void locateStepsThroughMatchesAndWraps();
  void locateNotFoundKeepsTheSelection();
  void locateScrollsTheRowIntoView();

 private:
  void StartService(const QByteArray& catalogue);
  void ClickHeader(int column);
  void FillRows(std::vector<ResultRow> rows);
  void DoubleClickRow(int row);
  void RightPressSearchButton(const QString& text);
  QString WriteFakePlayer();

  std::unique_ptr<QTemporaryDir> dir_;
  ServiceProcess service_;
  std::unique_ptr<AppState> state_;
  std::unique_ptr<MainWindow> window_;
  QString tmp_;
  QString config_;
};

void ResultsTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
  // The player's stored path and the playlists go into this test's own directories.
  config_ = dir_->filePath(QStringLiteral("config"));
  tmp_ = dir_->filePath(QStringLiteral("tmp"));
  QVERIFY(QDir().mkpath(tmp_));
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_));
  qputenv("TMPDIR", QFile::encodeName(tmp_));
  MessageBox::resetHooks();
  FileDialog::instance()->resetHooks();
  Clipboard::setRecording(true);
  Clipboard::SetText(QStringLiteral("before"));

  state_ = std::make_unique<AppState>();
  state_->httpSession = std::make_unique<HttpSession>();
  window_ = std::make_unique<MainWindow>(*state_);
  window_->show();
  QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void ResultsTest::cleanup() {
  window_.reset();
  state_.reset();
  service_.Stop();
  dir_.reset();
}

void ResultsTest::StartService(const QByteArray& catalogue) {
  QByteArray error;
  const QString host = service_.Start(dir_->path(), catalogue, {}, error);
  QVERIFY2(!host.isEmpty(), error.constData());
  window_->searchCommand()->SetServiceAddress(ServiceAddress(host.toStdString()));
}

void ResultsTest::ClickHeader(int column) {
  QHeaderView* header = window_->resultList()->header();
  const QPoint at(header->sectionViewportPosition(column) + 10, header->height() / 2);
  QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

void ResultsTest::FillRows(std::vector<ResultRow> rows) {
  window_->resultModel()->Clear();
  window_->resultModel()->AppendRows(std::move(rows));
}

void ResultsTest::DoubleClickRow(int row) {
  ResultListView* list = window_->resultList();
  const QPoint at = list->visualRect(window_->resultModel()->index(row, 0)).center();
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

void ResultsTest::RightPressSearchButton(const QString& text) {
  window_->searchEdit()->setText(text);
  QTest::mousePress(window_->searchButton(), Qt::RightButton);
  QTest::mouseRelease(window_->searchButton(), Qt::RightButton);
}

// A player that records its arguments and the playlist it was given, one file per run.
QString ResultsTest::WriteFakePlayer() {
  const QString record = dir_->filePath(QStringLiteral("runs"));
  QDir().mkpath(record);
  const QString path = dir_->filePath(QStringLiteral("player"));
  QFile script(path);
  if (!script.open(QIODevice::WriteOnly)) return {};
  script.write(QStringLiteral("#!/bin/sh\n"
                              "out=\"%1/$$\"\n"
                              "{ echo \"$#\"; printf '%s\\n' \"$@\"; } > \"$out.args\"\n"
                              "cat \"$1\" > \"$out.content\"\n"
                              "mv \"$out.args\" \"$out.done\"\n")
                   .arg(record)
                   .toUtf8());
  script.close();
  script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  return path;
}

void ResultsTest::sortBySizeFromASearchAlternatesAndMovesRowsWhole() {
  StartService(
      "1536\tHASHA\t演员甲\t排序 小\t0\n"
      "734003200\tHASHB\t演员乙\t排序 中\t1\n"
      "5368709120\tHASHC\t演员丙\t排序 大\t2\n"
      "2147483648\tHASHD\t演员丁\t排序 二\t3\n"
      "4294967296\tHASHE\t演员戊\t排序 四\t4\n"
      "1536\tHASHF\t演员己\t排序 同\t5\n");
  window_->searchEdit()->setText(QStringLiteral("排序"));
  QTest::mouseClick(window_->searchButton(), Qt::LeftButton);
  ResultListModel* model = window_->resultModel();
  QTRY_COMPARE(model->rowCount(), 6);
  // Texts by value, to see that each row moved whole.
  QMap<QString, QStringList> byHash;
  for (int row = 0; row < 6; ++row) {
    const QString address = model->CellText(row, 3);
    byHash[address.section('|', 1, 1)] = {model->CellText(row, 0), model->CellText(row, 1),
                                          model->CellText(row, 2),
                                          QString::number(model->RowValue(row))};
  }
  window_->resultList()->SetCurrentRow(2);

  ClickHeader(1);  // the first click sorts descending
  QCOMPARE(state_->sortAscendingNext, 1);
  QCOMPARE(window_->resultList()->CurrentRow(), -1);
  QVERIFY(!window_->resultList()->currentIndex().isValid());
  const QList<qint64> descending = {5368709120, 4294967296, 2147483648, 734003200, 1536, 1536};
  QStringList descendingHashes;
  for (int row = 0; row < 6; ++row) {
    QCOMPARE(model->RowValue(row), descending[row]);
    const QString hash = model->CellText(row, 3).section('|', 1, 1);
    descendingHashes << hash;
    QCOMPARE(byHash[hash],
             (QStringList{model->CellText(row, 0), model->CellText(row, 1), model->CellText(row, 2),
                          QString::number(model->RowValue(row))}));
  }
  // The size text of the largest row starts with a lower digit than others: the value decides.
  QCOMPARE(model->CellText(0, 1), QStringLiteral("5 GB"));
  QCOMPARE(model->CellText(1, 1), QStringLiteral("4 GB"));

  ClickHeader(1);  // ascending: equal sizes keep the order they had
  QCOMPARE(state_->sortAscendingNext, 0);
  for (int row = 0; row < 6; ++row) QCOMPARE(model->RowValue(row), descending[5 - row]);
  QCOMPARE(model->CellText(0, 3).section('|', 1, 1), descendingHashes[4]);
  QCOMPARE(model->CellText(1, 3).section('|', 1, 1), descendingHashes[5]);
  QVERIFY(model->CellText(0, 1).endsWith(QStringLiteral("KB")));
  QCOMPARE(model->CellText(2, 1), QStringLiteral("700 MB"));
}

void ResultsTest::headerClicksShareOneDirection() {
  FillRows({Row("北京", "Zoe", "qvod://1"), Row("apple", "周", "qvod://2"),
            Row("Banana", "adam", "qvod://3"), Row("阿凡达", "Bob", "qvod://4")});
  ResultListModel* model = window_->resultModel();
  auto column = [model](int c) {
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row) texts << model->CellText(row, c);
    return texts;
  };
  ClickHeader(0);  // descending by name: Han after Latin, in pinyin order
  QCOMPARE(column(0), (QStringList{"北京", "阿凡达", "Banana", "apple"}));
  ClickHeader(2);  // ascending by actor, whatever column came before
  QCOMPARE(column(2), (QStringList{"adam", "Bob", "Zoe", "周"}));
  QCOMPARE(column(0), (QStringList{"Banana", "阿凡达", "北京", "apple"}));
  ColumnHeaderClicked(*window_, 3);  // the hidden address column has no header to click
  QCOMPARE(column(3), (QStringList{"qvod://4", "qvod://3", "qvod://2", "qvod://1"}));
}

void ResultsTest::emptyListStillFlipsTheDirection() {
  ClickHeader(0);
  QCOMPARE(state_->sortAscendingNext, 1);
  FillRows({Row("b", "", "1"), Row("a", "", "2"), Row("c", "", "3")});
  ClickHeader(0);  // the second click since start sorts ascending
  QCOMPARE(window_->resultModel()->CellText(0, 0), QStringLiteral("a"));
  QCOMPARE(window_->resultModel()->CellText(2, 0), QStringLiteral("c"));
  QCOMPARE(state_->sortAscendingNext, 0);
}

void ResultsTest::sortRefusesWhatItCannotSort() {
  ResultListModel list;
  QVERIFY(!SortListByColumn(list, 0));
  list.AppendRows({Row("b", "", "x", -5), Row("a", "", "y", 3), Row("c", "", "z", -7)});
  QSignalSpy reset(&list, &QAbstractItemModel::modelReset);
  for (const auto& [column, kind] : {std::pair{-1, 0}, {4, 0}, {0, -1}, {0, 5}}) {
    QVERIFY(!SortListByColumn(list, column, 1, kind));
  }
  QCOMPARE(reset.count(), 0);
  QCOMPARE(list.CellText(0, 0), QStringLiteral("b"));
  // Negative values in numeric order too.
  QVERIFY(SortListByColumn(list, 1, 1, 3));
  QCOMPARE(list.RowValue(0), -7);
  QCOMPARE(list.RowValue(2), 3);
  // The size text read as a number ("-5 B" is -5).
  QVERIFY(SortListByColumn(list, 1, 0, 1));
  QCOMPARE(list.RowValue(0), 3);
  QCOMPARE(list.RowValue(2), -7);
}

void ResultsTest::firstActivationReadsTheStoredPlayer() {
  // A window of its own, created after the value is stored.
  const QString stored = QStringLiteral("/opt/快播/QvodPlayer");
  RegistryStore store = RegistryStore::ForCurrentUser();
  QVERIFY(WritePlayerValue(store, Utf8ToLocalText(stored.toStdString())));
  AppState state;
  MainWindow window(state);
  window.show();
  window.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&window));
  QTRY_COMPARE(FromLocal(state.playerPath), stored);
}

void ResultsTest::noPlayerFoundAsksForOneAndStoresItOnce() {
  const QString player = WriteFakePlayer();
  FillRows({Row("film", "actor", "qvod://1|H|film|")});
  window_->resultList()->SetCurrentRow(0);
  const QString status = window_->StatusText();

  MessageBox::setNextAnswer(QMessageBox::Ok);
  FileDialog::instance()->setNextFileName(player);
  DoubleClickRow(0);

  QCOMPARE(MessageBox::shownCount(), 1);
  const MessageBox::Shown shown = MessageBox::lastShown();
  QCOMPARE(shown.icon, QMessageBox::Information);
  QCOMPARE(shown.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  QCOMPARE(shown.title, QStringLiteral("程序找不到快播在哪里"));
  QCOMPARE(shown.text,
           QStringLiteral("由于程序无法自动找到快播，要想双击播放，请先手动指定快播主程序！\r\n\r\n"
                          "如果你尚未安装快播，请先安装快播，然后指定快播主程序(QvodPlayer.exe)"));
  QVERIFY(FileDialog::instance()->lastSettings().has_value());
  QCOMPARE(FileDialog::instance()->lastSettings()->title,
           QStringLiteral("指定快播主程序文件，用于双击播放快播资源"));
  // This double-click plays nothing: no playlist, no status text.
  QCOMPARE(QDir(tmp_).entryList(QDir::Files).size(), 0);
  QCOMPARE(window_->StatusText(), status);
  QCOMPARE(FromLocal(state_->playerPath), player);
  QCOMPARE(FromLocal(state_->chosenPlayerFile), player);
  const QString storeFile = QString::fromStdString(RegistryStore::DefaultPath().string());
  QCOMPARE(FromLocal(ReadPlayerValue(RegistryStore::ForCurrentUser())), player);
  const ino_t written = Inode(storeFile);
  QVERIFY(written != 0);

  // Choosing the same file again leaves the store alone (it is rewritten by replacing).
  FileDialog::instance()->setNextFileName(player);
  QTest::mouseClick(window_->playerPicture(), Qt::LeftButton);
  QCOMPARE(Inode(storeFile), written);
  // A cancelled choice changes nothing.
  FileDialog::instance()->setNextFileName(QString());
  QTest::mousePress(window_->playerLink(), Qt::LeftButton);
  QCOMPARE(FromLocal(state_->playerPath), player);
  QCOMPARE(MessageBox::shownCount(), 1);
}

void ResultsTest::playerGetsOnePlaylistPerDoubleClick() {
  const QString player = WriteFakePlayer();
  QVERIFY(WritePlayerValue(*std::make_unique<RegistryStore>(RegistryStore::ForCurrentUser()),
                           Utf8ToLocalText(player.toStdString())));
  const QString address = QStringLiteral("qvod://9|HASH|功夫 & \"拳\"|");
  FillRows({Row("功夫", "周星驰", address), Row("other", "x", "qvod://2|B|b|")});
  window_->resultList()->SetCurrentRow(0);
  DoubleClickRow(0);
  QCOMPARE(window_->StatusText(), kPlaying);
  DoubleClickRow(0);
  QCOMPARE(MessageBox::shownCount(), 0);
  QCOMPARE(FromLocal(state_->playerPath), player);

  const QDir runs(dir_->filePath(QStringLiteral("runs")));
  QTRY_COMPARE(runs.entryList({"*.done"}, QDir::Files).size(), 2);
  const QStringList playlists = QDir(tmp_).entryList(QDir::Files, QDir::Name);
  QCOMPARE(playlists.size(), 2);
  const QByteArray expected =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<qsed version=\"5.0.81.0\"><entry><ref "
      "href=\"qvod://9|HASH|" +
      QStringLiteral("功夫").toUtf8() + " &amp; &quot;" + QStringLiteral("拳").toUtf8() +
      "&quot;|\"/></entry></qsed>";
  QStringList given;
  for (const QString& done : runs.entryList({"*.done"}, QDir::Files)) {
    const QStringList args = QString::fromUtf8(ReadFile(runs.filePath(done))).split('\n');
    QCOMPARE(args.value(0), QStringLiteral("1"));  // one argument: the playlist's path
    given << args.value(1);
    QCOMPARE(ReadFile(runs.filePath(QString(done).replace(".done", ".content"))), expected);
  }
  given.sort();
  QCOMPARE(given,
           (QStringList{QDir(tmp_).filePath(playlists[0]), QDir(tmp_).filePath(playlists[1])}));
  for (const QString& name : playlists) {
    QVERIFY(QRegularExpression("^[0-9a-f]+\\.tmp\\.qsed$").match(name).hasMatch());
    QCOMPARE(QFile::permissions(QDir(tmp_).filePath(name)) & 0x7777,
             QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
  }
}

void ResultsTest::storedPathWithIconSuffixFallsBackToTheDefault() {
  if (!QStandardPaths::findExecutable(QStringLiteral("wine")).isEmpty()) {
    QSKIP("the default player is a Windows program and would start through wine");
  }
  const QString player = WriteFakePlayer();
  // The stored value names no file; the default path, relative here, names the fake player.
  QVERIFY(WritePlayerValue(*std::make_unique<RegistryStore>(RegistryStore::ForCurrentUser()),
                           Utf8ToLocalText(player.toStdString() + ",0")));
  const QString previous = QDir::currentPath();
  QVERIFY(QDir::setCurrent(dir_->path()));
  const QString defaultPath = QString::fromUtf8(kDefaultPlayerPath.data(),
                                                static_cast<qsizetype>(kDefaultPlayerPath.size()));
  QVERIFY(QFile::copy(player, defaultPath));
  FillRows({Row("a", "", "qvod://a")});
  window_->resultList()->SetCurrentRow(0);
  DoubleClickRow(0);
  QDir::setCurrent(previous);
  QCOMPARE(MessageBox::shownCount(), 0);
  QCOMPARE(FromLocal(state_->playerPath), defaultPath);
  QCOMPARE(window_->StatusText(), kPlaying);
  const QDir runs(dir_->filePath(QStringLiteral("runs")));
  QTRY_COMPARE(runs.entryList({"*.done"}, QDir::Files).size(), 1);
}

void ResultsTest::doubleClickWithoutARowDoesNothing() {
  ListDoubleClicked(*window_);
  QCOMPARE(MessageBox::shownCount(), 0);
  QVERIFY(!FileDialog::instance()->lastSettings().has_value());
}

void ResultsTest::hintFollowsTheCurrentRow() {
  FillRows({Row("a", "", "qvod://a"), Row("b", "", "qvod://b"), Row("c", "", "qvod://c")});
  ResultListView* list = window_->resultList();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                    list->visualRect(window_->resultModel()->index(1, 0)).center());
  QCOMPARE(window_->StatusText(), kHintPrefix + "qvod://b");
  QTest::keyClick(list, Qt::Key_Down);
  QCOMPARE(window_->StatusText(), kHintPrefix + "qvod://c");
  QTest::keyClick(list, Qt::Key_Up);
  QTest::keyClick(list, Qt::Key_Up);
  QCOMPARE(window_->StatusText(), kHintPrefix + "qvod://a");
}

void ResultsTest::rightClickCopiesTheCurrentAddress() {
  FillRows({Row("a", "", "qvod://a|功夫|"), Row("b", "", "qvod://b")});
  ResultListView* list = window_->resultList();
  const QString status = window_->StatusText();
  // Below the rows: no row is selected, so nothing is copied.
  QTest::mouseClick(list->viewport(), Qt::RightButton, Qt::NoModifier,
                    QPoint(10, list->viewport()->height() - 5));
  QCOMPARE(Clipboard::lastText(), QStringLiteral("before"));
  QCOMPARE(window_->StatusText(), status);

  QTest::mouseClick(list->viewport(), Qt::RightButton, Qt::NoModifier,
                    list->visualRect(window_->resultModel()->index(0, 1)).center());
  QCOMPARE(Clipboard::lastText(), QStringLiteral("qvod://a|功夫|"));
  QCOMPARE(window_->StatusText(), kCopied);
}

void ResultsTest::exportWritesAddressesInDisplayOrder() {
  const QString target = dir_->filePath(QStringLiteral("list.txt"));
  // An empty list: an empty file.
  FileDialog::instance()->setNextFileName(target);
  MessageBox::setNextAnswer(QMessageBox::Ok);
  QTest::mouseClick(window_->exportPicture(), Qt::LeftButton);
  QCOMPARE(MessageBox::lastShown().title, QStringLiteral("信息："));
  QCOMPARE(MessageBox::lastShown().text, QStringLiteral("导出成功！"));
  QCOMPARE(MessageBox::lastShown().icon, QMessageBox::NoIcon);
  QVERIFY(QFile::exists(target));
  QCOMPARE(ReadFile(target), QByteArray());

  FillRows({Row("b", "", "qvod://b|功|", 2), Row("empty", "", "", 1), Row("c", "", "qvod://c", 3)});
  ClickHeader(1);  // descending by size
  FileDialog::instance()->setNextFileName(target);
  MessageBox::setNextAnswer(QMessageBox::Ok);
  QTest::mousePress(window_->exportLink(), Qt::LeftButton);
  QCOMPARE(MessageBox::shownCount(), 2);
  QCOMPARE(MessageBox::lastShown().text, QStringLiteral("导出成功！"));
  const QByteArray local = QByteArray::fromStdString(Utf8ToLocalText("功"));
  QCOMPARE(ReadFile(target), "qvod://c\r\nqvod://b|" + local + "|\r\n\r\n");
  QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden).filter("list").size(), 1);

  // Cancelled: no box.
  FileDialog::instance()->setNextFileName(QString());
  QTest::mouseClick(window_->exportPicture(), Qt::LeftButton);
  QCOMPARE(MessageBox::shownCount(), 2);
}

void ResultsTest::exportFailureLeavesNoFile() {
  FillRows({Row("a", "", "qvod://a")});
  // A directory that cannot exist, even for root: its parent is a regular file.
  const QString file = dir_->filePath(QStringLiteral("plain"));
  QFile plain(file);
  QVERIFY(plain.open(QIODevice::WriteOnly));
  plain.close();
  FileDialog::instance()->setNextFileName(file + QStringLiteral("/list.txt"));
  MessageBox::setNextAnswer(QMessageBox::Ok);
  QTest::mouseClick(window_->exportPicture(), Qt::LeftButton);
  QCOMPARE(MessageBox::lastShown().title, QStringLiteral("信息："));
  QCOMPARE(MessageBox::lastShown().text, QStringLiteral("导出失败！"));
  QCOMPARE(ReadFile(file), QByteArray());
  QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden).filter("list").size(), 0);
}

void ResultsTest::locateStepsThroughMatchesAndWraps() {
  FillRows({Row("Sea story", "Anna", "qvod://0"), Row("功夫", "周星驰", "qvod://1"),
            Row("no", "sea lion", "qvod://2"), Row("nothing", "here", "qvod://3|sea|"),
            Row("SEA again", "x", "qvod://4")});
  ResultListView* list = window_->resultList();
  RightPressSearchButton(QStringLiteral("sea"));
  QCOMPARE(list->CurrentRow(), 0);
  QVERIFY(list->hasFocus());
  QCOMPARE(window_->StatusText(), kHintPrefix + "qvod://0");
  RightPressSearchButton(QStringLiteral("sea"));
  QCOMPARE(list->CurrentRow(), 2);  // by its actor
  QCOMPARE(window_->StatusText(), kHintPrefix + "qvod://2");
  RightPressSearchButton(QStringLiteral("sea"));
  QCOMPARE(list->CurrentRow(), 4);  // row 3 matches only in its address
  RightPressSearchButton(QStringLiteral("sea"));
  QCOMPARE(list->CurrentRow(), 0);  // round to the top
  // The left click still searches: it is not a locate.
  QCOMPARE(window_->searchButton()->text(), QStringLiteral("搜  索 >>"));

  RightPressSearchButton(QStringLiteral("周*驰|nothing"));
  QCOMPARE(list->CurrentRow(), 1);
  RightPressSearchButton(QString());  // the empty box matches the next row
  QCOMPARE(list->CurrentRow(), 2);
}

void ResultsTest::locateNotFoundKeepsTheSelection() {
  FillRows({Row("a.b", "", "qvod://0"), Row("功夫", "", "qvod://1")});
  ResultListView* list = window_->resultList();
  RightPressSearchButton(QStringLiteral("axb"));
  QCOMPARE(window_->StatusText(), kNotFound);
  QCOMPARE(list->CurrentRow(), -1);
  list->SetCurrentRow(1);
  RightPressSearchButton(QStringLiteral("功夫"));  // only the current row matches
  QCOMPARE(window_->StatusText(), kNotFound);
  QCOMPARE(list->CurrentRow(), 1);
  // The hint in the box is searched like any text.
  window_->searchEdit()->clear();
  window_->ShowSearchHint();
  QTest::mousePress(window_->searchButton(), Qt::RightButton);
  QCOMPARE(window_->StatusText(), kNotFound);
  // An empty list.
  FillRows({});
  window_->SetStatusText(QString());
  RightPressSearchButton(QString());
  QCOMPARE(window_->StatusText(), kNotFound);
}

void ResultsTest::locateScrollsTheRowIntoView() {
  std::vector<ResultRow> rows;
  for (int i = 0; i < 300; ++i) {
    rows.push_back(Row(i == 250 ? QStringLiteral("目标") : QStringLiteral("row %1").arg(i), "",
                       QStringLiteral("qvod://%1").arg(i)));
  }
  FillRows(std::move(rows));
  ResultListView* list = window_->resultList();
  RightPressSearchButton(QStringLiteral("目标"));
  QCOMPARE(list->CurrentRow(), 250);
  const QRect shown = list->visualRect(window_->resultModel()->index(250, 0));
  QVERIFY(list->viewport()->rect().contains(shown));
  QCOMPARE(window_->StatusText(), kHintPrefix + "qvod://250");
}

}  // namespace xyx

QTEST_MAIN(xyx::ResultsTest)
#include "results_test.moc"
