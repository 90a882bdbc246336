#include "CBigInfoView.h"

#include "document/CPluvicamDoc.h"
#include "particle/CHydData.h"
#include "statistics/InfoTexts.h"

#include <QPainter>
#include <ctime>

namespace {
constexpr double TEXT_HEIGHT = 28;     // logical units in a row of 38
constexpr double CELL_CHAR_WIDTH = 14; // "Oblateness" before the minimum column
const QColor DARK_RED(192, 0, 0);
} // namespace

CBigInfoView::CBigInfoView(CPluvicamDoc *doc, QWidget *parent) : DiagramView(doc, parent) {
  Refresh();
}

void CBigInfoView::SetKind(BigKind newKind) {
  kind = newKind;
  Refresh();
}

void CBigInfoView::Text(double x, double y, const std::string &text, QColor colour) {
  items.push_back({QRectF(x, y, 0, 0), text, Left | VCenter, colour});
}

void CBigInfoView::Cell(double x1, double y1, double x2, double y2, const std::string &text,
                        int align, QColor colour) {
  items.push_back({QRectF(QPointF(x1, y1), QPointF(x2, y2)), text, align, colour});
}

std::string CBigInfoView::TextAt(double x, double y) const {
  for (const Item &i : items)
    if (i.cell.left() == x && i.cell.top() == y)
      return i.text;
  return {};
}

void CBigInfoView::Refresh() {
  items.clear();
  if (doc) {
    using info::Format;
    const MainHeader *header = doc->CurrentMainHeader();
    const bool open = header && doc->GetFileState() != CPluvicamDoc::fileNone;
    Text(20, 19, "File");
    if (open)
      Cell(135, 0, 740, 38, doc->GetFileName());
    Text(415, 19, "Time");
    const FilterRecord &f = doc->GetFilter().Fixed();
    Cell(530, 0, 740, 38,
         Format("%02d:%02d - %02d:%02d", f.startTime.hour, f.startTime.minute, f.endTime.hour,
                f.endTime.minute));
    Text(415, 57, "Date");
    if (open) {
      const std::time_t t = header->time;
      std::tm utc{};
      if (gmtime_r(&t, &utc))
        Cell(510, 38, 740, 76, Format("%d/%d/%d", utc.tm_mday, utc.tm_mon + 1, utc.tm_year + 1900));
    }
    const char *filterWord = "FILTER";
    for (int i = 0; i < 6; ++i)
      Cell(740, i * 190.0 / 6, 790, (i + 1) * 190.0 / 6, std::string(1, filterWord[i]),
           HCenter | VCenter, DARK_RED);
    const char *labels[] = {"Diameter", "Velocity", "Oblateness", "Pixel A", "Pixel B"};
    const std::string minima[] = {
        Format("%3.2f mm", double(f.diamMin)), Format("%3.2f m/s", double(f.velMin)),
        Format("%3.2f", double(f.oblMin)), Format("%d", f.minPixA), Format("%d", f.minPixB)};
    const std::string maxima[] = {
        Format("%3.2f mm", double(f.diamMax)), Format("%3.2f m/s", double(f.velMax)),
        Format("%3.2f", double(f.oblMax)), Format("%d", f.maxPixA), Format("%d", f.maxPixB)};
    for (int i = 0; i < 5; ++i) {
      Text(810, 19 + 38 * i, labels[i]);
      Cell(1010, 38 * i, 1190, 38 * (i + 1), minima[i], Right | VCenter);
      Cell(1190, 38 * i, 1350, 38 * (i + 1), maxima[i], Right | VCenter);
    }
    KindBlock();
  }
  Rebuild();
}

