#include "SettingsUnit.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "LocalizationUnit.h"
#include "Settings.h"

namespace lexmora {

namespace {

constexpr int kRowPitch = 23;  // the controls of a group run 23 pixels apart

QString Msg(TMsg AId) { return QString::fromStdString(GetLocalizedText(AId, ProgrammSettings.LangIndex)); }

QGroupBox* NewGroup(QWidget* AParent, const char* AName, int AHeight) {
  auto* Group = new QGroupBox(AParent);
  Group->setObjectName(QLatin1String(AName));
  Group->setFixedHeight(AHeight);
  auto* Layout = new QVBoxLayout(Group);
  Layout->setContentsMargins(12, 16, 8, 4);
  Layout->setSpacing(0);
  return Group;
}

template <typename TControl>
TControl* AddRow(QGroupBox* AGroup, const char* AName, int AExtraTop = 0) {
  auto* Layout = static_cast<QVBoxLayout*>(AGroup->layout());
  if (AExtraTop > 0) Layout->addSpacing(AExtraTop);
  auto* Control = new TControl(AGroup);
  Control->setObjectName(QLatin1String(AName));
  Control->setFixedHeight(kRowPitch);
  Layout->addWidget(Control);
  return Control;
}

}  // namespace

TSettingsForm::TSettingsForm(QWidget* AParent) : QDialog(AParent) {
  setObjectName(QStringLiteral("SettingsForm"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setFont(QFont(QStringLiteral("Tahoma"), 8));
  setFixedSize(476, 602);
  setModal(true);

  auto* Layout = new QVBoxLayout(this);
  Layout->setContentsMargins(6, 6, 6, 6);
  Layout->setSpacing(6);

  GroupBox1 = NewGroup(this, "GroupBox1", 120);
  SaveFormPosCtrl = AddRow<QCheckBox>(GroupBox1, "SaveFormPosCtrl");
  SaveFormSizeCtrl = AddRow<QCheckBox>(GroupBox1, "SaveFormSizeCtrl");
  SaveDiffSettingsCtrl = AddRow<QCheckBox>(GroupBox1, "SaveDiffSettingsCtrl");
  ClearFileListCtrl = AddRow<QCheckBox>(GroupBox1, "ClearFileListCtrl");
  static_cast<QVBoxLayout*>(GroupBox1->layout())->addStretch();

  GroupBox3 = NewGroup(this, "GroupBox3", 95);
  TagsFormatSortCtrl = AddRow<QRadioButton>(GroupBox3, "TagsFormatSortCtrl");
  TagsFormatIDCtrl = AddRow<QRadioButton>(GroupBox3, "TagsFormatIDCtrl");
  TagsFormatFullCtrl = AddRow<QRadioButton>(GroupBox3, "TagsFormatFullCtrl");
  static_cast<QVBoxLayout*>(GroupBox3->layout())->addStretch();

  GroupBox2 = NewGroup(this, "GroupBox2", 168);
  Def_DoNotSeparateSpacesCtrl = AddRow<QCheckBox>(GroupBox2, "Def_DoNotSeparateSpacesCtrl");
  Def_HideEquivalentStringCtrl = AddRow<QCheckBox>(GroupBox2, "Def_HideEquivalentStringCtrl");
  Def_FillDiffRowColoredCtrl = AddRow<QCheckBox>(GroupBox2, "Def_FillDiffRowColoredCtrl");
  Def_ShowTagsCtrl = AddRow<QCheckBox>(GroupBox2, "Def_ShowTagsCtrl");
  // Set a little apart from the check boxes above.
  Def_ResultFileFormatHTML = AddRow<QRadioButton>(GroupBox2, "Def_ResultFileFormatHTML", 4);
  Def_ResultFileFormatXLSX = AddRow<QRadioButton>(GroupBox2, "Def_ResultFileFormatXLSX");
  static_cast<QVBoxLayout*>(GroupBox2->layout())->addStretch();

  GroupBox4 = NewGroup(this, "GroupBox4", 135);
  RatesLabel = AddRow<QLabel>(GroupBox4, "RatesLabel");
  RatesCtrl = AddRow<QLineEdit>(GroupBox4, "RatesCtrl");
  RatesCtrl->setPlaceholderText(QStringLiteral("100:0,95:25,85:50,75:70,50:100,0:100"));
  auto* PriceRow = AddRow<QWidget>(GroupBox4, "PriceRow", 2);
  auto* PriceLayout = new QHBoxLayout(PriceRow);
  PriceLayout->setContentsMargins(0, 0, 0, 0);
  WordPriceLabel = new QLabel(PriceRow);
  WordPriceLabel->setObjectName(QStringLiteral("WordPriceLabel"));
  WordPriceCtrl = new QLineEdit(PriceRow);
  WordPriceCtrl->setObjectName(QStringLiteral("WordPriceCtrl"));
  WordPriceCtrl->setPlaceholderText(QStringLiteral("0.12"));
  CurrencyLabel = new QLabel(PriceRow);
  CurrencyLabel->setObjectName(QStringLiteral("CurrencyLabel"));
  CurrencyCtrl = new QLineEdit(PriceRow);
  CurrencyCtrl->setObjectName(QStringLiteral("CurrencyCtrl"));
  CurrencyCtrl->setMaxLength(16);
  CurrencyCtrl->setPlaceholderText(QStringLiteral("EUR"));
  for (QWidget* W : std::initializer_list<QWidget*>{WordPriceLabel, WordPriceCtrl, CurrencyLabel, CurrencyCtrl})
    PriceLayout->addWidget(W);
  WriteCsvCtrl = AddRow<QCheckBox>(GroupBox4, "WriteCsvCtrl");
  MetricsErrorLabel = AddRow<QLabel>(GroupBox4, "MetricsErrorLabel");
  MetricsErrorLabel->setStyleSheet(QStringLiteral("color: #c00000;"));
  static_cast<QVBoxLayout*>(GroupBox4->layout())->addStretch();

  // Radio buttons exclude each other within their own group only.
  auto* TagGroup = new QButtonGroup(this);
  for (QRadioButton* Button : {TagsFormatSortCtrl, TagsFormatIDCtrl, TagsFormatFullCtrl}) TagGroup->addButton(Button);
  auto* FormatGroup = new QButtonGroup(this);
  for (QRadioButton* Button : {Def_ResultFileFormatHTML, Def_ResultFileFormatXLSX}) FormatGroup->addButton(Button);

  Button1 = new QPushButton(this);
  Button1->setObjectName(QStringLiteral("Button1"));
  QFont Bold = Button1->font();
  Bold.setBold(true);
  Button1->setFont(Bold);
  Button1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  Button1->setAutoDefault(false);
  connect(Button1, &QPushButton::clicked, this, &TSettingsForm::Button1Click);

  Layout->addWidget(GroupBox1);
  Layout->addWidget(GroupBox3);
  Layout->addWidget(GroupBox2);
  Layout->addWidget(GroupBox4);
  Layout->addWidget(Button1, 1);
  // Escape and the title-bar close end in reject(), which takes nothing over.
  UpdateFormData();
}

void TSettingsForm::UpdateFormData() {
  const TSettings& S = ProgrammSettings;
  setWindowTitle(Msg(TMsg::SettingsDialogTitle));
  GroupBox1->setTitle(Msg(TMsg::SettingsProgramOptions));
  SaveFormPosCtrl->setText(Msg(TMsg::SettingsSaveWindowPosition));
  SaveFormSizeCtrl->setText(Msg(TMsg::SettingsSaveWindowSize));
  SaveDiffSettingsCtrl->setText(Msg(TMsg::SettingsSaveCompareOptions));
  ClearFileListCtrl->setText(Msg(TMsg::SettingsClearListsAfterCompare));
  GroupBox3->setTitle(Msg(TMsg::SettingsTagFormat));
  TagsFormatSortCtrl->setText(Msg(TMsg::SettingsTagFormatShort));
  TagsFormatIDCtrl->setText(Msg(TMsg::SettingsTagFormatId));
  TagsFormatFullCtrl->setText(Msg(TMsg::SettingsTagFormatFull));
  GroupBox2->setTitle(Msg(TMsg::SettingsDefaultCompareOptions));
  Def_DoNotSeparateSpacesCtrl->setText(Msg(TMsg::SettingsDefaultIgnoreNbsp));
  Def_HideEquivalentStringCtrl->setText(Msg(TMsg::SettingsDefaultOnlyEditedSegments));
  Def_FillDiffRowColoredCtrl->setText(Msg(TMsg::SettingsDefaultHighlightEditedRows));
  Def_ShowTagsCtrl->setText(Msg(TMsg::SettingsDefaultShowTags));
  Def_ResultFileFormatHTML->setText(Msg(TMsg::SettingsDefaultFormatHtml));
  Def_ResultFileFormatXLSX->setText(Msg(TMsg::SettingsDefaultFormatXlsx));
  Button1->setText(Msg(TMsg::SettingsSaveButton));
  GroupBox4->setTitle(Msg(TMsg::SettingsCostAndExport));
  RatesLabel->setText(Msg(TMsg::SettingsRates));
  WordPriceLabel->setText(Msg(TMsg::SettingsWordPrice));
  CurrencyLabel->setText(Msg(TMsg::SettingsCurrency));
  WriteCsvCtrl->setText(Msg(TMsg::SettingsWriteCsv));
  MetricsErrorLabel->clear();

  SaveFormPosCtrl->setChecked(S.SaveFormPos);
  SaveFormSizeCtrl->setChecked(S.SaveFormSize);
  SaveDiffSettingsCtrl->setChecked(S.SaveDiffSettings);
  ClearFileListCtrl->setChecked(S.ClearFileList);
  using enum TShowTagsFormat;
  (S.ShowTagsFormat == stfID     ? TagsFormatIDCtrl
   : S.ShowTagsFormat == stfFull ? TagsFormatFullCtrl
                                 : TagsFormatSortCtrl)
      ->setChecked(true);
  Def_DoNotSeparateSpacesCtrl->setChecked(S.Def_DoNotSeparateSpaces);
  Def_HideEquivalentStringCtrl->setChecked(S.Def_HideEquivalentString);
  Def_FillDiffRowColoredCtrl->setChecked(S.Def_FillDiffRowColored);
  Def_ShowTagsCtrl->setChecked(S.Def_ShowTags);
  (S.Def_ResultFileFormat == TResultFileFormat::rffXLSX ? Def_ResultFileFormatXLSX : Def_ResultFileFormatHTML)
      ->setChecked(true);
  RatesCtrl->setText(QString::fromStdString(BandRatesText(S.Cost.Rates)));
  WordPriceCtrl->setText(S.Cost.WordPrice ? QString::fromStdString(FloatToRoundedStr(6, *S.Cost.WordPrice, "."))
                                          : QString());
  CurrencyCtrl->setText(QString::fromStdString(S.Cost.Currency));
  WriteCsvCtrl->setChecked(S.WriteCsv);
}

bool TSettingsForm::FormDataToProgrammSettings() {
  // An empty field means none; anything else must read, or nothing is taken over.
  TCostTerms Cost;
  const std::string Rates = RatesCtrl->text().trimmed().toStdString();
  if (!Rates.empty() && !ParseBandRates(Rates, Cost.Rates)) {
    MetricsErrorLabel->setText(Msg(TMsg::SettingsBadRates));
    return false;
  }
  const std::string Price = WordPriceCtrl->text().trimmed().toStdString();
  if (double Value = 0; !Price.empty()) {
    if (!ParseWordPrice(Price, Value)) {
      MetricsErrorLabel->setText(Msg(TMsg::SettingsBadWordPrice));
      return false;
    }
    Cost.WordPrice = Value;
  }
  if (const std::string Currency = CurrencyCtrl->text().trimmed().toStdString(); IsValidCurrency(Currency))
    Cost.Currency = Currency;
  MetricsErrorLabel->clear();

  TSettings& S = ProgrammSettings;
  S.Cost = std::move(Cost);
  S.WriteCsv = WriteCsvCtrl->isChecked();
  S.SaveFormPos = SaveFormPosCtrl->isChecked();
  S.SaveFormSize = SaveFormSizeCtrl->isChecked();
  S.SaveDiffSettings = SaveDiffSettingsCtrl->isChecked();
  S.ClearFileList = ClearFileListCtrl->isChecked();
  using enum TShowTagsFormat;
  S.ShowTagsFormat = TagsFormatSortCtrl->isChecked()   ? stfShort
                     : TagsFormatIDCtrl->isChecked()   ? stfID
                     : TagsFormatFullCtrl->isChecked() ? stfFull
                                                       : stfShort;
  S.Def_DoNotSeparateSpaces = Def_DoNotSeparateSpacesCtrl->isChecked();
  S.Def_HideEquivalentString = Def_HideEquivalentStringCtrl->isChecked();
  S.Def_FillDiffRowColored = Def_FillDiffRowColoredCtrl->isChecked();
  S.Def_ShowTags = Def_ShowTagsCtrl->isChecked();
  S.Def_ResultFileFormat = Def_ResultFileFormatXLSX->isChecked() && !Def_ResultFileFormatHTML->isChecked()
                               ? TResultFileFormat::rffXLSX
                               : TResultFileFormat::rffHTML;
  return true;
}

void TSettingsForm::Button1Click() {
  if (FormDataToProgrammSettings()) accept();
}

}  // namespace lexmora
