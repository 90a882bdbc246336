#pragma once
#include <QString>
#include <QStringList>

class CBigFrame;
class CMainFrame;

// Picture mode of the enlarged diagrams: `pluvicam FILE --big NAME` opens one as a double click
// on its small diagram would and presses its panel's buttons, so that a picture can be taken.
struct BigPictureRequest {
  QString name;      // one of BigPictureNames()
  int runs = 1;      // presses of Run, each returning when its computation has ended
  bool comp = false; // press Comp afterwards (diagrams with a model comparison)
};

// The names that --big accepts.
QStringList BigPictureNames();
// Opens the frame and presses the buttons. Null with `error` set when the name is unknown, the
// request does not fit the diagram, or no frame opens (no file).
CBigFrame *OpenBigPicture(CMainFrame &frame, const BigPictureRequest &request, QString &error);
