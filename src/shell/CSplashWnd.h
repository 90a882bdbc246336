#pragma once
#include <QPixmap>
#include <QTimer>
#include <QWidget>

// The start-up picture: a borderless window centred over the screen, gone after two seconds or
// at the first key press or mouse click anywhere in the program (that event goes no further).
class CSplashWnd : public QWidget {
  Q_OBJECT
public:
  static constexpr int SPLASH_MS = 2000;
  static constexpr int PICTURE_W = 579;
  static constexpr int PICTURE_H = 293;

  // Shows the splash once, when `enabled`; `owner` is repainted when it goes.
  static void ShowSplashScreen(bool enabled, QWidget *owner);
  // The splash on screen, or none.
  static CSplashWnd *Current();
  // Closes the splash when the event is a key or mouse press; true when it was consumed.
  static bool PreTranslate(QEvent *event);

  static QPixmap Picture();

protected:
  void paintEvent(QPaintEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  explicit CSplashWnd(QWidget *owner);
  ~CSplashWnd() override;
  void HideSplashScreen();

  QWidget *owner;
  QPixmap picture;
  QTimer timer;
};
