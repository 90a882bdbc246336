#pragma once
#include "SmallContourView.h"

// Camera A's outline of the current particle (front view), in the main window's particle grid.
class CSmallFrontView : public SmallContourView {
  Q_OBJECT
public:
  CSmallFrontView(CPluvicamDoc *doc, QWidget *parent = nullptr);
};
