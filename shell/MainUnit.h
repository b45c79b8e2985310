// The main window: the setup view with both file lists and the options, the work view with the
// log pane, and the comparison workflow between them.
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QPointer>

#include <string>
#include <vector>

#include "CheckUpdateUnit.h"
#include "DataTypeUnit.h"
#include "ComparisonRunUnit.h"
#include "MainUnitLists.h"
#include "MessageIds.h"
#include "MainUnitShellDeps.h"

class QAction;
class QActionGroup;
class QCheckBox;
class QFileDialog;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace lexmora {

class TAboutForm;
class TRunBridge;
class TSettingsForm;

// The read-only log pane; the last two lines belong to the progress reporter while an operation runs.
class TLogMemo {
 public:
  explicit TLogMemo(QPlainTextEdit* AEdit) : FEdit(AEdit) {}
  void Clear();
  void Add(const QString& ALine);
  // Replaces the line AFromEnd places before the last one (0: the last line); nothing when absent.
  void SetLineFromEnd(int AFromEnd, const QString& ALine);
  void DeleteLast();
  QStringList Lines() const;
  int Count() const { return FCount; }

 private:
  QPlainTextEdit* FEdit;
  int FCount = 0;
};

class TMainForm : public QMainWindow {
  Q_OBJECT
 public:
  // AUpdateCheck: where the update check asks (the production server unless a test says otherwise).
  explicit TMainForm(QWidget* AParent = nullptr, TUpdateCheckConfig AUpdateCheck = {});
  ~TMainForm() override;

  TFormState FormState() const { return FCurFormState; }
  void SetFormState(TFormState AState);

  void ApplySettings();
  void ApplyLanguage(TLocalizationLanguare ALang);
  void StoreWindowState();
  void FitToMonitors();

  // The comparison workflow.
  void GenerateDiffFileBtnClick();
  void StopGenerateDiffFileBtnClick();
  void RestartButtonClick();

  // The list commands.
  void AddSrcFileActExecute();
  void AddTrgFileActExecute();
  void DelSrcFileActExecute();
  void DelTrgFileActExecute();
  void ClearSrcListActExecute();
  void ClearTrgListActExecute();
  void ClearAllActExecute();
  void ResetToDefaultActExecute();
  void UpdateSrcActions();
  void UpdateTrgActions();
  void UpdateClearAllAction();
  void ShowStartHints(bool AShow);
  // Adds the accepted ones of APaths to AList (dropped files: only the input extensions).
  void AddFilesToList(TListBox* AList, const std::vector<std::string>& APaths, bool AOnlyInputExtensions);

  // The run's and the progress reporter's calls, on the GUI thread (the run's arrive as
  // queued signals from its worker).
  void SetNewOperation(const QString& AOperationName, int APointCount, int APercentBegin, int APercentEnd);
  void SetProgress(int ACurrentPoint);
  // Writes the outcome's lines into the log pane and opens the reports it lists.
  void SetResult(const TRunOutcome& AOutcome);
  void SetProgressCallBack(const std::string& ACurrentProgressStr, const std::string& ATotalProgressStr);
  void SetProgressFinishCallBack(const std::string& AResultString);
  void SetProgressatorFinish();

  // The update check (MainUnitDialogs.cpp): asks when due, else shows a stored announcement.
  void StartUpdateCheck();
  // The check's answer (empty when none), on the GUI thread.
  void OnNewVersionInfo(const QString& ANewVersion);
  // Shows the information bar when LastNewVersion is to be announced.
  void ShowNewVersionInfo();
  // The X of the information bar: this version is not announced again.
  void HideMainInfoPanelActExecute();
  void SettingsActExecute();
  void AboutActExecute();
  // Draws the credit footer (message 145) into StartTextRightPanel; called by ApplyLanguage.
  void DrawCreditFooter();
  // Shows the information bar with AHtml in MainInfoLinkLabel; the text is set by the caller.
  void ShowMainInfoPanel(const QString& AHtml);
  // Opens a link address through the desktop (labels' hint text, clicked links); web and mail only.
  void OpenLinkLabel(QObject* ASender);
  void MainInfoLinkLabelLinkClick(const QString& ALink);
  // The running update check, or null (tests).
  TCheckUpdateWorker* CheckUpdateWorker() const { return FCheckUpdateWorker; }
  // The dialogs, created at their first opening and reused; null before (tests).
  TSettingsForm* SettingsForm() const { return FSettingsForm; }
  TAboutForm* AboutForm() const { return FAboutForm; }

