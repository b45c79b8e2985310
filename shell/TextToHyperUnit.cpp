#include "TextToHyperUnit.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QRegularExpression>
#include <QResizeEvent>
#include <QStringList>
#include <algorithm>
#include <memory>
#include <vector>

namespace lexmora {

TAnchors AlignPointToAnchors(TAlignPoint AAlignPoint) {
  using enum TAlignPoint;
  switch (AAlignPoint) {
    case apRightTop:
      return {.Left = false, .Top = true, .Right = true, .Bottom = false};
    case apRightBottom:
      return {.Left = false, .Top = false, .Right = true, .Bottom = true};
    case apLeftBottom:
      return {.Left = true, .Top = false, .Right = false, .Bottom = true};
    case apLeftTop:
      break;
  }
  return {.Left = true, .Top = true, .Right = false, .Bottom = false};
}

std::optional<int> ParseMarkupInt(const QString& AText) {
  QString Text = AText.trimmed();
  bool Negative = false;
  if (Text.startsWith(QLatin1Char('-')) || Text.startsWith(QLatin1Char('+'))) {
    Negative = Text.startsWith(QLatin1Char('-'));
    Text.remove(0, 1);
  }
  int Base = 10;
  if (Text.startsWith(QLatin1Char('$'))) {
    Base = 16;
    Text.remove(0, 1);
  }
  // Only digits of the base: toLongLong would also take blanks, "0x" and a second sign.
  static const QRegularExpression DecimalDigits(QStringLiteral("^[0-9]{1,10}$"));
  static const QRegularExpression HexDigits(QStringLiteral("^[0-9A-Fa-f]{1,8}$"));
  if (!(Base == 10 ? DecimalDigits : HexDigits).match(Text).hasMatch()) return std::nullopt;
  bool Ok = false;
  const qlonglong Value = Text.toLongLong(&Ok, Base);
  if (!Ok) return std::nullopt;
  if (Base == 16) {
    // "$FFFFFFFF" is a 32-bit pattern, as the colour type stores it.
    const auto Bits = static_cast<std::uint32_t>(Value);
    const auto Signed = static_cast<std::int32_t>(Bits);
    if (Negative && Signed == INT32_MIN) return std::nullopt;
    return Negative ? -Signed : Signed;
  }
  const qlonglong SignedValue = Negative ? -Value : Value;
  if (SignedValue < INT32_MIN || SignedValue > INT32_MAX) return std::nullopt;
  return static_cast<int>(SignedValue);
}

std::optional<QColor> ParseMarkupColor(const QString& AText) {
  const QString Text = AText.trimmed();
  static const QRegularExpression Name(QStringLiteral("^[A-Za-z]+$"));
  if (Name.match(Text).hasMatch()) {
    if (!QColor::isValidColor(Text)) return std::nullopt;
    return QColor(Text);
  }
  const std::optional<int> Value = ParseMarkupInt(Text);
  // Values with bits above the three colour bytes name system or palette colours: no colour here.
  if (!Value || *Value < 0 || *Value > 0xFFFFFF) return std::nullopt;
  const int Red = *Value & 0xFF;
  const int Green = (*Value >> 8) & 0xFF;
  const int Blue = (*Value >> 16) & 0xFF;
  return QColor(Red, Green, Blue);
}

void THyperLinkLabel::mousePressEvent(QMouseEvent* AEvent) {
  FPressed = AEvent->button() == Qt::LeftButton;
  QLabel::mousePressEvent(AEvent);
}

void THyperLinkLabel::mouseReleaseEvent(QMouseEvent* AEvent) {
  const bool Click = FPressed && AEvent->button() == Qt::LeftButton && rect().contains(AEvent->position().toPoint());
  FPressed = false;
  QLabel::mouseReleaseEvent(AEvent);
  // Last: the handler may redraw the container and so remove this label.
  if (Click) Q_EMIT Clicked(this);
}

namespace {

constexpr char kAnchorKeeperName[] = "TextToHyperAnchorKeeper";

// Keeps each element control at its distance from the anchored container edges.
class TAnchorKeeper : public QObject {
 public:
  explicit TAnchorKeeper(QWidget* AContainer) : QObject(AContainer), FContainer(AContainer) {
    setObjectName(QLatin1String(kAnchorKeeperName));
    AContainer->installEventFilter(this);
  }

