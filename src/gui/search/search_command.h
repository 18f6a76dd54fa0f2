#pragma once
// The search button's command: starts a search for the search box's text, or asks the
// running one to stop.

#include <QObject>
#include <QString>

#include "core/text/local_text.h"

namespace xyx {

class MainWindow;

class SearchCommand : public QObject {
  Q_OBJECT

 public:
  // Captions of the search button, which double as the search's state.
  static const QString kIdleCaption;       // "搜  索 >>"
  static const QString kSearchingCaption;  // "停止搜索"
  static const QString kStoppingCaption;   // "停止中.."

  // The service is the one at XIYINGXIA_SERVICE_HOST, or the local reference service.
  explicit SearchCommand(MainWindow& window);
  SearchCommand(MainWindow& window, Text serviceAddress);

  void SearchButtonClicked();

  const Text& serviceAddress() const { return serviceAddress_; }
  void SetServiceAddress(Text address) { serviceAddress_ = std::move(address); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FillResultList(std::string_view resultText);
  // Lets pending events run; false when the window was closed meanwhile.
  bool LetEventsRun();

  MainWindow& window_;
  Text serviceAddress_;
  bool windowClosed_ = false;
};

}  // namespace xyx
