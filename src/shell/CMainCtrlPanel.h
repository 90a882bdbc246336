#pragma once
#include "document/DocumentListener.h"
#include "document/FilterRecord.h"
#include "views/CSmallTopView.h"

#include <QWidget>

class CPluvicamDoc;
class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimeEdit;
class UserMessages;

// The form beside the particle grid: run control and the document's working filter. It asks for
// runs, steps, help and the stored filter by signals and hears back whether a run goes; it
// knows no window above it.
class CMainCtrlPanel : public QWidget, public DocumentListener {
  Q_OBJECT
public:
  enum ControlId {
    IDD = 130,
    IDC_TIME_START = 1001,
    IDC_TIME_END = 1002,
    IDC_DIAM_MIN = 1004,
    IDC_AREA_POSITION = 1006,
    IDC_DIAM_MAX = 1007,
    IDC_VEL_MIN = 1009,
    IDC_VEL_MAX = 1010,
    IDC_OBL_MIN = 1012,
    IDC_OBL_MAX = 1013,
    IDC_PIXA_MIN = 1015,
    IDC_PIXA_MAX = 1016,
    IDC_PIXB_MIN = 1018,
    IDC_PIXB_MAX = 1019,
    IDC_AREA_DISTRIBUTION = 1020,
    IDC_RUN = 1021,
    IDC_STEP_PLUS = 1022,
    IDC_RESET = 1023,
    IDC_SCALE = 1024,
    IDC_HELP = 1025,
    IDC_QUIT = 1026,
    IDC_DEFAULT_FILTER = 1027,
    IDC_TYPE = 1028,
  };

  CMainCtrlPanel(CPluvicamDoc *doc, UserMessages *messages, QWidget *parent = nullptr);
  ~CMainCtrlPanel() override;

  // Shows a filter (the document calls it through OnFilterChanged).
  void SetFilterFields(const FilterRecord &filter);
  void SetPixelBounds(int low, int high);
  // A new largest pixel index: maxima that stood at the old bound follow it; then ApplyFilter.
  void UpdatePixelBounds(int low, int high);
  // Ends a run that is going, as a second press of Run would.
  void Stop();

  // Reads and checks the fields, writes the corrected values back; false with the last finding.
  bool Validate(QString &message);
  // Validates and hands the filter to the document; false when invalid or without document.
  bool ApplyFilter();

  void OnRun();
  void OnStepPlus();
  void OnReset();
  void OnScale();
  void OnHelp();
  void OnQuit();
  void OnDefaultFilter();
  // A click on one of the area display radios.
  void OnAreaDisplay();

  // Whether a run goes, as the run reports it.
  void OnRunStateChanged(bool running);
  bool IsStopped() const { return stopped; }
  bool FilterChanged() const { return filterChanged; }
  bool TimeChanged() const { return timeChanged; }
  CSmallTopView::AreaMode AreaDisplayMode() const { return areaMode; }
  int PixelBoundHigh() const { return pixelHigh; }

  // DocumentListener
  void OnFilterChanged(const FilterRecord &filter) override;
  void OnPixelBounds(int maxPixel) override;

signals:
  void StartRequested();
  void StopRequested();
  void StepRequested();
  void HelpRequested(int pageId);
  void QuitRequested();
  // Default: the stored filter should become the working one.
  void DefaultFilterRequested();
  // Scale: the document's view factor has changed.
  void ViewFactorChanged();
  void AreaModeChanged(CSmallTopView::AreaMode mode);

private:
  bool ReadFields(QString &error);
  void WriteFields();
  // Shared by Run and Step +; false when the command ends here.
  bool FilterPreamble();
  void OnFieldEdited();
  void OnTimeEdited();
  void ShowMessage(const QString &text);

  CPluvicamDoc *doc;
  UserMessages *messages;

  QComboBox *typeList;
  QLineEdit *diamMinEdit, *diamMaxEdit, *velMinEdit, *velMaxEdit, *oblMinEdit, *oblMaxEdit;
  QLineEdit *pixAMinEdit, *pixAMaxEdit, *pixBMinEdit, *pixBMaxEdit;
  QTimeEdit *startEdit, *endEdit;
  QRadioButton *positionRadio, *distributionRadio;
  QButtonGroup *areaGroup;
  QPushButton *runButton;

  // The form's fields.
  float diamMin = 0, diamMax = 50, velMin = 0, velMax = 30, oblMin = 0, oblMax = 2;
  int pixAMin = 0, pixAMax = MAX_PIXEL_1024, pixBMin = 0, pixBMax = MAX_PIXEL_1024;
  CSmallTopView::AreaMode areaMode = CSmallTopView::PositionSize;
  int pixelLow = 0, pixelHigh = MAX_PIXEL_1024;
  int16_t typeIndex = 0;
  bool filterChanged = false;
  bool timeChanged = false;
  bool stopped = true;
};
