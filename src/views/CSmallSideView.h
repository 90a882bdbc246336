#pragma once
#include "SmallContourView.h"

// Camera B's outline of the current particle (side view), in the main window's particle grid.
class CSmallSideView : public SmallContourView {
  Q_OBJECT
public:
  CSmallSideView(CPluvicamDoc *doc, QWidget *parent = nullptr);
};
