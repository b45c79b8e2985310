#include "MainUnit.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolButton>
#include <QTimer>
#include <QUrl>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "LocalizationUnit.h"
#include "LoggerUnit.h"
#include "MainUnitImages.h"
#include "MainUnitRun.h"

namespace lexmora {

namespace fs = std::filesystem;

namespace {

const QColor WindowColour(Qt::white);
const QColor ListColour(0xFF, 0xFE, 0xF2);

QLabel* CaptionLabel(QWidget* AParent, const char* AName) {
  auto* Label = new QLabel(AParent);
  Label->setObjectName(QString::fromLatin1(AName));
  QFont Font = Label->font();
  Font.setPointSize(9);
  Font.setBold(true);
  Label->setFont(Font);
  QPalette Palette = Label->palette();
  Palette.setColor(QPalette::WindowText, QColor(0x73, 0x73, 0x73));
  Label->setPalette(Palette);
  return Label;
}

QToolButton* FlatButton(QWidget* AParent, QAction* AAction, const char* AName) {
  auto* Button = new QToolButton(AParent);
  Button->setObjectName(QString::fromLatin1(AName));
  Button->setDefaultAction(AAction);
  Button->setAutoRaise(true);
  Button->setFixedSize(24, 24);
  Button->setIconSize(QSize(16, 16));
  Button->setToolButtonStyle(Qt::ToolButtonIconOnly);
  return Button;
}

QPushButton* BigButton(QWidget* AParent, const char* AName) {
  auto* Button = new QPushButton(AParent);
  Button->setObjectName(QString::fromLatin1(AName));
  Button->setFixedHeight(56);
  QFont Font = Button->font();
  Font.setPointSize(10);
  Font.setBold(true);
  Button->setFont(Font);
  return Button;
}

void SetBackground(QWidget* AWidget, const QColor& AColour) {
  AWidget->setAutoFillBackground(true);
  QPalette Palette = AWidget->palette();
  Palette.setColor(QPalette::Window, AColour);
  Palette.setColor(QPalette::Base, AColour);
  AWidget->setPalette(Palette);
}

std::vector<TScreenRect> MonitorRects() {
  std::vector<TScreenRect> Rects;
  for (const QScreen* Screen : QGuiApplication::screens()) {
    const QRect R = Screen->availableGeometry();
    Rects.push_back({R.x(), R.y(), R.width(), R.height()});
  }
  return Rects;
}

}  // namespace

// ---- log pane -------------------------------------------------------------------------------

void TLogMemo::Clear() {
  FEdit->clear();
  FCount = 0;
}

void TLogMemo::Add(const QString& ALine) {
  if (FCount == 0) {
    FEdit->setPlainText(ALine);
  } else {
    QTextCursor Cursor(FEdit->document());
    Cursor.movePosition(QTextCursor::End);
    Cursor.insertBlock();
    Cursor.insertText(ALine);
  }
  ++FCount;
  FEdit->verticalScrollBar()->setValue(FEdit->verticalScrollBar()->maximum());
}

void TLogMemo::SetLineFromEnd(int AFromEnd, const QString& ALine) {
  if (AFromEnd < 0 || AFromEnd >= FCount) return;
  QTextBlock Block = FEdit->document()->lastBlock();
  for (int I = 0; I < AFromEnd; ++I) Block = Block.previous();
  QTextCursor Cursor(Block);
  Cursor.movePosition(QTextCursor::StartOfBlock);
  Cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  Cursor.insertText(ALine);
}

void TLogMemo::DeleteLast() {
  if (FCount == 0) return;
  if (FCount == 1) {
    Clear();
    return;
  }
  QTextCursor Cursor(FEdit->document()->lastBlock());
  Cursor.movePosition(QTextCursor::StartOfBlock);
  Cursor.movePosition(QTextCursor::PreviousCharacter);
  Cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
  Cursor.removeSelectedText();
  --FCount;
}

QStringList TLogMemo::Lines() const {
  if (FCount == 0) return {};
  QStringList Result;
  for (QTextBlock B = FEdit->document()->firstBlock(); B.isValid(); B = B.next()) Result << B.text();
  return Result;
}

// ---- filter ---------------------------------------------------------------------------------

QStringList DelphiFilterToNameFilters(const QString& AFilter) {
  const QStringList Parts = AFilter.split(QLatin1Char('|'));
  QStringList Result;
  for (int I = 0; I + 1 < Parts.size(); I += 2)
    Result << Parts[I] + QStringLiteral(" (") + QString(Parts[I + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')) +
                  QLatin1Char(')');
  return Result;
}

QString TMainForm::OpenDialogFilter(TLocalizationLanguare ALang) {
  const auto T = [ALang](TMsg AId) { return QString::fromStdString(GetLocalizedText(AId, ALang)); };
  return T(TMsg::FilterAllSupportedFiles) +
         QStringLiteral("|*.sdlrpx;*.sdlppx;*.sdlxliff;*.mqxliff;*.mqxlz;*.mxliff;*.xlf;*.xliff|") +
         T(TMsg::FilterSdlFiles) + QStringLiteral("|*.sdlrpx;*.sdlppx;*.sdlxliff|") + T(TMsg::FilterMemoQFiles) +
         QStringLiteral("|*.mqxliff;*.mqxlz|") + T(TMsg::FilterMemsourceFiles) + QStringLiteral("|*.mxliff|") +
         T(TMsg::FilterXliffFiles) + QStringLiteral("|*.xlf;*.xliff");
}

// ---- creation -------------------------------------------------------------------------------

TMainForm::TMainForm(QWidget* AParent, TUpdateCheckConfig AUpdateCheck)
    : QMainWindow(AParent), FUpdateCheck(std::move(AUpdateCheck)) {
  setObjectName(QStringLiteral("MainForm"));
  setFont(QFont(QStringLiteral("Tahoma"), 8));
  setWindowIcon(WindowImage());
  SetBackground(this, WindowColour);
  // The smallest outer size is 636 x 340; the client keeps the frame's share off that.
  setMinimumSize(620, 301);
  resize(632, 313);

  CreateActions();
  auto* Central = new QWidget(this);
  Central->setObjectName(QStringLiteral("MainClient"));
  auto* Layout = new QVBoxLayout(Central);
  Layout->setContentsMargins(0, 0, 0, 0);
  Layout->setSpacing(0);
  CreateSetupView(Central);
  CreateWorkView(Central);
  Layout->addWidget(SettingsPanel);
  Layout->addWidget(WorkPanel);
  setCentralWidget(Central);
  CreateMenus();

  OpenDialog1 = new QFileDialog(this);
  OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
  OpenDialog1->setFileMode(QFileDialog::ExistingFiles);
  OpenDialog1->setSizeGripEnabled(true);
  connect(OpenDialog1, &QFileDialog::filesSelected, this, [this](const QStringList& AFiles) {
    std::vector<std::string> Paths;
    for (const QString& F : AFiles) Paths.push_back(F.toStdString());
    if (FOpenDialogTarget) AddFilesToList(FOpenDialogTarget, Paths, false);
  });

  FDropTarget = new TFileDropTarget(
      [this](TListBox* AList, const std::vector<std::string>& APaths) { AddFilesToList(AList, APaths, true); }, this);

  for (QScreen* Screen : QGuiApplication::screens())
    connect(Screen, &QScreen::availableGeometryChanged, this, [this] { FitToMonitors(); });
  connect(qApp, &QGuiApplication::screenAdded, this, [this](QScreen* AScreen) {
    connect(AScreen, &QScreen::availableGeometryChanged, this, [this] { FitToMonitors(); });
    FitToMonitors();
  });
  connect(qApp, &QGuiApplication::screenRemoved, this, [this] { QTimer::singleShot(0, this, [this] { FitToMonitors(); }); });

  FormCreate();
}

TMainForm::~TMainForm() {
  FDropTarget->Unwatch(SrcFilesListBox->viewport());
  FDropTarget->Unwatch(TrgFilesListBox->viewport());
  delete Progressator;
  Progressator = nullptr;
}

QAction* NewAction(QObject* AParent, const char* AName, const QIcon& AIcon = QIcon()) {
  auto* Action = new QAction(AIcon, QString(), AParent);
  Action->setObjectName(QString::fromLatin1(AName));
  return Action;
}

void TMainForm::CreateActions() {
  AddSrcFileAct = NewAction(this, "AddSrcFileAct", ActionImage(0));
  DelSrcFileAct = NewAction(this, "DelSrcFileAct", ActionImage(1));
  AddTrgFileAct = NewAction(this, "AddTrgFileAct", ActionImage(0));
  DelTrgFileAct = NewAction(this, "DelTrgFileAct", ActionImage(1));
  ClearSrcListAct = NewAction(this, "ClearSrcListAct", ActionImage(2));
  ClearTrgListAct = NewAction(this, "ClearTrgListAct", ActionImage(2));
  ClearAllAct = NewAction(this, "ClearAllAct", MenuImage(5));
  ResetToDefaultAct = NewAction(this, "ResetToDefaultAct", MenuImage(4));
  SettingsAct = NewAction(this, "SettingsAct", MenuImage(3));
  ExitAct = NewAction(this, "ExitAct", MenuImage(6));
  SwitchToEnglishAct = NewAction(this, "SwitchToEnglishAct");
  SwitchToRussianAct = NewAction(this, "SwitchToRussianAct");
  AboutAct = NewAction(this, "AboutAct", MenuImage(8));
  HideMainInfoPanelAct = NewAction(this, "HideMainInfoPanelAct");
  SwitchToEnglishAct->setText(QStringLiteral("English"));
  SwitchToRussianAct->setText(QStringLiteral("Русский"));
  HideMainInfoPanelAct->setText(QStringLiteral("X"));
  auto* Languages = new QActionGroup(this);
  for (QAction* A : {SwitchToEnglishAct, SwitchToRussianAct}) {
    A->setCheckable(true);
    Languages->addAction(A);
  }

  connect(AddSrcFileAct, &QAction::triggered, this, &TMainForm::AddSrcFileActExecute);
  connect(DelSrcFileAct, &QAction::triggered, this, &TMainForm::DelSrcFileActExecute);
  connect(AddTrgFileAct, &QAction::triggered, this, &TMainForm::AddTrgFileActExecute);
  connect(DelTrgFileAct, &QAction::triggered, this, &TMainForm::DelTrgFileActExecute);
  connect(ClearSrcListAct, &QAction::triggered, this, &TMainForm::ClearSrcListActExecute);
  connect(ClearTrgListAct, &QAction::triggered, this, &TMainForm::ClearTrgListActExecute);
  connect(ClearAllAct, &QAction::triggered, this, &TMainForm::ClearAllActExecute);
  connect(ResetToDefaultAct, &QAction::triggered, this, &TMainForm::ResetToDefaultActExecute);
  connect(SettingsAct, &QAction::triggered, this, &TMainForm::SettingsActExecute);
  connect(ExitAct, &QAction::triggered, this, &QWidget::close);
  connect(SwitchToEnglishAct, &QAction::triggered, this, [this] { ApplyLanguage(TLocalizationLanguare::llEN); });
  connect(SwitchToRussianAct, &QAction::triggered, this, [this] { ApplyLanguage(TLocalizationLanguare::llRU); });
  connect(AboutAct, &QAction::triggered, this, &TMainForm::AboutActExecute);
  connect(HideMainInfoPanelAct, &QAction::triggered, this, &TMainForm::HideMainInfoPanelActExecute);
  addActions({AddSrcFileAct, DelSrcFileAct, AddTrgFileAct, DelTrgFileAct, ClearSrcListAct, ClearTrgListAct, ClearAllAct,
              ResetToDefaultAct, SettingsAct, ExitAct, SwitchToEnglishAct, SwitchToRussianAct, AboutAct,
              HideMainInfoPanelAct});
}

QWidget* TMainForm::CreateListSide(QWidget* AParent, QLabel*& ACaption, QToolButton*& AAddBtn, QToolButton*& ADelBtn,
                                   TPanel*& APanel, TListBox*& AList, QLabel*& AHint, QWidget*& AStrip,
                                   QAction* AAddAct, QAction* ADelAct, const char* AName) {
  const QString Side = QString::fromLatin1(AName);
  auto* SidePanel = new QWidget(AParent);
  auto* SideLayout = new QVBoxLayout(SidePanel);
  SideLayout->setContentsMargins(0, 0, 0, 0);
  SideLayout->setSpacing(0);

  auto* Top = new QWidget(SidePanel);
  Top->setFixedHeight(28);
  auto* TopLayout = new QHBoxLayout(Top);
  TopLayout->setContentsMargins(2, 2, 0, 2);
  TopLayout->setSpacing(0);
  ACaption = CaptionLabel(Top, Side == QLatin1String("Src") ? "Label1" : "Label2");
  AAddBtn = FlatButton(Top, AAddAct, Side == QLatin1String("Src") ? "AddSrcFileBtn" : "AddTrgFileBtn");
  ADelBtn = FlatButton(Top, ADelAct, Side == QLatin1String("Src") ? "DelSrcFileBtn" : "DelTrgFileBtn");
  TopLayout->addWidget(ACaption, 1);
  TopLayout->addWidget(AAddBtn);
  TopLayout->addWidget(ADelBtn);
  SideLayout->addWidget(Top);

  APanel = new TPanel(SidePanel);
  APanel->setObjectName(Side + QStringLiteral("FilesListBoxPanel"));
  APanel->setFrameShape(QFrame::StyledPanel);
  APanel->setFrameShadow(QFrame::Plain);
  SetBackground(APanel, ListColour);
  auto* PanelLayout = new QVBoxLayout(APanel);
  PanelLayout->setContentsMargins(1, 1, 1, 1);
  PanelLayout->setSpacing(0);

  AList = new TListBox(APanel);
  AList->setObjectName(Side + QStringLiteral("FilesListBox"));
  SetBackground(AList, ListColour);
  SetBackground(AList->viewport(), ListColour);
  auto* ListHolder = new QWidget(APanel);
  auto* HolderLayout = new QVBoxLayout(ListHolder);
  HolderLayout->setContentsMargins(7, 7, 7, 7);
  HolderLayout->addWidget(AList);
  // The hint and the list share the area; ShowStartHints shows one of them.
  AHint = new QLabel(APanel);
  AHint->setObjectName(Side == QLatin1String("Src") ? QStringLiteral("StartTextLeftLabel")
                                                    : QStringLiteral("StartTextRightLabel"));
  AHint->setAlignment(Qt::AlignCenter);
  AHint->setWordWrap(true);
  AHint->setContentsMargins(12, 12, 12, 0);
  QPalette HintPalette = AHint->palette();
  HintPalette.setColor(QPalette::WindowText, QColor(0x80, 0x80, 0x80));
  AHint->setPalette(HintPalette);
  AStrip = new QWidget(APanel);
  AStrip->setObjectName(Side == QLatin1String("Src") ? QStringLiteral("StartTextLeftPanel")
                                                     : QStringLiteral("StartTextRightPanel"));
  AStrip->setFixedHeight(24);
  PanelLayout->addWidget(ListHolder, 1);
  PanelLayout->addWidget(AHint, 1);
  PanelLayout->addWidget(AStrip);
  SideLayout->addWidget(APanel, 1);
  APanel->FXListBox = AList;
  ListHolder->setVisible(false);
  AList->setProperty("Holder", QVariant::fromValue(static_cast<QObject*>(ListHolder)));
  return SidePanel;
}

void TMainForm::CreateSetupView(QWidget* AParent) {
  SettingsPanel = new QWidget(AParent);
  SettingsPanel->setObjectName(QStringLiteral("SettingsPanel"));
  auto* Layout = new QVBoxLayout(SettingsPanel);
  Layout->setContentsMargins(0, 0, 0, 0);
  Layout->setSpacing(0);

  SettingsMainPanel = new QWidget(SettingsPanel);
  SettingsMainPanel->setObjectName(QStringLiteral("SettingsMainPanel"));
  auto* MainLayout = new QVBoxLayout(SettingsMainPanel);
  MainLayout->setContentsMargins(5, 0, 5, 5);
  MainLayout->setSpacing(5);
  auto* Lists = new QHBoxLayout();
  Lists->setSpacing(5);
  SettingsLeftPanel = CreateListSide(SettingsMainPanel, Label1, AddSrcFileBtn, DelSrcFileBtn, SrcFilesListBoxPanel,
                                     SrcFilesListBox, StartTextLeftLabel, StartTextLeftPanel, AddSrcFileAct,
                                     DelSrcFileAct, "Src");
  SettingsLeftPanel->setObjectName(QStringLiteral("SettingsLeftPanel"));
  SettingsRightPanel = CreateListSide(SettingsMainPanel, Label2, AddTrgFileBtn, DelTrgFileBtn, TrgFilesListBoxPanel,
                                      TrgFilesListBox, StartTextRightLabel, StartTextRightPanel, AddTrgFileAct,
                                      DelTrgFileAct, "Trg");
  SettingsRightPanel->setObjectName(QStringLiteral("SettingsRightPanel"));
  Lists->addWidget(SettingsLeftPanel);
  Lists->addWidget(SettingsRightPanel, 1);
  MainLayout->addLayout(Lists, 1);

  SettingsGroupPanel = new QFrame(SettingsMainPanel);
  SettingsGroupPanel->setObjectName(QStringLiteral("SettingsGroupPanel"));
  SettingsGroupPanel->setFixedHeight(84);
  SetBackground(SettingsGroupPanel, QColor(0xF6, 0xF6, 0xF6));
  auto* Group = new QHBoxLayout(SettingsGroupPanel);
  Group->setContentsMargins(10, 6, 10, 6);
  auto* Checks = new QVBoxLayout();
  Checks->setSpacing(2);
  DoNotSeparateSpacesCbx = new QCheckBox(SettingsGroupPanel);
  DoNotSeparateSpacesCbx->setObjectName(QStringLiteral("DoNotSeparateSpacesCbx"));
  HideEquivalentStringCB = new QCheckBox(SettingsGroupPanel);
  HideEquivalentStringCB->setObjectName(QStringLiteral("HideEquivalentStringCB"));
  FillDiffRowColoredCB = new QCheckBox(SettingsGroupPanel);
  FillDiffRowColoredCB->setObjectName(QStringLiteral("FillDiffRowColoredCB"));
  ShowTagsCB = new QCheckBox(SettingsGroupPanel);
  ShowTagsCB->setObjectName(QStringLiteral("ShowTagsCB"));
  for (QCheckBox* Box : {DoNotSeparateSpacesCbx, HideEquivalentStringCB, FillDiffRowColoredCB, ShowTagsCB})
    Checks->addWidget(Box);
  auto* Radios = new QVBoxLayout();
  Radios->setSpacing(2);
  ExportToHTMLRadioButton = new QRadioButton(SettingsGroupPanel);
  ExportToHTMLRadioButton->setObjectName(QStringLiteral("ExportToHTMLRadioButton"));
  ExportToXLSXRadioButton = new QRadioButton(SettingsGroupPanel);
  ExportToXLSXRadioButton->setObjectName(QStringLiteral("ExportToXLSXRadioButton"));
  Radios->addWidget(ExportToHTMLRadioButton);
  Radios->addWidget(ExportToXLSXRadioButton);
  Radios->addStretch(1);
  Group->addLayout(Checks, 3);
  Group->addLayout(Radios, 2);
  MainLayout->addWidget(SettingsGroupPanel);
  Layout->addWidget(SettingsMainPanel, 1);

  MainInfoPanel = new QWidget(SettingsPanel);
  MainInfoPanel->setObjectName(QStringLiteral("MainInfoPanel"));
  MainInfoPanel->setFixedHeight(25);
  SetBackground(MainInfoPanel, QColor(0xF5, 0xE0, 0xBA));
  auto* Info = new QHBoxLayout(MainInfoPanel);
  Info->setContentsMargins(8, 0, 5, 0);
  MainInfoLinkLabel = new QLabel(MainInfoPanel);
  MainInfoLinkLabel->setObjectName(QStringLiteral("MainInfoLinkLabel"));
  MainInfoLinkLabel->setTextFormat(Qt::RichText);
  MainInfoLinkLabel->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  MainInfoLinkLabel->setOpenExternalLinks(false);
  connect(MainInfoLinkLabel, &QLabel::linkActivated, this, &TMainForm::MainInfoLinkLabelLinkClick);
  HideMainInfoPanelBtn = new QToolButton(MainInfoPanel);
  HideMainInfoPanelBtn->setObjectName(QStringLiteral("HideMainInfoPanelBtn"));
  HideMainInfoPanelBtn->setDefaultAction(HideMainInfoPanelAct);
  HideMainInfoPanelBtn->setAutoRaise(true);
  HideMainInfoPanelBtn->setFixedSize(15, 15);
  HideMainInfoPanelBtn->setToolButtonStyle(Qt::ToolButtonTextOnly);
  HideMainInfoPanelBtn->setStyleSheet(QStringLiteral("QToolButton { font-weight: bold; color: #808080; border: none; }"));
  Info->addWidget(MainInfoLinkLabel, 1);
  Info->addWidget(HideMainInfoPanelBtn);
  MainInfoPanel->setVisible(false);
  Layout->addWidget(MainInfoPanel);

  GenerateDiffFileBtn = BigButton(SettingsPanel, "GenerateDiffFileBtn");
  connect(GenerateDiffFileBtn, &QPushButton::clicked, this, &TMainForm::GenerateDiffFileBtnClick);
  Layout->addWidget(GenerateDiffFileBtn);

  SettingsMainPanel->installEventFilter(this);
}

void TMainForm::CreateWorkView(QWidget* AParent) {
  WorkPanel = new QWidget(AParent);
  WorkPanel->setObjectName(QStringLiteral("WorkPanel"));
  WorkPanel->setFocusPolicy(Qt::StrongFocus);
  auto* Layout = new QVBoxLayout(WorkPanel);
  Layout->setContentsMargins(0, 0, 0, 0);
  Layout->setSpacing(0);
  auto* LogFrame = new QFrame(WorkPanel);
  WorkLogPanel = LogFrame;
  LogFrame->setObjectName(QStringLiteral("WorkLogPanel"));
  LogFrame->setFrameShape(QFrame::StyledPanel);
  auto* LogLayout = new QVBoxLayout(LogFrame);
  LogLayout->setContentsMargins(5, 5, 5, 5);
  LogMemo = new QPlainTextEdit(LogFrame);
  LogMemo->setObjectName(QStringLiteral("LogMemo"));
  LogMemo->setReadOnly(true);
  LogMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
  LogMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  LogMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  LogMemo->setFrameShape(QFrame::NoFrame);
  QPalette Palette = LogMemo->palette();
  Palette.setColor(QPalette::Base, ListColour);
  Palette.setColor(QPalette::Text, QColor(0x33, 0x33, 0x33));
  LogMemo->setPalette(Palette);
  SetBackground(LogFrame, ListColour);
  LogLayout->addWidget(LogMemo);
  FLog = TLogMemo(LogMemo);
  Layout->addWidget(LogFrame, 1);
  RestartButton = BigButton(WorkPanel, "RestartButton");
  StopGenerateDiffFileBtn = BigButton(WorkPanel, "StopGenerateDiffFileBtn");
  connect(RestartButton, &QPushButton::clicked, this, &TMainForm::RestartButtonClick);
  connect(StopGenerateDiffFileBtn, &QPushButton::clicked, this, &TMainForm::StopGenerateDiffFileBtnClick);
  Layout->addWidget(RestartButton);
  Layout->addWidget(StopGenerateDiffFileBtn);
}

QMenu* TMainForm::CreateListMenu(QAction* AAdd, QAction* ADel, QAction* AClear) {
  auto* Menu = new QMenu(this);
  Menu->addAction(AAdd);
  Menu->addAction(ADel);
  Menu->addSeparator();
  Menu->addAction(AClear);
  Menu->addAction(ClearAllAct);
  Menu->addSeparator();
  QMenu* Language = Menu->addMenu(QStringLiteral("Language"));
  Language->setObjectName(QStringLiteral("LanguageMenu"));
  Language->addAction(SwitchToEnglishAct);
  Language->addAction(SwitchToRussianAct);
  Menu->addSeparator();
  Menu->addAction(SettingsAct);
  Menu->addSeparator();
  Menu->addAction(AboutAct);
  Menu->addSeparator();
  Menu->addAction(ExitAct);
  return Menu;
}

void TMainForm::CreateMenus() {
  SrcFilesPopupMenu = CreateListMenu(AddSrcFileAct, DelSrcFileAct, ClearSrcListAct);
  SrcFilesPopupMenu->setObjectName(QStringLiteral("SrcFilesPopupMenu"));
  TrgFilesPopupMenu = CreateListMenu(AddTrgFileAct, DelTrgFileAct, ClearTrgListAct);
  TrgFilesPopupMenu->setObjectName(QStringLiteral("TrgFilesPopupMenu"));
  SettingsPopupMenu = new QMenu(this);
  SettingsPopupMenu->setObjectName(QStringLiteral("SettingsPopupMenu"));
  SettingsPopupMenu->addAction(ResetToDefaultAct);
  SettingsPopupMenu->addSeparator();
  SettingsPopupMenu->addAction(SettingsAct);
  SettingsPopupMenu->addSeparator();
  SettingsPopupMenu->addAction(AboutAct);
  SettingsPopupMenu->addSeparator();
  SettingsPopupMenu->addAction(ExitAct);

  const auto Bind = [this](QWidget* AWidget, TListBox* AList) {
    AWidget->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(AWidget, &QWidget::customContextMenuRequested, this,
            [this, AWidget, AList](const QPoint& APos) { PopupListMenu(AList, AWidget, APos); });
  };
  for (TListBox* List : {SrcFilesListBox, TrgFilesListBox}) {
    const bool Src = List == SrcFilesListBox;
    Bind(List, List);
    Bind(Src ? StartTextLeftLabel : StartTextRightLabel, List);
    Bind(Src ? StartTextLeftPanel : StartTextRightPanel, List);
  }
  SettingsGroupPanel->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(SettingsGroupPanel, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& APos) { SettingsPopupMenu->popup(SettingsGroupPanel->mapToGlobal(APos)); });
}

void TMainForm::PopupListMenu(TListBox* AList, QWidget* AFrom, const QPoint& APos) {
  if (AList == SrcFilesListBox)
    UpdateSrcActions();
  else
    UpdateTrgActions();
  QMenu* Menu = AList == SrcFilesListBox ? SrcFilesPopupMenu : TrgFilesPopupMenu;
  Menu->popup(AFrom->mapToGlobal(APos));
}

void TMainForm::FormCreate() {
  StartUpdateCheck();
  FIsClosing = false;
  ApplySettings();
  for (TListBox* List : {SrcFilesListBox, TrgFilesListBox}) {
    const bool Src = List == SrcFilesListBox;
    FDropTarget->Watch(Src ? SrcFilesListBoxPanel : TrgFilesListBoxPanel, List);
    FDropTarget->Watch(List->viewport(), List);
    FDropTarget->Watch(Src ? StartTextLeftLabel : StartTextRightLabel, List);
    FDropTarget->Watch(Src ? StartTextLeftPanel : StartTextRightPanel, List);
    connect(List, &TListBox::InsertPressed, this, [this, Src] { (Src ? AddSrcFileAct : AddTrgFileAct)->trigger(); });
    connect(List, &TListBox::DeletePressed, this, [this, Src] { (Src ? DelSrcFileAct : DelTrgFileAct)->trigger(); });
    connect(List, &QListWidget::itemSelectionChanged, this, [this, Src] { Src ? UpdateSrcActions() : UpdateTrgActions(); });
    connect(List, &QListWidget::itemClicked, this, [this, Src] { Src ? UpdateSrcActions() : UpdateTrgActions(); });
  }
  if (!ProgrammSettings.PathToResDir.empty()) {
    std::error_code Ec;
    fs::create_directories(ProgrammSettings.PathToResDir, Ec);
    if (Ec)
      Logger().AddWarning("TMainForm.FormCreate: cannot create the results folder " + ProgrammSettings.PathToResDir +
                          ": " + Ec.message());
  }
  DiffFileConstructor = nullptr;
  Progressator = nullptr;
  UpdateSrcActions();
  UpdateTrgActions();
  SetFormState(TFormState::fsSetupToWork);
}

// ---- settings, language, geometry -----------------------------------------------------------

void TMainForm::ApplySettings() {
  const TSettings& S = ProgrammSettings;
  if (S.SaveFormSize && S.LastFormPosW > 0 && S.LastFormPosH > 0) resize(S.LastFormPosW, S.LastFormPosH);
  FPositionStored = S.SaveFormPos;
  if (S.SaveFormPos) move(S.LastFormPosX, S.LastFormPosY);
  FitToMonitors();
  ApplyLanguage(S.LangIndex);
  const bool Curr = S.SaveDiffSettings;
  DoNotSeparateSpacesCbx->setChecked(Curr ? S.Curr_DoNotSeparateSpaces : S.Def_DoNotSeparateSpaces);
  HideEquivalentStringCB->setChecked(Curr ? S.Curr_HideEquivalentString : S.Def_HideEquivalentString);
  FillDiffRowColoredCB->setChecked(Curr ? S.Curr_FillDiffRowColored : S.Def_FillDiffRowColored);
  ShowTagsCB->setChecked(Curr ? S.Curr_ShowTags : S.Def_ShowTags);
  ExportToHTMLRadioButton->setChecked(true);
  if ((Curr ? S.Curr_ResultFileFormat : S.Def_ResultFileFormat) == TResultFileFormat::rffXLSX)
    ExportToXLSXRadioButton->setChecked(true);
}

QString TMainForm::Msg(TMsg AId) const {
  return QString::fromStdString(GetLocalizedText(AId, ProgrammSettings.LangIndex));
}

void TMainForm::ApplyLanguage(TLocalizationLanguare ALang) {
  ProgrammSettings.LangIndex = ALang;
  TAppVersion Version;
  GetAppVersion(Version);
  setWindowTitle(Msg(TMsg::ProgramTitlePrefix) + QString::fromStdString(Version.MajorAndMinor));
  Label1->setText(Msg(TMsg::SourceListCaption));
  Label2->setText(Msg(TMsg::EditedListCaption));
  DoNotSeparateSpacesCbx->setText(Msg(TMsg::OptionIgnoreNbsp));
  HideEquivalentStringCB->setText(Msg(TMsg::OptionOnlyEditedSegments));
  FillDiffRowColoredCB->setText(Msg(TMsg::OptionHighlightEditedRows));
  ShowTagsCB->setText(Msg(TMsg::OptionShowTags));
  ExportToHTMLRadioButton->setText(Msg(TMsg::OptionFormatHtml));
  ExportToXLSXRadioButton->setText(Msg(TMsg::OptionFormatXlsx));
  GenerateDiffFileBtn->setText(Msg(TMsg::CreateReportButton));
  const struct {
    QAction* Action;
    TMsg Caption;
    TMsg Hint;
  } Texts[] = {{AddSrcFileAct, TMsg::AddSourceFilesCaption, TMsg::AddSourceFilesHint},
               {DelSrcFileAct, TMsg::DeleteSourceFilesCaption, TMsg::DeleteSourceFilesHint},
               {AddTrgFileAct, TMsg::AddEditedFilesCaption, TMsg::AddEditedFilesHint},
               {DelTrgFileAct, TMsg::DeleteEditedFilesCaption, TMsg::DeleteEditedFilesHint},
               {ClearSrcListAct, TMsg::ClearSourceListCaption, TMsg::ClearSourceListHint},
               {ClearTrgListAct, TMsg::ClearEditedListCaption, TMsg::ClearEditedListHint},
               {ClearAllAct, TMsg::ClearBothListsCaption, TMsg::ClearBothListsHint},
               {ResetToDefaultAct, TMsg::ResetToDefaultsCaption, TMsg::ResetToDefaultsHint},
               {SettingsAct, TMsg::SettingsCaption, TMsg::SettingsHint},
               {ExitAct, TMsg::ExitCaption, TMsg::ExitHint},
               {AboutAct, TMsg::AboutCaption, TMsg::AboutHint}};
  for (const auto& T : Texts) {
    T.Action->setText(Msg(T.Caption));
    T.Action->setToolTip(Msg(T.Hint));
    T.Action->setStatusTip(Msg(T.Hint));
  }
  HideMainInfoPanelAct->setToolTip(Msg(TMsg::HideInfoBarHint));
  SwitchToEnglishAct->setChecked(ALang == TLocalizationLanguare::llEN);
  SwitchToRussianAct->setChecked(ALang == TLocalizationLanguare::llRU);
  if (OpenDialog1) {
    OpenDialog1->setNameFilters(DelphiFilterToNameFilters(OpenDialogFilter(ALang)));
    OpenDialog1->selectNameFilter(OpenDialog1->nameFilters().value(0));
  }
  StopGenerateDiffFileBtn->setText(Msg(TMsg::StopReportButton));
  RestartButton->setText(Msg(TMsg::CreateAnotherReportButton));
  StartTextLeftLabel->setText(Msg(TMsg::DropFilesHint));
  StartTextRightLabel->setText(Msg(TMsg::DropFilesHint));
  DrawCreditFooter();
  if (MainInfoPanel->isVisibleTo(SettingsPanel))
    MainInfoLinkLabel->setText(NewVersionInfoText(ALang, ProgrammSettings.LastNewVersion));
}

void TMainForm::FitToMonitors() {
  // Qt places a window by its frame; the frame's extra size is kept off the client's.
  const QSize Frame = frameGeometry().size();
  const TScreenRect Fitted = lexmora::FitToMonitors({x(), y(), Frame.width(), Frame.height()}, MonitorRects());
  const QSize FittedSize(Fitted.Width, Fitted.Height);
  if (FittedSize != Frame) resize(size() - (Frame - FittedSize));
  if (QPoint(Fitted.Left, Fitted.Top) != pos()) move(Fitted.Left, Fitted.Top);
}

void TMainForm::StoreWindowState() {
  TSettings& S = ProgrammSettings;
  S.LastFormIsMaximized = isMaximized();
  if ((S.SaveFormSize || S.SaveFormPos) && (isMinimized() || isMaximized())) showNormal();
  if (S.SaveFormSize) {
    S.LastFormPosW = width();
    S.LastFormPosH = height();
  }
  if (S.SaveFormPos) {
    S.LastFormPosX = x();
    S.LastFormPosY = y();
  }
  if (S.SaveDiffSettings) {
    S.Curr_DoNotSeparateSpaces = DoNotSeparateSpacesCbx->isChecked();
    S.Curr_HideEquivalentString = HideEquivalentStringCB->isChecked();
    S.Curr_FillDiffRowColored = FillDiffRowColoredCB->isChecked();
    S.Curr_ShowTags = ShowTagsCB->isChecked();
    S.Curr_ResultFileFormat =
        ExportToXLSXRadioButton->isChecked() ? TResultFileFormat::rffXLSX : TResultFileFormat::rffHTML;
  }
}

void TMainForm::showEvent(QShowEvent* AEvent) {
  if (!FShownOnce) {
    FShownOnce = true;
    if (!FPositionStored) {
      if (const QScreen* Screen = QGuiApplication::primaryScreen()) {
        QRect Frame = frameGeometry();
        Frame.moveCenter(Screen->availableGeometry().center());
        move(Frame.topLeft());
      }
    }
  }
  QMainWindow::showEvent(AEvent);
}

bool TMainForm::eventFilter(QObject* AWatched, QEvent* AEvent) {
  if (AWatched == SettingsMainPanel && AEvent->type() == QEvent::Resize) FormResize();
  return QMainWindow::eventFilter(AWatched, AEvent);
}

void TMainForm::FormResize() {
  SettingsLeftPanel->setFixedWidth(std::max(0, SettingsMainPanel->width() / 2 - 7));
}

// ---- states ---------------------------------------------------------------------------------

void TMainForm::SetFormState(TFormState AState) {
  FCurFormState = AState;
  const TFormStateView View = FormStateView(AState);
  // Hide first, so that the two views are never shown together.
  if (!View.SetupView) SettingsPanel->setVisible(false);
  if (!View.WorkView) WorkPanel->setVisible(false);
  SettingsPanel->setVisible(View.SetupView);
  WorkPanel->setVisible(View.WorkView);
  StopGenerateDiffFileBtn->setVisible(View.StopButton);
  RestartButton->setVisible(View.RestartButton);
  switch (View.Focus) {
    case TFormFocus::ffStopButton:
      StopGenerateDiffFileBtn->setFocus();
      break;
    case TFormFocus::ffWorkView:
      WorkPanel->setFocus();
      break;
    case TFormFocus::ffRestartButton:
      RestartButton->setFocus();
      break;
    case TFormFocus::ffNone:
      break;
  }
}

// ---- lists ----------------------------------------------------------------------------------

void TMainForm::AddFilesToList(TListBox* AList, const std::vector<std::string>& APaths, bool AOnlyInputExtensions) {
  std::vector<std::string> Paths = AList->PathList();
  const TAddFilesResult Result = lexmora::AddFilesToList(Paths, APaths, AOnlyInputExtensions);
  if (Result.AddedCount > 0) AList->SetPaths(Paths);
  UpdateSrcActions();
  UpdateTrgActions();
  if (!Result.LineBreakPaths.empty()) ShowRefusedPaths(Result.LineBreakPaths);
}

void TMainForm::ShowRefusedPaths(const std::vector<std::string>& APaths) {
  QString Text = Msg(TMsg::PathsWithLineBreak);
  for (const std::string& P : APaths) Text += QLatin1Char('\n') + QString::fromStdString(P).replace(QLatin1Char('\n'), QStringLiteral("\\n")).replace(QLatin1Char('\r'), QStringLiteral("\\r"));
  // Not modal in a nested loop: the drop has already been answered.
  auto* Box = new QMessageBox(QMessageBox::Warning, Msg(TMsg::CautionTitle), Text, QMessageBox::Ok, this);
  Box->setObjectName(QStringLiteral("RefusedPathsBox"));
  Box->setAttribute(Qt::WA_DeleteOnClose);
  Box->open();
}

void TMainForm::OpenFilesFor(TListBox* AList) {
  FOpenDialogTarget = AList;
  OpenDialog1->open();
}

void TMainForm::AddSrcFileActExecute() { OpenFilesFor(SrcFilesListBox); }
void TMainForm::AddTrgFileActExecute() { OpenFilesFor(TrgFilesListBox); }

void TMainForm::DelSrcFileActExecute() {
  SrcFilesListBox->DeleteSelected();
  UpdateSrcActions();
}

void TMainForm::DelTrgFileActExecute() {
  TrgFilesListBox->DeleteSelected();
  UpdateTrgActions();
}

void TMainForm::ClearSrcListActExecute() {
  SrcFilesListBox->clear();
  UpdateSrcActions();
}

void TMainForm::ClearTrgListActExecute() {
  TrgFilesListBox->clear();
  UpdateTrgActions();
}

void TMainForm::ClearAllActExecute() {
  SrcFilesListBox->clear();
  UpdateSrcActions();
  TrgFilesListBox->clear();
  UpdateTrgActions();
}

void TMainForm::UpdateSrcActions() {
  DelSrcFileAct->setEnabled(SrcFilesListBox->HasSelection());
  ClearSrcListAct->setEnabled(SrcFilesListBox->count() > 0);
  UpdateClearAllAction();
}

void TMainForm::UpdateTrgActions() {
  DelTrgFileAct->setEnabled(TrgFilesListBox->HasSelection());
  ClearTrgListAct->setEnabled(TrgFilesListBox->count() > 0);
  UpdateClearAllAction();
}

void TMainForm::UpdateClearAllAction() {
  const bool Any = SrcFilesListBox->count() > 0 || TrgFilesListBox->count() > 0;
  ClearAllAct->setEnabled(Any);
  ShowStartHints(!Any);
}

void TMainForm::ShowStartHints(bool AShow) {
  for (QLabel* Hint : {StartTextLeftLabel, StartTextRightLabel}) Hint->setVisible(AShow);
  for (QWidget* Strip : {StartTextLeftPanel, StartTextRightPanel}) Strip->setVisible(AShow);
  for (TListBox* List : {SrcFilesListBox, TrgFilesListBox})
    if (auto* Holder = qobject_cast<QWidget*>(List->property("Holder").value<QObject*>())) Holder->setVisible(!AShow);
}

void TMainForm::ResetToDefaultActExecute() {
  const TSettings& S = ProgrammSettings;
  DoNotSeparateSpacesCbx->setChecked(S.Def_DoNotSeparateSpaces);
  HideEquivalentStringCB->setChecked(S.Def_HideEquivalentString);
  FillDiffRowColoredCB->setChecked(S.Def_FillDiffRowColored);
  ShowTagsCB->setChecked(S.Def_ShowTags);
  ExportToHTMLRadioButton->setChecked(true);
  if (S.Def_ResultFileFormat == TResultFileFormat::rffXLSX) ExportToXLSXRadioButton->setChecked(true);
}

// ---- the comparison -------------------------------------------------------------------------

bool TMainForm::IsRunActive() const { return DiffFileConstructor || FRunBridge || Progressator; }

void TMainForm::GenerateDiffFileBtnClick() {
  FLog.Clear();
  if (SrcFilesListBox->count() == 0 || TrgFilesListBox->count() == 0) {
    FLog.Add(Msg(TMsg::CannotCompare));
    FLog.Add(Msg(TMsg::FilesMissingForCompare));
    SetFormState(TFormState::fsWaitForRestart);
    return;
  }
  const TSettings& S = ProgrammSettings;
  // The results folder and the run's working folder must be usable before anything starts.
  std::error_code Ec;
  std::string ResDir = S.PathToResDir;
  while (ResDir.size() > 1 && ResDir.back() == '/') ResDir.pop_back();
  fs::create_directories(ResDir, Ec);
  const std::string Prefix = ReserveResultPrefix(ResDir, ResultTimeStamp());
  if (Prefix.empty()) {
    FLog.Add(Msg(TMsg::CannotCompare));
    FLog.Add(Msg(TMsg::ResultsFolderNotWritable) + QString::fromStdString(S.PathToResDir));
    Logger().AddWarning("TMainForm.GenerateDiffFileBtnClick: the results folder cannot be written: " + S.PathToResDir);
    SetFormState(TFormState::fsWaitForRestart);
    return;
  }
  TPrivateWorkDir PrivateDir(S.PathToTempDir, "run");
  if (PrivateDir.Path().empty()) {
    ReleaseResultPrefix(Prefix);
    FLog.Add(Msg(TMsg::CannotCompare));
    FLog.Add(Msg(TMsg::WorkFolderNotCreated) + QString::fromStdString(S.PathToTempDir));
    Logger().AddWarning("TMainForm.GenerateDiffFileBtnClick: cannot create a working folder in " + S.PathToTempDir);
    SetFormState(TFormState::fsWaitForRestart);
    return;
  }

  FLog.Add(Msg(TMsg::ComparisonStarted));
  FLog.Add(QString());
  TDiffFileConstructorSettings Settings;
  Settings.TranslatorFiles = FileListText(SrcFilesListBox->PathList());
  Settings.EditorFiles = FileListText(TrgFilesListBox->PathList());
  Settings.HideEquivalentString = HideEquivalentStringCB->isChecked();
  Settings.DoNotSeparateSpaces = DoNotSeparateSpacesCbx->isChecked();
  Settings.FillDiffRowColored = FillDiffRowColoredCB->isChecked();
  Settings.ShowTagsFlag = GetShowTagsFlag(ShowTagsCB->isChecked(), S.ShowTagsFormat);
  Settings.TempDirectory = (PrivateDir.Path() / "work").string() + "/";
  Settings.ResultFileName = Prefix;
  Settings.ResultFileFormat =
      ExportToHTMLRadioButton->isChecked() ? TResultFileFormat::rffHTML : TResultFileFormat::rffXLSX;
  Settings.LocalizationLanguare = S.LangIndex;

  // From here the run owns the reservation and the folder and gives both up on its worker.
  auto* Run = new TRunBridge(Settings, Prefix, PrivateDir.Release().string(), this);
  connect(Run, &TRunBridge::NewOperation, this, &TMainForm::SetNewOperation);
  connect(Run, &TRunBridge::Progress, this, &TMainForm::SetProgress);
  connect(Run, &TRunBridge::RunResult, this, [this](int ACode, const QString& AErrorLog, const QString& AResultFile) {
    SetResult(static_cast<TExecuteResult>(ACode), AErrorLog, AResultFile);
  });
  connect(Run, &TRunBridge::RunEnded, this, &TMainForm::OnRunEnded);
  DiffFileConstructor = Run;
  FRunBridge = Run;
  Run->Start();

  Progressator = new TProgressator([this](const std::string& A, const std::string& B) { SetProgressCallBack(A, B); },
                                   [this](const std::string& A) { SetProgressFinishCallBack(A); },
                                   [this] { SetProgressatorFinish(); }, S.LangIndex);
  Progressator->Start();
  SetFormState(TFormState::fsWorked);
}

void TMainForm::SetNewOperation(const QString& AOperationName, int APointCount, int APercentBegin, int APercentEnd) {
  if (!Progressator) return;
  Progressator->StartNewOperation(AOperationName.toStdString(), APointCount, APercentBegin, APercentEnd);
  FLog.Add(QString());
  FLog.Add(QString());
}

void TMainForm::SetProgress(int ACurrentPoint) {
  if (Progressator) Progressator->SetCurrentPoint(ACurrentPoint);
}

void TMainForm::SetProgressCallBack(const std::string& ACurrentProgressStr, const std::string& ATotalProgressStr) {
  FLog.SetLineFromEnd(1, QString::fromStdString(ACurrentProgressStr));
  FLog.SetLineFromEnd(0, QString::fromStdString(ATotalProgressStr));
}

void TMainForm::SetProgressFinishCallBack(const std::string& AResultString) {
  FLog.SetLineFromEnd(1, QString::fromStdString(AResultString));
  FLog.DeleteLast();
}

void TMainForm::SetProgressatorFinish() {
  if (Progressator) Progressator->deleteLater();
  Progressator = nullptr;
  CloseWhenIdle();
}

void TMainForm::SetResult(TExecuteResult AResultCode, const QString& AErrorLog, const QString& AResultFile) {
  const std::vector<std::string> Reports = SplitLines(AResultFile.toStdString());
  if (Progressator) {
    // Only an operation still running gets its closing line; a finished one keeps its own.
    if (Progressator->IsOperationSet())
      SetProgressFinishCallBack(Progressator->CurrentOperation() + GetLocalizedText(TMsg::OperationCompleted, ProgrammSettings.LangIndex));
    Progressator->Terminate();
  }
  std::optional<TMsg> Outcome;
  switch (AResultCode) {
    case TExecuteResult::erTerminatedByUser:
      Outcome = TMsg::ReportStoppedByUser;
      break;
    case TExecuteResult::erCreateDiffFileError:
      Outcome = TMsg::ReportFailed;
      break;
    case TExecuteResult::erOk:
      break;
    default:
      Outcome = TMsg::UnknownError;
      break;
  }
  FLog.Add(QString());
  if (Outcome) {
    FLog.Add(Msg(TMsg::ComparisonInterrupted));
    FLog.Add(Msg(*Outcome));
    // Only some language pairs failed: the reports of the others were written and are opened.
    if (AResultCode == TExecuteResult::erCreateDiffFileError && !Reports.empty()) {
      FLog.Add(Msg(TMsg::ReportCreatedAnyway));
      ListReports(Reports);
    }
  } else {
    FLog.Add(Msg(TMsg::ReportCreated));
    ListReports(Reports);
  }
  if (!AErrorLog.isEmpty()) {
    FLog.Add(QString());
    FLog.Add(Msg(TMsg::ComparisonHadErrors));
    for (const std::string& Line : SplitLines(AErrorLog.toStdString())) FLog.Add(QString::fromStdString(Line));
  }
  DiffFileConstructor = nullptr;
  SetFormState(TFormState::fsWaitForRestart);
  Q_EMIT ComparisonFinished();
}

void TMainForm::ListReports(const std::vector<std::string>& AReports) {
  for (std::size_t I = 0; I < AReports.size(); ++I) {
    const QString Path = QString::fromStdString(AReports[I]);
    const QString Number = AReports.size() == 1 ? QString() : QString::number(I + 1) + QStringLiteral(". ");
    std::error_code Ec;
    if (fs::exists(AReports[I], Ec)) {
      FLog.Add(Number + Path);
      if (!QDesktopServices::openUrl(QUrl::fromLocalFile(Path)))
        Logger().AddWarning("TMainForm.SetResult: the desktop could not open the report " + AReports[I]);
    } else {
      FLog.Add(Number + Path + QStringLiteral(" - ") + Msg(TMsg::ReportNotFound));
    }
  }
}

void TMainForm::OnRunEnded() {
  if (FRunBridge) FRunBridge->deleteLater();
  FRunBridge = nullptr;
  CloseWhenIdle();
}

void TMainForm::StopGenerateDiffFileBtnClick() {
  if (DiffFileConstructor) {
    DiffFileConstructor->Terminate();
    SetFormState(TFormState::fsWorkStopping);
  } else {
    SetFormState(TFormState::fsWaitForRestart);
  }
}

void TMainForm::RestartButtonClick() {
  if (ProgrammSettings.ClearFileList) ClearAllActExecute();
  SetFormState(TFormState::fsSetupToWork);
}

// ---- closing --------------------------------------------------------------------------------

void TMainForm::closeEvent(QCloseEvent* AEvent) {
  if (!FIsClosing) {
    FIsClosing = true;
    // Closing never waits for the network, and an answer arriving after the save would be lost:
    // the check ends here, unanswered (it runs again at the next start).
    AbortUpdateCheck();
    if (DiffFileConstructor) {
      DiffFileConstructor->Terminate();
      SetFormState(TFormState::fsWorkStopping);
    }
  }
  if (IsRunActive()) {
    // Closes for real once the run and the progress reporter have ended (CloseWhenIdle).
    AEvent->ignore();
    return;
  }
  StoreWindowState();
  SaveSettings();
  AEvent->accept();
}

void TMainForm::CloseWhenIdle() {
  if (FIsClosing && !IsRunActive()) QTimer::singleShot(0, this, [this] { close(); });
}

}  // namespace lexmora