void CBigInfoView::KindBlock() {
  using info::Format;
  if (kind == BigKind::DropView) {
    Text(20, 57, "Hyd. Time");
    Text(20, 95, "Eq.Diam.");
    Text(20, 133, "Oblateness");
    Text(390, 95, "Velocity");
    Text(390, 133, "Type");
    int status = -1;
    std::string message;
    if (const HydRecord *r = doc->GetHydHeader(&status, &message)) {
      TimeOfDay t;
      if (doc->TimToTimeOfDay(r->tim, &t) == 1)
        Text(195, 57, info::TimeText(t));
      Text(195, 95, Format("%.2f mm", double(r->diameter)));
      Text(565, 95, Format("%.2f m/s", double(r->velocity)));
      Text(565, 133, info::ClassName(r->dropType));
      Text(195, 133, Format("%.2f", double(r->oblateness)));
    }
    if (status == CPluvicamDoc::statusEndOfFile || status == CPluvicamDoc::statusOutOfTime ||
        status == CPluvicamDoc::statusBadRecord)
      Text(20, 170, message, DARK_RED);
    return;
  }

  Text(20, 57, "Int. ");
  if (kind == BigKind::RainRate) {
    Text(20, 133, "Int. Mode");
    Text(20, 171, "Rain");
    const IntegrationSettings &s = doc->GetIntegrationSettings(IntegrationKind::RainRate);
    if (s.mode == IntegrationMode::Rain)
      Text(210, 133, Format("Rain (%3.2f mm)", double(s.rainInterval)));
    else if (s.mode == IntegrationMode::Time)
      Text(210, 133, Format("Time (%.0f sec)", double(s.timeInterval)));
    if (s.result != 0)
      Text(200, 171, Format("Nimbal: %.2f mm", double(s.result)));
    if (s.gaugeTotal != -1.0f)
      Text(550, 171, Format("Tip: %.1f mm", double(s.gaugeTotal)));
  } else if (kind == BigKind::Dsd) {
    Text(20, 95, "Rain");
    Text(20, 133, "Time Int");
    Text(20, 171, "Objects");
    Text(360, 133, "Rainrate");
    Text(360, 171, "Delta D");
    const IntegrationSettings &s = doc->GetIntegrationSettings(IntegrationKind::Dsd);
    Text(185, 92, Format("%3.2f mm", double(s.rainInterval)));
    Text(185, 133, Format("%.2f s", double(s.timeInterval)));
    Text(185, 171, Format("%ld", long(s.dropCount)));
    // With the velocity check on, what it removed has a cell of its own beside the rain.
    if (doc->VelocityQcApplies()) {
      Text(360, 95, "Removed");
      Text(530, 95, Format("%ld", long(doc->GetIntegrationState()->removed)));
    }
    Text(530, 133, Format("%3.2f mm/h", double(s.result)));
    Text(530, 171, Format("%3.2f mm", double(s.deltaD)));
    MomentRows();
  } else {
    Text(20, 95, "Objects");
    Text(195, 95, Format("%ld", long(doc->GetIntegrationState()->count)));
    if (particleShown)
      ParticleRows();
  }
  const IntegrationState *state = doc->GetIntegrationState();
  TimeOfDay start, end;
  if (state->valid && doc->TimToTimeOfDay(state->startTim, &start) == 1 &&
      doc->TimToTimeOfDay(state->endTim, &end) == 1)
    Cell(120, 38, 395, 76,
         Format("%02d:%02d:%02d-%02d:%02d:%02d", start.hour, start.minute, start.second, end.hour,
                end.minute, end.second));
}

void CBigInfoView::ParticleRows() {
  using info::Format;
  int status = -1;
  const HydRecord *r = doc->GetHydHeader(&status);
  if (!r || status != CPluvicamDoc::statusAccepted)
    return;
  TimeOfDay t;
  Text(20, 133, "Particle");
  if (doc->TimToTimeOfDay(r->tim, &t) == 1)
    Text(195, 133, info::TimeText(t));
  Text(420, 133, info::ClassName(r->dropType));
  Text(20, 171,
       Format("%.2f mm  %.2f m/s  H/W %.2f", double(r->diameter), double(r->velocity),
              double(r->oblateness)));
}

void CBigInfoView::MomentRows() {
  using info::Format;
  if (!dsdMoments)
    return;
  const DsdMoments &m = *dsdMoments;
  auto value = [](const std::optional<double> &v, const char *format) {
    return v ? Format(format, *v) : std::string("-");
  };
  Text(20, 209,
       "Nt " + value(m.nt, "%.4g") + " 1/m\u00B3   W " + value(m.w, "%.3g") + " g/m\u00B3   Z " +
           value(m.z, "%.1f") + " dBZ   Dm " + value(m.dm, "%.2f") + " mm");
  Text(20, 247,
       "D0 " + value(m.d0, "%.2f") + " mm   Nw " + value(m.nw, "%.4g") + " 1/(mm m\u00B3)   mu " +
           value(m.mu, "%.2f") + "   Lambda " + value(m.lambda, "%.2f") + " 1/mm");
}

void CBigInfoView::DrawFrame(QPainter &) {}

void CBigInfoView::DrawState(QPainter &p) {
  const double height = FittingHeight(TEXT_HEIGHT, CELL_CHAR_WIDTH);
  for (const Item &i : items) {
    const QString text = QString::fromStdString(i.text);
    if (i.cell.isEmpty() && i.cell.width() == 0 && i.cell.height() == 0)
      DrawText(p, i.cell.topLeft(), text, i.align, height, i.colour, true);
    else
      DrawTextInRect(p, i.cell.topLeft(), i.cell.bottomRight(), text, i.align, height, i.colour,
                     true);
  }
}
