// The about box: title, version (the full one as its tool tip), the maker's site and feedback
// address as links, and the credits and licences of what the program ships.
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace lexmora {

class TAboutForm : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutForm(QWidget* AParent = nullptr);

  // Every text in the language of LangIndex; the credits are rebuilt, never appended.
  void LocalizeForm();
  void CloseButtonClick() { close(); }
  // Opens a link of the two link labels through the desktop (web and mail addresses only).
  void CopyrightValueLabelLinkClick(const QString& ALink);
  void FeedbackValueLabelLinkClick(const QString& ALink);

  // The credits, one message or empty line per line, in the language ALang.
  static QStringList CreditLines(int ALangIndex);

  QFrame* Panel1 = nullptr;
  QLabel* Image1 = nullptr;
  QLabel* Label1 = nullptr;
  QFrame* Panel2 = nullptr;
  QLabel* VersionCaptionLabel = nullptr;
  QLabel* VersionValueLabel = nullptr;
  QLabel* CopyrightCaptionLabel = nullptr;
  QLabel* CopyrightValueLabel = nullptr;
  QLabel* FeedbackCaptionLabel = nullptr;
  QLabel* FeedbackValueLabel = nullptr;
  QPlainTextEdit* AdditionalInfoMemo = nullptr;
  QPushButton* CloseButton = nullptr;
};

}  // namespace lexmora
