// Pictures of the diagrams, as a user saves or copies them from the context menu.
#include "CliRunner.h"
#include "ViewTestSupport.h"
#include "views/CBigParticleView.h"
#include "views/DiagramView.h"
#include "views/SmallViewFactory.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QMenu>
#include <QTimer>
#include <QXmlStreamReader>
#include <memory>

using namespace viewtest;

namespace {

std::string MenuTexts(DiagramView &view) {
  std::unique_ptr<QMenu> menu(view.CreatePictureMenu(nullptr));
  QStringList texts;
  for (QAction *a : menu->actions())
    texts << a->text() + (a->isEnabled() ? "" : " (disabled)");
  return texts.join(" | ").toStdString();
}

} // namespace

class DiagramPictureTest : public ViewTest {
protected:
  void SetUp() override {
    ViewTest::SetUp();
    WriteDay({Drop(6 * 3600 + 10, 3.0, 7.5, 2.5, 1.0, 200, 300)});
    Open();
    view.reset(dynamic_cast<DiagramView *>(CreateSmallView(Pane::VVel, &doc, nullptr)));
    ASSERT_NE(view, nullptr);
    view->resize(320, 240);
    view->show();
    ASSERT_EQ(Step(), 0);
  }
  std::unique_ptr<DiagramView> view;
};

TEST_F(DiagramPictureTest, EverySmallAndEnlargedDiagramOffersThePictureMenu) {
  const std::string expected = "Save picture\u2026 | Copy picture";
  for (Pane pane : {Pane::RainIntensity, Pane::Dsd, Pane::VVel, Pane::HVel, Pane::Obl, Pane::Side,
                    Pane::Top, Pane::Info, Pane::Front}) {
    std::unique_ptr<QWidget> widget(CreateSmallView(pane, &doc, nullptr));
    auto *diagram = dynamic_cast<DiagramView *>(widget.get());
    ASSERT_NE(diagram, nullptr) << int(pane);
    diagram->resize(200, 150);
    EXPECT_EQ(MenuTexts(*diagram), expected) << int(pane);
  }
  CBigParticleView big(&doc, 0);
  big.resize(500, 400);
  EXPECT_EQ(MenuTexts(big), expected);
  // Without a size there is nothing to save.
  CBigParticleView unsized(&doc, 1);
  unsized.resize(0, 0);
  EXPECT_EQ(MenuTexts(unsized), "Save picture\u2026 (disabled) | Copy picture (disabled)");

  // A right click opens it on the diagram.
  std::string shown;
  QTimer::singleShot(0, [&] {
    if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
      QStringList texts;
      for (QAction *a : menu->actions())
        texts << a->text();
      shown = texts.join(" | ").toStdString();
      menu->close();
    }
  });
  QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(10, 10),
                          view->mapToGlobal(QPoint(10, 10)));
  QApplication::sendEvent(view.get(), &click);
  EXPECT_EQ(shown, expected);
}

TEST_F(DiagramPictureTest, PngIsTheDiagramAsShownAtItsSize) {
  const QString path = QString::fromStdString(Path("vvel.png"));
  QString error;
  ASSERT_TRUE(view->SavePicture(path, &error)) << error.toStdString();
  QImage saved(path);
  ASSERT_FALSE(saved.isNull());
  EXPECT_EQ(saved.size(), QSize(320, 240));
  EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), view->Image());
  // The particle's dot is in it, not only the frame.
  const QImage frameOnly = [&] {
    std::unique_ptr<QWidget> fresh(CreateSmallView(Pane::VVel, nullptr, nullptr));
    fresh->resize(320, 240);
    return static_cast<DiagramView *>(fresh.get())->Image();
  }();
  EXPECT_NE(saved.convertToFormat(QImage::Format_RGB32), frameOnly);

  // Resized, the picture follows the new size.
  view->resize(200, 100);
  ASSERT_TRUE(view->SavePicture(path, &error)) << error.toStdString();
  EXPECT_EQ(QImage(path).size(), QSize(200, 100));

  // Copy puts the same picture on the clipboard.
  view->CopyPicture();
  EXPECT_EQ(QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
            view->Image());
}

TEST_F(DiagramPictureTest, SvgIsWellFormedAndOfTheDiagramsSize) {
  const QString path = QString::fromStdString(Path("vvel.svg"));
  QString error;
  ASSERT_TRUE(view->SavePicture(path, &error)) << error.toStdString();
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QXmlStreamReader xml(&file);
  QString root, viewBox;
  int images = 0;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement)
      continue;
    if (root.isEmpty()) {
      root = xml.name().toString();
      viewBox = xml.attributes().value("viewBox").toString();
    }
    images += xml.name() == QLatin1String("image");
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_EQ(root, "svg");
  EXPECT_EQ(viewBox, "0 0 320 240");
  EXPECT_EQ(images, 1);
}

TEST_F(DiagramPictureTest, APictureNeverLandsOnTheDataOrItsIndex) {
  std::filesystem::create_symlink(Path("day1.hd"), Path("index.png"));
  for (const char *target : {"day1.hyd", "day1.hd", "index.png"}) {
    const std::string before = ReadWholeFile(Path("day1.hyd")) + ReadWholeFile(Path("day1.hd"));
    QString error;
    EXPECT_FALSE(view->SavePicture(QString::fromStdString(Path(target)), &error)) << target;
    EXPECT_TRUE(error.contains(QString::fromStdString(Path("day1.hyd")))) << error.toStdString();
    EXPECT_EQ(ReadWholeFile(Path("day1.hyd")) + ReadWholeFile(Path("day1.hd")), before) << target;
  }
  EXPECT_TRUE(std::filesystem::is_symlink(Path("index.png")));
}

TEST_F(DiagramPictureTest, AFailedSaveSaysWhereAndKeepsTheOldPicture) {
  const QString missing = QString::fromStdString(Path("no-such-folder/x.png"));
  QString error;
  EXPECT_FALSE(view->SavePicture(missing, &error));
  EXPECT_TRUE(error.contains(missing)) << error.toStdString();

  // A picture in a format that cannot hold it leaves the earlier file as it was.
  const QString path = QString::fromStdString(Path("kept.png"));
  ASSERT_TRUE(view->SavePicture(path, &error));
  const QByteArray before = [&] {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
  }();
  CBigParticleView unsized(&doc, 0);
  unsized.resize(0, 0);
  EXPECT_FALSE(unsized.SavePicture(path, &error));
  QFile after(path);
  ASSERT_TRUE(after.open(QIODevice::ReadOnly));
  EXPECT_EQ(after.readAll(), before);
}
