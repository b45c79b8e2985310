// The main window under the offscreen platform: lists, drops, states, the workflow with real runs.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include <filesystem>
#include <fstream>
#include <memory>

#include "LocalizationUnit.h"
#include "LoggerUnit.h"
#include "MainUnit.h"
#include "MainUnitShellDeps.h"
#include "ProgramPathsUnit.h"
#include "WindowTestSupport.h"

using namespace lexmora;
using namespace lexmora::test_support;

namespace {

QString En(TMsg AId) { return QString::fromStdString(GetLocalizedText(AId, TLocalizationLanguare::llEN)); }
// A run's outcome as the run hands it over: each report marked as there or not.
TRunOutcome Outcome(TExecuteResult AResult, const QStringList& AReports, TRunErrors AErrors = {}) {
  TRunOutcome Result;
  Result.Result = AResult;
  Result.Errors = std::move(AErrors);
  for (const QString& R : AReports) Result.Reports.push_back({R.toStdString(), QFile::exists(R)});
  return Result;
}
QString Ru(TMsg AId) { return QString::fromStdString(GetLocalizedText(AId, TLocalizationLanguare::llRU)); }

QStringList SortedCaseless(QStringList AList) {
  std::stable_sort(AList.begin(), AList.end(),
                   [](const QString& A, const QString& B) { return QString::compare(A, B, Qt::CaseInsensitive) < 0; });
  return AList;
}

QStringList FilesIn(const QString& ADir) {
  QStringList Files;
  QDirIterator It(ADir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  while (It.hasNext()) Files << QDir::toNativeSeparators(It.next());
  return Files;
}

bool HintsShown(const TMainForm& AForm) {
  return AForm.StartTextLeftLabel->isVisibleTo(AForm.SrcFilesListBoxPanel) &&
         AForm.StartTextRightLabel->isVisibleTo(AForm.TrgFilesListBoxPanel) &&
         !AForm.SrcFilesListBox->isVisibleTo(AForm.SrcFilesListBoxPanel) &&
         !AForm.TrgFilesListBox->isVisibleTo(AForm.TrgFilesListBoxPanel);
}

bool ListsShown(const TMainForm& AForm) {
  return !AForm.StartTextLeftLabel->isVisibleTo(AForm.SrcFilesListBoxPanel) &&
         !AForm.StartTextRightPanel->isVisibleTo(AForm.TrgFilesListBoxPanel) &&
         AForm.SrcFilesListBox->isVisibleTo(AForm.SrcFilesListBoxPanel) &&
         AForm.TrgFilesListBox->isVisibleTo(AForm.TrgFilesListBoxPanel);
}

// Waits, with the event loop running, until the run and the progress reporter have ended.
bool WaitForRunEnd(TMainForm& AForm, int ATimeoutMs = 120000) {
  return QTest::qWaitFor([&AForm] { return !AForm.IsRunActive(); }, ATimeoutMs);
}

}  // namespace

class TMainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TWindowTestFolders> FFolders;
  std::unique_ptr<TMainForm> FForm;
  QString FPairDir;

  TMainForm& NewForm() {
    // No update check at all (the update tests have their own local server).
    FForm = std::make_unique<TMainForm>(nullptr, TUpdateCheckConfig::NoCheck());
    FForm->show();
    return *FForm;
  }
  void FillExamples(TMainForm& AForm) {
    const QString Dir = ExamplesDir();
    QStringList Before, After;
    for (const QString& F : QDir(Dir + QStringLiteral("/before")).entryList({QStringLiteral("*.sdlxliff")}))
      Before << Dir + QStringLiteral("/before/") + F;
    for (const QString& F : QDir(Dir + QStringLiteral("/after")).entryList({QStringLiteral("*.sdlxliff")}))
      After << Dir + QStringLiteral("/after/") + F;
    QVERIFY(DropFiles(AForm.SrcFilesListBoxPanel, Before));
    QVERIFY(DropFiles(AForm.TrgFilesListBoxPanel, After));
    QCOMPARE(AForm.SrcFilesListBox->count(), 3);
    QCOMPARE(AForm.TrgFilesListBox->count(), 3);
  }
  void FillLargePair(TMainForm& AForm) {
    const QStringList Pair = GeneratedPair(FPairDir, 12000);
    QVERIFY(QFile::exists(Pair[0]));
    QVERIFY(DropFiles(AForm.SrcFilesListBox->viewport(), {Pair[0]}));
    QVERIFY(DropFiles(AForm.TrgFilesListBox->viewport(), {Pair[1]}));
  }

 private Q_SLOTS:
  void initTestCase() {
    FPairDir = QDir(QString::fromStdString(ProgramDataDir())).filePath(QStringLiteral("pair"));
  }
  void init() {
    FFolders = std::make_unique<TWindowTestFolders>();
    ResetSettingsToDefaults();
  }
  void cleanup() {
    if (FForm) {
      // A test that failed during a run must not leave the worker behind.
      if (FForm->IsRunActive()) {
        FForm->StopGenerateDiffFileBtnClick();
        WaitForRunEnd(*FForm);
      }
      FForm.reset();
    }
    FFolders.reset();
  }

