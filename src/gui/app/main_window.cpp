#include "gui/app/main_window.h"

#include <QEvent>
#include <QFont>
#include <QHeaderView>
#include <QIcon>
#include <QItemSelectionModel>
#include <QPalette>

#include "gui/app/home_pages.h"
#include "gui/results/address_commands.h"
#include "gui/results/locate_command.h"
#include "gui/results/playback.h"
#include "gui/results/sorting.h"
#include "gui/search/search_command.h"

// Resources of a static library have to be registered by hand; Q_INIT_RESOURCE must be used
// outside any namespace.
static void InitGuiResources() {
  Q_INIT_RESOURCE(xiyingxia);
}

namespace xyx {
namespace {

constexpr int kStatusBarHeight = 20;
const QSize kDesignedOuterSize(831, 572);

// "宋体" of the design; the CJK families after it stand in where SimSun is not installed.
QFont SongFont(int pixelHeight, bool bold) {
  QFont font;
  font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                    QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                    QStringLiteral("WenQuanYi Zen Hei")});
  font.setPixelSize(pixelHeight);
  font.setBold(bold);
  return font;
}

void SetColours(QWidget* widget, QPalette::ColorRole background, const QColor& back,
                QPalette::ColorRole foreground, const QColor& fore) {
  QPalette palette = widget->palette();
  palette.setColor(background, back);
  palette.setColor(foreground, fore);
  widget->setPalette(palette);
}

LinkLabel* MakeLink(const QString& name, const QString& text, const QRect& geometry,
                    QWidget* parent) {
  auto* link = new LinkLabel(text, parent);
  link->setObjectName(name);
  link->setGeometry(geometry);
  QFont font = SongFont(12, false);
  font.setUnderline(true);
  link->setFont(font);
  link->setAlignment(Qt::AlignCenter);
  SetColours(link, QPalette::Window, Qt::white, QPalette::WindowText, QColor(0, 0, 255));
  return link;
}

PictureButton* MakePicture(const QString& name, const QString& resource, const QRect& geometry,
                           QWidget* parent) {
  auto* button = new PictureButton(resource, parent);
  button->setObjectName(name);
  button->setGeometry(geometry);
  return button;
}

}  // namespace

MainWindow::MainWindow(AppState& state, QWidget* parent) : QWidget(parent), state_(state) {
  InitGuiResources();
  setObjectName(QStringLiteral("窗口"));
  setWindowTitle(QStringLiteral("垣禾·析影匣 v1.21"));
  setWindowIcon(QIcon(RenderSvg(QStringLiteral(":/xiyingxia/product.svg"), QSize(64, 64))));
  move(50, 50);
  resize(kDesignedOuterSize);

  CreateBanner();
  CreateFileDialogs();
  CreateStatusBar();
  CreateSearchRow();
  CreateResultList();
  setTabOrder(searchButton_, searchEdit_);
  setTabOrder(searchEdit_, resultList_);
  searchButton_->setFocus();

  BindEvents();
  // The window's "created" event.
  ShowSearchHint();
}

MainWindow::~MainWindow() {
  // Tearing the window down moves the focus and empties the list; none of that may reach a
  // handler of a window that is half destroyed.
  for (QObject* child : findChildren<QObject*>()) child->blockSignals(true);
}

