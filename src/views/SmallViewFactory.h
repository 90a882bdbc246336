#pragma once
#include "Pane.h"

class CPluvicamDoc;
class QWidget;

// The view of a pane of the main window's grid, listening to `doc`.
QWidget *CreateSmallView(Pane pane, CPluvicamDoc *doc, QWidget *parent);
