#pragma once
#include "DiagramPicture.h"
#include "LogicalMapping.h"
#include "document/DocumentListener.h"

#include <QImage>
#include <QPolygonF>
#include <QTimer>
#include <QWidget>
#include <initializer_list>

class CPluvicamDoc;
class QMenu;
class QPainter;
struct HydRecord;

// Base of the small views: an off-screen image of client size holding the frame and whatever
// the view has accumulated, rebuilt when the size changes; paint only copies it. Drawing is in
// logical units through a window/viewport mapping, text in "Courier New" whose height is given
// in logical units and turned into pixels by the mapping.
class DiagramView : public QWidget, public DocumentListener {
  Q_OBJECT
public:
  DiagramView(CPluvicamDoc *doc, QWidget *parent);
  ~DiagramView() override;

  // The image as it stands after everything the view was told; built now if it was put off.
  const QImage &Image() const;
  // Builds the image now if a rebuild was put off.
  void Flush();

  // The picture of the diagram as shown, at its current size: PNG (`scale` times the size), or
  // SVG when the name ends in ".svg". False with `error` set.
  bool SavePicture(const QString &path, QString *error = nullptr, double scale = 1);
  // The picture onto the clipboard.
  void CopyPicture();
  // Everything the screen shows of the diagram, drawn anew at its size.
  diagrampicture::Scene PictureScene();
  // The diagram in words for file names ("dsd", "rain-rate").
  QString PictureName() const { return pictureName; }
  // The context menu of every diagram: "Save picture…" and "Copy picture", then what the view
  // adds. The caller owns it.
  QMenu *CreatePictureMenu(QWidget *parent);
  // The mapping of the current client size.
  LogicalMapping Mapping() const;
  // The device pixel that a logical point falls on.
  QPoint DevicePixel(QPointF logical) const;

  // Text height in device pixels below which labels are no longer legible.
  static constexpr int MIN_TEXT_PIXELS = 9;

  enum Align {
    Left = 0x1,
    HCenter = 0x2,
    Right = 0x4,
    Top = 0x10,
    VCenter = 0x20,
    Bottom = 0x40,
  };
  // Text at a logical point, aligned to it as `align` says; heights in logical units.
  void DrawText(QPainter &p, QPointF at, const QString &text, int align, double height,
                const QColor &colour = Qt::black, bool bold = false, double rotation = 0) const;

protected:
  static const QColor BACKGROUND;

  virtual QPointF WindowOrg() const = 0;
  virtual QSizeF WindowExt() const = 0;
  virtual bool IsotropicMapping() const { return false; }
  // Device pixels the view needs left of x = 0 for its y axis's ticks and labels, under the
  // mapping of the window it asks for. Where the pane is narrower than that, the window reaches
  // further left, so that the labels are neither cut nor drawn over the axis.
  virtual double LeftMarginPixels(const LogicalMapping &) const { return 0; }
  // Pixels across `text` at `height` logical units, as DrawText sets it under `m`.
  static double TextPixels(const LogicalMapping &m, const QString &text, double height);
  // Logical length along x of `pixels` device pixels.
  double LogicalLengthX(double pixels) const;
  // The left margin that y-axis labels need when they stand, right-aligned, Y_LABEL_GAP pixels
  // left of ticks `tick` logical units long; and the x they are anchored at.
  static double YLabelMargin(const LogicalMapping &m, std::initializer_list<const char *> labels,
                             double tick, double height);
  double YLabelX(double tick) const { return -tick - LogicalLengthX(Y_LABEL_GAP); }
  static constexpr double Y_LABEL_GAP = 2;
  // Axes, titles and everything fixed; the image has just been filled light grey.
  virtual void DrawFrame(QPainter &p) = 0;
  // The frame as the view shows it now: DrawFrame unless the view draws another (zoomed).
  virtual void PaintFrame(QPainter &p) { DrawFrame(p); }
  // The window after the view's own choice, for views that show part of it (zoom).
  virtual void AdjustWindow(QPointF &, QSizeF &, QSizeF) const {}
  // Device rectangle the state and overlay are kept within; empty for no limit.
  virtual QRect StateClip() const { return {}; }
  // Sets StateClip on a painter when there is one.
  void ClipToState(QPainter &p) const;
  // Whether the painter draws into a format that keeps no clip (SVG): what must stay inside a
  // rectangle is cut to it before it is drawn.
  static bool KeepsNoClip(const QPainter &p);
  // The polyline through logical `points`, cut to the logical rectangle `clip` (x and y
  // growing); for painters that keep no clip.
  static void DrawClippedPolyline(QPainter &p, const QPolygonF &points, const QRectF &clip);
  // What the view keeps as state (a particle, bars, a curve) on top of the frame.
  virtual void DrawState(QPainter &) {}
  // What is painted over the image whenever it is shown (model curves, legends).
  virtual void DrawOverlay(QPainter &) {}
  // The picture's painting: by default the image as it stands with the overlay on top.
  virtual void PaintScene(QPainter &p);
  // Entries a view adds to the context menu below the picture's.
  virtual void AddMenuActions(QMenu &) {}
  void SetPictureName(const QString &name) { pictureName = name; }
  // On a size change: by default the frame and the kept state are drawn anew.
  virtual void Resized() { Rebuild(); }

