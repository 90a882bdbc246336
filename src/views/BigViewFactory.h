#pragma once
#include "shell/Pane.h"

class CPluvicamDoc;
class QWidget;

// The parts of an enlarged frame of `kind`: its record table, its control panel and its big
// view. Null for a part not built yet (the frame shows an empty pane there).
QWidget *CreateBigPane(BigPane which, int kind, int index, CPluvicamDoc *doc, QWidget *parent);