  // The controls of a new row, placed in a container of ANotedSize.
  void Reset(QSize ANotedSize) {
    FItems.clear();
    FNotedSize = ANotedSize;
  }
  void Add(QWidget* AControl, TAnchors AAnchors) {
    const QRect Geometry = AControl->geometry();
    FItems.push_back({AControl, AAnchors, FNotedSize.width() - Geometry.left(), FNotedSize.height() - Geometry.top()});
  }

 protected:
  bool eventFilter(QObject* AWatched, QEvent* AEvent) override {
    if (AWatched == FContainer && AEvent->type() == QEvent::Resize) Reposition();
    return false;
  }

 private:
  struct TItem {
    QPointer<QWidget> Control;
    TAnchors Anchors;
    int DistanceRight;
    int DistanceBottom;
  };

  void Reposition() {
    const QSize Size = FContainer->size();
    for (const TItem& Item : FItems) {
      if (!Item.Control || Item.Control->parentWidget() != FContainer) continue;
      QPoint Pos = Item.Control->pos();
      if (Item.Anchors.Right) Pos.setX(Size.width() - Item.DistanceRight);
      if (Item.Anchors.Bottom) Pos.setY(Size.height() - Item.DistanceBottom);
      Item.Control->move(Pos);
    }
  }

  QWidget* FContainer;
  QSize FNotedSize;
  std::vector<TItem> FItems;
};

TAnchorKeeper* AnchorKeeperOf(QWidget* AContainer) {
  auto* Keeper = AContainer->findChild<TAnchorKeeper*>(QLatin1String(kAnchorKeeperName), Qt::FindDirectChildrenOnly);
  return Keeper ? Keeper : new TAnchorKeeper(AContainer);
}

// One element of the markup; lives only during one TextToHyper call, its control stays.
class TBaseElement {
 public:
  TBaseElement(const QString& ARAWText, QWidget* AContainer, TAlignPoint AAlignPoint)
      : FContainer(AContainer), FRAWText(ARAWText), FAnchors(AlignPointToAnchors(AAlignPoint)) {}
  virtual ~TBaseElement() = default;

  virtual void ParseRAWText() = 0;
  virtual void PlaceAt(int AX, int AY) = 0;

  QWidget* Control() const { return FControl; }
  TAnchors Anchors() const { return FAnchors; }
  // (left margin + width + right margin, height)
  QSize GetElementSize() const { return {FMarginLeft + FWidth + FMarginRight, FHeight}; }

 protected:
  QStringList Parts() const {
    QStringList Result = FRAWText.split(QLatin1Char('|'));
    for (QString& Part : Result) Part = Part.trimmed();
    return Result;
  }
  static QString ValueOf(const QString& APart) { return APart.mid(2); }
  // Only the low 8 bits of the number count, as the field is one byte.
  static std::uint8_t ParseByteAttr(const QString& APart, std::uint8_t ADefault) {
    const std::optional<int> Value = ParseMarkupInt(ValueOf(APart));
    return Value ? static_cast<std::uint8_t>(static_cast<unsigned>(*Value) & 0xFFu) : ADefault;
  }
  // l, r, d; true when APart was one of them.
  bool ParseMarginAttr(const QString& APart) {
    const char16_t Letter = APart.isEmpty() ? u'\0' : APart.at(0).unicode();
    switch (Letter) {
      case u'l':
        FMarginLeft = ParseByteAttr(APart, 0);
        return true;
      case u'r':
        FMarginRight = ParseByteAttr(APart, 4);
        return true;
      case u'd':
        FDeltaY = ParseByteAttr(APart, FDefaultDeltaY);
        return true;
      default:
        return false;
    }
  }
  void PlaceControl(int AX, int AY) {
    if (!FControl) return;
    FControl->move(AX + FMarginLeft, AY - FHeight / 2 + FDeltaY);
  }

