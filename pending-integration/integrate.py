import sys
root=sys.argv[1]
p=root+'/shell/MainUnit.h'
s=open(p).read()
if 'TUpdateCheckConfig' not in s:
    s=s.replace('#include "DataTypeUnit.h"\n','#include "CheckUpdateUnit.h"\n#include "DataTypeUnit.h"\n',1)
    s=s.replace('  explicit TMainForm(QWidget* AParent = nullptr);','  // AUpdateCheck: where the update check asks (the production server unless a test says otherwise).\n  explicit TMainForm(QWidget* AParent = nullptr, TUpdateCheckConfig AUpdateCheck = {});')
    a=s.index('  // Places for the update check')
    b=s.index('  void MainInfoLinkLabelLinkClick(const QString& ALink);')+len('  void MainInfoLinkLabelLinkClick(const QString& ALink);')
    new='''  // The update check (MainUnitDialogs.cpp): asks when due, else shows a stored announcement.
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
  TAboutForm* AboutForm() const { return FAboutForm; }'''
    s=s[:a]+new+s[b:]
    s=s.replace('  TProgressator* Progressator = nullptr;\n','''  TProgressator* Progressator = nullptr;
  // Ends a running update check without its answer (the window closes).
  void AbortUpdateCheck();
  TUpdateCheckConfig FUpdateCheck;
  QPointer<TCheckUpdateWorker> FCheckUpdateWorker;
  TSettingsForm* FSettingsForm = nullptr;  // children of the window
  TAboutForm* FAboutForm = nullptr;
''',1)
    s=s.replace('class TRunBridge;','class TAboutForm;\nclass TRunBridge;\nclass TSettingsForm;',1)
    open(p,'w').write(s)

p=root+'/shell/MainUnit.cpp'
s=open(p).read()
s=s.replace('TMainForm::TMainForm(QWidget* AParent) : QMainWindow(AParent) {','TMainForm::TMainForm(QWidget* AParent, TUpdateCheckConfig AUpdateCheck)\n    : QMainWindow(AParent), FUpdateCheck(std::move(AUpdateCheck)) {')
if 'void TMainForm::StartUpdateCheck() {}' in s:
    a=s.index('void TMainForm::StartUpdateCheck() {}')
    key='void TMainForm::MainInfoLinkLabelLinkClick(const QString& ALink)'
    b=s.index(key)
    b=s.index('\n',b)+1
    s=s[:a]+s[b:]
import re
s=re.sub(r'MainInfoLinkLabel->setText\(Msg\([^;]*LastNewVersion\)[^;]*;', 'MainInfoLinkLabel->setText(NewVersionInfoText(ALang, ProgrammSettings.LastNewVersion));', s)
if 'AbortUpdateCheck();' not in s:
    s=s.replace('''  StoreWindowState();
  SaveSettings();''','''  // An answer arriving after the save would be lost: the check ends here, unanswered.
  AbortUpdateCheck();
  StoreWindowState();
  SaveSettings();''',1)
open(p,'w').write(s)
