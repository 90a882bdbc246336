#pragma once
#include "CSmallContourView.h"

// Camera A's outline of the current particle (front view), in the main window's particle grid.
class CSmallFrontView : public CSmallContourView {
  Q_OBJECT
public:
  CSmallFrontView(CPluvicamDoc *doc, QWidget *parent = nullptr);
};
