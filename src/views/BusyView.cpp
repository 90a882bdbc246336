#include "BusyView.h"

BusyView::~BusyView() = default;
