// Drives the real main window: its design, the search-box hint, the layout on resize, the
// banner logo and the home-page links.

#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "gui/app/home_pages.h"
#include "gui/app/main_window.h"
#include "gui/platform/file_dialog.h"
#include "gui/platform/shell.h"

namespace xyx {

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void initialState();
  void designedControls_data();
  void designedControls();
  void fileDialogSettings();

  void hintGoesOnFocusAndReturnsOnlyWhenEmpty();
  void typedHintTextIsKeptAsText();

  void layoutFollowsSize_data();
  void layoutFollowsSize();

  void bannerTurningPoints_data();
  void bannerTurningPoints();
  void timerMovesLogoRight();

  void linksOpenTheirAddresses_data();
  void linksOpenTheirAddresses();

 private:
  template <typename T>
  T* Find(const char* name) const {
    return window_->findChild<T*>(QString::fromUtf8(name));
  }
  void ResizeAndWait(QSize size);

  std::unique_ptr<AppState> state_;
  std::unique_ptr<MainWindow> window_;
};

void MainWindowTest::init() {
  Shell::setRecording(true);
  Shell::clearOpenedUrls();
  state_ = std::make_unique<AppState>();
  window_ = std::make_unique<MainWindow>(*state_);
  window_->show();
  QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  // The outer size is matched once the frame is known.
  QTRY_COMPARE(window_->frameGeometry(), QRect(50, 50, 831, 572));
}

void MainWindowTest::cleanup() {
  window_.reset();
  state_.reset();
}

void MainWindowTest::ResizeAndWait(QSize size) {
  window_->resize(size);
  QTRY_COMPARE(window_->size(), size);
}

void MainWindowTest::initialState() {
  QCOMPARE(window_->objectName(), QStringLiteral("窗口"));
  QCOMPARE(window_->windowTitle(), QStringLiteral("垣禾·析影匣 v1.21"));
  QCOMPARE(window_->frameGeometry(), QRect(50, 50, 831, 572));
  // Laid out for the first show: the size-dependent places follow the client area.
  const int cw = window_->width();
  const int ch = window_->height();
  QCOMPARE(Find<QWidget>("列表框")->geometry(), QRect(0, 138, cw, ch - 138 - 20));
  QCOMPARE(Find<QWidget>("编辑框搜索")->geometry(), QRect(176, 97, cw - 186, 32));
  QCOMPARE(Find<QWidget>("图片软件主页")->geometry(), QRect(cw - 84, 0, 64, 64));
  QCOMPARE(Find<QWidget>("文字软件主页")->geometry(), QRect(cw - 84, 64, 64, 24));
  QCOMPARE(Find<QWidget>("图片框横幅")->geometry(), QRect(0, 0, 831, 90));
  QCOMPARE(Find<QWidget>("标签横幅")->geometry(), QRect(-1, 88, 831, 2));
  QCOMPARE(Find<QWidget>("状态条")->geometry(), QRect(0, ch - 20, cw, 20));

  auto* list = Find<ResultListView>("列表框");
  QVERIFY(list);
  QCOMPARE(list->model()->rowCount(), 0);
  QCOMPARE(list->CurrentRow(), -1);
  const QString titles[] = {"资源", "大小", "演员", "地址"};
  const int widths[] = {400, 100, 200};
  for (int column = 0; column < 4; ++column) {
    QCOMPARE(list->model()->headerData(column, Qt::Horizontal).toString(), titles[column]);
    if (column < 3) QCOMPARE(list->header()->sectionSize(column), widths[column]);
  }
  QVERIFY(list->isColumnHidden(3));
  QVERIFY(!list->isColumnHidden(0));
  QCOMPARE(list->selectionMode(), QAbstractItemView::SingleSelection);
  QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
  QCOMPARE(list->iconSize(), QSize(24, 24));

  QCOMPARE(window_->StatusText(), QStringLiteral("右击搜索按钮，可在结果内定位"));
  QCOMPARE(Find<SearchButton>("按钮搜索")->text(), QStringLiteral("搜  索 >>"));

  auto* edit = Find<SearchEdit>("编辑框搜索");
  QCOMPARE(edit->text(), QStringLiteral("这里输入电影或演员名称"));
  QVERIFY(edit->font().italic());
  QCOMPARE(edit->palette().color(QPalette::Text), QColor(128, 128, 128));
  QVERIFY(!edit->hasFocus());

  auto* timer = Find<QTimer>("时钟官网");
  QVERIFY(timer);
  QCOMPARE(timer->interval(), 20);
  QVERIFY(timer->isActive());
  QCOMPARE(state_->bannerMovingLeft, false);
}

