#include "BigFrameHost.h"

#include <QWidget>

BigFrameHost::~BigFrameHost() = default;

BigFrameHost *BigFrameHost::Of(const QWidget *widget) {
  return widget ? dynamic_cast<BigFrameHost *>(widget->window()) : nullptr;
}

BigFrameOpener::~BigFrameOpener() = default;

BigFrameOpener *BigFrameOpener::Of(const QWidget *widget) {
  return widget ? dynamic_cast<BigFrameOpener *>(widget->window()) : nullptr;
}
