#pragma once
#include "views/BusyView.h"
