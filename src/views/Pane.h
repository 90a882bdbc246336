#pragma once
#include <QWidget>

#include <functional>

class CPluvicamDoc;

// The small views of the main window's grid: the diagram row left to right, then the particle
// grid (side, top / record table, front).
enum class Pane { RainIntensity, Dsd, VVel, HVel, Obl, Side, Top, Info, Front };

// Makes the view of one pane as a child of `parent`; the view registers itself with the document
// as a DocumentListener if it wants to be told of particles.
using PaneFactory = std::function<QWidget *(Pane, CPluvicamDoc *, QWidget *parent)>;

// The enlarged frames. The values are the frame numbers the small views ask for.
enum class BigKind { RainRate = 0, Dsd = 1, VVel = 2, HVel = 3, Obl = 4, DropView = 5 };

// The parts of an enlarged frame: record table, the kind's control panel and its big view (the
// drop view has two, index 0 left and 1 right).
enum class BigPane { Info, Panel, View };

using BigPaneFactory =
    std::function<QWidget *(BigPane, BigKind, int index, CPluvicamDoc *, QWidget *parent)>;
