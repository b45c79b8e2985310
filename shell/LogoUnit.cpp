#include "LogoUnit.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace lexmora {

namespace {

// One page: white sheet with a folded corner and grey text lines; AMark colours one line.
void DrawPage(QPainter& APainter, const QRectF& ARect, const QColor& AMark, bool AStruck) {
  const qreal Fold = ARect.width() * 0.28;
  QPainterPath Sheet;
  Sheet.moveTo(ARect.topLeft());
  Sheet.lineTo(ARect.right() - Fold, ARect.top());
  Sheet.lineTo(ARect.right(), ARect.top() + Fold);
  Sheet.lineTo(ARect.bottomRight());
  Sheet.lineTo(ARect.bottomLeft());
  Sheet.closeSubpath();
  APainter.setPen(QPen(QColor(0x2A, 0x5F, 0x88), 1.2));
  APainter.setBrush(Qt::white);
  APainter.drawPath(Sheet);
  QPainterPath Corner;
  Corner.moveTo(ARect.right() - Fold, ARect.top());
  Corner.lineTo(ARect.right() - Fold, ARect.top() + Fold);
  Corner.lineTo(ARect.right(), ARect.top() + Fold);
  APainter.setBrush(QColor(0xDD, 0xE8, 0xF1));
  APainter.drawPath(Corner);

  const qreal Left = ARect.left() + ARect.width() * 0.16;
  const qreal Step = ARect.height() / 6.5;
  for (int I = 0; I < 4; ++I) {
    const qreal Y = ARect.top() + Step * (1.6 + I);
    const qreal Right = ARect.right() - ARect.width() * (I == 0 ? 0.34 : I == 3 ? 0.36 : 0.16);
    const bool Marked = I == 2;
    APainter.setPen(QPen(Marked ? AMark : QColor(0xA8, 0xB4, 0xBE), Marked ? 2.6 : 1.8, Qt::SolidLine, Qt::RoundCap));
    APainter.drawLine(QPointF(Left, Y), QPointF(Right, Y));
    if (Marked && AStruck) {
      APainter.setPen(QPen(AMark.darker(130), 1.2));
      APainter.drawLine(QPointF(Left - 1, Y + 2.2), QPointF(Right + 1, Y - 2.2));
    }
  }
}

}  // namespace

QPixmap LexmoraLogo(int ASize, qreal ADevicePixelRatio) {
  QPixmap Pixmap(QSize(ASize, ASize) * ADevicePixelRatio);
  Pixmap.setDevicePixelRatio(ADevicePixelRatio);
  Pixmap.fill(Qt::transparent);
  QPainter Painter(&Pixmap);
  Painter.setRenderHint(QPainter::Antialiasing);
  // Everything is drawn on a 64-unit grid and scaled.
  Painter.scale(ASize / 64.0, ASize / 64.0);

  QLinearGradient Tile(0, 0, 0, 64);
  Tile.setColorAt(0, QColor(0x5A, 0x9C, 0xCF));
  Tile.setColorAt(1, QColor(0x3E, 0x80, 0xB2));
  Painter.setPen(Qt::NoPen);
  Painter.setBrush(Tile);
  Painter.drawRoundedRect(QRectF(1, 1, 62, 62), 12, 12);

  DrawPage(Painter, QRectF(9, 9, 30, 38), QColor(0xD9, 0x4A, 0x3D), true);
  DrawPage(Painter, QRectF(25, 17, 30, 38), QColor(0x3C, 0xA5, 0x5C), false);
  return Pixmap;
}

}  // namespace lexmora
