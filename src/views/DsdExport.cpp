#include "DsdExport.h"

#include "SlicedLoop.h"
#include "document/CPluvicamDoc.h"
#include "statistics/DsdNetcdfWriter.h"
#include "statistics/DsdProduct.h"
#include "statistics/DsdSeriesRun.h"

#include <QProgressDialog>
#include <ctime>

namespace {
class CollectedMessages : public UserMessages {
public:
  void Show(const std::string &text) override {
    if (first.empty())
      first = text;
  }
  std::string first;
};
} // namespace

DsdExportResult ExportDsdProduct(CPluvicamDoc &doc, const QString &path, QWidget *parent) {
  DsdExportResult result;
  if (!doc.HasHydFile() || doc.GetFileState() == CPluvicamDoc::fileNone) {
    result.error = QStringLiteral("No data file is open.");
    return result;
  }
  CollectedMessages messages;
  CPluvicamDoc reader(&messages);
  FilterRecord filter;
  doc.GetFilterSettings(filter);
  reader.SetFilterSettings(filter);
  reader.GetIntegrationSettings(IntegrationKind::Dsd) =
      doc.GetIntegrationSettings(IntegrationKind::Dsd);
  reader.SetViewFactor(doc.GetViewFactor());
  const std::string file = doc.GetFilePath();
  std::string error;
  if (!reader.OpenHydFile(file, &error, true)) {
    result.error = QString::fromStdString(error);
    return result;
  }

  const std::string history = UtcStamp(std::time(nullptr)) + " pluvicam: enlarged drop size " +
                              "distribution, Export of " + file;
  DsdNetcdfWriter writer;
  if (!writer.Create(path.toStdString(), MakeDsdProductLayout(reader, true, history),
                     doc.GetOutputGuard(), &error)) {
    result.error = QString::fromStdString(error);
    return result;
  }

  QProgressDialog progress(QStringLiteral("Exporting the drop size distribution\u2026"),
                           QStringLiteral("Cancel"), 0, 1000, parent);
  progress.setObjectName(QStringLiteral("exportProgress"));
  progress.setWindowTitle(QStringLiteral("Export"));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(300);
  progress.setAutoReset(false);
  progress.setAutoClose(false);

  DsdSeriesRun series(reader);
  bool writeFailed = false;
  series.onInterval = [&](const DsdInterval &r) {
    if (!writeFailed && !writer.Append(MakeDsdProductRow(reader, r, true), &error))
      writeFailed = true;
  };
  series.Start();
  int steps = 0;
  RunInSlices([&] {
    if (progress.wasCanceled() || writeFailed)
      return false;
    const bool more = series.Step(64);
    // The bar moves in a whole slice's steps, not per read.
    if (++steps % 64 == 0 || !more)
      progress.setValue(int(1000 * series.Fraction()));
    return more;
  });
  // Closing the dialog would count as a cancel.
  const bool cancelled = progress.wasCanceled();
  progress.hide();

  if (writeFailed) {
    result.error = QString::fromStdString(error);
    return result;
  }
  if (cancelled) {
    writer.Abandon();
    result.cancelled = true;
    return result;
  }
  result.intervals = (long long)writer.Rows();
  if (!writer.Finish(&error)) {
    result.error = QString::fromStdString(error);
    return result;
  }
  result.written = true;
  if (series.GetStatus() == DsdSeriesRun::Failed)
    result.error = QStringLiteral("The reading stopped at %1: %2")
                       .arg(series.Position())
                       .arg(QString::fromStdString(series.Message()));
  return result;
}
