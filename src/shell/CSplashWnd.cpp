#include "CSplashWnd.h"

#include <QApplication>
#include <QEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

namespace {
CSplashWnd *shown = nullptr;
} // namespace

CSplashWnd::CSplashWnd(QWidget *owner)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint), owner(owner),
      picture(Picture()) {
  setObjectName(QStringLiteral("CSplashWnd"));
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedSize(picture.size());
  setCursor(Qt::ArrowCursor);
  if (QScreen *screen = owner && owner->screen() ? owner->screen() : QApplication::primaryScreen())
    move(screen->geometry().center() - rect().center());
  timer.setSingleShot(true);
  connect(&timer, &QTimer::timeout, this, &CSplashWnd::HideSplashScreen);
  qApp->installEventFilter(this);
}

CSplashWnd::~CSplashWnd() {
  qApp->removeEventFilter(this);
  if (shown == this)
    shown = nullptr;
}

void CSplashWnd::ShowSplashScreen(bool enabled, QWidget *owner) {
  if (!enabled || shown)
    return;
  shown = new CSplashWnd(owner);
  shown->show();
  shown->timer.start(SPLASH_MS);
}

CSplashWnd *CSplashWnd::Current() { return shown; }

bool CSplashWnd::PreTranslate(QEvent *event) {
  if (!shown)
    return false;
  switch (event->type()) {
  case QEvent::ShortcutOverride:
    // Keep the key from becoming a shortcut: it arrives as a key press and closes the splash.
    event->accept();
    return true;
  case QEvent::KeyPress:
  case QEvent::MouseButtonPress:
  case QEvent::MouseButtonDblClick:
  case QEvent::NonClientAreaMouseButtonPress:
  case QEvent::NonClientAreaMouseButtonDblClick:
    shown->HideSplashScreen();
    return true;
  default:
    return false;
  }
}

bool CSplashWnd::eventFilter(QObject *watched, QEvent *event) {
  // Only widget events count; a press reaches the application filter once per widget.
  if (watched->isWidgetType() && PreTranslate(event))
    return true;
  return QWidget::eventFilter(watched, event);
}

void CSplashWnd::HideSplashScreen() {
  timer.stop();
  qApp->removeEventFilter(this);
  if (shown == this)
    shown = nullptr;
  QWidget *repaint = owner;
  close(); // deletes the window
  if (repaint)
    repaint->update();
}

void CSplashWnd::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  painter.drawPixmap(0, 0, picture);
}

QPixmap CSplashWnd::Picture() {
  QPixmap pix(PICTURE_W, PICTURE_H);
  QPainter p(&pix);
  QLinearGradient sky(0, 0, 0, PICTURE_H);
  sky.setColorAt(0.0, QColor(40, 70, 120));
  sky.setColorAt(1.0, QColor(150, 180, 215));
  p.fillRect(pix.rect(), sky);
  // A few falling drops.
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(220, 235, 255));
  const int drops[][3] = {{60, 60, 10},   {140, 200, 7}, {470, 50, 9},
                          {520, 190, 12}, {300, 240, 6}, {410, 230, 8}};
  for (const auto &d : drops)
    p.drawEllipse(QPoint(d[0], d[1]), d[2], d[2] * 9 / 10);
  p.setPen(Qt::white);
  QFont title(QStringLiteral("Courier New"));
  title.setPixelSize(56);
  title.setBold(true);
  p.setFont(title);
  p.drawText(QRect(0, 70, PICTURE_W, 80), Qt::AlignCenter, QStringLiteral("PLUVICAM"));
  QFont sub(QStringLiteral("Courier New"));
  sub.setPixelSize(18);
  p.setFont(sub);
  p.drawText(QRect(0, 150, PICTURE_W, 30), Qt::AlignCenter,
             QStringLiteral("NIMBAL precipitation recordings"));
  p.end();
  return pix;
}
