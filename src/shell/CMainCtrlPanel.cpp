#include "CMainCtrlPanel.h"

#include "FieldExchange.h"
#include "FilterValidation.h"
#include "document/CPluvicamDoc.h"
#include "document/UserMessages.h"
#include "views/CSmallTopView.h"
#include "views/HelpPages.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDate>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace {
// The filter groups' titles, which also name their fields in messages.
constexpr const char *DIAMETER_GROUP = "Filter Diameter";
constexpr const char *VELOCITY_GROUP = "Filter Velocity";
constexpr const char *OBLATENESS_GROUP = "Filter Oblateness";
constexpr const char *PIXEL_A_GROUP = "Filter - Pixel System A";
constexpr const char *PIXEL_B_GROUP = "Filter - Pixel System B";

QLineEdit *FieldEdit(int id, QWidget *parent) {
  auto *edit = new QLineEdit(parent);
  edit->setObjectName(QString::number(id));
  edit->setMaximumWidth(70);
  edit->setAlignment(Qt::AlignRight);
  return edit;
}

QTimeEdit *Picker(int id, QWidget *parent) {
  auto *edit = new QTimeEdit(parent);
  edit->setObjectName(QString::number(id));
  edit->setDisplayFormat(QStringLiteral("HH:mm:ss"));
  edit->setAlignment(Qt::AlignRight);
  edit->setDate(QDate(2003, 1, 1));
  return edit;
}

// Tight margins and spacing: the whole form fits its pane from a 1000 x 700 window up.
constexpr int SPACING = 4;

void Compact(QLayout *layout) {
  layout->setContentsMargins(6, 2, 6, 4);
  layout->setSpacing(SPACING);
}

// A group box with a min and a max field side by side and an optional unit.
QGroupBox *RangeGroup(const char *title, QLineEdit *min, QLineEdit *max, const char *unit,
                      QWidget *parent) {
  auto *box = new QGroupBox(QString::fromLatin1(title), parent);
  auto *row = new QHBoxLayout(box);
  Compact(row);
  row->addWidget(min);
  row->addWidget(max);
  if (unit)
    row->addWidget(new QLabel(QString::fromLatin1(unit), box));
  row->addStretch();
  return box;
}

QLabel *ColourIcon(QColor colour, QWidget *parent) {
  QPixmap square(32, 32);
  square.fill(colour);
  auto *label = new QLabel(parent);
  label->setPixmap(square);
  return label;
}
} // namespace

