#pragma once
#include "shell/Pane.h"

// Makes the parts of an enlarged frame of `kind`: the record table, the kind's control panel and
// its big view (after its initial update). Null for a part that does not exist yet.
QWidget *CreateBigPane(BigPane which, int kind, int index, CPluvicamDoc *doc, QWidget *parent);