void MainWindow::CreateBanner() {
  banner_ = new QLabel(this);
  banner_->setObjectName(QStringLiteral("图片框横幅"));
  banner_->setGeometry(0, 0, 1000, 90);
  banner_->setAutoFillBackground(true);
  SetColours(banner_, QPalette::Window, Qt::white, QPalette::WindowText, Qt::black);

  playerPicture_ =
      MakePicture(QStringLiteral("图片指定快播程序"), QStringLiteral(":/xiyingxia/player.svg"),
                  QRect(116, 0, 64, 64), banner_);
  playerLink_ = MakeLink(QStringLiteral("文字指定快播程序"), QStringLiteral("指定快播程序"),
                         QRect(104, 64, 88, 24), banner_);
  exportLink_ = MakeLink(QStringLiteral("文字导出资源列表"), QStringLiteral("导出资源列表"),
                         QRect(8, 64, 88, 24), banner_);
  exportPicture_ =
      MakePicture(QStringLiteral("图片导出资源列表"), QStringLiteral(":/xiyingxia/export.svg"),
                  QRect(20, 0, 64, 64), banner_);

  bannerTimer_ = new QTimer(banner_);
  bannerTimer_->setObjectName(QStringLiteral("时钟官网"));
  bannerTimer_->setInterval(20);

  bannerLine_ = new QLabel(banner_);
  bannerLine_->setObjectName(QStringLiteral("标签横幅"));
  bannerLine_->setGeometry(-1, 88, 1200, 2);
  bannerLine_->setFrameStyle(QFrame::HLine | QFrame::Sunken);
  bannerLine_->setLineWidth(1);

  makerLogo_ = MakePicture(QStringLiteral("图片垣禾软件"), QStringLiteral(":/xiyingxia/logo.svg"),
                           QRect(272, 12, 195, 64), banner_);
  productLink_ = MakeLink(QStringLiteral("文字软件主页"), QStringLiteral("软件主页"),
                          QRect(621, 64, 64, 24), banner_);
  productLink_->setLinkTarget(kProductHomePage);
  productPicture_ =
      MakePicture(QStringLiteral("图片软件主页"), QStringLiteral(":/xiyingxia/product.svg"),
                  QRect(621, 0, 64, 64), banner_);
}

void MainWindow::CreateFileDialogs() {
  FileDialogSettings player;
  player.mode = FileDialogSettings::Mode::Open;
  player.title = QStringLiteral("指定快播主程序文件，用于双击播放快播资源");
  player.filter =
      QStringLiteral("快播主程序(QvodPlayer.exe)|QvodPlayer.exe|程序文件|*.exe|全部文件|*.*");
  player.filterIndex = 0;
  player.initialDirectory = QStringLiteral("C:\\Program Files\\QvodPlayer");
  player.fileMustExist = true;
  playerDialog_ = new CommonFileDialog(QStringLiteral("通用对话框2"), player, this);

  FileDialogSettings list;
  list.mode = FileDialogSettings::Mode::Save;
  list.filter = QStringLiteral("文本文件(*.txt)|*.txt|全部文件(*.*)|*.*");
  list.defaultSuffix = QStringLiteral("txt");
  list.confirmOverwrite = true;
  exportDialog_ = new CommonFileDialog(QStringLiteral("通用对话框1"), list, this);
}

void MainWindow::CreateStatusBar() {
  statusBar_ = new QStatusBar(this);
  statusBar_->setObjectName(QStringLiteral("状态条"));
  statusBar_->setFont(SongFont(15, false));
  statusBar_->setGeometry(0, height() - kStatusBarHeight, width(), kStatusBarHeight);
  // The one part is the bar's own message line: it is centred in the full 20 pixels, where a
  // label inside the bar's layout would lose the lower edge of the CJK glyphs.
  statusBar_->showMessage(QStringLiteral("右击搜索按钮，可在结果内定位"));
}

void MainWindow::CreateSearchRow() {
  searchButton_ = new SearchButton(QStringLiteral("搜  索 >>"), this);
  searchButton_->setObjectName(QStringLiteral("按钮搜索"));
  searchButton_->setGeometry(9, 97, 159, 32);
  searchButton_->setFont(SongFont(21, true));
  searchButton_->setFocusPolicy(Qt::StrongFocus);

  searchEdit_ = new SearchEdit(this);
  searchEdit_->setObjectName(QStringLiteral("编辑框搜索"));
  searchEdit_->setGeometry(176, 97, 536, 32);
  searchEdit_->setFont(SongFont(19, true));
  SetColours(searchEdit_, QPalette::Base, Qt::white, QPalette::Text, Qt::black);
  searchEdit_->setFocusPolicy(Qt::StrongFocus);
}