  QWidget* FContainer;
  QString FRAWText;
  std::uint8_t FMarginLeft = 0;
  std::uint8_t FMarginRight = 4;
  std::uint8_t FDeltaY = 0;
  std::uint8_t FDefaultDeltaY = 0;
  int FWidth = 0;
  int FHeight = 0;
  TAnchors FAnchors;
  QWidget* FControl = nullptr;
};

class TImageElement : public TBaseElement {
 public:
  TImageElement(const QString& ARAWText, const TImageList* AImageList, QWidget* AContainer, TAlignPoint AAlignPoint)
      : TBaseElement(ARAWText, AContainer, AAlignPoint) {
    FDeltaY = FDefaultDeltaY = 1;
    ParseRAWText();
    if (AImageList && FImageIndex >= 0 && FImageIndex < AImageList->Count()) {
      auto* Image = new QLabel(AContainer);
      Image->setFixedSize(AImageList->ImageSize);
      Image->setPixmap(AImageList->Images.at(FImageIndex)
                           .scaled(AImageList->ImageSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
      FControl = Image;
      FWidth = AImageList->ImageSize.width();
      FHeight = AImageList->ImageSize.height();
    }
  }

  void ParseRAWText() override {
    const QStringList Items = Parts();
    const std::optional<int> Index = ParseMarkupInt(Items.value(0));
    FImageIndex = Index && *Index >= INT16_MIN && *Index <= INT16_MAX ? static_cast<std::int16_t>(*Index) : -1;
    for (qsizetype I = 1; I < Items.size(); ++I) ParseMarginAttr(Items.at(I));
  }
  void PlaceAt(int AX, int AY) override { PlaceControl(AX, AY); }

 private:
  std::int16_t FImageIndex = -1;
};

// Plain label and link share the text attributes; a link also has its address.
class TTextElement : public TBaseElement {
 public:
  TTextElement(const QString& ARAWText, QWidget* AContainer, TAlignPoint AAlignPoint, bool AIsLink)
      : TBaseElement(ARAWText, AContainer, AAlignPoint), FIsLink(AIsLink) {
    const QFont Font = AContainer->font();
    FFontSize = Font.pointSize();
    FFontColor = AContainer->palette().color(AContainer->foregroundRole());
    FBackgroundColor = AContainer->palette().color(AContainer->backgroundRole());
    FIsFontUnderline = AIsLink;
    ParseRAWText();
  }

  void ParseRAWText() override {
    const QStringList Items = Parts();
    qsizetype First = 1;
    if (FIsLink) {
      First = 2;
      if (Items.size() >= 2) {
        FText = Items.at(0);
        FLink = Items.at(1);
      }
    } else {
      FText = Items.value(0);
    }
    for (qsizetype I = First; I < Items.size(); ++I) ParseAttr(Items.at(I));
  }
  void PlaceAt(int AX, int AY) override { PlaceControl(AX, AY); }

  // The label, or null when the element shows nothing.
  QLabel* CreateLabel(const TLinkLabelClickProc& AClickProc) {
    if (FText.isEmpty() || (FIsLink && FLink.isEmpty())) return nullptr;
    QLabel* Label = nullptr;
    if (FIsLink) {
      auto* Link = new THyperLinkLabel(FContainer);
      Link->setToolTip(FLink);
      Link->setCursor(Qt::PointingHandCursor);
      if (AClickProc) QObject::connect(Link, &THyperLinkLabel::Clicked, Link, AClickProc);
      Label = Link;
    } else {
      Label = new QLabel(FContainer);
    }
    // Plain text: the markup's own text is never read as HTML.
    Label->setTextFormat(Qt::PlainText);
    Label->setText(FText);
    QFont Font = FContainer->font();
    if (FFontSize > 0) Font.setPointSize(FFontSize);
    Font.setBold(FIsFontBold);
    Font.setItalic(FIsFontItalic);
    Font.setUnderline(FIsFontUnderline);
    Label->setFont(Font);
    QPalette Palette = Label->palette();
    Palette.setColor(QPalette::WindowText, FFontColor);
    Palette.setColor(QPalette::Window, FBackgroundColor);
    Label->setPalette(Palette);
    Label->setAutoFillBackground(true);
    Label->adjustSize();
    FControl = Label;
    FWidth = Label->width();
    FHeight = Label->height();
    return Label;
  }

 private:
  void ParseAttr(const QString& APart) {
    if (APart.isEmpty() || ParseMarginAttr(APart)) return;
    switch (APart.at(0).unicode()) {
      case u'f': {
        // Sizes outside 1..512 points would only give an unreadable or enormous row.
        const std::optional<int> Size = ParseMarkupInt(ValueOf(APart));
        if (Size && *Size >= 1 && *Size <= 512) FFontSize = *Size;
        break;
      }
      case u'c':
        FFontColor = ParseMarkupColor(ValueOf(APart)).value_or(FFontColor);
        break;
      case u'g':
        FBackgroundColor = ParseMarkupColor(ValueOf(APart)).value_or(FBackgroundColor);
        break;
      case u'b':
        FIsFontBold = true;
        break;
      case u'i':
        FIsFontItalic = true;
        break;
      case u'u':
        FIsFontUnderline = true;
        break;
      default:
        break;
    }
  }

  bool FIsLink;
  QString FText;
  QString FLink;
  int FFontSize = 0;
  QColor FFontColor;
  QColor FBackgroundColor;
  bool FIsFontBold = false;
  bool FIsFontItalic = false;
  bool FIsFontUnderline = false;
};

// Lines that hold one complete element each, in order.
QStringList ElementLines(const QString& ARAWText) {
  QString Text = ARAWText;
  Text.replace(QLatin1String("<"), QLatin1String("\r\n<"));
  Text.replace(QLatin1String(">"), QLatin1String(">\r\n"));
  static const QRegularExpression LineBreak(QStringLiteral("\r\n|\n|\r"));
  QStringList Result;
  for (const QString& Line : Text.split(LineBreak)) {
    const QString Trimmed = Line.trimmed();
    const bool Kind = Trimmed.startsWith(QLatin1String("<i")) || Trimmed.startsWith(QLatin1String("<a")) ||
                      Trimmed.startsWith(QLatin1String("<t"));
    if (Kind && Trimmed.endsWith(QLatin1Char('>')) && Trimmed.size() >= 3) Result.push_back(Line);
  }
  return Result;
}

}  // namespace

void TextToHyper(const QString& ARAWText, QWidget* AContainer, const TImageList* AImageList,
                 const TLinkLabelClickProc& ALinkLabelClickProc, const TAlignParams& AAlignParams) {
  if (!AContainer) return;
  const QSize NotedSize = AContainer->size();
  // Out of the container now, deleted once control returns to the event loop.
  for (QWidget* Child : AContainer->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    Child->hide();
    Child->setParent(nullptr);
    Child->deleteLater();
  }
  TAnchorKeeper* Keeper = AnchorKeeperOf(AContainer);
  Keeper->Reset(NotedSize);

  std::vector<std::unique_ptr<TBaseElement>> Elements;
  int TotalWidth = 0;
  int RowHeight = 0;
  for (const QString& Line : ElementLines(ARAWText)) {
    const QString Content = Line.mid(2, Line.size() - 3);
    const TAlignPoint Point = AAlignParams.AlignPoint;
    if (Line.startsWith(QLatin1String("<i"))) {
      Elements.push_back(std::make_unique<TImageElement>(Content, AImageList, AContainer, Point));
    } else {
      auto Element = std::make_unique<TTextElement>(Content, AContainer, Point, Line.startsWith(QLatin1String("<a")));
      Element->CreateLabel(ALinkLabelClickProc);
      Elements.push_back(std::move(Element));
    }
    const QSize Size = Elements.back()->GetElementSize();
    TotalWidth += Size.width();
    RowHeight = std::max(RowHeight, Size.height());
  }

  using enum TAlignPoint;
  const bool Right = AAlignParams.AlignPoint == apRightTop || AAlignParams.AlignPoint == apRightBottom;
  const bool Bottom = AAlignParams.AlignPoint == apRightBottom || AAlignParams.AlignPoint == apLeftBottom;
  int X = Right ? NotedSize.width() - TotalWidth - AAlignParams.MarginX : AAlignParams.MarginX;
  const int Y =
      Bottom ? NotedSize.height() - RowHeight / 2 - AAlignParams.MarginY : RowHeight / 2 + AAlignParams.MarginY;
  for (const auto& Element : Elements) {
    Element->PlaceAt(X, Y);
    X += Element->GetElementSize().width();
    if (QWidget* Control = Element->Control()) {
      Keeper->Add(Control, Element->Anchors());
      Control->show();
    }
  }
}

}  // namespace lexmora
