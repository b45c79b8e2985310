// The rich label markup: parsing rules, attributes, placement, anchoring and redrawing.
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include "TextToHyperUnit.h"

using namespace lexmora;

namespace {

QList<QLabel*> RowOf(QWidget* AContainer) {
  QList<QLabel*> Result = AContainer->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
  std::sort(Result.begin(), Result.end(), [](QLabel* A, QLabel* B) { return A->x() < B->x(); });
  return Result;
}

TImageList TenImages() {
  TImageList List;
  List.ImageSize = QSize(16, 16);
  for (int I = 0; I < 10; ++I) {
    QPixmap Pixmap(16, 16);
    Pixmap.fill(QColor::fromHsv(I * 36, 200, 200));
    List.Images.push_back(Pixmap);
  }
  return List;
}

}  // namespace

class TTextToHyperTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init() {
    FContainer = std::make_unique<QWidget>();
    FContainer->resize(400, 60);
    FImages = TenImages();
  }
  void cleanup() { FContainer.reset(); }

  void parsing_data() {
    QTest::addColumn<QString>("Markup");
    QTest::addColumn<QStringList>("Texts");
    QTest::newRow("text outside elements is dropped") << "abc<t x>def" << QStringList{QStringLiteral("x")};
    QTest::newRow("inner < splits the element") << "<t a<b>" << QStringList{};
    QTest::newRow("two characters always cut off") << "<text>" << QStringList{QStringLiteral("ext")};
    QTest::newRow("kind letter is case-sensitive") << "<T x>" << QStringList{};
    QTest::newRow("kind letter follows < directly") << "< t x>" << QStringList{};
    QTest::newRow("empty label text gives nothing") << "<t>" << QStringList{};
    QTest::newRow("blanks are trimmed") << "<t   spaced out   | b>" << QStringList{QStringLiteral("spaced out")};
    QTest::newRow("line break inside an element drops it") << "<t a\nb><t c>" << QStringList{QStringLiteral("c")};
    QTest::newRow("several in order") << "<t one><a two | https://x.example><t three>"
                                      << QStringList{QStringLiteral("one"), QStringLiteral("two"),
                                                     QStringLiteral("three")};
    QTest::newRow("link without address gives nothing") << "<a lonely>" << QStringList{};
    QTest::newRow("link with empty address gives nothing") << "<a lonely | >" << QStringList{};
    QTest::newRow("entities stay literal text")
        << "<t &amp; &lt;b&gt;>" << QStringList{QStringLiteral("&amp; &lt;b&gt;")};
    QTest::newRow("unclosed element") << "<t x" << QStringList{};
  }
  void parsing() {
    QFETCH(QString, Markup);
    QFETCH(QStringList, Texts);
    TextToHyper(Markup, FContainer.get(), &FImages, {}, {});
    QStringList Shown;
    for (QLabel* Label : RowOf(FContainer.get())) Shown << Label->text();
    QCOMPARE(Shown, Texts);
    for (QLabel* Label : RowOf(FContainer.get())) QCOMPARE(Label->textFormat(), Qt::PlainText);
  }

  void fontAttributes() {
    TextToHyper(QStringLiteral("<t x | f:12 | b | u><t y | i><a z | https://x.example>"), FContainer.get(), nullptr, {},
                {});
    const QList<QLabel*> Row = RowOf(FContainer.get());
    QCOMPARE(Row.size(), 3);
    QCOMPARE(Row[0]->font().pointSize(), 12);
    QVERIFY(Row[0]->font().bold());
    QVERIFY(Row[0]->font().underline());
    QVERIFY(!Row[0]->font().italic());
    QVERIFY(Row[1]->font().italic());
    QVERIFY(!Row[1]->font().underline());
    QCOMPARE(Row[1]->font().pointSize(), FContainer->font().pointSize());
    QVERIFY(Row[2]->font().underline());  // a link is underlined without u
    QCOMPARE(Row[2]->toolTip(), QStringLiteral("https://x.example"));
    QCOMPARE(Row[2]->cursor().shape(), Qt::PointingHandCursor);
  }

  void badFontSizeKeepsContainerSize() {
    TextToHyper(QStringLiteral("<t a | f:big><t b | f:0><t c | f:-3><t d | f:100000>"), FContainer.get(), nullptr, {},
                {});
    for (QLabel* Label : RowOf(FContainer.get())) QCOMPARE(Label->font().pointSize(), FContainer->font().pointSize());
  }

  void colours_data() {
    QTest::addColumn<QString>("Value");
    QTest::addColumn<QColor>("Expected");
    const QColor Default = QWidget().palette().color(QPalette::WindowText);
    QTest::newRow("lowest byte is red") << "$cc9999" << QColor(0x99, 0x99, 0xCC);
    QTest::newRow("grey") << "$999999" << QColor(0x99, 0x99, 0x99);
    QTest::newRow("decimal") << "255" << QColor(255, 0, 0);
    QTest::newRow("name") << "blue" << QColor(0, 0, 255);
    QTest::newRow("unknown name keeps colour") << "notacolour" << Default;
    QTest::newRow("system colour value keeps colour") << "$FF00000F" << Default;
    QTest::newRow("negative keeps colour") << "-1" << Default;
    QTest::newRow("html form is no colour here") << "#ff0000" << Default;
  }
  void colours() {
    QFETCH(QString, Value);
    QFETCH(QColor, Expected);
    TextToHyper(QStringLiteral("<t x | c:%1 | g:$00ff00>").arg(Value), FContainer.get(), nullptr, {}, {});
    const QList<QLabel*> Row = RowOf(FContainer.get());
    QCOMPARE(Row.size(), 1);
    QCOMPARE(Row[0]->palette().color(QPalette::WindowText), Expected);
    QCOMPARE(Row[0]->palette().color(QPalette::Window), QColor(0, 255, 0));
  }

  void markupIntegers_data() {
    QTest::addColumn<QString>("Text");
    QTest::addColumn<int>("Value");  // -999 for no number
    QTest::newRow("decimal") << "12" << 12;
    QTest::newRow("negative") << "-3" << -3;
    QTest::newRow("hex") << "$ff" << 255;
    QTest::newRow("32-bit pattern") << "$FFFFFFFF" << -1;
    QTest::newRow("0x is no number") << "0x10" << -999;
    QTest::newRow("inner blank") << "1 2" << -999;
    QTest::newRow("too large") << "99999999999" << -999;
    QTest::newRow("empty") << "" << -999;
    QTest::newRow("double sign") << "--1" << -999;
  }
  void markupIntegers() {
    QFETCH(QString, Text);
    QFETCH(int, Value);
    QCOMPARE(ParseMarkupInt(Text).value_or(-999), Value);
  }

  // Margins are one byte: of l:300 only 44 is left; -1 becomes 255.
  void marginsAreOneByte() {
    TextToHyper(QStringLiteral("<t x | l:300>"), FContainer.get(), nullptr, {}, {});
    QCOMPARE(RowOf(FContainer.get()).at(0)->x(), 44);
    TextToHyper(QStringLiteral("<t x | l:-1>"), FContainer.get(), nullptr, {}, {});
    QCOMPARE(RowOf(FContainer.get()).at(0)->x(), 255);
    TextToHyper(QStringLiteral("<t x | l:zz>"), FContainer.get(), nullptr, {}, {});
    QCOMPARE(RowOf(FContainer.get()).at(0)->x(), 0);
  }

  void rightMarginAndShift() {
    TextToHyper(QStringLiteral("<t a><t b>"), FContainer.get(), nullptr, {}, {});
    QList<QLabel*> Row = RowOf(FContainer.get());
    QCOMPARE(Row[1]->x(), Row[0]->width() + 4);  // default right margin
    TextToHyper(QStringLiteral("<t a | r:10><t b | d:7>"), FContainer.get(), nullptr, {}, {});
    Row = RowOf(FContainer.get());
    QCOMPARE(Row[1]->x(), Row[0]->width() + 10);
    QCOMPARE(Row[1]->y() - Row[0]->y(), 7);
  }

  // No control, but the right margin of 4 still moves what follows.
  void emptyElementsKeepTheirMargin_data() {
    QTest::addColumn<QString>("Prefix");
    QTest::newRow("link without address") << "<a lonely>";
    QTest::newRow("image index 99 of ten") << "<i 99>";
    QTest::newRow("image index not a number") << "<i seven>";
  }
  void emptyElementsKeepTheirMargin() {
    QFETCH(QString, Prefix);
    TextToHyper(Prefix + QStringLiteral("<t x>"), FContainer.get(), &FImages, {}, {});
    const QList<QLabel*> Row = RowOf(FContainer.get());
    QCOMPARE(Row.size(), 1);
    QCOMPARE(Row[0]->x(), 4);
  }

  void imageFromList() {
    TextToHyper(QStringLiteral("<i 7><t x>"), FContainer.get(), &FImages, {}, {});
    const QList<QLabel*> Row = RowOf(FContainer.get());
    QCOMPARE(Row.size(), 2);
    QCOMPARE(Row[0]->size(), QSize(16, 16));
    QCOMPARE(Row[0]->pixmap().toImage().pixelColor(3, 3), FImages.Images[7].toImage().pixelColor(3, 3));
    QCOMPARE(Row[1]->x(), 16 + 4);
    // An image sits one pixel below the middle line by default; the label on it.
    const int Middle = Row[1]->height() > 16 ? Row[1]->height() / 2 : 8;
    QCOMPARE(Row[0]->y(), Middle - 8 + 1);
    QCOMPARE(Row[1]->y(), Middle - Row[1]->height() / 2);
  }

  void drawingTwiceLeavesTheSecondRow() {
    TextToHyper(QStringLiteral("<t first><t row>"), FContainer.get(), nullptr, {}, {});
    QPointer<QLabel> Old = RowOf(FContainer.get()).at(0);
    TextToHyper(QStringLiteral("<t second>"), FContainer.get(), nullptr, {}, {});
    const QList<QLabel*> Row = RowOf(FContainer.get());
    QCOMPARE(Row.size(), 1);
    QCOMPARE(Row[0]->text(), QStringLiteral("second"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(Old.isNull());
  }

  void rightBottomCornerAndResize() {
    TextToHyper(QStringLiteral("<t a><t b>"), FContainer.get(), nullptr, {},
                {.AlignPoint = TAlignPoint::apRightBottom, .MarginX = 5, .MarginY = 5});
    QList<QLabel*> Row = RowOf(FContainer.get());
    const int RowHeight = std::max(Row[0]->height(), Row[1]->height());
    QCOMPARE(Row[1]->x() + Row[1]->width() + 4, 400 - 5);
    const int Middle = 60 - RowHeight / 2 - 5;
    QCOMPARE(Row[1]->y(), Middle - Row[1]->height() / 2);
    // Resized while hidden: the move comes with the pending resize when it is shown.
    FContainer->resize(520, 90);
    FContainer->show();
    Row = RowOf(FContainer.get());
    QCOMPARE(Row[1]->x() + Row[1]->width() + 4, 520 - 5);
    QCOMPARE(Row[1]->y(), Middle + 30 - Row[1]->height() / 2);
  }

  void eachCornerKeepsItsDistance_data() {
    QTest::addColumn<int>("Point");
    QTest::newRow("right top") << int(TAlignPoint::apRightTop);
    QTest::newRow("right bottom") << int(TAlignPoint::apRightBottom);
    QTest::newRow("left bottom") << int(TAlignPoint::apLeftBottom);
    QTest::newRow("left top") << int(TAlignPoint::apLeftTop);
  }
  void eachCornerKeepsItsDistance() {
    QFETCH(int, Point);
    const auto AlignPoint = static_cast<TAlignPoint>(Point);
    const TAnchors Anchors = AlignPointToAnchors(AlignPoint);
    QCOMPARE(Anchors.Left, !Anchors.Right);
    QCOMPARE(Anchors.Top, !Anchors.Bottom);
    TextToHyper(QStringLiteral("<t corner>"), FContainer.get(), nullptr, {},
                {.AlignPoint = AlignPoint, .MarginX = 7, .MarginY = 3});
    QLabel* Label = RowOf(FContainer.get()).at(0);
    FContainer->show();
    const QRect Before = Label->geometry();
    QCOMPARE(Anchors.Left ? Before.left() : 400 - (Before.left() + Before.width() + 4), 7);
    const int Half = Label->height() / 2;
    QCOMPARE(Before.top(), Anchors.Top ? Half + 3 - Half : 60 - Half - 3 - Half);
    FContainer->resize(300, 200);  // shrink one way, grow the other
    const QRect After = Label->geometry();
    QCOMPARE(After.left() - Before.left(), Anchors.Right ? -100 : 0);
    QCOMPARE(After.top() - Before.top(), Anchors.Bottom ? 140 : 0);
  }

  void linkClickRedrawsFromItsOwnHandler() {
    int Clicks = 0;
    QString Address;
    TLinkLabelClickProc Proc = [&](QLabel* ASender) {
      ++Clicks;
      Address = ASender->toolTip();
      // Redrawing from the clicked label's own handler must be safe.
      TextToHyper(QStringLiteral("<a again | https://two.example>"), FContainer.get(), nullptr, {}, {});
    };
    TextToHyper(QStringLiteral("<t plain><a site | https://one.example>"), FContainer.get(), nullptr, Proc, {});
    FContainer->show();
    QList<QLabel*> Row = RowOf(FContainer.get());
    QTest::mouseClick(Row[0], Qt::LeftButton);  // a plain label is no link
    QCOMPARE(Clicks, 0);
    QPointer<QLabel> Link = Row[1];
    QTest::mouseClick(Link.data(), Qt::LeftButton);
    QCOMPARE(Clicks, 1);
    QCOMPARE(Address, QStringLiteral("https://one.example"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(Link.isNull());
    Row = RowOf(FContainer.get());
    QCOMPARE(Row.size(), 1);
    QCOMPARE(Row[0]->text(), QStringLiteral("again"));
  }

  void creditFooterOfTheMessageTable() {
    TextToHyper(QStringLiteral("<i 7><t Developed by | c:$999999><a Lexmora | https://lexmora.example | c:$cc9999>"),
                FContainer.get(), &FImages, {}, {.AlignPoint = TAlignPoint::apRightBottom, .MarginX = 5, .MarginY = 5});
    const QList<QLabel*> Row = RowOf(FContainer.get());
    QCOMPARE(Row.size(), 3);
    QCOMPARE(Row[1]->palette().color(QPalette::WindowText), QColor(0x99, 0x99, 0x99));
    QCOMPARE(Row[2]->palette().color(QPalette::WindowText), QColor(0x99, 0x99, 0xCC));
    QCOMPARE(Row[2]->x() + Row[2]->width() + 4, 400 - 5);
  }

 private:
  std::unique_ptr<QWidget> FContainer;
  TImageList FImages;
};

QTEST_MAIN(TTextToHyperTest)
#include "TextToHyperTest.moc"
