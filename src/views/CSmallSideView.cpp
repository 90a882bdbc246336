#include "CSmallSideView.h"

CSmallSideView::CSmallSideView(CPluvicamDoc *doc, QWidget *parent)
    : SmallContourView(doc, parent, Camera::B, "SIDE VIEW", QColor(0, 0, 192)) {}
