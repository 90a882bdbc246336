#include "CSmallFrontView.h"

CSmallFrontView::CSmallFrontView(CPluvicamDoc *doc, QWidget *parent)
    : SmallContourView(doc, parent, Camera::A, "FRONT VIEW", QColor(192, 0, 0)) {}