// Each control's parent, place (where it does not follow the window's size), text and font.
void MainWindowTest::designedControls_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("parentName");
  QTest::addColumn<QRect>("geometry");
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("fontPixels");
  QTest::addColumn<bool>("bold");

  const QString banner = QStringLiteral("图片框横幅");
  const QString window = QStringLiteral("窗口");
  QTest::newRow("player picture") << "图片指定快播程序" << banner << QRect(116, 0, 64, 64) << ""
                                  << 0 << false;
  QTest::newRow("player link") << "文字指定快播程序" << banner << QRect(104, 64, 88, 24)
                               << "指定快播程序" << 12 << false;
  QTest::newRow("export link") << "文字导出资源列表" << banner << QRect(8, 64, 88, 24)
                               << "导出资源列表" << 12 << false;
  QTest::newRow("export picture") << "图片导出资源列表" << banner << QRect(20, 0, 64, 64) << "" << 0
                                  << false;
  QTest::newRow("banner line") << "标签横幅" << banner << QRect() << "" << 0 << false;
  QTest::newRow("maker logo") << "图片垣禾软件" << banner << QRect(272, 12, 195, 64) << "" << 0
                              << false;
  QTest::newRow("home link") << "文字软件主页" << banner << QRect() << "软件主页" << 12 << false;
  QTest::newRow("home picture") << "图片软件主页" << banner << QRect() << "" << 0 << false;
  QTest::newRow("banner") << "图片框横幅" << window << QRect() << "" << 0 << false;
  QTest::newRow("search button") << "按钮搜索" << window << QRect(9, 97, 159, 32) << "搜  索 >>"
                                 << 21 << true;
  QTest::newRow("search box") << "编辑框搜索" << window << QRect() << "这里输入电影或演员名称" << 19
                              << true;
  QTest::newRow("list") << "列表框" << window << QRect() << "" << 15 << false;
  QTest::newRow("status bar") << "状态条" << window << QRect() << "" << 15 << false;
}

