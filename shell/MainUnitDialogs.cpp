// The main window's update information bar, credit footer and the two dialogs.
#include <QAction>
#include <QLabel>

#include "AboutFormUnit.h"
#include "AppInfoUnit.h"
#include "CheckUpdateUnit.h"
#include "LinkOpenUnit.h"
#include "LocalizationUnit.h"
#include "MainUnit.h"
#include "MainUnitImages.h"
#include "Settings.h"
#include "SettingsUnit.h"
#include "TextToHyperUnit.h"

namespace lexmora {

namespace {

std::string RunningVersion() {
  TAppVersion Version;
  GetAppVersion(Version);
  return Version.MajorAndMinor;
}

// The menu images as a rich-label image list (the footer shows image 7).
const TImageList& MenuImageList() {
  static const TImageList List = [] {
    TImageList Result;
    Result.ImageSize = QSize(16, 16);
    for (int I = 0; I <= 8; ++I) {
      QPixmap Image = MenuImagePixmap(I);
      if (Image.isNull()) {
        Image = QPixmap(16, 16);
        Image.fill(Qt::transparent);
      }
      Result.Images.push_back(Image);
    }
    return Result;
  }();
  return List;
}

}  // namespace

void TMainForm::StartUpdateCheck() {
  if (FUpdateCheck.ServerAddress.isEmpty() ||
      !IsUpdateCheckDue(FUpdateCheck.Now(), ProgrammSettings.LastUpdateCheckDT)) {
    ShowNewVersionInfo();
    return;
  }
  FCheckUpdateWorker = new TCheckUpdateWorker([this](const QString& AVersion) { OnNewVersionInfo(AVersion); },
                                              FUpdateCheck.ServerAddress, FUpdateCheck.Limits, this);
  FCheckUpdateWorker->Start();
}

void TMainForm::OnNewVersionInfo(const QString& ANewVersion) {
  ApplyNewVersionInfo(ProgrammSettings, ANewVersion, RunningVersion(), FUpdateCheck.Now());
  ShowNewVersionInfo();
  FCheckUpdateWorker = nullptr;
}

void TMainForm::ShowNewVersionInfo() {
  if (!IsNewVersionToShow(ProgrammSettings, RunningVersion())) return;
  ShowMainInfoPanel(NewVersionInfoText(ProgrammSettings.LangIndex, ProgrammSettings.LastNewVersion));
}

void TMainForm::AbortUpdateCheck() {
  if (FCheckUpdateWorker) FCheckUpdateWorker->Abort();
  FCheckUpdateWorker = nullptr;
}

void TMainForm::HideMainInfoPanelActExecute() {
  ProgrammSettings.LastNewVersionNotify = ProgrammSettings.LastNewVersion;
  MainInfoPanel->setVisible(false);
}

void TMainForm::ShowMainInfoPanel(const QString& AHtml) {
  MainInfoLinkLabel->setText(AHtml);
  MainInfoPanel->setVisible(true);
}

void TMainForm::DrawCreditFooter() {
  TextToHyper(QString::fromStdString(GetLocalizedText(TMsg::CreditFooter, ProgrammSettings.LangIndex)),
              StartTextRightPanel, &MenuImageList(), [this](QLabel* ASender) { OpenLinkLabel(ASender); },
              {.AlignPoint = TAlignPoint::apRightBottom, .MarginX = 5, .MarginY = 5});
}

void TMainForm::SettingsActExecute() {
  if (!FSettingsForm) FSettingsForm = new TSettingsForm(this);
  FSettingsForm->UpdateFormData();
  // Modal to the window, without a nested event loop.
  FSettingsForm->open();
}

void TMainForm::AboutActExecute() {
  if (!FAboutForm) FAboutForm = new TAboutForm(this);
  FAboutForm->LocalizeForm();
  FAboutForm->open();
}

void TMainForm::OpenLinkLabel(QObject* ASender) {
  if (auto* Label = qobject_cast<QLabel*>(ASender)) OpenExternalLink(Label->toolTip());
}

void TMainForm::MainInfoLinkLabelLinkClick(const QString& ALink) { OpenExternalLink(ALink); }

}  // namespace lexmora
