#include "CPluvicamApp.h"

#include "CAboutDlg.h"
#include "CMainCtrlPanel.h"
#include "CMainFrame.h"
#include "CManualWnd.h"
#include "COptionsDlg.h"
#include "QtUserMessages.h"
#include "ShellText.h"
#include "data/RegularInput.h"
#include "document/CPluvicamDoc.h"
#include "document/StoredFilter.h"
#include "views/HelpPages.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QSettings>

#include <cmath>
#include <cstdio>
#include <optional>
#include <unistd.h>

namespace {
constexpr const char *RECENT_SECTION = "Recent File List";
// The velocity check has a section of its own: the filter's keys stay as they were.
constexpr const char *QC_SECTION = "Velocity QC";

QIcon AppIcon() {
  QPixmap pix(32, 32);
  pix.fill(Qt::transparent);
  QPainter p(&pix);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(20, 60, 140), 2));
  p.setBrush(QColor(80, 150, 230));
  QPainterPath drop;
  drop.moveTo(16, 2);
  drop.cubicTo(22, 12, 28, 18, 28, 22);
  drop.arcTo(QRectF(4, 10, 24, 20), 0, -180);
  drop.cubicTo(4, 18, 10, 12, 16, 2);
  p.drawPath(drop);
  p.end();
  return QIcon(pix);
}
} // namespace

CPluvicamApp::CPluvicamApp(PaneFactory factory, UserMessages *userMessages, bool splash)
    : paneFactory(std::move(factory)), messages(userMessages), showSplash(splash) {
  if (!messages) {
    ownMessages = std::make_unique<QtUserMessages>();
    messages = ownMessages.get();
  }
}

CPluvicamApp::~CPluvicamApp() {
  if (helpWindow)
    delete helpWindow.data();
  mainFrame.reset();
  document.reset();
}

std::unique_ptr<QSettings> CPluvicamApp::OpenStore() const {
  if (storeUnreadable)
    return std::make_unique<QSettings>(QString(), QSettings::IniFormat);
  return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                     QString::fromLatin1(COMPANY),
                                     QString::fromLatin1(APPLICATION));
}

QString CPluvicamApp::StoreFileName() const {
  // The company's own store lies beside the folder of its applications' stores; constructing
  // the application's store would read it.
  const QSettings company(QSettings::IniFormat, QSettings::UserScope, QString::fromLatin1(COMPANY));
  QString name = company.fileName();
  name.chop(4); // ".ini"
  return name + QLatin1Char('/') + QString::fromLatin1(APPLICATION) + QStringLiteral(".ini");
}

void CPluvicamApp::SetAsideUnreadableStore() {
  const QString name = StoreFileName();
  const RegularInput in = RegularInput::Open(QFile::encodeName(name).toStdString());
  if (in.fd >= 0)
    ::close(in.fd);
  std::string problem = in.fd < 0 && in.err == 0 ? in.problem : std::string();
  if (in.fd >= 0 && in.size > MAX_STORE_SIZE)
    problem = name.toStdString() + " holds " + std::to_string(in.size) +
              " bytes, more than settings ever take";
  if (problem.empty())
    return;
  const QString bad = name + QStringLiteral(".bad");
  const bool kept =
      ::rename(QFile::encodeName(name).constData(), QFile::encodeName(bad).constData()) == 0;
  storeUnreadable = !kept;
  if (messages)
    messages->Show("The settings could not be read: " + problem +
                   "; the defaults are used instead." +
                   (kept ? " The old file is kept as " + bad.toStdString() + "."
                         : " It could not be moved aside; the settings are not saved."));
}

bool CPluvicamApp::InitInstance() {
  SetAsideUnreadableStore();
  {
    auto store = OpenStore();
    store->beginGroup(QString::fromLatin1(RECENT_SECTION));
    for (int i = 1; i <= RECENT_FILES; ++i) {
      const QString file = store->value(QStringLiteral("File%1").arg(i)).toString();
      if (!file.isEmpty())
        recentFiles.append(file);
    }
  }

  document = std::make_unique<CPluvicamDoc>(messages);
  mainFrame = std::make_unique<CMainFrame>(this, document.get(), messages, paneFactory, showSplash);
  if (!mainFrame)
    return false;
  if (ownMessages)
    ownMessages->SetParent(mainFrame.get());

  if (const QScreen *screen = QApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    mainFrame->resize(std::max(area.width() * 9 / 10, 1000), std::max(area.height() * 9 / 10, 700));
  }
  mainFrame->setWindowIcon(AppIcon());
  mainFrame->show();
  mainFrame->update();

  LoadSettings();
  mainFrame->SetFastRun(LoadFastRun(), false);
  SetDefaultTitle();
  return true;
}

