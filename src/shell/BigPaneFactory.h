#pragma once
#include "views/Pane.h"

// The parts of every enlarged frame: the record table of its kind, and the control panel and
// big view of the kinds that have been built; null leaves a pane empty.
QWidget *CreateBigPane(BigPane which, BigKind kind, int index, CPluvicamDoc *doc, QWidget *parent);
