#pragma once
#include "Pane.h"

class CPluvicamApp;

// The enlarged frames' parts as the application has them, wired to the application: help pages
// and the stored settings (the gauge's tip size).
BigPaneFactory StandardBigPanes(CPluvicamApp *app);
