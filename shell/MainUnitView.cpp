// The main window's controls, actions and menus: how the window is built, apart from what it does.
#include <QAction>
#include <QActionGroup>
#include <QBoxLayout>
#include <QCheckBox>
#include <QFileDialog>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "MainUnit.h"
#include "MainUnitImages.h"

namespace lexmora {

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

QAction* NewAction(QObject* AParent, const char* AName, const QIcon& AIcon = QIcon()) {
  auto* Action = new QAction(AIcon, QString(), AParent);
  Action->setObjectName(QString::fromLatin1(AName));
  return Action;
}

}  // namespace

void TMainForm::CreateView() {
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
  SettingsLeftPanel =
      CreateListSide(SettingsMainPanel, Label1, AddSrcFileBtn, DelSrcFileBtn, SrcFilesListBoxPanel, SrcFilesListBox,
                     StartTextLeftLabel, StartTextLeftPanel, AddSrcFileAct, DelSrcFileAct, "Src");
  SettingsLeftPanel->setObjectName(QStringLiteral("SettingsLeftPanel"));
  SettingsRightPanel =
      CreateListSide(SettingsMainPanel, Label2, AddTrgFileBtn, DelTrgFileBtn, TrgFilesListBoxPanel, TrgFilesListBox,
                     StartTextRightLabel, StartTextRightPanel, AddTrgFileAct, DelTrgFileAct, "Trg");
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
  HideMainInfoPanelBtn->setStyleSheet(
      QStringLiteral("QToolButton { font-weight: bold; color: #808080; border: none; }"));
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

}  // namespace lexmora
