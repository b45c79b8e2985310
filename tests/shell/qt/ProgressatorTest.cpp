#include <QtTest/QtTest>
#include <stdexcept>
#include <string>
#include <vector>

#include "GuiProgressatorUnit.h"
#include "LocalizationUnit.h"
#include "LoggerUnit.h"
#include "ProgramPathsUnit.h"

using namespace lexmora;

namespace {

std::string Bar(int ADone, int AWidth) {
  return std::string(static_cast<std::size_t>(ADone), '|') + std::string(static_cast<std::size_t>(AWidth - ADone), '.');
}

// Records what a reporter sends, in order.
struct TRecorder {
  std::vector<std::pair<std::string, std::string>> Progress;
  std::vector<std::string> Finished;
  int Results = 0;
  bool ThrowOnProgress = false;

  std::unique_ptr<TProgressator> Make(TLocalizationLanguare ALang = TLocalizationLanguare::llEN) {
    return std::make_unique<TProgressator>(
        [this](const std::string& A, const std::string& B) {
          Progress.emplace_back(A, B);
          if (ThrowOnProgress) throw std::runtime_error("the log pane is gone");
        },
        [this](const std::string& A) { Finished.push_back(A); }, [this] { ++Results; }, ALang);
  }
};

}  // namespace

class TProgressatorTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(FDir.isValid());
    SetProgramDataDirOverride(FDir.path().toStdString());
  }

  // Operation "Read of the source files" at 3 of 7 points while the whole runs from 0 to 30.
  void RendersTheExample() {
    TRecorder R;
    auto P = R.Make();
    P->Start();
    P->StartNewOperation("Read of the source files", 7, 0, 30);
    P->SetCurrentPoint(3);
    QTRY_VERIFY(!R.Progress.empty());
    const auto& [Line1, Line2] = R.Progress.front();
    QCOMPARE(QString::fromStdString(Line1),
             QString::fromStdString("Read of the source files: " + Bar(13, 30) + "42% /"));
    QCOMPARE(QString::fromStdString(Line2), QString::fromStdString("Total progress: " + Bar(7, 50) + " 12% "));
    QTRY_VERIFY(R.Progress.size() >= 2);  // the spinner turns: | / - \ from the second frame on
    QCOMPARE(R.Progress[1].first.back(), '-');
    QCOMPARE(P->CurrentOperation(), std::string("Read of the source files"));
    QVERIFY(R.Finished.empty());
  }

  void ZeroOfTenAndTheRussianTotal() {
    TRecorder R;
    auto P = R.Make(TLocalizationLanguare::llRU);
    P->Start();
    P->StartNewOperation("X", 10, 30, 60);
    QTRY_VERIFY(!R.Progress.empty());
    QCOMPARE(QString::fromStdString(R.Progress.front().first), QString::fromStdString("X: " + Bar(1, 30) + "0% /"));
    QCOMPARE(QString::fromStdString(R.Progress.front().second),
             QString::fromStdString(GetLocalizedText(TMsg::ProgressTotal, TLocalizationLanguare::llRU) + Bar(16, 50) + " 30% "));
  }

  // An operation of 0 points is complete at its first rendering: the finish line, no progress lines.
  void ZeroPointsFinishAtOnce() {
    TRecorder R;
    auto P = R.Make();
    P->Start();
    P->StartNewOperation("Creation of the report", 0, 60, 100);
    QTRY_COMPARE(R.Finished.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(R.Finished[0]), QStringLiteral("Creation of the report is completed..."));
    QTest::qWait(300);
    QVERIFY(R.Progress.empty());
    QCOMPARE(R.Finished.size(), std::size_t(1));
    QVERIFY(!P->IsOperationSet());
  }

  // A point beyond the count is held at it, which completes the operation.
  void PointsBeyondTheCountComplete() {
    TRecorder R;
    auto P = R.Make();
    P->Start();
    P->StartNewOperation("Read", 4, 0, 30);
    P->SetCurrentPoint(1000);
    QTRY_COMPARE(R.Finished.size(), std::size_t(1));
    QVERIFY(R.Progress.empty());
  }

  // A new operation closes the running one first, which shows its finish line.
  void ANewOperationClosesThePrevious() {
    TRecorder R;
    auto P = R.Make();
    P->Start();
    P->StartNewOperation("First", 10, 0, 30);
    QTRY_VERIFY(!R.Progress.empty());
    P->StartNewOperation("Second", 10, 30, 60);
    QCOMPARE(R.Finished, std::vector<std::string>{"First is completed..."});
    const std::size_t Before = R.Progress.size();
    QTRY_VERIFY(R.Progress.size() > Before);
    QCOMPARE(R.Progress.back().first.rfind("Second: ", 0), std::size_t(0));
  }

  // After Terminate nothing is rendered, whatever comes; the result comes once, from the event loop.
  void NothingAfterTerminate() {
    TRecorder R;
    auto P = R.Make();
    P->Start();
    P->StartNewOperation("Read", 10, 0, 30);
    P->SetCurrentPoint(2);
    QTRY_VERIFY(!R.Progress.empty());
    const auto Progress = R.Progress;
    P->Terminate();
    QCOMPARE(R.Results, 0);  // not inside the call
    P->SetCurrentPoint(10);
    P->StartNewOperation("Compare", 0, 30, 60);
    P->Start();
    P->Terminate();
    QTRY_COMPARE(R.Results, 1);
    QTest::qWait(400);
    QCOMPARE(R.Progress, Progress);
    QVERIFY(R.Finished.empty());  // the closed operation's finish line is the owner's to write
    QCOMPARE(R.Results, 1);
    QVERIFY(!P->IsOperationSet());
  }

  // A reporter stopped before it started, and one whose callback fails, still report their end.
  void TheResultComesOnEveryPath() {
    TRecorder Never;
    auto P = Never.Make();
    P->Terminate();
    QTRY_COMPARE(Never.Results, 1);

    TRecorder Failing;
    Failing.ThrowOnProgress = true;
    auto F = Failing.Make();
    F->Start();
    F->StartNewOperation("Read", 10, 0, 30);
    QTRY_COMPARE(Failing.Results, 1);
    QVERIFY(F->IsTerminated());
    QTest::qWait(300);
    QCOMPARE(Failing.Progress.size(), std::size_t(1));
    QFile Log(QString::fromStdString(Logger().LogFileName()));
    QVERIFY(Log.open(QIODevice::ReadOnly));
    QVERIFY(Log.readAll().contains("TProgressator.CheckProgressTimer > the log pane is gone"));
  }

  // The owner may delete the reporter from its result callback; one destroyed earlier calls nothing.
  void OwnershipAtTheEnd() {
    int Results = 0;
    QPointer<TProgressator> P =
        new TProgressator([](const std::string&, const std::string&) {}, [](const std::string&) {},
                          [&] {
                            ++Results;
                            P->deleteLater();
                          },
                          TLocalizationLanguare::llEN);
    P->Start();
    P->Terminate();
    QTRY_VERIFY(P.isNull());
    QCOMPARE(Results, 1);

    int Late = 0;
    auto* Q = new TProgressator([](const std::string&, const std::string&) {}, [](const std::string&) {},
                                [&] { ++Late; }, TLocalizationLanguare::llEN);
    Q->Terminate();
    delete Q;
    QTest::qWait(100);
    QCOMPARE(Late, 0);
  }

 private:
  QTemporaryDir FDir;
};

QTEST_MAIN(TProgressatorTest)
#include "ProgressatorTest.moc"