  void emptyListsShowHintsAndDisableDeleting() {
    TMainForm& Form = NewForm();
    QCOMPARE(Form.FormState(), TFormState::fsSetupToWork);
    QVERIFY(Form.SettingsPanel->isVisible());
    QVERIFY(!Form.WorkPanel->isVisible());
    QVERIFY(HintsShown(Form));
    QVERIFY(Form.StartTextRightPanel->isVisible());
    QCOMPARE(Form.StartTextLeftLabel->text(), En(TMsg::DropFilesHint));
    for (QAction* A : {Form.DelSrcFileAct, Form.DelTrgFileAct, Form.ClearSrcListAct, Form.ClearTrgListAct,
                       Form.ClearAllAct})
      QVERIFY2(!A->isEnabled(), qPrintable(A->objectName()));
    QVERIFY(Form.AddSrcFileAct->isEnabled());
    QVERIFY(!Form.MainInfoPanel->isVisible());

    // One file on the edited side shows both lists, the empty one as a blank area.
    const QString File = WriteFile(FFolders->Path(QStringLiteral("a.sdlxliff")));
    QVERIFY(DropFiles(Form.TrgFilesListBoxPanel, {File}));
    QVERIFY(ListsShown(Form));
    QVERIFY(Form.ClearTrgListAct->isEnabled());
    QVERIFY(Form.ClearAllAct->isEnabled());
    QVERIFY(!Form.ClearSrcListAct->isEnabled());
    QVERIFY(!Form.DelTrgFileAct->isEnabled());
    Form.TrgFilesListBox->item(0)->setSelected(true);
    QVERIFY(Form.DelTrgFileAct->isEnabled());
    Form.ClearAllAct->trigger();
    QVERIFY(HintsShown(Form));
    QVERIFY(!Form.ClearAllAct->isEnabled());
  }

  void dropTakesOnlyRegularFilesWithInputExtensions() {
    TMainForm& Form = NewForm();
    const QString Folder = FFolders->Path(QStringLiteral("folder.sdlxliff"));
    QDir().mkpath(Folder);
    const QString Docx = WriteFile(FFolders->Path(QStringLiteral("text.docx")));
    const QString Upper = WriteFile(FFolders->Path(QStringLiteral("A.SDLXLIFF")));
    const QString Missing = FFolders->Path(QStringLiteral("missing.sdlxliff"));
    QVERIFY(DropFiles(Form.SrcFilesListBox->viewport(), {Folder, Docx, Upper, Missing}));
    QCOMPARE(Form.SrcFilesListBox->count(), 0);
    QVERIFY(HintsShown(Form));

    // The same file twice, and once more through another name of it: one item.
    const QString File = WriteFile(FFolders->Path(QStringLiteral("a.sdlxliff")));
    const QString Dotted = FFolders->Root() + QStringLiteral("/./a.sdlxliff");
    QVERIFY(DropFiles(Form.SrcFilesListBox->viewport(), {File, File}));
    QVERIFY(DropFiles(Form.SrcFilesListBox->viewport(), {Dotted}));
    QCOMPARE(Form.SrcFilesListBox->Paths(), QStringList{File});
#ifndef _WIN32
    // Windows has shortcut files, not links, and names differing only in case name one file there.
    const QString Link = FFolders->Path(QStringLiteral("link.sdlxliff"));
    QVERIFY(QFile::link(File, Link));
    QVERIFY(DropFiles(Form.SrcFilesListBox->viewport(), {Link}));
    QCOMPARE(Form.SrcFilesListBox->Paths(), QStringList{File});
    const QString Capital = WriteFile(FFolders->Path(QStringLiteral("A.sdlxliff")));
    QVERIFY(DropFiles(Form.SrcFilesListBox->viewport(), {Capital}));
    QCOMPARE(Form.SrcFilesListBox->count(), 2);
#endif
    // Every input extension is taken.
    QStringList All;
    for (const char* Ext : {"sdlrpx", "sdlppx", "sdlxliff", "mqxliff", "mqxlz", "mxliff", "xlf", "xliff"})
      All << WriteFile(FFolders->Path(QStringLiteral("kinds/f.") + QLatin1String(Ext)));
    QVERIFY(DropFiles(Form.TrgFilesListBox->viewport(), All));
    QCOMPARE(Form.TrgFilesListBox->count(), 8);
  }

  void dropOnPanelHintAndStripReachesThatList() {
    TMainForm& Form = NewForm();
    const QString A = WriteFile(FFolders->Path(QStringLiteral("a.mqxliff")));
    const QString B = WriteFile(FFolders->Path(QStringLiteral("b.mxliff")));
    const QString C = WriteFile(FFolders->Path(QStringLiteral("c.sdlppx")));
    QVERIFY(DropFiles(Form.StartTextLeftLabel, {A}));
    QCOMPARE(Form.SrcFilesListBox->Paths(), QStringList{A});
    QCOMPARE(Form.TrgFilesListBox->count(), 0);
    Form.ClearAllAct->trigger();
    QVERIFY(DropFiles(Form.StartTextRightLabel, {B}));
    QCOMPARE(Form.TrgFilesListBox->Paths(), QStringList{B});
    Form.ClearAllAct->trigger();
    QVERIFY(DropFiles(Form.StartTextRightPanel, {C}));
    QCOMPARE(Form.TrgFilesListBox->Paths(), QStringList{C});
    QVERIFY(DropFiles(Form.SrcFilesListBoxPanel, {A, B}));
    QCOMPARE(Form.SrcFilesListBox->Paths(), (QStringList{A, B}));
    // Text without file URLs is not taken at all.
    QMimeData Text;
    Text.setText(QStringLiteral("a.sdlxliff"));
    QDragEnterEvent Enter(QPoint(5, 5), Qt::CopyAction, &Text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Form.SrcFilesListBoxPanel, &Enter);
    QVERIFY(!Enter.isAccepted());
  }

