#pragma once

enum class Pane { RainIntensity, Dsd, VVel, HVel, Obl, Side, Top, Info, Front };
