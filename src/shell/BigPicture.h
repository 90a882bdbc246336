#pragma once
#include <QString>
#include <QStringList>

class CMainFrame;
class QWidget;

// Picture mode of the enlarged diagrams (`--big NAME`): open one, press what a user would press
// to fill it, and hand back the frame to take a picture of.
namespace bigpicture {

// The names `--big` takes, in frame-kind order.
QStringList Names();
// The frame kind of a name, -1 for an unknown name.
int KindOf(const QString &name);
// Opens the enlarged frame of `kind` over the main frame's open file, presses Run (and Tip when
// `tip` is set, for the rain rate) and waits until the diagram is idle. Null with `error` set
// when no frame could be opened.
QWidget *Prepare(CMainFrame *frame, int kind, bool tip, QString *error);

} // namespace bigpicture