void MainWindowTest::designedControls() {
  QFETCH(QString, name);
  QFETCH(QString, parentName);
  QFETCH(QRect, geometry);
  QFETCH(QString, text);
  QFETCH(int, fontPixels);
  QFETCH(bool, bold);

  auto* control = window_->findChild<QWidget*>(name);
  QVERIFY2(control, qPrintable(name));
  QCOMPARE(control->parentWidget()->objectName(), parentName);
  if (!geometry.isNull()) QCOMPARE(control->geometry(), geometry);
  if (auto* label = qobject_cast<QLabel*>(control); label && !text.isEmpty()) {
    QCOMPARE(label->text(), text);
  }
  if (auto* button = qobject_cast<QAbstractButton*>(control); button && !text.isEmpty()) {
    QCOMPARE(button->text(), text);
  }
  if (auto* picture = qobject_cast<PictureButton*>(control)) {
    QCOMPARE(picture->cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(!RenderSvg(picture->pictureResource(), picture->size()).isNull());
  }
  if (fontPixels != 0) {
    QCOMPARE(control->font().families().value(0), QStringLiteral("宋体"));
    QCOMPARE(control->font().pixelSize(), fontPixels);
    QCOMPARE(control->font().bold(), bold);
  }
}

void MainWindowTest::fileDialogSettings() {
  auto* player = Find<CommonFileDialog>("通用对话框2");
  QVERIFY(player);
  QCOMPARE(player->settings().mode, FileDialogSettings::Mode::Open);
  QCOMPARE(player->settings().title, QStringLiteral("指定快播主程序文件，用于双击播放快播资源"));
  QCOMPARE(player->settings().filter,
           QStringLiteral("快播主程序(QvodPlayer.exe)|QvodPlayer.exe|程序文件|*.exe|全部文件|*.*"));
  QCOMPARE(player->settings().filterIndex, 0);
  QCOMPARE(player->settings().initialDirectory, QStringLiteral("C:\\Program Files\\QvodPlayer"));
  QVERIFY(player->settings().fileMustExist);

  auto* list = Find<CommonFileDialog>("通用对话框1");
  QVERIFY(list);
  QCOMPARE(list->settings().mode, FileDialogSettings::Mode::Save);
  QVERIFY(list->settings().title.isEmpty());
  QCOMPARE(list->settings().filter, QStringLiteral("文本文件(*.txt)|*.txt|全部文件(*.*)|*.*"));
  QCOMPARE(list->settings().defaultSuffix, QStringLiteral("txt"));
  QVERIFY(list->settings().confirmOverwrite);

  // The test hook answers instead of a dialog and sees the settings it was shown with.
  FileDialog::instance()->setNextFileName(QStringLiteral("/tmp/QvodPlayer.exe"));
  QVERIFY(player->Show(window_.get()));
  QCOMPARE(player->fileName(), QStringLiteral("/tmp/QvodPlayer.exe"));
  QCOMPARE(FileDialog::instance()->lastSettings()->title, player->settings().title);
  FileDialog::instance()->setNextFileName(QString());
  QVERIFY(!list->Show(window_.get()));
  QVERIFY(list->fileName().isEmpty());
  FileDialog::instance()->resetHooks();
}

void MainWindowTest::hintGoesOnFocusAndReturnsOnlyWhenEmpty() {
  auto* edit = Find<SearchEdit>("编辑框搜索");
  auto* button = Find<SearchButton>("按钮搜索");
  QApplication::setActiveWindow(window_.get());
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));

  const auto showsHint = [edit] {
    return edit->font().italic() && edit->text() == QStringLiteral("这里输入电影或演员名称") &&
           edit->palette().color(QPalette::Text) == QColor(128, 128, 128);
  };
  const auto editing = [edit](const QString& text) {
    return !edit->font().italic() && edit->text() == text &&
           edit->palette().color(QPalette::Text) == QColor(0, 0, 0) && edit->font().bold();
  };

  QVERIFY(showsHint());
  edit->setFocus();
  QTRY_VERIFY(edit->hasFocus());
  QVERIFY(editing(QString()));

  QTest::keyClicks(edit, QStringLiteral("abc"));
  button->setFocus();
  QTRY_VERIFY(button->hasFocus());
  QVERIFY(editing(QStringLiteral("abc")));

  edit->setFocus();
  QTRY_VERIFY(edit->hasFocus());
  QVERIFY(editing(QStringLiteral("abc")));
  edit->clear();
  button->setFocus();
  QTRY_VERIFY(button->hasFocus());
  QVERIFY(showsHint());
}

void MainWindowTest::typedHintTextIsKeptAsText() {
  auto* edit = Find<SearchEdit>("编辑框搜索");
  auto* button = Find<SearchButton>("按钮搜索");
  QApplication::setActiveWindow(window_.get());
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));

  edit->setFocus();
  QTRY_VERIFY(edit->hasFocus());
  const QString hintText = QStringLiteral("这里输入电影或演员名称");
  edit->setText(hintText);
  button->setFocus();
  QTRY_VERIFY(button->hasFocus());
  edit->setFocus();
  QTRY_VERIFY(edit->hasFocus());
  QCOMPARE(edit->text(), hintText);
  QVERIFY(!edit->font().italic());
}

void MainWindowTest::layoutFollowsSize_data() {
  QTest::addColumn<QSize>("delta");
  QTest::newRow("wider") << QSize(137, 0);
  QTest::newRow("taller") << QSize(0, 91);
  QTest::newRow("both") << QSize(50, 40);
  QTest::newRow("narrower") << QSize(-100, 0);
}