CMainCtrlPanel::CMainCtrlPanel(CPluvicamDoc *doc, UserMessages *messages, QWidget *parent)
    : QWidget(parent), doc(doc), messages(messages) {
  setObjectName(QStringLiteral("CMainCtrlPanel"));

  typeList = new QComboBox(this);
  typeList->setObjectName(QString::number(IDC_TYPE));
  typeList->addItems({QStringLiteral("all"), QStringLiteral("not class"), QStringLiteral("rain"),
                      QStringLiteral("melting"), QStringLiteral("snow"), QStringLiteral("hail"),
                      QStringLiteral("manual"), QStringLiteral("invalid")});
  diamMinEdit = FieldEdit(IDC_DIAM_MIN, this);
  diamMaxEdit = FieldEdit(IDC_DIAM_MAX, this);
  velMinEdit = FieldEdit(IDC_VEL_MIN, this);
  velMaxEdit = FieldEdit(IDC_VEL_MAX, this);
  oblMinEdit = FieldEdit(IDC_OBL_MIN, this);
  oblMaxEdit = FieldEdit(IDC_OBL_MAX, this);
  pixAMinEdit = FieldEdit(IDC_PIXA_MIN, this);
  pixAMaxEdit = FieldEdit(IDC_PIXA_MAX, this);
  pixBMinEdit = FieldEdit(IDC_PIXB_MIN, this);
  pixBMaxEdit = FieldEdit(IDC_PIXB_MAX, this);
  startEdit = Picker(IDC_TIME_START, this);
  endEdit = Picker(IDC_TIME_END, this);
  positionRadio = new QRadioButton(QStringLiteral("Position / Size"), this);
  positionRadio->setObjectName(QString::number(IDC_AREA_POSITION));
  distributionRadio = new QRadioButton(QStringLiteral("Distribution"), this);
  distributionRadio->setObjectName(QString::number(IDC_AREA_DISTRIBUTION));
  areaGroup = new QButtonGroup(this);
  areaGroup->addButton(positionRadio, 0);
  areaGroup->addButton(distributionRadio, 1);

  // Left column: the filter.
  auto *left = new QVBoxLayout;
  left->setSpacing(SPACING);
  auto *timeBox = new QGroupBox(QStringLiteral("Time Window"), this);
  auto *timeRow = new QHBoxLayout(timeBox);
  Compact(timeRow);
  timeRow->addWidget(startEdit);
  timeRow->addWidget(endEdit);
  left->addWidget(timeBox);
  left->addWidget(RangeGroup(DIAMETER_GROUP, diamMinEdit, diamMaxEdit, "mm", this));
  left->addWidget(RangeGroup(VELOCITY_GROUP, velMinEdit, velMaxEdit, "m/s", this));
  left->addWidget(RangeGroup(OBLATENESS_GROUP, oblMinEdit, oblMaxEdit, nullptr, this));
  left->addWidget(RangeGroup(PIXEL_A_GROUP, pixAMinEdit, pixAMaxEdit, nullptr, this));
  left->addWidget(RangeGroup(PIXEL_B_GROUP, pixBMinEdit, pixBMaxEdit, nullptr, this));
  auto *typeRow = new QHBoxLayout;
  typeRow->addWidget(new QLabel(QStringLiteral("Hydrometeor Type"), this));
  typeRow->addWidget(typeList, 1);
  left->addLayout(typeRow);
  left->addStretch();

  // Right column: run control, area display mode and its legend.
  auto *right = new QVBoxLayout;
  right->setSpacing(SPACING);
  auto *buttonGrid = new QGridLayout;
  buttonGrid->setVerticalSpacing(2);
  struct ButtonDef {
    int id;
    const char *text;
    const char *key;
    void (CMainCtrlPanel::*handler)();
  };
  const ButtonDef buttons[] = {
      {IDC_RUN, "Run", "[F1]", &CMainCtrlPanel::OnRun},
      {IDC_STEP_PLUS, "Step +", "[F2]", &CMainCtrlPanel::OnStepPlus},
      {IDC_RESET, "Reset", "[F3]", &CMainCtrlPanel::OnReset},
      {IDC_SCALE, "Scale", "[F4]", &CMainCtrlPanel::OnScale},
      {IDC_HELP, "Help", "[F5]", &CMainCtrlPanel::OnHelp},
      {IDC_QUIT, "Quit", "[F6]", &CMainCtrlPanel::OnQuit},
      {IDC_DEFAULT_FILTER, "Default Filter", nullptr, &CMainCtrlPanel::OnDefaultFilter},
  };
  int row = 0;
  for (const ButtonDef &b : buttons) {
    auto *button = new QPushButton(QString::fromLatin1(b.text), this);
    button->setObjectName(QString::number(b.id));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, b.handler);
    buttonGrid->addWidget(button, row, 0);
    if (b.key)
      buttonGrid->addWidget(new QLabel(QString::fromLatin1(b.key), this), row, 1);
    if (b.id == IDC_RUN)
      runButton = button;
    ++row;
  }
  right->addLayout(buttonGrid);
  auto *areaBox = new QGroupBox(QStringLiteral("Area Display Mode"), this);
  auto *areaColumn = new QVBoxLayout(areaBox);
  Compact(areaColumn);
  areaColumn->addWidget(positionRadio);
  areaColumn->addWidget(distributionRadio);
  right->addWidget(areaBox);
  auto *legendTitle =
      new QLabel(QStringLiteral("Number of Drops / Distribution Area Display"), this);
  legendTitle->setWordWrap(true);
  right->addWidget(legendTitle);
  auto *legend = new QGridLayout;
  legend->setSpacing(2);
  // The legend shows the colours the top view paints for one to five and more drops.
  const char *const counts[] = {"1", "2", "3", "4", ">5"};
  for (int column = 0; column < 5; ++column) {
    QLabel *icon = ColourIcon(CSmallTopView::CountColour(column + 1), this);
    icon->setObjectName(QStringLiteral("legend%1").arg(column + 1));
    legend->addWidget(icon, 0, column, Qt::AlignCenter);
    legend->addWidget(new QLabel(QString::fromLatin1(counts[column]), this), 1, column,
                      Qt::AlignCenter);
  }
  right->addLayout(legend);
  right->addStretch();

  // The columns keep their natural width on a large screen; the space is left empty.
  auto *columns = new QHBoxLayout(this);
  columns->setContentsMargins(6, 6, 6, 6);
  columns->setSpacing(10);
  columns->addLayout(left);
  columns->addLayout(right);
  columns->addStretch(1);

  // Initial update: the whole day, every type, the first display mode.
  startEdit->setTime(QTime(0, 0, 0));
  endEdit->setTime(QTime(23, 59, 59));
  WriteFields();
  runButton->setFocus();

  for (QLineEdit *edit : {diamMinEdit, diamMaxEdit, velMinEdit, velMaxEdit, oblMinEdit, oblMaxEdit,
                          pixAMinEdit, pixAMaxEdit, pixBMinEdit, pixBMaxEdit})
    connect(edit, &QLineEdit::textChanged, this, &CMainCtrlPanel::OnFieldEdited);
  connect(typeList, &QComboBox::currentIndexChanged, this, &CMainCtrlPanel::OnFieldEdited);
  connect(startEdit, &QTimeEdit::timeChanged, this, &CMainCtrlPanel::OnTimeEdited);
  connect(endEdit, &QTimeEdit::timeChanged, this, &CMainCtrlPanel::OnTimeEdited);
  connect(positionRadio, &QRadioButton::clicked, this, &CMainCtrlPanel::OnAreaDisplay);
  connect(distributionRadio, &QRadioButton::clicked, this, &CMainCtrlPanel::OnAreaDisplay);

  if (doc)
    doc->AddListener(this);
}

