#include "CSmallSideView.h"

CSmallSideView::CSmallSideView(CPluvicamDoc *doc, QWidget *parent)
    : CSmallContourView(doc, parent, Camera::B, "SIDE VIEW", QColor(0, 0, 192)) {}