  void pathWithLineBreakIsRefusedWithAMessage() {
#ifdef _WIN32
    QSKIP("Windows allows no line break in a file name");
#endif
    TMainForm& Form = NewForm();
    const QString Odd = WriteFile(FFolders->Path(QStringLiteral("two\nlines.sdlxliff")));
    QVERIFY(!Odd.isEmpty());
    const QString Good = WriteFile(FFolders->Path(QStringLiteral("good.sdlxliff")));
    QVERIFY(DropFiles(Form.SrcFilesListBoxPanel, {Odd, Good}));
    QCOMPARE(Form.SrcFilesListBox->Paths(), QStringList{Good});
    auto* Box = Form.findChild<QMessageBox*>(QStringLiteral("RefusedPathsBox"));
    QVERIFY(Box);
    QVERIFY(Box->text().contains(QStringLiteral("two\\nlines.sdlxliff")));
    QVERIFY(Box->text().startsWith(En(TMsg::PathsWithLineBreak)));
    Box->accept();
  }

  void listsStaySortedWithoutCaseAndKeysWork() {
    TMainForm& Form = NewForm();
    QStringList Files;
    for (const char* Name : {"b.sdlxliff", "C.sdlxliff", "a.sdlxliff", "B2.sdlxliff", "_x.sdlxliff"})
      Files << WriteFile(FFolders->Path(QLatin1String(Name)));
    QVERIFY(DropFiles(Form.SrcFilesListBoxPanel, {Files[0], Files[1]}));
    QVERIFY(DropFiles(Form.SrcFilesListBoxPanel, {Files[2], Files[3], Files[4]}));
    QCOMPARE(Form.SrcFilesListBox->Paths(), SortedCaseless(Files));
    QCOMPARE(Form.SrcFilesListBox->selectionMode(), QAbstractItemView::ExtendedSelection);

    // Delete removes every selected item.
    Form.SrcFilesListBox->setFocus();
    Form.SrcFilesListBox->item(0)->setSelected(true);
    Form.SrcFilesListBox->item(3)->setSelected(true);
    const QStringList Before = Form.SrcFilesListBox->Paths();
    QTest::keyClick(Form.SrcFilesListBox, Qt::Key_Delete);
    QCOMPARE(Form.SrcFilesListBox->Paths(), (QStringList{Before[1], Before[2], Before[4]}));
    QVERIFY(!Form.DelSrcFileAct->isEnabled());

    // Insert opens the file dialog for that list; its choice lands in that list only.
    QTest::keyClick(Form.SrcFilesListBox, Qt::Key_Insert);
    QVERIFY(Form.OpenDialog1->isVisible());
    QCOMPARE(Form.OpenDialog1->fileMode(), QFileDialog::ExistingFiles);
    QCOMPARE(Form.OpenDialog1->nameFilters().size(), 5);
    QCOMPARE(Form.OpenDialog1->selectedNameFilter(), Form.OpenDialog1->nameFilters().first());
    const QString Chosen = WriteFile(FFolders->Path(QStringLiteral("chosen.any")));
    Q_EMIT Form.OpenDialog1->filesSelected({Chosen, Files[2]});
    Form.OpenDialog1->reject();
    QVERIFY(Form.SrcFilesListBox->Paths().contains(Chosen));  // the dialog does not filter by extension
    QCOMPARE(Form.SrcFilesListBox->Paths().count(Files[2]), 1);
    QCOMPARE(Form.TrgFilesListBox->count(), 0);
  }

