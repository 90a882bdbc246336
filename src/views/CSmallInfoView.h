#pragma once
#include "DiagramView.h"
#include "statistics/InfoTexts.h"

#include <optional>

// The record table of the main window: the current particle's parameters, the wind reading and
// the particle's place in the file.
class CSmallInfoView : public DiagramView {
  Q_OBJECT
public:
  CSmallInfoView(CPluvicamDoc *doc, QWidget *parent = nullptr);

  void OnParticle() override;
  void OnReset(int flag) override;

  // What the table shows: rows 0-8, the file row and the red status line; empty where nothing.
  const std::optional<info::ParticleRows> &Rows() const { return Values().rows; }
  const std::string &FileLabel() const { return Values().fileLabel; }
  const std::string &FilePosition() const { return Values().filePosition; }
  const std::string &StatusLine() const { return Values().statusLine; }

  // Logical cells (x 0-1000, y 0-1100 downwards) of row i (0-9) and of the status line.
  static QRectF LabelCell(int row);
  static QRectF ValueCell(int row);
  static QRectF StatusCell() { return QRectF(QPointF(70, 967), QPointF(930, 1038)); }

protected:
  QPointF WindowOrg() const override { return {0, 0}; }
  QSizeF WindowExt() const override { return {1000, 1100}; }
  void DrawFrame(QPainter &p) override;
  void DrawState(QPainter &p) override;
  void Resized() override;
  void PrepareState() override;

private:
  // Reads the particle, the wind and the status from the document.
  void ReadValues();
  void ClearValues();
  // The texts are made when shown, not for every particle of a run: the document still holds
  // the particle the view was last told of then.
  const CSmallInfoView &Values() const;

  std::optional<info::ParticleRows> rows;
  std::string fileLabel;
  std::string filePosition;
  std::string statusLine;
  bool cleared = false;
  bool valuesStale = false;
};
