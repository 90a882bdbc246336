#include "CSmallSideView.h"

CSmallSideView::CSmallSideView(CPluvicamDoc *doc, QWidget *parent)
    : CSmallContourView(doc, parent, 1, "SIDE VIEW", QColor(0, 0, 192)) {}
