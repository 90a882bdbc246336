#pragma once
// The fixed proportions of the main window's grid and of an enlarged frame, in whole pixels.

// Every pane keeps at least this size.
constexpr int MIN_PANE_SIZE = 20;

struct MainLayout {
  int W = 0;        // client width
  int H = 0;        // client height less status bar, toolbar and menu bar
  int topH = 0;     // height of the diagram row
  int halfW = 0;    // width of the particle grid (and of the outer splitter's column)
  int fifthW = 0;   // width of each small diagram
  int gridH = 0;    // height of each row of the particle grid
  int quarterW = 0; // width of each column of the particle grid
};

MainLayout ComputeMainLayout(int clientWidth, int clientHeight, int statusBarHeight,
                             int toolBarHeight, int menuBarHeight);

struct BigLayout {
  int topH = 0;  // record table and panel row
  int infoW = 0; // record table width
  int halfW = 0; // left drop view width
};

BigLayout ComputeBigLayout(int clientWidth, int clientHeight);
