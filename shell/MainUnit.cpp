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
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "LocalizationUnit.h"
#include "LoggerUnit.h"
#include "MainUnitImages.h"
#include "MainUnitRun.h"
#include "RunOutcomeLinesUnit.h"

namespace lexmora {

namespace fs = std::filesystem;

namespace {

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
  CreateView();

  FDropTarget = new TFileDropTarget(
      [this](TListBox* AList, const std::vector<std::string>& APaths) { AddFilesToList(AList, APaths, true); }, this);

  for (QScreen* Screen : QGuiApplication::screens())
    connect(Screen, &QScreen::availableGeometryChanged, this, [this] { FitToMonitors(); });
  connect(qApp, &QGuiApplication::screenAdded, this, [this](QScreen* AScreen) {
    connect(AScreen, &QScreen::availableGeometryChanged, this, [this] { FitToMonitors(); });
    FitToMonitors();
  });
  connect(qApp, &QGuiApplication::screenRemoved, this,
          [this] { QTimer::singleShot(0, this, [this] { FitToMonitors(); }); });

  FormCreate();
}

TMainForm::~TMainForm() {
  FDropTarget->Unwatch(SrcFilesListBox->viewport());
  FDropTarget->Unwatch(TrgFilesListBox->viewport());
  delete Progressator;
  Progressator = nullptr;
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
    connect(List, &QListWidget::itemSelectionChanged, this,
            [this, Src] { Src ? UpdateSrcActions() : UpdateTrgActions(); });
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

void TMainForm::FormResize() { SettingsLeftPanel->setFixedWidth(std::max(0, SettingsMainPanel->width() / 2 - 7)); }

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
  for (const std::string& P : APaths)
    Text += QLatin1Char('\n') + QString::fromStdString(P)
                                    .replace(QLatin1Char('\n'), QStringLiteral("\\n"))
                                    .replace(QLatin1Char('\r'), QStringLiteral("\\r"));
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
  const TSettings& S = ProgrammSettings;
  TRunRequest Request;
  Request.SourceFiles = SrcFilesListBox->PathList();
  Request.EditedFiles = TrgFilesListBox->PathList();
  Request.HideEquivalentString = HideEquivalentStringCB->isChecked();
  Request.DoNotSeparateSpaces = DoNotSeparateSpacesCbx->isChecked();
  Request.FillDiffRowColored = FillDiffRowColoredCB->isChecked();
  Request.ShowTagsFlag = GetShowTagsFlag(ShowTagsCB->isChecked(), S.ShowTagsFormat);
  Request.ResultFileFormat =
      ExportToHTMLRadioButton->isChecked() ? TResultFileFormat::rffHTML : TResultFileFormat::rffXLSX;
  Request.LocalizationLanguare = S.LangIndex;
  Request.Cost = S.Cost;
  Request.WriteCsv = S.WriteCsv;
  Request.OutputDir = S.PathToResDir;
  Request.WorkParent = S.PathToTempDir;
  auto Run = std::make_unique<TComparisonRun>(std::move(Request));
  // The lists, the results folder and the working folder must be usable before anything starts.
  if (!Run->Prepare()) {
    SetResult(Run->Outcome());
    return;
  }

  FLog.Add(Msg(TMsg::ComparisonStarted));
  FLog.Add(QString());
  auto* Bridge = new TRunBridge(std::move(Run), this);
  connect(Bridge, &TRunBridge::NewOperation, this, &TMainForm::SetNewOperation);
  connect(Bridge, &TRunBridge::Progress, this, &TMainForm::SetProgress);
  connect(Bridge, &TRunBridge::RunResult, this, &TMainForm::SetResult);
  connect(Bridge, &TRunBridge::RunEnded, this, &TMainForm::OnRunEnded);
  DiffFileConstructor = Bridge;
  FRunBridge = Bridge;
  Bridge->Start();

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

void TMainForm::SetResult(const TRunOutcome& AOutcome) {
  if (Progressator) {
    // Only an operation still running gets its closing line; a finished one keeps its own.
    if (Progressator->IsOperationSet())
      SetProgressFinishCallBack(Progressator->CurrentOperation() +
                                GetLocalizedText(TMsg::OperationCompleted, ProgrammSettings.LangIndex));
    Progressator->Terminate();
  }
  for (const TOutcomeLine& Line : OutcomeLines(AOutcome, ProgrammSettings.LangIndex)) {
    FLog.Add(QString::fromStdString(Line.Text));
    if (Line.Kind == TOutcomeLineKind::olkReport &&
        !QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(Line.Path))))
      Logger().AddWarning("TMainForm.SetResult: the desktop could not open the report " + Line.Path);
  }
  DiffFileConstructor = nullptr;
  SetFormState(TFormState::fsWaitForRestart);
  if (AOutcome.Setup == TRunSetup::rsReady) Q_EMIT ComparisonFinished();
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
