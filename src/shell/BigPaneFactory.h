#pragma once
#include "views/Pane.h"

// The parts of every enlarged frame: the record table of its kind, and the control panel and
// big view of the kinds that have been built; null leaves a pane empty. The gauge has the
// built-in mm per tip.
QWidget *CreateBigPane(BigPane which, BigKind kind, int index, CPluvicamDoc *doc, QWidget *parent);

// The same parts, the gauge's mm per tip asked of `tipSize` whenever its curve is drawn.
BigPaneFactory BigPanesWithTipSize(std::function<float()> tipSize);
