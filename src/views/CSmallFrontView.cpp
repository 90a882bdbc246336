#include "CSmallFrontView.h"

CSmallFrontView::CSmallFrontView(CPluvicamDoc *doc, QWidget *parent)
    : CSmallContourView(doc, parent, 0, "FRONT VIEW", QColor(192, 0, 0)) {}