bool CPluvicamApp::LoadFastRun() const {
  auto store = OpenStore();
  store->beginGroup(QString::fromLatin1(VIEW_SECTION));
  return store->value(QString::fromLatin1(FAST_RUN_KEY), QStringLiteral("0")).toString() ==
         QStringLiteral("1");
}

void CPluvicamApp::SaveFastRun(bool on) {
  auto store = OpenStore();
  store->beginGroup(QString::fromLatin1(VIEW_SECTION));
  store->setValue(QString::fromLatin1(FAST_RUN_KEY),
                  on ? QStringLiteral("1") : QStringLiteral("0"));
}

namespace {
// The store's reader skips what it cannot parse; a file with such lines was damaged and would
// lose them at the next save.
bool LooksLikeIni(const QString &fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly))
    return true; // no store yet
  while (!file.atEnd()) {
    const QByteArray line = file.readLine().trimmed();
    if (line.isEmpty() || line.startsWith(';') || line.startsWith('#') || line.contains('='))
      continue;
    if (line.startsWith('[') && line.endsWith(']'))
      continue;
    return false;
  }
  return true;
}
} // namespace

void CPluvicamApp::LoadSettings() {
  auto store = OpenStore();
  store->beginGroup(QString::fromLatin1(SECTION));
  auto text = [&](const char *key, const char *fallback) {
    const QVariant v = store->value(QString::fromLatin1(key), QString::fromLatin1(fallback));
    // An unquoted text with commas comes back from the store as a list.
    if (v.typeId() == QMetaType::QStringList)
      return v.toStringList().join(QStringLiteral(", ")).toStdString();
    return v.toString().toStdString();
  };
  std::string reset;
  for (const std::string &key : storedfilter::ReadStoredFilter(stored, text))
    reset += (reset.empty() ? "" : ", ") + key;
  store->endGroup();
  store->beginGroup(QString::fromLatin1(QC_SECTION));
  // A fraction that is no number above 0 leaves the check off at its usual fraction.
  const std::optional<double> fraction = storedfilter::LeadingDouble(text("Fraction", "0.5"));
  const bool usable = fraction && std::isfinite(*fraction) && *fraction > 0;
  stored.velocityQc.fraction = usable ? *fraction : VelocityQc::DEFAULT_FRACTION;
  stored.velocityQc.mode = usable && storedfilter::TextToInt(text("Enabled", "0")) == 1
                               ? VelocityQc::Mode::Fraction
                               : VelocityQc::Mode::Off;
  store->endGroup();

  // Values that the panels would not take are not taken; a store that cannot be read or holds
  // such values is kept beside itself before it is ever written again.
  const bool unreadable = !storeUnreadable && (store->status() == QSettings::FormatError ||
                                               !LooksLikeIni(store->fileName()));
  if (unreadable || !reset.empty()) {
    const QString name = store->fileName();
    const QString bad = name + QStringLiteral(".bad");
    QFile::remove(bad);
    const bool kept = QFile::copy(name, bad);
    if (messages) {
      std::string text = "The settings in " + name.toStdString() +
                         (unreadable ? " could not be read" : " are not usable (" + reset + ")") +
                         "; the defaults are used instead.";
      if (kept)
        text += " The old file is kept as " + bad.toStdString() + ".";
      messages->Show(text);
    }
  }

  if (document) {
    document->SetFilterSettings(stored.Fixed());
    if (mainFrame && mainFrame->GetCtrlPanel())
      mainFrame->GetCtrlPanel()->SetPixelBounds(0, stored.maxPixA);
  }
}

