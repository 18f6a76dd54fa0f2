#pragma once
// The reference search service as a process on an ephemeral port, for the window's tests.

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <memory>

namespace xyx {

class ServiceProcess {
 public:
  ~ServiceProcess() { Stop(); }

  // Imports `catalogue` (tab-separated, UTF-8) from a file in `dir` and starts serving it.
  // Returns the "host:port" it listens on, or an empty text with `error` set.
  QString Start(const QString& dir, const QByteArray& catalogue, const QStringList& extra,
                QByteArray& error) {
    const QString tsv = dir + QStringLiteral("/catalogue.tsv");
    QFile file(tsv);
    if (!file.open(QIODevice::WriteOnly) || file.write(catalogue) != catalogue.size()) {
      error = "cannot write the catalogue";
      return {};
    }
    file.close();
    process_ = std::make_unique<QProcess>();
    process_->start(QStringLiteral(XIYINGXIA_SERVICE_BINARY),
                    QStringList{"--port", "0", "--import", tsv} + extra);
    if (!process_->waitForStarted()) {
      error = "the service did not start";
      return {};
    }
    QByteArray out;
    QElapsedTimer timer;
    timer.start();
    while (!out.contains('\n') && timer.elapsed() < 30000) {
      process_->waitForReadyRead(100);
      out += process_->readAllStandardOutput();
    }
    const int at = out.indexOf("listening on ");
    if (at < 0) {
      error = out + process_->readAllStandardError();
      return {};
    }
    return QString::fromUtf8(out.mid(at + 13).trimmed());
  }

  void Stop() {
    if (!process_) return;
    process_->terminate();
    process_->waitForFinished(5000);
    process_.reset();
  }

 private:
  std::unique_ptr<QProcess> process_;
};

}  // namespace xyx
