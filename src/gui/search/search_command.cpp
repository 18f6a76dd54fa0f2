#include "gui/search/search_command.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <algorithm>
#include <vector>

#include "core/search/protocol.h"
#include "core/search/result_text.h"
#include "core/search/size_text.h"
#include "gui/app/local_text_qt.h"
#include "gui/app/main_window.h"

namespace xyx {

const QString SearchCommand::kIdleCaption = QStringLiteral("搜  索 >>");
const QString SearchCommand::kSearchingCaption = QStringLiteral("停止搜索");
const QString SearchCommand::kStoppingCaption = QStringLiteral("停止中..");

namespace {

// How long the row loop may run before the window gets to handle its events again: short
// enough to stay responsive, long enough not to repaint after every single row.
constexpr qint64 kEventSliceMs = 15;
// Painting a long list costs more as it grows; the row work before the next pass shrinks by
// what the last pass took, so that the window is never held up much longer than this.
constexpr qint64 kLongestHoldMs = 25;
constexpr qint64 kShortestSliceMs = 4;

}  // namespace

SearchCommand::SearchCommand(MainWindow& window)
    : SearchCommand(window, ServiceAddress(ServiceHostFromEnvironment())) {}

SearchCommand::SearchCommand(MainWindow& window, Text serviceAddress)
    : QObject(&window), window_(window), serviceAddress_(std::move(serviceAddress)) {
  window_.installEventFilter(this);
}

bool SearchCommand::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &window_ && event->type() == QEvent::Close) windowClosed_ = true;
  return false;
}

bool SearchCommand::LetEventsRun() {
  QCoreApplication::processEvents();
  return !windowClosed_;
}

void SearchCommand::SearchButtonClicked() {
  AppState& state = window_.state();
  SearchButton* button = window_.searchButton();
  ResultListModel* model = window_.resultModel();

  // A click during a search only asks it to stop; the row loop sees the flag.
  if (button->text() != kIdleCaption) {
    state.stopRequested = true;
    button->setText(kStoppingCaption);
    return;
  }
  state.stopRequested = false;
  windowClosed_ = false;
  button->setText(kSearchingCaption);
  model->SetColumnTitle(0, QStringLiteral("资源 >> 正在搜索中.."));

  // The box's text as it stands, the hint included when it shows.
  const Text keyword = ToLocal(window_.searchEdit()->text());
  const Bytes body = BuildSearchRequest(keyword);

  // While the request is under way the window keeps painting, but user input waits: a click
  // made now is handled after the reply, where events run next. Closing the window ends the
  // request at once.
  HttpSession& session = *state.httpSession;
  session.SetProcessEventsHook([this, &session] {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (windowClosed_) session.Abort();
  });
  const Text reply = session.AccessWebPage(serviceAddress_, {}, 0, 0, std::nullopt, false, body);
  session.SetProcessEventsHook(nullptr);
  if (windowClosed_) return;

  const Text resultText = ExtractResultText(reply);
  model->Clear();
  if (!LetEventsRun()) return;
  FillResultList(resultText);
}

void SearchCommand::FillResultList(std::string_view resultText) {
  AppState& state = window_.state();
  ResultListModel* model = window_.resultModel();

  // One row at most per line: growing the list by doubling would move every row it holds, a
  // pause that grows with the list.
  model->Reserve(static_cast<std::size_t>(model->rowCount()) +
                 static_cast<std::size_t>(std::count(resultText.begin(), resultText.end(), '\n')) +
                 1);
  int count = 0;
  std::vector<ResultRow> batch;
  QElapsedTimer sinceEvents;
  sinceEvents.start();
  qint64 sliceMs = kEventSliceMs;
  ResultRecordReader reader(resultText);
  ResourceRecord record;
  bool isRecord = false;
  while (reader.Next(record, isRecord)) {
    if (isRecord) {
      ++count;
      const std::int64_t size = record.SizeValue();
      ResultRow row;
      row.texts = {FromLocal(record.name), FromLocal(SizeText(static_cast<double>(size))),
                   FromLocal(record.actor), FromLocal(QvodAddress(record))};
      row.imageIndex = 0;
      row.value = size;
      batch.push_back(std::move(row));
    }
    // Whole rows reach the list before events run, so a handler never sees half a row.
    if (sinceEvents.elapsed() >= sliceMs) {
      model->AppendRows(std::move(batch));
      batch.clear();
      QElapsedTimer eventsTook;
      eventsTook.start();
      if (!LetEventsRun()) return;
      sliceMs = std::clamp(kLongestHoldMs - eventsTook.elapsed(), kShortestSliceMs, kEventSliceMs);
      sinceEvents.restart();
    }
    if (state.stopRequested) break;
  }
  model->AppendRows(std::move(batch));

  model->SetColumnTitle(0, QStringLiteral("资源 >> 已找到 %1 条快播资源(双击自动播放)").arg(count));
  window_.searchButton()->setText(kIdleCaption);
}

}  // namespace xyx