void CPluvicamApp::SaveSettings() {
  auto store = OpenStore();
  store->beginGroup(QString::fromLatin1(SECTION));
  auto put = [&](const char *key, const std::string &value) {
    store->setValue(QString::fromLatin1(key), QString::fromStdString(value));
  };
  using shelltext::FormatOneDecimal;
  using shelltext::FormatTime;
  put("Tip_Size", FormatOneDecimal(stored.tipSize));
  put("Time_Start",
      FormatTime(stored.startTime.hour, stored.startTime.minute, stored.startTime.second));
  put("Time_End", FormatTime(stored.endTime.hour, stored.endTime.minute, stored.endTime.second));
  put("Diameter Min", FormatOneDecimal(stored.diamMin));
  put("Diameter Max", FormatOneDecimal(stored.diamMax));
  put("Oblateness Min", FormatOneDecimal(stored.oblMin));
  put("Oblateness Max", FormatOneDecimal(stored.oblMax));
  put("Velocity Min", FormatOneDecimal(stored.velMin));
  put("Velocity Max", FormatOneDecimal(stored.velMax));
  put("Window Title", stored.windowTitle);
  put("Hyd-Type", std::to_string(stored.dropType));
  store->endGroup();
  // A store that never had the check on keeps the keys it always had.
  const bool qcStored = store->childGroups().contains(QString::fromLatin1(QC_SECTION));
  if (stored.velocityQc.On() || qcStored) {
    store->beginGroup(QString::fromLatin1(QC_SECTION));
    put("Enabled", stored.velocityQc.On() ? "1" : "0");
    put("Fraction", QString::number(stored.velocityQc.fraction).toStdString());
    store->endGroup();
  }
  store->sync();
  // A store that cannot be written must not pass for saved.
  if (store->status() != QSettings::NoError && messages)
    messages->Show("The settings could not be written to " + store->fileName().toStdString());

  if (document)
    document->SetFilterSettings(stored.Fixed());
}

void CPluvicamApp::SetMainTitle(const QString &title) {
  mainTitle = title;
  if (mainFrame)
    mainFrame->setWindowTitle(title);
}

void CPluvicamApp::SetDefaultTitle() {
  const QDate today = QDate::currentDate();
  SetMainTitle(QString::fromStdString(shelltext::FormatMainTitle("", today.year(), today.month(),
                                                                 today.day(), stored.windowTitle)));
}

QStringList CPluvicamApp::OpenFilters(bool isSno) {
  const QString hyd = QStringLiteral("HYD Files (*.hyd)");
  const QString pix = QStringLiteral("PIX Files (*.pix)");
  const QString sno = QStringLiteral("SNO Files (*.sno)");
  return isSno ? QStringList{sno, hyd, pix} : QStringList{hyd, pix, sno};
}

