import sys
p=sys.argv[1]+'/tests/shell/window/WindowShots.cpp'
s=open(p).read()
if 'settings-dialog.png' not in s:
    s=s.replace('  TMainForm Form;\n','''  // No update check: the pictures never depend on a network.
  TUpdateCheckConfig NoCheck;
  NoCheck.ServerAddress = QUrl();
  TMainForm Form(nullptr, NoCheck);
''',1)
    s=s.replace('#include "MainUnit.h"\n','#include "AboutFormUnit.h"\n#include "MainUnit.h"\n#include "SettingsUnit.h"\n',1)
    i=s.rindex('  QDir(Home).removeRecursively();')
    s=s[:i]+'''  // The two dialogs, and a window that announces a new version (from the record).
  Form.SettingsAct->trigger();
  Ok = Save(*Form.SettingsForm(), OutDir + QStringLiteral("/settings-dialog.png")) && Ok;
  Form.SettingsForm()->reject();
  Form.AboutAct->trigger();
  Ok = Save(*Form.AboutForm(), OutDir + QStringLiteral("/about-box.png")) && Ok;
  Form.AboutForm()->reject();
  ProgrammSettings.LastNewVersion = "9.9";
  ProgrammSettings.LastNewVersionNotify.clear();
  TMainForm Announcing(nullptr, NoCheck);
  Announcing.resize(Form.size());
  Announcing.show();
  Ok = Save(Announcing, OutDir + QStringLiteral("/update-bar.png")) && Ok;
'''+s[i:]
    open(p,'w').write(s)
p=sys.argv[1]+'/tests/shell/window/WindowTestSupport.cpp'
s=open(p).read()
if 'LastUpdateCheckDT' not in s:
    s=s.replace('''  ApplySettingsText(ProgrammSettings, std::string());''','''  ApplySettingsText(ProgrammSettings, std::string());
  // Checked just now: window tests never ask the real update server (those of the check use
  // a local one).
  ProgrammSettings.LastUpdateCheckDT = NowLocalDateTime();''')
    open(p,'w').write(s)
