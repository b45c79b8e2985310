#include "StartUpUnit.h"

#include <QtNetwork/QSslSocket>
#include <QtWidgets/QMessageBox>

#include "LocalizationUnit.h"
#include "LoggerUnit.h"

namespace lexmora {

namespace {

TStartUpNoticeHandler& NoticeHandler() {
  static TStartUpNoticeHandler Handler;
  return Handler;
}

}  // namespace

void SetStartUpNoticeHandler(TStartUpNoticeHandler AHandler) { NoticeHandler() = std::move(AHandler); }

void ShowStartUpNotice(TStartUpNoticeKind AKind, const QString& ACaption, const QString& AText) {
  if (NoticeHandler()) {
    NoticeHandler()(AKind, ACaption, AText);
    return;
  }
  QMessageBox Box(AKind == TStartUpNoticeKind::snInformation ? QMessageBox::Information : QMessageBox::Warning,
                  ACaption, AText, QMessageBox::Ok);
  Box.exec();
}

QString BrokenMessageTableNotice() {
  // Note: the line break is the platform's; the first line keeps its closing blank.
  return QStringLiteral("Обнаружена проблема со строками локализаций! \nАх, как жаль... :(");
}

bool CheckMessageTableAtStart(const std::function<bool()>& ASelfTest) {
  const bool Ok = ASelfTest ? ASelfTest() : CheckLocalizationIds();
  if (Ok) return true;
  Logger().AddError("TMainForm.FormCreate", "The message table failed its self-test; the program ends");
  ShowStartUpNotice(TStartUpNoticeKind::snWarning, QStringLiteral("LexmoraCT"), BrokenMessageTableNotice());
  return false;
}

bool CheckTlsAtStart(const std::function<bool()>& ASupportsTls) {
  const bool Ok = ASupportsTls ? ASupportsTls() : QSslSocket::supportsSsl();
  if (!Ok) {
    Logger().AddWarning("TLS is not available (no TLS backend or system library); the update check will fail");
  }
  return Ok;
}

bool RunStartUpChecks() {
  if (!CheckMessageTableAtStart()) return false;
  CheckTlsAtStart();
  return true;
}

}  // namespace lexmora