void MainWindowTest::layoutFollowsSize() {
  QFETCH(QSize, delta);
  auto* list = Find<QWidget>("列表框");
  auto* edit = Find<QWidget>("编辑框搜索");
  auto* banner = Find<QWidget>("图片框横幅");
  auto* line = Find<QWidget>("标签横幅");
  auto* homePicture = Find<QWidget>("图片软件主页");
  auto* homeLink = Find<QWidget>("文字软件主页");
  auto* button = Find<QWidget>("按钮搜索");
  auto* logo = Find<QWidget>("图片垣禾软件");
  window_->bannerTimer()->stop();

  const QRect listBefore = list->geometry();
  const QRect editBefore = edit->geometry();
  const QRect homeBefore = homePicture->geometry();
  const QRect buttonBefore = button->geometry();
  const QRect logoBefore = logo->geometry();

  ResizeAndWait(window_->size() + delta);

  QCOMPARE(list->geometry(), listBefore.adjusted(0, 0, delta.width(), delta.height()));
  QCOMPARE(edit->geometry(), editBefore.adjusted(0, 0, delta.width(), 0));
  QCOMPARE(homePicture->geometry(), homeBefore.translated(delta.width(), 0));
  QCOMPARE(homeLink->x(), homePicture->x());
  QCOMPARE(homeLink->y(), 64);
  QCOMPARE(banner->width(), window_->frameGeometry().width());
  QCOMPARE(line->width(), window_->frameGeometry().width());
  QCOMPARE(banner->height(), 90);
  QCOMPARE(button->geometry(), buttonBefore);
  QCOMPARE(logo->geometry(), logoBefore);
}

void MainWindowTest::bannerTurningPoints_data() {
  QTest::addColumn<int>("homeLeft");
  QTest::addColumn<int>("rightTurn");
  QTest::newRow("designed place") << 621 << 407;
  QTest::newRow("wider window") << 900 << 900 - 214;
  QTest::newRow("narrow window") << 500 << 500 - 214;
}

// Records the logo's place after each step and checks that it reverses exactly at the bounds,
// holding each end for one step.
void MainWindowTest::bannerTurningPoints() {
  QFETCH(int, homeLeft);
  QFETCH(int, rightTurn);
  window_->bannerTimer()->stop();
  auto* logo = Find<QWidget>("图片垣禾软件");
  auto* home = Find<QWidget>("图片软件主页");
  home->move(homeLeft, home->y());
  QCOMPARE(logo->x(), 272);

  QList<int> turns;
  int minimum = logo->x();
  int maximum = logo->x();
  bool wasLeft = state_->bannerMovingLeft;
  for (int step = 0; step < 2000 && turns.size() < 4; ++step) {
    window_->MoveBannerLogo();
    minimum = std::min(minimum, logo->x());
    maximum = std::max(maximum, logo->x());
    if (state_->bannerMovingLeft != wasLeft) {
      turns.append(logo->x());
      wasLeft = state_->bannerMovingLeft;
    }
  }
  QCOMPARE(turns, (QList<int>{rightTurn, 199, rightTurn, 199}));
  QCOMPARE(minimum, 199);
  QCOMPARE(maximum, rightTurn);
  QCOMPARE(logo->y(), 12);
}

void MainWindowTest::timerMovesLogoRight() {
  auto* logo = Find<QWidget>("图片垣禾软件");
  const int start = logo->x();
  QTRY_VERIFY(logo->x() >= start + 3);
  QCOMPARE(state_->bannerMovingLeft, false);
}

void MainWindowTest::linksOpenTheirAddresses_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QStringList>("opened");
  QTest::newRow("maker logo") << "图片垣禾软件" << QStringList{kMakerHomePage};
  QTest::newRow("home picture") << "图片软件主页" << QStringList{kProductHomePage};
  QTest::newRow("home link") << "文字软件主页" << QStringList{kProductHomePage};
  QTest::newRow("player link") << "文字指定快播程序" << QStringList{};
  QTest::newRow("export link") << "文字导出资源列表" << QStringList{};
}

void MainWindowTest::linksOpenTheirAddresses() {
  QFETCH(QString, name);
  QFETCH(QStringList, opened);
  window_->bannerTimer()->stop();
  auto* control = window_->findChild<QWidget*>(name);
  QVERIFY(control);
  auto* link = qobject_cast<LinkLabel*>(control);
  std::unique_ptr<QSignalSpy> pressed;
  // The player and export links open their file dialogs: answer them as cancelled.
  FileDialog::instance()->setNextFileName(QString());
  if (link) pressed = std::make_unique<QSignalSpy>(link, &LinkLabel::leftPressed);

  QTest::mouseClick(control, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
  QCOMPARE(Shell::openedUrls(), opened);
  if (link) {
    QCOMPARE(pressed->count(), 1);
    QTest::mouseClick(control, Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
    QCOMPARE(pressed->count(), 1);
    QCOMPARE(Shell::openedUrls(), opened);
  }
}

}  // namespace xyx

QTEST_MAIN(xyx::MainWindowTest)
#include "main_window_test.moc"