  // Controls and actions, named as the window's parts are named elsewhere (tests, dialogs).
  QWidget* SettingsPanel = nullptr;
  QWidget* SettingsMainPanel = nullptr;
  QWidget* SettingsLeftPanel = nullptr;
  QWidget* SettingsRightPanel = nullptr;
  QWidget* SettingsGroupPanel = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QToolButton* AddSrcFileBtn = nullptr;
  QToolButton* DelSrcFileBtn = nullptr;
  QToolButton* AddTrgFileBtn = nullptr;
  QToolButton* DelTrgFileBtn = nullptr;
  TPanel* SrcFilesListBoxPanel = nullptr;
  TPanel* TrgFilesListBoxPanel = nullptr;
  TListBox* SrcFilesListBox = nullptr;
  TListBox* TrgFilesListBox = nullptr;
  QLabel* StartTextLeftLabel = nullptr;
  QLabel* StartTextRightLabel = nullptr;
  QWidget* StartTextLeftPanel = nullptr;
  QWidget* StartTextRightPanel = nullptr;  // the credit footer's container
  QCheckBox* DoNotSeparateSpacesCbx = nullptr;
  QCheckBox* HideEquivalentStringCB = nullptr;
  QCheckBox* FillDiffRowColoredCB = nullptr;
  QCheckBox* ShowTagsCB = nullptr;
  QRadioButton* ExportToHTMLRadioButton = nullptr;
  QRadioButton* ExportToXLSXRadioButton = nullptr;
  QWidget* MainInfoPanel = nullptr;  // the update information bar
  QLabel* MainInfoLinkLabel = nullptr;
  QToolButton* HideMainInfoPanelBtn = nullptr;
  QPushButton* GenerateDiffFileBtn = nullptr;
  QWidget* WorkPanel = nullptr;
  QWidget* WorkLogPanel = nullptr;
  QPlainTextEdit* LogMemo = nullptr;
  QPushButton* RestartButton = nullptr;
  QPushButton* StopGenerateDiffFileBtn = nullptr;
  QFileDialog* OpenDialog1 = nullptr;

  QAction* AddSrcFileAct = nullptr;
  QAction* DelSrcFileAct = nullptr;
  QAction* AddTrgFileAct = nullptr;
  QAction* DelTrgFileAct = nullptr;
  QAction* ClearSrcListAct = nullptr;
  QAction* ClearTrgListAct = nullptr;
  QAction* ClearAllAct = nullptr;
  QAction* ResetToDefaultAct = nullptr;
  QAction* SettingsAct = nullptr;
  QAction* ExitAct = nullptr;
  QAction* SwitchToEnglishAct = nullptr;
  QAction* SwitchToRussianAct = nullptr;
  QAction* AboutAct = nullptr;
  QAction* HideMainInfoPanelAct = nullptr;
  QMenu* SrcFilesPopupMenu = nullptr;
  QMenu* TrgFilesPopupMenu = nullptr;
  QMenu* SettingsPopupMenu = nullptr;

  // The log pane's lines (tests, the dialogs).
  QStringList LogLines() const { return FLog.Lines(); }
  // The Delphi-style filter text of OpenDialog1: name|patterns|name|patterns...
  static QString OpenDialogFilter(TLocalizationLanguare ALang);
  // True while a comparison run (or its clean-up) or the progress reporter is alive.
  bool IsRunActive() const;

 Q_SIGNALS:
  // The run has ended and the window is in fsWaitForRestart (tests, the benchmark).
  void ComparisonFinished();

 protected:
  void closeEvent(QCloseEvent* AEvent) override;
  void showEvent(QShowEvent* AEvent) override;
  bool eventFilter(QObject* AWatched, QEvent* AEvent) override;

 private:
  // Builds the controls, actions and menus (MainUnitView.cpp).
  void CreateView();
  void CreateActions();
  void CreateSetupView(QWidget* AParent);
  QWidget* CreateListSide(QWidget* AParent, QLabel*& ACaption, QToolButton*& AAddBtn, QToolButton*& ADelBtn,
                          TPanel*& APanel, TListBox*& AList, QLabel*& AHint, QWidget*& AStrip, QAction* AAddAct,
                          QAction* ADelAct, const char* AName);
  void CreateWorkView(QWidget* AParent);
  void CreateMenus();
  QMenu* CreateListMenu(QAction* AAdd, QAction* ADel, QAction* AClear);
  void FormCreate();
  void FormResize();
  void OpenFilesFor(TListBox* AList);
  void PopupListMenu(TListBox* AList, QWidget* AFrom, const QPoint& APos);
  void ShowRefusedPaths(const std::vector<std::string>& APaths);

  void OnRunEnded();
  void CloseWhenIdle();
  QString Msg(TMsg AId) const;

  TLogMemo FLog{nullptr};
  TFileDropTarget* FDropTarget = nullptr;
  TListBox* FOpenDialogTarget = nullptr;
  TFormState FCurFormState = TFormState::fsSetupToWork;
  bool FIsClosing = false;
  bool FPositionStored = false;
  bool FShownOnce = false;
  // DiffFileConstructor: the run until its result arrives; FRunBridge: until its thread has ended.
  TRunBridge* DiffFileConstructor = nullptr;
  QPointer<TRunBridge> FRunBridge;
  TProgressator* Progressator = nullptr;
  // Ends a running update check without its answer (the window closes).
  void AbortUpdateCheck();
  TUpdateCheckConfig FUpdateCheck;
  QPointer<TCheckUpdateWorker> FCheckUpdateWorker;
  TSettingsForm* FSettingsForm = nullptr;  // children of the window
  TAboutForm* FAboutForm = nullptr;
};

// Qt's filter list ("name (patterns)") of a Delphi-style filter text.
QStringList DelphiFilterToNameFilters(const QString& AFilter);

}  // namespace lexmora
