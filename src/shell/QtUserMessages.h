#pragma once
#include "document/UserMessages.h"

class QWidget;

// Shows every message in a plain modal message box over the main window.
class QtUserMessages : public UserMessages {
public:
  void SetParent(QWidget *parent) { owner = parent; }
  void Show(const std::string &text) override;

private:
  QWidget *owner = nullptr;
};