void MainWindow::CreateResultList() {
  resultModel_ = new ResultListModel(this);
  const QString row = QStringLiteral(":/xiyingxia/row.svg");
  QIcon rowPicture;
  rowPicture.addPixmap(RenderSvg(row, QSize(24, 24), 1.0));
  rowPicture.addPixmap(RenderSvg(row, QSize(24, 24), 2.0));
  resultModel_->SetImages({rowPicture});
  const QString titles[] = {QStringLiteral("资源"), QStringLiteral("大小"), QStringLiteral("演员"),
                            QStringLiteral("地址")};
  for (int column = 0; column < ResultListModel::kColumnCount; ++column) {
    resultModel_->SetColumnTitle(column, titles[column]);
  }

  resultList_ = new ResultListView(this);
  resultList_->setObjectName(QStringLiteral("列表框"));
  resultList_->setGeometry(0, 138, 704, 456);
  resultList_->setFont(SongFont(15, false));
  SetColours(resultList_, QPalette::Base, Qt::white, QPalette::Text, Qt::black);
  resultList_->setModel(resultModel_);
  resultList_->setRootIsDecorated(false);
  resultList_->setItemsExpandable(false);
  resultList_->setUniformRowHeights(true);
  resultList_->setAllColumnsShowFocus(true);
  resultList_->setSelectionMode(QAbstractItemView::SingleSelection);
  resultList_->setSelectionBehavior(QAbstractItemView::SelectRows);
  resultList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  resultList_->setIconSize(QSize(24, 24));
  resultList_->setFocusPolicy(Qt::StrongFocus);

  QHeaderView* header = resultList_->header();
  header->setStretchLastSection(false);
  header->setSectionsMovable(false);
  header->setSectionsClickable(true);  // header clicks sort the list
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  header->setMinimumSectionSize(0);
  const int widths[] = {400, 100, 200, 0};
  for (int column = 0; column < ResultListModel::kColumnCount; ++column) {
    header->resizeSection(column, widths[column]);
  }
  resultList_->setColumnHidden(3, true);
}

void MainWindow::BindEvents() {
  searchCommand_ = new SearchCommand(*this);
  connect(searchButton_, &QAbstractButton::clicked, searchCommand_,
          &SearchCommand::SearchButtonClicked);
  connect(searchEdit_, &SearchEdit::focusGained, this, &MainWindow::HideSearchHint);
  connect(searchEdit_, &SearchEdit::focusLost, this, &MainWindow::ShowSearchHint);
  connect(bannerTimer_, &QTimer::timeout, this, &MainWindow::MoveBannerLogo);
  connect(makerLogo_, &QAbstractButton::clicked, this, &MainWindow::OpenMakerHomePage);
  connect(productPicture_, &QAbstractButton::clicked, this, &MainWindow::OpenProductHomePage);

  // The result list.
  connect(this, &MainWindow::firstActivated, this, [this] { ReadPlayerPath(state_); });
  connect(searchButton_, &SearchButton::rightPressed, this, [this] { LocateInResults(*this); });
  connect(resultList_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            CurrentRowChanged(*this, current.isValid() ? current.row() : -1);
          });
  connect(resultList_->header(), &QHeaderView::sectionClicked, this,
          [this](int column) { ColumnHeaderClicked(*this, column); });
  connect(resultList_, &ResultListView::rightClicked, this, [this] { ListRightClicked(*this); });
  connect(resultList_, &ResultListView::listDoubleClicked, this,
          [this] { ListDoubleClicked(*this); });
  connect(playerPicture_, &QAbstractButton::clicked, this, [this] { ChoosePlayer(*this); });
  connect(playerLink_, &LinkLabel::leftPressed, this, [this] { ChoosePlayer(*this); });
  connect(exportPicture_, &QAbstractButton::clicked, this, [this] { ExportAddressList(*this); });
  connect(exportLink_, &LinkLabel::leftPressed, this, [this] { ExportAddressList(*this); });
  bannerTimer_->start();
}

QString MainWindow::StatusText() const {
  return statusBar_->currentMessage();
}

void MainWindow::SetStatusText(const QString& text) {
  statusBar_->showMessage(text);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // The status bar docks itself to the bottom edge before the controls are laid out.
  statusBar_->setGeometry(0, height() - kStatusBarHeight, width(), kStatusBarHeight);
  LayoutMainWindow();
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (shownBefore_) return;
  shownBefore_ = true;
  // The design gives the outer size; the frame is only known once the window is on screen.
  QTimer::singleShot(0, this, &MainWindow::MatchDesignedOuterSize);
}

void MainWindow::MatchDesignedOuterSize() {
  const QSize frame = frameGeometry().size() - geometry().size();
  if (frame.width() <= 0 && frame.height() <= 0) return;
  resize(kDesignedOuterSize - frame);
}

void MainWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && !activatedBefore_) {
    activatedBefore_ = true;
    emit firstActivated();
  }
}

}  // namespace xyx