CMainCtrlPanel::~CMainCtrlPanel() {
  if (doc)
    doc->RemoveListener(this);
}

void CMainCtrlPanel::ShowMessage(const QString &text) {
  if (messages)
    messages->Show(text.toStdString());
}

bool CMainCtrlPanel::ReadFields(QString &error) {
  // All or nothing: a refused entry leaves every field as it was.
  float floats[6] = {};
  QLineEdit *floatEdits[6] = {diamMinEdit, diamMaxEdit, velMinEdit,
                              velMaxEdit,  oblMinEdit,  oblMaxEdit};
  int ints[4] = {};
  QLineEdit *intEdits[4] = {pixAMinEdit, pixAMaxEdit, pixBMinEdit, pixBMaxEdit};
  // Named as the panel shows them: the group's title and the field's side.
  auto name = [](const char *group, int i) {
    return QString::fromLatin1(group) +
           (i % 2 ? QStringLiteral(", maximum") : QStringLiteral(", minimum"));
  };
  const char *floatGroups[3] = {DIAMETER_GROUP, VELOCITY_GROUP, OBLATENESS_GROUP};
  const char *intGroups[2] = {PIXEL_A_GROUP, PIXEL_B_GROUP};
  QLineEdit *failed = nullptr;
  for (int i = 0; i < 6 && !failed; ++i) {
    const QString field = name(floatGroups[i / 2], i);
    // The velocity maximum carries the data exchange's own range check.
    const bool ok =
        floatEdits[i] == velMaxEdit
            ? fields::ReadFloatInRange(floatEdits[i], field, floats[i], 0.0f, 30.0f, error)
            : fields::ReadFloat(floatEdits[i], field, floats[i], error);
    if (!ok)
      failed = floatEdits[i];
  }
  for (int i = 0; i < 4 && !failed; ++i)
    if (!fields::ReadInt(intEdits[i], name(intGroups[i / 2], i), ints[i], error))
      failed = intEdits[i];
  if (failed) {
    failed->setFocus();
    failed->selectAll();
    return false;
  }
  diamMin = floats[0];
  diamMax = floats[1];
  velMin = floats[2];
  velMax = floats[3];
  oblMin = floats[4];
  oblMax = floats[5];
  pixAMin = ints[0];
  pixAMax = ints[1];
  pixBMin = ints[2];
  pixBMax = ints[3];
  typeIndex = int16_t(std::max(typeList->currentIndex(), 0));
  areaMode =
      distributionRadio->isChecked() ? CSmallTopView::Distribution : CSmallTopView::PositionSize;
  return true;
}

