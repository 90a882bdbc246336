#pragma once
// An enlarged frame of the real panes over the view test's document.
#include "ViewTestSupport.h"
#include "shell/BigPaneFactory.h"
#include "shell/CBigFrame.h"

#include <QApplication>
#include <QSize>
#include <memory>

namespace viewtest {

class BigFrameTest : public ViewTest {
protected:
  void TearDown() override {
    frame.reset();
    ViewTest::TearDown();
  }
  // The frame of `kind`, shown at `size` with its layout and first paint done; its diagram as a
  // `View`, null when it is something else.
  template <class View> View *OpenFrame(BigKind kind, QSize size = {1000, 700}) {
    frame = std::make_unique<CBigFrame>(kind, &doc, CreateBigPane);
    frame->resize(size);
    frame->show();
    QApplication::processEvents();
    return qobject_cast<View *>(frame->Diagram());
  }

  std::unique_ptr<CBigFrame> frame;
};

} // namespace viewtest