  void hoverHintShowsOnlyPathsTooWideForTheList() {
    TMainForm& Form = NewForm();
    Form.resize(1400, Form.height());  // wide enough for the short path in any temporary folder
    const QString Short = WriteFile(FFolders->Path(QStringLiteral("s.sdlxliff")));
    const QString Long =
        WriteFile(FFolders->Path(QString(QLatin1Char('d')).repeated(60) + QStringLiteral("/") +
                                 QString(QLatin1Char('n')).repeated(120) + QStringLiteral(".sdlxliff")));
    QVERIFY(DropFiles(Form.SrcFilesListBoxPanel, {Short, Long}));
    QTest::qWait(10);
    TListBox* List = Form.SrcFilesListBox;
    const int LongRow = List->Paths().indexOf(Long);
    const int ShortRow = List->Paths().indexOf(Short);
    const auto MoveTo = [List](int ARow) {
      const QPoint At = ARow < 0 ? QPoint(5, List->viewport()->height() - 2) : List->visualItemRect(List->item(ARow)).center();
      QMouseEvent Move(QEvent::MouseMove, QPointF(At), List->viewport()->mapToGlobal(QPointF(At)), Qt::NoButton,
                       Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(List->viewport(), &Move);
    };
    MoveTo(LongRow);
    QCOMPARE(List->HoverIndex(), LongRow);
    QCOMPARE(List->toolTip(), Long);
    MoveTo(ShortRow);
    QCOMPARE(List->HoverIndex(), ShortRow);
    QCOMPARE(List->toolTip(), QString());
    MoveTo(-1);
    QCOMPARE(List->HoverIndex(), -1);
    QCOMPARE(List->toolTip(), QString());
  }

  void startWithOnlySourceFilesAsksForBothSides() {
    TMainForm& Form = NewForm();
    const QString File = WriteFile(FFolders->Path(QStringLiteral("a.sdlxliff")));
    QVERIFY(DropFiles(Form.SrcFilesListBoxPanel, {File}));
    QTest::mouseClick(Form.GenerateDiffFileBtn, Qt::LeftButton);
    QCOMPARE(Form.FormState(), TFormState::fsWaitForRestart);
    QCOMPARE(Form.LogLines(), (QStringList{En(TMsg::CannotCompare), En(TMsg::FilesMissingForCompare)}));
    QVERIFY(!Form.IsRunActive());
    QVERIFY(Form.WorkPanel->isVisible());
    QVERIFY(!Form.SettingsPanel->isVisible());
    QVERIFY(Form.RestartButton->isVisible());
    QVERIFY(!Form.StopGenerateDiffFileBtn->isVisible());
    QCOMPARE(Form.focusWidget(), Form.RestartButton);
    QTest::mouseClick(Form.RestartButton, Qt::LeftButton);
    QCOMPARE(Form.FormState(), TFormState::fsSetupToWork);
    QCOMPARE(Form.SrcFilesListBox->Paths(), QStringList{File});

    // With ClearFileList, another start empties both lists and shows the hints at once.
    ProgrammSettings.ClearFileList = true;
    QTest::mouseClick(Form.GenerateDiffFileBtn, Qt::LeftButton);
    QTest::mouseClick(Form.RestartButton, Qt::LeftButton);
    QCOMPARE(Form.SrcFilesListBox->count(), 0);
    QVERIFY(HintsShown(Form));
    // Stop without a run goes straight to the restart state.
    Form.StopGenerateDiffFileBtnClick();
    QCOMPARE(Form.FormState(), TFormState::fsWaitForRestart);
  }

  void reportsAreNumberedAndOnlyExistingOnesOpened() {
    TMainForm& Form = NewForm();
    TOpenedUrls Opened;
    const QString One = WriteFile(FFolders->Path(QStringLiteral("Res #1/Result_en_de.html")));
    const QString Gone = FFolders->Path(QStringLiteral("Result_en_fr.html"));
    const TRunError Bad{TErrorSide::esSource, En(TMsg::SourceUnknownError).toStdString(), "bad.sdlxliff", {}, "reason"};
    Form.SetResult(Outcome(TExecuteResult::erOk, {One, Gone}, {Bad}));
    QCOMPARE(Form.LogLines(), (QStringList{QString(), En(TMsg::ReportCreated), QStringLiteral("1. ") + One,
                                           QStringLiteral("2. ") + Gone + QStringLiteral(" - ") + En(TMsg::ReportNotFound), QString(),
                                           En(TMsg::ComparisonHadErrors), En(TMsg::SourceUnknownError) + QStringLiteral(": bad.sdlxliff: reason")}));
    QCOMPARE(Opened.Urls.size(), 1);
    QCOMPARE(QDir::toNativeSeparators(Opened.Urls[0].toLocalFile()), One);  // the '#' stays part of the path
    // A single report is listed without a number.
    Form.LogMemo->clear();
    Form.SetResult(Outcome(TExecuteResult::erOk, {Gone}));
    QVERIFY(Form.LogLines().contains(Gone + QStringLiteral(" - ") + En(TMsg::ReportNotFound)));
  }

  // One language pair failed, the others were written: the failure first, then the written
  // reports, listed and opened as after a success.
  void reportsOfAPartlyFailedRunAreStillOpened() {
    TMainForm& Form = NewForm();
    TOpenedUrls Opened;
    const QString De = WriteFile(FFolders->Path(QStringLiteral("Result_en-US_de-DE.html")));
    const QString Fr = WriteFile(FFolders->Path(QStringLiteral("Result_en-US_fr-FR.html")));
    const TRunError It{TErrorSide::esReport, En(TMsg::ReportFailed).toStdString(),
                       FFolders->Path(QStringLiteral("Result_en-US_it-IT.html")).toStdString(), {},
                       "a file of this name exists already"};
    const QString Failed = QString::fromStdString(FormatErrorLine(It));
    Form.SetResult(Outcome(TExecuteResult::erCreateDiffFileError, {De, Fr}, {It}));
    QCOMPARE(Form.LogLines(), (QStringList{QString(), En(TMsg::ComparisonInterrupted), En(TMsg::ReportFailed), En(TMsg::ReportCreatedAnyway), QStringLiteral("1. ") + De,
                                           QStringLiteral("2. ") + Fr, QString(), En(TMsg::ComparisonHadErrors), Failed}));
    QCOMPARE(Opened.Urls, (QList<QUrl>{QUrl::fromLocalFile(De), QUrl::fromLocalFile(Fr)}));
    // A stopped run lists nothing, whatever it names.
    Opened.Urls.clear();
    TMainForm& Stopped = NewForm();
    Stopped.SetResult(Outcome(TExecuteResult::erTerminatedByUser, {De}));
    QCOMPARE(Stopped.LogLines(), (QStringList{QString(), En(TMsg::ComparisonInterrupted), En(TMsg::ReportStoppedByUser)}));
    QVERIFY(Opened.Urls.isEmpty());
  }

  void reportTheDesktopCannotOpenIsLogged() {
    TMainForm& Form = NewForm();
    const QString One = WriteFile(FFolders->Path(QStringLiteral("Result_x.html")));
    // The offscreen platform opens nothing.
    Form.SetResult(Outcome(TExecuteResult::erOk, {One}));
    std::ifstream Log(Logger().LogFileName());
    const std::string Text((std::istreambuf_iterator<char>(Log)), std::istreambuf_iterator<char>());
    QVERIFY(Text.find("could not open the report " + One.toStdString()) != std::string::npos);
  }

  void realRunOnTheExamplesOpensEveryReport() {
    TMainForm& Form = NewForm();
    TOpenedUrls Opened;
    FillExamples(Form);
    QSignalSpy Finished(&Form, &TMainForm::ComparisonFinished);
    QTest::mouseClick(Form.GenerateDiffFileBtn, Qt::LeftButton);
    QCOMPARE(Form.FormState(), TFormState::fsWorked);
    QVERIFY(Form.StopGenerateDiffFileBtn->isVisible());
    QVERIFY(!Form.RestartButton->isVisible());
    QVERIFY(Finished.wait(120000));
    QVERIFY(WaitForRunEnd(Form));
    QCOMPARE(Form.FormState(), TFormState::fsWaitForRestart);

    const QStringList Lines = Form.LogLines();
    QCOMPARE(Lines.value(0), En(TMsg::ComparisonStarted));
    QCOMPARE(Lines.value(1), QString());
    const int Success = Lines.indexOf(En(TMsg::ReportCreated));
    QVERIFY2(Success > 0, qPrintable(Lines.join(QLatin1Char('\n'))));
    // Three operations, each closed by one line; no progress line is left behind.
    const QStringList Progress = Lines.mid(2, Success - 3);
    QCOMPARE(Progress.size(), 3);
    for (const QString& L : Progress)
      QVERIFY2(L.endsWith(En(TMsg::ProgressOperationCompleted)) || L.endsWith(En(TMsg::OperationCompleted)),
               qPrintable(L));
    QVERIFY(!Lines.join(QLatin1Char('\n')).contains(En(TMsg::ProgressTotal)));
    const QStringList Reports = FilesIn(QString::fromStdString(ProgrammSettings.PathToResDir));
    QCOMPARE(Reports.size(), 2);  // two language pairs, and no reservation left behind
    QCOMPARE(Lines.mid(Success + 1), (QStringList{QStringLiteral("1. ") + Lines.value(Success + 1).mid(3),
                                                  QStringLiteral("2. ") + Lines.value(Success + 2).mid(3)}));
    QStringList Listed{Lines.value(Success + 1).mid(3), Lines.value(Success + 2).mid(3)};
    QCOMPARE(SortedCaseless(Listed), SortedCaseless(Reports));
    QCOMPARE(Opened.Urls.size(), 2);
    for (const QUrl& Url : Opened.Urls) QVERIFY(Reports.contains(QDir::toNativeSeparators(Url.toLocalFile())));
    for (const QString& R : Reports) QVERIFY(QFileInfo(R).fileName().startsWith(QStringLiteral("Result_")));
    // The run's private working folder is gone.
    QCOMPARE(FilesIn(QString::fromStdString(ProgrammSettings.PathToTempDir)), QStringList());
    QCOMPARE(QDir(QString::fromStdString(ProgrammSettings.PathToTempDir)).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList());

    // A second run in the same second gets its own report names.
    QTest::mouseClick(Form.RestartButton, Qt::LeftButton);
    QTest::mouseClick(Form.GenerateDiffFileBtn, Qt::LeftButton);
    QVERIFY(WaitForRunEnd(Form));
    QCOMPARE(FilesIn(QString::fromStdString(ProgrammSettings.PathToResDir)).size(), 4);
  }

  // A real run in which one language pair cannot get a report (its name would be longer than a
  // file name may be): the other pair's report is listed and opened all the same.
  void realRunWithOneFailingPairOpensTheOther() {
    TMainForm& Form = NewForm();
    TOpenedUrls Opened;
    const QString Dir = ExamplesDir();
    const QString Long = QString(300, QLatin1Char('x'));
    QStringList Before, After;
    for (const QString& Side : {QStringLiteral("before"), QStringLiteral("after")}) {
      QFile Fr(Dir + QLatin1Char('/') + Side + QStringLiteral("/CM-200_Manual.docx_fr-FR.sdlxliff"));
      QVERIFY(Fr.open(QIODevice::ReadOnly));
      const QByteArray Text = Fr.readAll().replace("fr-FR", Long.toLatin1());
      QStringList& List = Side == QStringLiteral("before") ? Before : After;
      List << Dir + QLatin1Char('/') + Side + QStringLiteral("/CM-200_Manual.docx_de-DE.sdlxliff")
           << WriteFile(FFolders->Path(Side + QStringLiteral("/long.sdlxliff")), Text);
    }
    QVERIFY(DropFiles(Form.SrcFilesListBoxPanel, Before));
    QVERIFY(DropFiles(Form.TrgFilesListBoxPanel, After));
    QTest::mouseClick(Form.GenerateDiffFileBtn, Qt::LeftButton);
    QVERIFY(WaitForRunEnd(Form));

    const QStringList Lines = Form.LogLines();
    const int Failed = Lines.indexOf(En(TMsg::ReportFailed));
    QVERIFY2(Failed > 0 && Lines.value(Failed - 1) == En(TMsg::ComparisonInterrupted),
             qPrintable(Lines.join(QLatin1Char('\n'))));
    QCOMPARE(Lines.value(Failed + 1), En(TMsg::ReportCreatedAnyway));
    const QStringList Reports = FilesIn(QString::fromStdString(ProgrammSettings.PathToResDir));
    QCOMPARE(Reports.size(), 1);
    QVERIFY(Reports[0].endsWith(QStringLiteral("_en-US_de-DE.html")));
    QCOMPARE(Lines.value(Failed + 2), Reports[0]);
    QCOMPARE(Opened.Urls, QList<QUrl>{QUrl::fromLocalFile(Reports[0])});
    // The failed pair is named under the errors.
    QCOMPARE(Lines.value(Failed + 4), En(TMsg::ComparisonHadErrors));
    QVERIFY2(Lines.value(Failed + 5).startsWith(En(TMsg::ReportFailed) + QStringLiteral(": ")) &&
                 Lines.value(Failed + 5).contains(Long),
             qPrintable(Lines.value(Failed + 5)));
  }

  void stopWhileReadingEndsTerminated() {
    TMainForm& Form = NewForm();
    FillLargePair(Form);
    QTest::mouseClick(Form.GenerateDiffFileBtn, Qt::LeftButton);
    // The first operation (reading the source files) has begun once its two lines are there.
    QTRY_VERIFY_WITH_TIMEOUT(Form.LogLines().size() >= 4, 30000);
    QVERIFY(Form.IsRunActive());
    QTest::mouseClick(Form.StopGenerateDiffFileBtn, Qt::LeftButton);
    QCOMPARE(Form.FormState(), TFormState::fsWorkStopping);
    QVERIFY(!Form.StopGenerateDiffFileBtn->isVisible());
    QVERIFY(!Form.RestartButton->isVisible());
    QVERIFY(WaitForRunEnd(Form));
    QCOMPARE(Form.FormState(), TFormState::fsWaitForRestart);
    const QStringList Lines = Form.LogLines();
    // The outcome follows the closing line of the operation that was running; no report is written.
    const int Interrupted = Lines.indexOf(En(TMsg::ComparisonInterrupted));
    QVERIFY2(Interrupted >= 4, qPrintable(Lines.join(QLatin1Char('\n'))));
    QCOMPARE(Lines.mid(Interrupted - 2, 4),
             (QStringList{Lines[Interrupted - 2], QString(), En(TMsg::ComparisonInterrupted),
                          En(TMsg::ReportStoppedByUser)}));
    QVERIFY(Lines[Interrupted - 2].endsWith(En(TMsg::OperationCompleted)));
    QVERIFY(!Lines.join(QLatin1Char('\n')).contains(En(TMsg::ProgressTotal)));
    QCOMPARE(FilesIn(QString::fromStdString(ProgrammSettings.PathToResDir)), QStringList());
  }

  void closeDuringARunWaitsForItThenCloses() {
    TMainForm& Form = NewForm();
    ProgrammSettings.SaveDiffSettings = true;
    FillLargePair(Form);
    Form.ShowTagsCB->setChecked(false);
    QTest::mouseClick(Form.GenerateDiffFileBtn, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(Form.LogLines().size() >= 4, 30000);
    QVERIFY(!Form.close());  // refused for now: the run is still going
    QVERIFY(Form.isVisible());
    QCOMPARE(Form.FormState(), TFormState::fsWorkStopping);
    QVERIFY(!Form.close());  // a second request does not start anything new
    QTRY_VERIFY_WITH_TIMEOUT(!Form.isVisible(), 60000);
    QVERIFY(!Form.IsRunActive());
    QVERIFY(!ProgrammSettings.Curr_ShowTags);  // the window state was stored at the real close
    QVERIFY(Form.LogLines().contains(En(TMsg::ReportStoppedByUser)));
    QCOMPARE(QDir(QString::fromStdString(ProgrammSettings.PathToTempDir)).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList());
  }

  void unwritableResultsFolderGivesAMessageAndTheWindowStaysUsable() {
    TMainForm& Form = NewForm();
    TOpenedUrls Opened;
    FillExamples(Form);
    // A results folder below a plain file can never be created, whoever runs the test.
    const QString Blocker = WriteFile(FFolders->Path(QStringLiteral("blocker")));
    const std::string Good = ProgrammSettings.PathToResDir;
    ProgrammSettings.PathToResDir = Blocker.toStdString() + "/Results/";
    QTest::mouseClick(Form.GenerateDiffFileBtn, Qt::LeftButton);
    QCOMPARE(Form.FormState(), TFormState::fsWaitForRestart);
    QVERIFY(!Form.IsRunActive());
    QCOMPARE(Form.LogLines(),
             (QStringList{En(TMsg::CannotCompare),
                          En(TMsg::ResultsFolderNotWritable) + QString::fromStdString(ProgrammSettings.PathToResDir)}));
    QTest::mouseClick(Form.RestartButton, Qt::LeftButton);
    QCOMPARE(Form.SrcFilesListBox->count(), 3);
    ProgrammSettings.PathToResDir = Good;
    QTest::mouseClick(Form.GenerateDiffFileBtn, Qt::LeftButton);
    QVERIFY(WaitForRunEnd(Form));
    QVERIFY(Form.LogLines().contains(En(TMsg::ReportCreated)));
    QCOMPARE(Opened.Urls.size(), 2);
  }

  void thousandDroppedFilesAtOnce() {
    TMainForm& Form = NewForm();
    QStringList Files;
    for (int I = 0; I < 1000; ++I)
      Files << WriteFile(FFolders->Path(QStringLiteral("many/%1file%2.sdlxliff").arg(I % 2 ? QStringLiteral("F") : QStringLiteral("f")).arg(I)));
    QVERIFY(DropFiles(Form.SrcFilesListBoxPanel, Files));
    QCOMPARE(Form.SrcFilesListBox->count(), 1000);
    QCOMPARE(Form.SrcFilesListBox->Paths(), SortedCaseless(Files));
    QVERIFY(DropFiles(Form.SrcFilesListBox->viewport(), Files));
    QCOMPARE(Form.SrcFilesListBox->count(), 1000);
    // The window goes on answering: a queued call is served right after the drop.
    bool Served = false;
    QTimer::singleShot(0, &Form, [&Served] { Served = true; });
    QTRY_VERIFY_WITH_TIMEOUT(Served, 1000);
    QVERIFY(ListsShown(Form));
  }

  void languageSwitchRetextsEverything() {
    TMainForm& Form = NewForm();
    const auto Check = [&Form](const std::function<QString(TMsg)>& T) {
      QVERIFY(Form.windowTitle().startsWith(T(TMsg::ProgramTitlePrefix)));
      QCOMPARE(Form.Label1->text(), T(TMsg::SourceListCaption));
      QCOMPARE(Form.Label2->text(), T(TMsg::EditedListCaption));
      QCOMPARE(Form.DoNotSeparateSpacesCbx->text(), T(TMsg::OptionIgnoreNbsp));
      QCOMPARE(Form.HideEquivalentStringCB->text(), T(TMsg::OptionOnlyEditedSegments));
      QCOMPARE(Form.FillDiffRowColoredCB->text(), T(TMsg::OptionHighlightEditedRows));
      QCOMPARE(Form.ShowTagsCB->text(), T(TMsg::OptionShowTags));
      QCOMPARE(Form.ExportToHTMLRadioButton->text(), T(TMsg::OptionFormatHtml));
      QCOMPARE(Form.ExportToXLSXRadioButton->text(), T(TMsg::OptionFormatXlsx));
      QCOMPARE(Form.GenerateDiffFileBtn->text(), T(TMsg::CreateReportButton));
      const struct {
        QAction* Action;
        TMsg Text, Hint;
      } Actions[] = {
          {Form.AddSrcFileAct, TMsg::AddSourceFilesCaption, TMsg::AddSourceFilesHint},
          {Form.DelSrcFileAct, TMsg::DeleteSourceFilesCaption, TMsg::DeleteSourceFilesHint},
          {Form.AddTrgFileAct, TMsg::AddEditedFilesCaption, TMsg::AddEditedFilesHint},
          {Form.DelTrgFileAct, TMsg::DeleteEditedFilesCaption, TMsg::DeleteEditedFilesHint},
          {Form.ClearSrcListAct, TMsg::ClearSourceListCaption, TMsg::ClearSourceListHint},
          {Form.ClearTrgListAct, TMsg::ClearEditedListCaption, TMsg::ClearEditedListHint},
          {Form.ClearAllAct, TMsg::ClearBothListsCaption, TMsg::ClearBothListsHint},
          {Form.ResetToDefaultAct, TMsg::ResetToDefaultsCaption, TMsg::ResetToDefaultsHint},
          {Form.SettingsAct, TMsg::SettingsCaption, TMsg::SettingsHint},
          {Form.ExitAct, TMsg::ExitCaption, TMsg::ExitHint},
          {Form.AboutAct, TMsg::AboutCaption, TMsg::AboutHint},
      };
      for (const auto& [Action, Text, Hint] : Actions) {
        QCOMPARE(Action->text(), T(Text));
        QCOMPARE(Action->toolTip(), T(Hint));
      }
      QCOMPARE(Form.HideMainInfoPanelAct->toolTip(), T(TMsg::HideInfoBarHint));
      QCOMPARE(Form.StopGenerateDiffFileBtn->text(), T(TMsg::StopReportButton));
      QCOMPARE(Form.RestartButton->text(), T(TMsg::CreateAnotherReportButton));
      QCOMPARE(Form.StartTextLeftLabel->text(), T(TMsg::DropFilesHint));
      QCOMPARE(Form.StartTextRightLabel->text(), T(TMsg::DropFilesHint));
      const QStringList Filters = Form.OpenDialog1->nameFilters();
      QCOMPARE(Filters.size(), 5);
      QCOMPARE(Filters[0],
               T(TMsg::FilterAllSupportedFiles) +
                   QStringLiteral(" (*.sdlrpx *.sdlppx *.sdlxliff *.mqxliff *.mqxlz *.mxliff *.xlf *.xliff)"));
      QCOMPARE(Filters[1], T(TMsg::FilterSdlFiles) + QStringLiteral(" (*.sdlrpx *.sdlppx *.sdlxliff)"));
      QCOMPARE(Filters[2], T(TMsg::FilterMemoQFiles) + QStringLiteral(" (*.mqxliff *.mqxlz)"));
      QCOMPARE(Filters[3], T(TMsg::FilterMemsourceFiles) + QStringLiteral(" (*.mxliff)"));
      QCOMPARE(Filters[4], T(TMsg::FilterXliffFiles) + QStringLiteral(" (*.xlf *.xliff)"));
    };
    Check(En);
    QVERIFY(Form.SwitchToEnglishAct->isChecked());
    Form.SwitchToRussianAct->trigger();
    QCOMPARE(ProgrammSettings.LangIndex, TLocalizationLanguare::llRU);
    Check(Ru);
    QVERIFY(Form.SwitchToRussianAct->isChecked());
    // Messages of a run follow the language too.
    QTest::mouseClick(Form.GenerateDiffFileBtn, Qt::LeftButton);
    QCOMPARE(Form.LogLines(), (QStringList{Ru(TMsg::CannotCompare), Ru(TMsg::FilesMissingForCompare)}));
    Form.SwitchToEnglishAct->trigger();
    Check(En);
    QCOMPARE(Form.SwitchToEnglishAct->text(), QStringLiteral("English"));
    QCOMPARE(Form.SwitchToRussianAct->text(), QStringLiteral("Русский"));
  }

  void menusHoldTheirActions() {
    TMainForm& Form = NewForm();
    const auto Names = [](QMenu* AMenu) {
      QStringList Result;
      for (QAction* A : AMenu->actions())
        Result << (A->isSeparator() ? QStringLiteral("-") : A->menu() ? A->text() : A->objectName());
      return Result;
    };
    QCOMPARE(Names(Form.SrcFilesPopupMenu),
             (QStringList{QStringLiteral("AddSrcFileAct"), QStringLiteral("DelSrcFileAct"), QStringLiteral("-"),
                          QStringLiteral("ClearSrcListAct"), QStringLiteral("ClearAllAct"), QStringLiteral("-"),
                          QStringLiteral("Language"), QStringLiteral("-"), QStringLiteral("SettingsAct"),
                          QStringLiteral("-"), QStringLiteral("AboutAct"), QStringLiteral("-"),
                          QStringLiteral("ExitAct")}));
    QCOMPARE(Names(Form.TrgFilesPopupMenu).value(0), QStringLiteral("AddTrgFileAct"));
    QCOMPARE(Names(Form.SettingsPopupMenu),
             (QStringList{QStringLiteral("ResetToDefaultAct"), QStringLiteral("-"), QStringLiteral("SettingsAct"),
                          QStringLiteral("-"), QStringLiteral("AboutAct"), QStringLiteral("-"),
                          QStringLiteral("ExitAct")}));
    // Opening a list's menu brings that list's actions up to date first.
    const QString File = WriteFile(FFolders->Path(QStringLiteral("a.sdlxliff")));
    QVERIFY(DropFiles(Form.SrcFilesListBoxPanel, {File}));
    Form.SrcFilesListBox->blockSignals(true);
    Form.SrcFilesListBox->item(0)->setSelected(true);
    Form.SrcFilesListBox->blockSignals(false);
    QVERIFY(!Form.DelSrcFileAct->isEnabled());
    Q_EMIT Form.SrcFilesListBox->customContextMenuRequested(QPoint(3, 3));
    QVERIFY(Form.DelSrcFileAct->isEnabled());
    QTRY_VERIFY(Form.SrcFilesPopupMenu->isVisible());
    Form.SrcFilesPopupMenu->close();
    for (QAction* A : {Form.AddSrcFileAct, Form.DelSrcFileAct, Form.ClearSrcListAct, Form.AddTrgFileAct})
      QVERIFY2(!A->icon().isNull(), qPrintable(A->objectName()));
  }

  void windowStateAndOptionsRoundTrip() {
    ProgrammSettings.SaveDiffSettings = true;
    ProgrammSettings.Curr_DoNotSeparateSpaces = true;
    ProgrammSettings.Curr_HideEquivalentString = false;
    ProgrammSettings.Curr_ShowTags = false;
    ProgrammSettings.Curr_ResultFileFormat = TResultFileFormat::rffXLSX;
    ProgrammSettings.SaveFormSize = true;
    ProgrammSettings.LastFormPosW = 700;
    ProgrammSettings.LastFormPosH = 420;
    TMainForm& Form = NewForm();
    QVERIFY(Form.DoNotSeparateSpacesCbx->isChecked());
    QVERIFY(!Form.HideEquivalentStringCB->isChecked());
    QVERIFY(Form.FillDiffRowColoredCB->isChecked());
    QVERIFY(!Form.ShowTagsCB->isChecked());
    QVERIFY(Form.ExportToXLSXRadioButton->isChecked());
    QCOMPARE(Form.size(), QSize(700, 420));
    // Reset takes the defaults, not the last-used values.
    Form.ResetToDefaultActExecute();
    QVERIFY(!Form.DoNotSeparateSpacesCbx->isChecked());
    QVERIFY(Form.HideEquivalentStringCB->isChecked());
    QVERIFY(Form.ExportToHTMLRadioButton->isChecked());
    Form.FillDiffRowColoredCB->setChecked(false);
    Form.resize(660, 400);
    Form.StoreWindowState();
    QCOMPARE(ProgrammSettings.LastFormPosW, 660);
    QCOMPARE(ProgrammSettings.LastFormPosH, 400);
    QVERIFY(!ProgrammSettings.Curr_FillDiffRowColored);
    QCOMPARE(ProgrammSettings.Curr_ResultFileFormat, TResultFileFormat::rffHTML);
    QVERIFY(!ProgrammSettings.LastFormIsMaximized);
    // Without SaveDiffSettings the window's options leave the last-used ones alone.
    ProgrammSettings.SaveDiffSettings = false;
    Form.FillDiffRowColoredCB->setChecked(true);
    Form.StoreWindowState();
    QVERIFY(!ProgrammSettings.Curr_FillDiffRowColored);
    // The two lists share the width.
    QTRY_COMPARE(Form.SettingsLeftPanel->width(), Form.SettingsMainPanel->width() / 2 - 7);
  }
};

int main(int argc, char** argv) {
  // Everything the program writes goes below this process's own folder.
  const QString Base = QDir::temp().filePath(QStringLiteral("lexmora-window-test-%1").arg(QCoreApplication::applicationPid()));
  QDir(Base).removeRecursively();
  QDir().mkpath(Base);
  SetProgramDataDirOverride(Base.toStdString());
  InitSettingsPaths();
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication App(argc, argv);
  TMainWindowTest Test;
  const int Status = QTest::qExec(&Test, argc, argv);
  QDir(Base).removeRecursively();
  return Status;
}

#include "MainWindowTest.moc"
