// A one-line markup of labels, links and images drawn as a row of controls into a container.
//
// Markup: <t text | attrs>, <a text | address | attrs>, <i index | attrs>; text outside elements is
// ignored. Attributes: l, r, d (margins and downward shift, 0..255), f (points), c, g (colours as
// a name, a decimal integer or $BBGGRR), b, i, u (flags). Markup errors never raise.
#pragma once

#include <QColor>
#include <QLabel>
#include <QList>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

namespace lexmora {

// Images of one size, addressed by a zero-based index.
struct TImageList {
  QSize ImageSize{16, 16};
  QList<QPixmap> Images;
  int Count() const { return static_cast<int>(Images.size()); }
};

// Container corner from which the row is laid out and to which it keeps on resize.
enum class TAlignPoint : std::uint8_t { apRightTop = 0, apRightBottom = 1, apLeftBottom = 2, apLeftTop = 3 };

struct TAlignParams {
  TAlignPoint AlignPoint = TAlignPoint::apLeftTop;
  int MarginX = 0;
  int MarginY = 0;
};

// Which container edges an element control keeps its distance to.
struct TAnchors {
  bool Left = false;
  bool Top = false;
  bool Right = false;
  bool Bottom = false;
};
TAnchors AlignPointToAnchors(TAlignPoint AAlignPoint);

// Called with the clicked link label; its tool tip holds the address.
using TLinkLabelClickProc = std::function<void(QLabel* Sender)>;

// Replaces the container's child widgets by the row drawn from ARAWText. The old children leave
// the container at once and are deleted later, so a child's own handler may call this.
void TextToHyper(const QString& ARAWText, QWidget* AContainer, const TImageList* AImageList,
                 const TLinkLabelClickProc& ALinkLabelClickProc, const TAlignParams& AAlignParams);

// Integer as the markup reads it: optional sign, decimal or "$" hexadecimal, 32 bits; nullopt
// when it does not convert.
std::optional<int> ParseMarkupInt(const QString& AText);

// Colour value: a named colour (letters only), a decimal integer or "$" hexadecimal whose lowest
// byte is red, then green, then blue; nullopt when it does not convert.
std::optional<QColor> ParseMarkupColor(const QString& AText);

// A label that reports a left-button click (press and release inside it).
class THyperLinkLabel : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;
 Q_SIGNALS:
  void Clicked(QLabel* ASender);

 protected:
  void mousePressEvent(QMouseEvent* AEvent) override;
  void mouseReleaseEvent(QMouseEvent* AEvent) override;

 private:
  bool FPressed = false;
};

}  // namespace lexmora