  // The document's current particle when its last read accepted one, else null.
  const HydRecord *AcceptedRecord() const;
  // Shows the image on screen soon. A run delivers a particle every millisecond or faster; the
  // screen follows at about 60 pictures a second.
  void ScheduleRepaint();
  // The frame changes with the view's state (a scale, a filter): draw it anew at the next
  // rebuild.
  void InvalidateFrame() { frame = QImage(); }
  // Frame and state are to be drawn anew. The drawing is put off until the image is shown or
  // asked for, so a run that replaces the state many times between two pictures draws it once;
  // what is drawn must therefore come from the view's members, not from the document.
  void Rebuild();
  // The image to draw into directly (a dot, a mark), with any put-off rebuild done first.
  QImage &Canvas();
  // Called by a put-off rebuild just before drawing: views that read the document lazily take
  // the state of the last particle they were told of here.
  virtual void PrepareState() {}
  // Called by Flush after any put-off rebuild: views that collect marks between two pictures
  // draw them into the image here, in the order they came.
  virtual void DrawPending() {}
  // Sets the logical mapping on a painter of the image (or of anything of client size).
  void ApplyMapping(QPainter &p) const;
  // Height in logical units of a font of n/72 inch on this display: R·n/72.
  double FontHeight(double n) const;
  // A text height of at most `height` logical units whose characters stay within `charWidth`
  // logical units across, for tables whose cells must hold their texts at any aspect.
  double FittingHeight(double height, double charWidth) const;
  // Logical width of `text` as DrawText sets it at `height`.
  double TextWidth(const QString &text, double height, bool bold = false) const;
  // Text inside a logical rectangle (any two opposite corners).
  void DrawTextInRect(QPainter &p, QPointF corner1, QPointF corner2, const QString &text, int align,
                      double height, const QColor &colour = Qt::black, bool bold = false) const;
  // One device pixel at a logical point, when it lies inside the image.
  void SetLogicalPixel(QPointF logical, QColor colour);

  void resizeEvent(QResizeEvent *event) override;
  void paintEvent(QPaintEvent *event) override;
  void contextMenuEvent(QContextMenuEvent *event) override;

  CPluvicamDoc *doc;
  QImage image;
  QImage frame; // the frame alone, drawn once per size
  QTimer repaintTimer;

private:
  // The diagrams' typewriter font, `height` logical units high but never below MIN_TEXT_PIXELS.
  static QFont TextFont(const LogicalMapping &m, double height, bool bold);
  // Asks for a file name and saves the picture there.
  void AskAndSavePicture();
  // The image at the widget's size, even when its resize is still pending (a hidden widget).
  const QImage &Picture();
  void Draw();
  bool stale = false; // a rebuild was put off
  QString pictureName;
};

// Cosmetic pen: `width` device pixels whatever the mapping.
QPen PixelPen(const QColor &colour, int width = 1);
