#pragma once
#include "AppServices.h"
#include "CManualWnd.h"
#include "document/FilterSettings.h"
#include "views/Pane.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>

class CMainFrame;
class CPluvicamDoc;
class QSettings;
class QtUserMessages;
class UserMessages;

// The application: the one document, its main frame, the stored settings of section "Rain",
// the window title, the file and help commands.
class CPluvicamApp : public QObject, public AppServices {
  Q_OBJECT
public:
  static constexpr const char *COMPANY = "Local AppWizard-Generated Applications";
  static constexpr const char *APPLICATION = "Pluvicam";
  static constexpr const char *SECTION = "Rain";
  static constexpr int RECENT_FILES = 4;
  // Settings are a few hundred bytes; a larger store is not read into memory.
  static constexpr qint64 MAX_STORE_SIZE = 1 << 20;

  // `messages` receives every message box (a box on screen when none is given); `factory`
  // makes the small views.
  CPluvicamApp(PaneFactory factory, UserMessages *messages = nullptr, bool showSplash = true);
  ~CPluvicamApp() override;

  // Start-up: document, main frame (with the splash), show, settings, title. False when the
  // main frame cannot be created.
  bool InitInstance();

  void LoadSettings();
  void SaveSettings();
  // The main window's Fast toggle, kept in its own section beside "Rain".
  static constexpr const char *VIEW_SECTION = "View";
  static constexpr const char *FAST_RUN_KEY = "Fast Run";
  bool LoadFastRun() const;
  void SaveFastRun(bool on) override;
  void SetDefaultTitle();

  void OnFileOpen() override;
  // Steps 3 to 5 of File Open for a chosen path; false when the document refused it. A file
  // opened `readOnly` is never written, whatever its permissions.
  bool OpenFile(const QString &path, bool readOnly = false);
  void OnFileClose() override;
  void OnFileNew() override;
  void OnOptions() override;
  // What Save in the Options dialog hands over.
  void TakeOptions(const FilterSettings &values);
  void OnAppAbout() override;
  void ShowDocument(int pageId) override;

  void ApplyStoredFilter() override;
  FilterSettings GetStoredFilter() const { return stored; }
  const QString &GetTitle() const override { return mainTitle; }

  CPluvicamDoc *GetDocument() const { return document.get(); }
  CMainFrame *GetMainFrame() const { return mainFrame.get(); }
  CManualWnd *GetHelpWnd() const { return helpWindow; }
  UserMessages *Messages() const { return messages; }
  const QString &GetPathName() const { return pathName; }
  const QStringList &GetRecentFiles() const { return recentFiles; }

  // The file dialog's filters, in the order for the file type open now.
  static QStringList OpenFilters(bool isSno);
  // "/html_doc/pluvicam.htm" and the others; empty for an unknown id.
  static QString HelpPagePath(int pageId);
  // The folder the help pages are looked for in: the program's own unless set.
  QString ProgramDir() const;
  void SetProgramDir(const QString &dir) { programDir = dir; }

  // The main frame is closing: the manual window goes with it.
  void OnMainFrameClosing() override;

private:
  void SetMainTitle(const QString &title);
  void AddToRecentFiles(const QString &path);
  std::unique_ptr<QSettings> OpenStore() const;
  // The store's file, found without reading it.
  QString StoreFileName() const;
  // A store that is no regular file (a FIFO, a link to a device) or too large to be settings is
  // moved aside as ".bad" before anything reads it; when that fails, it is not touched at all.
  void SetAsideUnreadableStore();

  PaneFactory paneFactory;
  std::unique_ptr<QtUserMessages> ownMessages;
  UserMessages *messages;
  bool showSplash;

  std::unique_ptr<CPluvicamDoc> document;
  std::unique_ptr<CMainFrame> mainFrame;
  QPointer<CManualWnd> helpWindow;
  QString mainTitle;
  FilterSettings stored;
  QString pathName;
  QString docTitle;
  QStringList recentFiles;
  QString programDir;
  bool storeUnreadable = false; // the store could not be moved aside: an empty one instead
};
