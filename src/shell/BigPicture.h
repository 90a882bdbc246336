#pragma once
#include "data/OutputGuard.h"

#include <QString>

class CPluvicamApp;
class QCommandLineParser;
class QWidget;

// Picture mode of the enlarged frames: `--big NAME` opens one after the main window's steps and
// presses its buttons as further options say; the picture is then taken of the big frame.
namespace bigpicture {

// Adds --big and the options of every enlarged frame.
void AddOptions(QCommandLineParser &parser);
bool Requested(const QCommandLineParser &parser);
// Checks the options before anything is opened; empty when they are fine.
QString CheckOptions(const QCommandLineParser &parser);
// Opens the frame and presses its buttons. Returns the frame to take the picture of, or null
// with `error` filled.
QWidget *Prepare(CPluvicamApp &app, const QCommandLineParser &parser, QString &error);
// Writes the picture of `subject` to `path`: an enlarged diagram's own vector picture when the
// name ends in ".svg", else the window as the screen shows it. False with `error` set.
bool Save(QWidget *subject, const QString &path, const OutputGuard &guard, QString &error);

} // namespace bigpicture
