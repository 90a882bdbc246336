#include "MainLayout.h"

#include <algorithm>

MainLayout ComputeMainLayout(int clientWidth, int clientHeight, int statusBarHeight,
                             int toolBarHeight, int menuBarHeight) {
  auto nonNegative = [](int v) { return std::max(v, 0); };
  MainLayout l;
  l.W = clientWidth;
  l.H = nonNegative(clientHeight - statusBarHeight - toolBarHeight - menuBarHeight);
  // Slightly below 10/37, so that H = 37 gives 9.
  l.topH = nonNegative(int(double(l.H) * 0.27027027027027023));
  l.halfW = nonNegative((l.W - 8) / 2);
  l.fifthW = nonNegative((l.W - 32) / 5);
  l.gridH = nonNegative((l.H - l.topH) / 2);
  l.quarterW = nonNegative((l.halfW - 8) / 2);
  return l;
}

BigLayout ComputeBigLayout(int clientWidth, int clientHeight) {
  BigLayout l;
  l.topH = std::max(clientHeight / 5, 0);
  l.infoW = std::max((2 * clientWidth) / 3, 0);
  l.halfW = std::max(clientWidth / 2, 0);
  return l;
}
