#pragma once
#include <QString>
#include <QStringList>

class CMainFrame;

// Picture mode of the enlarged diagrams: `--big NAME` opens the diagram, presses its buttons as
// asked and runs it through the time window.
struct BigPictureRequest {
  QString name;
  bool comp = false;
  bool grid = false;
};

// The names `--big` knows, for the help text.
QStringList BigPictureNames();

// Opens and runs the enlarged diagram; false with `error` set for an unknown name or when the
// frame could not be opened. Returns when the run has ended.
bool RunBigPicture(CMainFrame *frame, const BigPictureRequest &request, QString &error);