void CPluvicamApp::OnFileOpen() {
  if (!document)
    return;
  QFileDialog dialog(mainFrame.get(), QStringLiteral("Open"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  const QStringList filters = OpenFilters(document->IsSno());
  dialog.setNameFilters(filters);
  dialog.selectNameFilter(filters.first());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return;
  OpenFile(dialog.selectedFiles().first());
}

bool CPluvicamApp::OpenFile(const QString &path, bool readOnly) {
  if (!document)
    return false;
  const QString full = QFileInfo(path).absoluteFilePath();
  std::string message;
  if (!document->OpenHydFile(full.toStdString(), &message, readOnly)) {
    messages->Show(message);
    return false;
  }
  pathName = full;
  docTitle = QFileInfo(full).fileName();
  AddToRecentFiles(full);

  MainHeader header;
  if (document->GetMainHeader(&header)) {
    // The file's pixel count, for this session only.
    stored.minPixA = 0;
    stored.minPixB = 0;
    stored.maxPixA = int16_t(2 * header.halfPixels - 1);
    stored.maxPixB = int16_t(2 * header.halfPixels - 1);
    const std::string name = shelltext::FileNameFromIdent(header.ident, MainHeader::IDENT_LENGTH);
    const shelltext::CalendarDate date = shelltext::UtcDate(header.time);
    SetMainTitle(QString::fromStdString(
        shelltext::FormatMainTitle(name, date.year, date.month, date.day, stored.windowTitle)));
  }
  return true;
}

void CPluvicamApp::AddToRecentFiles(const QString &path) {
  recentFiles.removeAll(path);
  recentFiles.prepend(path);
  while (recentFiles.size() > RECENT_FILES)
    recentFiles.removeLast();
  auto store = OpenStore();
  store->beginGroup(QString::fromLatin1(RECENT_SECTION));
  for (int i = 0; i < RECENT_FILES; ++i) {
    const QString key = QStringLiteral("File%1").arg(i + 1);
    if (i < recentFiles.size())
      store->setValue(key, recentFiles[i]);
    else
      store->remove(key);
  }
}

void CPluvicamApp::OnFileClose() {
  if (document) {
    document->CloseHydFile();
    pathName.clear();
    docTitle.clear();
  }
  SetDefaultTitle();
}

void CPluvicamApp::OnFileNew() {
  // The single document is reused: it forgets its name, the open file stays.
  pathName.clear();
  docTitle.clear();
}

void CPluvicamApp::OnOptions() {
  COptionsDlg dialog(messages, mainFrame.get());
  dialog.SetValues(stored.Fixed(), stored.windowTitle, stored.tipSize);
  if (dialog.exec() != QDialog::Accepted)
    return;
  TakeOptions(dialog.GetValues());
}

void CPluvicamApp::TakeOptions(const FilterSettings &values) {
  if (values.windowTitle != stored.windowTitle) {
    const std::string title = mainTitle.toStdString();
    if (stored.windowTitle.empty()) {
      // Nothing to replace: the title ends with the (empty) window title, so append the new one.
      SetMainTitle(QString::fromStdString(title + values.windowTitle));
    } else {
      SetMainTitle(QString::fromStdString(
          shelltext::ReplaceAll(title, stored.windowTitle, values.windowTitle)));
    }
  }
  stored.Assign(values.Fixed());
  stored.windowTitle = values.windowTitle;
  stored.tipSize = values.tipSize;
  stored.velocityQc = values.velocityQc;
  SaveSettings();
}

void CPluvicamApp::OnAppAbout() {
  CAboutDlg about(mainFrame.get());
  about.exec();
}

QString CPluvicamApp::HelpPagePath(int pageId) {
  switch (pageId) {
  case HelpPages::MANUAL:
    return QStringLiteral("/html_doc/pluvicam.htm");
  case HelpPages::DSD:
    return QStringLiteral("/html_doc/pluvicam_dsd.htm");
  case HelpPages::HVEL:
    return QStringLiteral("/html_doc/pluvicam_hvd.htm");
  case HelpPages::VVEL:
    return QStringLiteral("/html_doc/pluvicam_vvd.htm");
  case HelpPages::RAIN_RATE:
    return QStringLiteral("/html_doc/pluvicam_rr.htm");
  case HelpPages::DROP_VIEW:
    return QStringLiteral("/html_doc/pluvicam_fs.htm");
  case HelpPages::OBLATENESS:
    return QStringLiteral("/html_doc/pluvicam_obl.htm");
  case HelpPages::OBLATENESS_DISTRIBUTION:
    return QStringLiteral("/html_doc/pluvicam_obl_d.htm");
  default:
    return QString();
  }
}

QString CPluvicamApp::ProgramDir() const {
  return programDir.isEmpty() ? QCoreApplication::applicationDirPath() : programDir;
}

void CPluvicamApp::ShowDocument(int pageId) {
  const QString path = ProgramDir() + HelpPagePath(pageId);
  if (HelpPagePath(pageId).isEmpty() || !QFileInfo(path).isFile()) {
    messages->Show("Document " + path.toStdString() + " not found ...");
    return;
  }
  if (!helpWindow) {
    helpWindow = new CManualWnd;
    helpWindow->show();
    helpWindow->update();
  }
  helpWindow->raise();
  helpWindow->activateWindow();
  helpWindow->Navigate(path);
}

void CPluvicamApp::ApplyStoredFilter() {
  if (document)
    document->SetFilterSettings(stored.Fixed());
}

void CPluvicamApp::OnMainFrameClosing() {
  if (helpWindow)
    helpWindow->close();
}