void CMainCtrlPanel::WriteFields() {
  // Edits whose text changes report it like a user's edit; list and radios report nothing.
  fields::WriteFloat(diamMinEdit, diamMin);
  fields::WriteFloat(diamMaxEdit, diamMax);
  fields::WriteFloat(velMinEdit, velMin);
  fields::WriteFloat(velMaxEdit, velMax);
  fields::WriteFloat(oblMinEdit, oblMin);
  fields::WriteFloat(oblMaxEdit, oblMax);
  fields::WriteInt(pixAMinEdit, pixAMin);
  fields::WriteInt(pixAMaxEdit, pixAMax);
  fields::WriteInt(pixBMinEdit, pixBMin);
  fields::WriteInt(pixBMaxEdit, pixBMax);
  {
    const QSignalBlocker block(typeList);
    if (typeIndex >= 0 && typeIndex < typeList->count())
      typeList->setCurrentIndex(typeIndex);
  }
  (areaMode == CSmallTopView::Distribution ? distributionRadio : positionRadio)->setChecked(true);
}

void CMainCtrlPanel::SetFilterFields(const FilterRecord &filter) {
  {
    const QSignalBlocker blockStart(startEdit);
    const QSignalBlocker blockEnd(endEdit);
    startEdit->setTime(fields::ClockOf(filter.startTime));
    endEdit->setTime(fields::ClockOf(filter.endTime));
  }
  diamMin = filter.diamMin;
  diamMax = filter.diamMax;
  velMin = filter.velMin;
  velMax = filter.velMax;
  oblMin = filter.oblMin;
  oblMax = filter.oblMax;
  pixAMin = filter.minPixA;
  pixAMax = filter.maxPixA;
  pixBMin = filter.minPixB;
  pixBMax = filter.maxPixB;
  typeIndex = filter.dropType;
  WriteFields();
}

void CMainCtrlPanel::SetPixelBounds(int low, int high) {
  pixelLow = low;
  pixelHigh = high;
}

void CMainCtrlPanel::UpdatePixelBounds(int low, int high) {
  // Take what the user typed first, so that the refresh below does not throw it away; text
  // that is no number stays for ApplyFilter to report.
  QString unreadable;
  ReadFields(unreadable);
  if (pixAMax == pixelHigh)
    pixAMax = high;
  if (pixBMax == pixelHigh)
    pixBMax = high;
  pixelLow = low;
  pixelHigh = high;
  WriteFields();
  ApplyFilter();
}

void CMainCtrlPanel::OnFilterChanged(const FilterRecord &filter) { SetFilterFields(filter); }

void CMainCtrlPanel::OnPixelBounds(int maxPixel) { UpdatePixelBounds(0, maxPixel); }

bool CMainCtrlPanel::Validate(QString &message) {
  message.clear();
  if (!ReadFields(message))
    return false; // the refused text stays for the user to correct
  std::string found;
  filtercheck::CheckFloatRange("diameter", diamMin, diamMax, 0.0f, 50.0f, found);
  filtercheck::CheckFloatRange("velocity", velMin, velMax, 0.0f, 30.0f, found);
  filtercheck::CheckFloatRange("oblateness", oblMin, oblMax, 0.0f, 2.0f, found);
  filtercheck::CheckIntRange("PixelA", pixAMin, pixAMax, pixelLow, pixelHigh, found);
  filtercheck::CheckIntRange("PixelB", pixBMin, pixBMax, pixelLow, pixelHigh, found);
  WriteFields();
  message = QString::fromStdString(found);
  return found.empty();
}

