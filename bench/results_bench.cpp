// The result list's long operations on a real window holding 1,000,000 rows: sorting by size
// and by name (pinyin collation), a locate that scans every row without a match, and the
// export of every address. Each figure is the best of three; the sorts are compared with
// `LC_ALL=C sort` of the same keys in the same run. Runs on the offscreen platform unless
// QT_QPA_PLATFORM says otherwise.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "gui/app/main_window.h"
#include "gui/platform/file_dialog.h"
#include "gui/platform/message_box.h"
#include "gui/results/address_commands.h"
#include "gui/results/locate_command.h"
#include "gui/results/sorting.h"

namespace {

constexpr int kRows = 1'000'000;
constexpr int kRuns = 3;

const char* const kWords[] = {
    "星际", "穿越", "大话",   "西游",      "无间",   "道",      "霸王",       "别姬",     "功夫",
    "英雄", "少林", "足球",   "唐人街",    "探案",   "流浪",    "地球",       "让子弹飞", "活着",
    "城南", "旧事", "Matrix", "Inception", "Avatar", "Titanic", "Metropolis", "Nosferatu"};
const char* const kTags[] = {"HD", "hd", "BD", "1080P", "TC", "DVD", "国语", "粤语", "中字"};
const char* const kActors[] = {"周星驰", "刘德华", "梁朝伟",        "巩俐",       "章子怡",
                               "张曼玉", "Keanu",  "Brigitte Helm", "Max Schreck"};

std::vector<xyx::ResultRow> MakeRows() {
  std::mt19937_64 rng(20261211);
  std::vector<xyx::ResultRow> rows;
  rows.reserve(kRows);
  for (int i = 0; i < kRows; ++i) {
    QString name = QString::fromUtf8(kWords[rng() % std::size(kWords)]);
    // A random Han character or two, so that names do not repeat.
    for (int c = 0; c < 2; ++c) name += QChar(static_cast<char16_t>(0x4E00 + rng() % 0x51A6));
    name += QString::fromUtf8(kWords[rng() % std::size(kWords)]);
    name += QStringLiteral(" ") + QString::fromUtf8(kTags[rng() % std::size(kTags)]);
    if (rng() % 2 == 0) name += QStringLiteral(" %1").arg(1980 + rng() % 45);
    // Sizes from bytes to tens of gigabytes, evenly over the orders of magnitude.
    const auto size =
        static_cast<std::int64_t>(std::pow(10.0, static_cast<double>(rng() % 1100) / 100.0));
    const QString hash = QString::number(rng(), 16).toUpper();
    rows.push_back(
        xyx::ResultRow{{name, QStringLiteral("%1 B").arg(size),
                        QString::fromUtf8(kActors[rng() % std::size(kActors)]),
                        QStringLiteral("qvod://%1|%2|%3|").arg(size).arg(hash).arg(name)},
                       0,
                       size});
  }
  return rows;
}

double BestOf(const std::function<void()>& prepare, const std::function<void()>& work) {
  double best = 1e9;
  for (int run = 0; run < kRuns; ++run) {
    prepare();
    QElapsedTimer timer;
    timer.start();
    work();
    best = std::min(best, static_cast<double>(timer.nsecsElapsed()) / 1e9);
  }
  return best;
}

// Wall time of `LC_ALL=C sort <args> file`, best of three.
double SortCommand(const QStringList& args, const QString& file) {
  return BestOf([] {},
                [&] {
                  QProcess sort;
                  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
                  env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
                  sort.setProcessEnvironment(env);
                  sort.start(QStringLiteral("sort"), QStringList(args)
                                                         << QStringLiteral("-o")
                                                         << QStringLiteral("/dev/null") << file);
                  sort.waitForFinished(-1);
                });
}

bool WriteColumn(const std::vector<xyx::ResultRow>& rows, const QString& path,
                 const std::function<QByteArray(const xyx::ResultRow&)>& key) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  QByteArray all;
  for (const auto& row : rows) all += key(row) + '\n';
  return file.write(all) == all.size();
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir dir;
  xyx::AppState state;
  xyx::MainWindow window(state);
  window.show();
  xyx::ResultListModel& model = *window.resultModel();

  const std::vector<xyx::ResultRow> rows = MakeRows();
  auto refill = [&] {
    model.Clear();
    model.AppendRows(rows);
    QCoreApplication::processEvents();
  };

  const QString sizes = dir.filePath(QStringLiteral("sizes"));
  const QString names = dir.filePath(QStringLiteral("names"));
  WriteColumn(rows, sizes, [](const xyx::ResultRow& r) { return QByteArray::number(r.value); });
  WriteColumn(rows, names, [](const xyx::ResultRow& r) { return r.texts[0].toUtf8(); });

  // Each sort starts from the generated (unsorted) order.
  const double bySize = BestOf(refill, [&] { xyx::ColumnHeaderClicked(window, 1); });
  const bool sizeOrdered =
      std::is_sorted(model.Rows().begin(), model.Rows().end(), [&](const auto& a, const auto& b) {
        return state.sortAscendingNext == 1 ? a.value > b.value : a.value < b.value;
      });
  const double sortN = SortCommand({QStringLiteral("-n")}, sizes);
  const double byName = BestOf(refill, [&] { xyx::ColumnHeaderClicked(window, 0); });
  const double sortC = SortCommand({}, names);

  refill();
  window.searchEdit()->setText(QStringLiteral("没有这样的名字"));
  window.resultList()->SetCurrentRow(-1);
  const double locate = BestOf([] {}, [&] { xyx::LocateInResults(window); });
  const bool notFound = window.resultList()->CurrentRow() == -1;

  const QString target = dir.filePath(QStringLiteral("list.txt"));
  const double exported = BestOf(
      [&] {
        xyx::FileDialog::instance()->setNextFileName(target);
        xyx::MessageBox::setNextAnswer(QMessageBox::Ok);
      },
      [&] { xyx::ExportAddressList(window); });
  const bool exportOk = xyx::MessageBox::lastShown().text == QStringLiteral("导出成功！");

  std::printf("rows: %d\n", kRows);
  std::printf("sort by size (value keys):      %.3f s%s\n", bySize,
              sizeOrdered ? "" : "  WRONG ORDER");
  std::printf("  LC_ALL=C sort -n of the sizes: %.3f s  ratio %.2f\n", sortN, bySize / sortN);
  std::printf("sort by name (pinyin):          %.3f s\n", byName);
  std::printf("  LC_ALL=C sort of the names:    %.3f s  ratio %.2f\n", sortC, byName / sortC);
  std::printf("locate, no match, all rows:     %.3f s%s\n", locate,
              notFound ? "" : "  FOUND A ROW");
  std::printf("export of all addresses:        %.3f s  (%lld bytes)%s\n", exported,
              static_cast<long long>(QFile(target).size()), exportOk ? "" : "  FAILED");
  return sizeOrdered && notFound && exportOk ? 0 : 1;
}
