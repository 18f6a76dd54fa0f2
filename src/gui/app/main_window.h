#pragma once
// The one main window "窗口" with every control of its design, and the handlers of the
// window's own behaviour: layout on resize, the search-box hint, the banner logo and the
// home-page links. Handlers of the search and the result list attach to the signals of the
// controls exposed here.

#include <QLabel>
#include <QStatusBar>
#include <QString>
#include <QTimer>
#include <QWidget>

#include "gui/app/app_state.h"
#include "gui/app/common_file_dialog.h"
#include "gui/app/controls.h"
#include "gui/results/result_list_model.h"

namespace xyx {

class SearchCommand;

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  explicit MainWindow(AppState& state, QWidget* parent = nullptr);
  ~MainWindow() override;

  AppState& state() { return state_; }

  // Handlers.
  void LayoutMainWindow();
  void ShowSearchHint();
  void HideSearchHint();
  void MoveBannerLogo();
  void OpenMakerHomePage();
  void OpenProductHomePage();

  // The controls.
  QLabel* banner() const { return banner_; }
  PictureButton* playerPicture() const { return playerPicture_; }
  LinkLabel* playerLink() const { return playerLink_; }
  LinkLabel* exportLink() const { return exportLink_; }
  PictureButton* exportPicture() const { return exportPicture_; }
  QTimer* bannerTimer() const { return bannerTimer_; }
  QLabel* bannerLine() const { return bannerLine_; }
  PictureButton* makerLogo() const { return makerLogo_; }
  LinkLabel* productLink() const { return productLink_; }
  PictureButton* productPicture() const { return productPicture_; }
  CommonFileDialog* playerDialog() const { return playerDialog_; }
  CommonFileDialog* exportDialog() const { return exportDialog_; }
  QStatusBar* statusBar() const { return statusBar_; }
  SearchButton* searchButton() const { return searchButton_; }
  SearchEdit* searchEdit() const { return searchEdit_; }
  ResultListView* resultList() const { return resultList_; }
  ResultListModel* resultModel() const { return resultModel_; }

  // The commands that the controls' events call.
  SearchCommand* searchCommand() const { return searchCommand_; }

  // The status bar's one part.
  QString StatusText() const;
  void SetStatusText(const QString& text);

 signals:
  // The first time the window becomes the active window.
  void firstActivated();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void CreateBanner();
  void CreateSearchRow();
  void CreateResultList();
  void CreateStatusBar();
  void CreateFileDialogs();
  void BindEvents();
  void MatchDesignedOuterSize();

  AppState& state_;
  QLabel* banner_ = nullptr;
  PictureButton* playerPicture_ = nullptr;
  LinkLabel* playerLink_ = nullptr;
  LinkLabel* exportLink_ = nullptr;
  PictureButton* exportPicture_ = nullptr;
  QTimer* bannerTimer_ = nullptr;
  QLabel* bannerLine_ = nullptr;
  PictureButton* makerLogo_ = nullptr;
  LinkLabel* productLink_ = nullptr;
  PictureButton* productPicture_ = nullptr;
  CommonFileDialog* playerDialog_ = nullptr;
  CommonFileDialog* exportDialog_ = nullptr;
  QStatusBar* statusBar_ = nullptr;
  SearchButton* searchButton_ = nullptr;
  SearchEdit* searchEdit_ = nullptr;
  ResultListView* resultList_ = nullptr;
  ResultListModel* resultModel_ = nullptr;
  SearchCommand* searchCommand_ = nullptr;
  bool shownBefore_ = false;
  bool activatedBefore_ = false;
};

}  // namespace xyx