bool CMainCtrlPanel::ApplyFilter() {
  QString message;
  if (!Validate(message)) {
    ShowMessage(message);
    return false;
  }
  if (!doc)
    return false;
  FilterRecord filter; // built-in defaults, then every field of the form
  filter.startTime = fields::TimeOfDayOf(startEdit->time());
  filter.endTime = fields::TimeOfDayOf(endEdit->time());
  filter.diamMin = diamMin;
  filter.diamMax = diamMax;
  filter.velMin = velMin;
  filter.velMax = velMax;
  filter.oblMin = oblMin;
  filter.oblMax = oblMax;
  filter.minPixA = int16_t(pixAMin);
  filter.maxPixA = int16_t(pixAMax);
  filter.minPixB = int16_t(pixBMin);
  filter.maxPixB = int16_t(pixBMax);
  filter.dropType = typeIndex;
  // The velocity check is an option of its own, not a field of this form.
  filter.velocityQc = doc->GetFilter().velocityQc;
  doc->SetFilterSettings(filter);
  return true;
}

bool CMainCtrlPanel::FilterPreamble() {
  if (!filterChanged && !timeChanged)
    return true;
  if (!ApplyFilter()) {
    if (doc)
      doc->NotifyViews(0);
    filterChanged = false; // a time change stays pending
    return false;
  }
  if (timeChanged)
    doc->ResetData();
  doc->NotifyViews(0);
  filterChanged = false;
  timeChanged = false;
  return true;
}

void CMainCtrlPanel::OnRunStateChanged(bool running) {
  runButton->setText(running ? QStringLiteral("Stop") : QStringLiteral("Run"));
  stopped = !running;
}

void CMainCtrlPanel::OnRun() {
  if (!doc)
    return;
  if (!FilterPreamble())
    return;
  if (doc->GetFileState() == CPluvicamDoc::fileNone) {
    ShowMessage(QStringLiteral("Note: no file is open"));
    return;
  }
  if (stopped)
    emit StartRequested();
  else
    emit StopRequested();
}

void CMainCtrlPanel::Stop() {
  // While a run goes both edit flags are clear (Run applied them), so the second press of Run
  // comes down to ending the run.
  if (!stopped)
    emit StopRequested();
}

void CMainCtrlPanel::OnStepPlus() {
  if (!doc)
    return;
  if (!FilterPreamble())
    return;
  if (doc->GetFileState() == CPluvicamDoc::fileNone) {
    ShowMessage(QStringLiteral("Note: no file is open"));
    return;
  }
  Stop();
  emit StepRequested();
}

void CMainCtrlPanel::OnReset() {
  if (!doc)
    return;
  if (filterChanged || timeChanged) {
    ApplyFilter();
    filterChanged = false;
    timeChanged = false;
  }
  doc->ResetData();
  doc->NotifyViews(0);
}

void CMainCtrlPanel::OnScale() {
  if (!doc)
    return;
  const uint16_t factor = doc->GetViewFactor();
  if (factor == 1)
    doc->SetViewFactor(2);
  else if (factor == 2)
    doc->SetViewFactor(5);
  else if (factor == 5)
    doc->SetViewFactor(1);
  emit ViewFactorChanged();
}

void CMainCtrlPanel::OnHelp() { emit HelpRequested(HelpPages::MANUAL); }

void CMainCtrlPanel::OnQuit() { emit QuitRequested(); }

void CMainCtrlPanel::OnDefaultFilter() {
  emit DefaultFilterRequested();
  if (doc)
    doc->NotifyViews(0);
}

void CMainCtrlPanel::OnAreaDisplay() {
  Stop();
  const CSmallTopView::AreaMode before = areaMode;
  QString error;
  if (!ReadFields(error)) {
    ShowMessage(error);
    areaMode =
        distributionRadio->isChecked() ? CSmallTopView::Distribution : CSmallTopView::PositionSize;
  }
  emit AreaModeChanged(areaMode);
  if (areaMode != before)
    filterChanged = true;
}

void CMainCtrlPanel::OnFieldEdited() {
  Stop();
  filterChanged = true;
}

void CMainCtrlPanel::OnTimeEdited() {
  Stop();
  if (doc)
    timeChanged = true;
}
