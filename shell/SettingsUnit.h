// The settings dialog: program options, tag display format, default comparison options, and the
// cost by band and the CSV export.
// It changes ProgrammSettings in memory only, and only when the user saves.
#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace lexmora {

class TSettingsForm : public QDialog {
  Q_OBJECT
 public:
  explicit TSettingsForm(QWidget* AParent = nullptr);

  // Every text in the language of LangIndex, then the controls from ProgrammSettings.
  void UpdateFormData();
  // The controls into ProgrammSettings. False, with the reason shown in MetricsErrorLabel and the
  // record unchanged, when the rates or the price cannot be read.
  bool FormDataToProgrammSettings();
  // Save settings: take the controls over and close; stays open on a value it cannot read.
  void Button1Click();

  QGroupBox* GroupBox1 = nullptr;
  QCheckBox* SaveFormPosCtrl = nullptr;
  QCheckBox* SaveFormSizeCtrl = nullptr;
  QCheckBox* SaveDiffSettingsCtrl = nullptr;
  QCheckBox* ClearFileListCtrl = nullptr;
  QGroupBox* GroupBox3 = nullptr;
  QRadioButton* TagsFormatSortCtrl = nullptr;
  QRadioButton* TagsFormatIDCtrl = nullptr;
  QRadioButton* TagsFormatFullCtrl = nullptr;
  QGroupBox* GroupBox2 = nullptr;
  QCheckBox* Def_DoNotSeparateSpacesCtrl = nullptr;
  QCheckBox* Def_HideEquivalentStringCtrl = nullptr;
  QCheckBox* Def_FillDiffRowColoredCtrl = nullptr;
  QCheckBox* Def_ShowTagsCtrl = nullptr;
  QRadioButton* Def_ResultFileFormatHTML = nullptr;
  QRadioButton* Def_ResultFileFormatXLSX = nullptr;
  QGroupBox* GroupBox4 = nullptr;
  QLabel* RatesLabel = nullptr;
  QLineEdit* RatesCtrl = nullptr;
  QLabel* WordPriceLabel = nullptr;
  QLineEdit* WordPriceCtrl = nullptr;
  QLabel* CurrencyLabel = nullptr;
  QLineEdit* CurrencyCtrl = nullptr;
  QCheckBox* WriteCsvCtrl = nullptr;
  QLabel* MetricsErrorLabel = nullptr;
  QPushButton* Button1 = nullptr;
};

}  // namespace lexmora
