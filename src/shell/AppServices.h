#pragma once
#include <QString>

// What the main window asks of the application: the file and help commands, the stored filter,
// the remembered Fast choice and the title. The application implements it; a test may hand the
// window a stand-in.
class AppServices {
public:
  virtual void OnFileOpen() = 0;
  virtual void OnFileClose() = 0;
  virtual void OnFileNew() = 0;
  virtual void OnOptions() = 0;
  virtual void OnAppAbout() = 0;
  virtual void ShowDocument(int pageId) = 0;
  virtual void ApplyStoredFilter() = 0;
  virtual void SaveFastRun(bool on) = 0;
  virtual const QString &GetTitle() const = 0;
  // The main window is closing: what belongs to it (the manual window) goes with it.
  virtual void OnMainFrameClosing() = 0;

protected:
  ~AppServices() = default;
};
