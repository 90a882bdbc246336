#pragma once
#include <QString>

class CPluvicamDoc;
class QWidget;

// The enlarged drop size distribution's export: the whole time window of the document's file
// with its current settings, as the netCDF product of `pluvicam-cli dsd --moments --netcdf`.
// The work runs under a progress dialog that can cancel it; the view's own state (file position,
// last interval) is left as it was, since the export reads the file through a document of its
// own.
struct DsdExportResult {
  bool written = false;
  bool cancelled = false; // nothing was written
  QString error;          // why nothing was written, or what stopped the reading early
  long long intervals = 0;
};

DsdExportResult ExportDsdProduct(CPluvicamDoc &doc, const QString &path, QWidget *parent);
