#pragma once
#include <QString>

// The object name under which a form or panel keeps a control: its id, given by the form's own
// constants (CMainCtrlPanel::IDC_RUN and the like), so that tests never spell the numbers.
inline QString ControlId(int id) { return QString::number(id); }
