#pragma once
#include "shell/Pane.h"

class CPluvicamDoc;
class QWidget;

// The record table, control panel and big view of an enlarged frame of `kind`, listening to
// `doc`; null for a part this program does not have yet (the frame leaves it empty).
QWidget *CreateBigPane(BigPane which, int kind, int index, CPluvicamDoc *doc, QWidget *parent);
