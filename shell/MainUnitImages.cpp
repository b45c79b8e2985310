#include "MainUnitImages.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <functional>

namespace lexmora {

namespace {

using TPaint = std::function<void(QPainter&)>;

// Paints on a 16 x 16 design grid, scaled to ASize pixels.
QPixmap Paint(int ASize, qreal ARatio, const TPaint& APaint) {
  QPixmap Pixmap(QSize(ASize, ASize) * ARatio);
  Pixmap.setDevicePixelRatio(ARatio);
  Pixmap.fill(Qt::transparent);
  QPainter P(&Pixmap);
  P.setRenderHint(QPainter::Antialiasing);
  P.scale(ASize / 16.0, ASize / 16.0);
  APaint(P);
  return Pixmap;
}

QIcon IconOf(const TPaint& APaint) {
  QIcon Icon;
  for (int Size : {16, 24, 32, 48}) Icon.addPixmap(Paint(Size, 1.0, APaint));
  return Icon;
}

void Disc(QPainter& P, const QColor& AColor) {
  P.setPen(Qt::NoPen);
  P.setBrush(AColor);
  P.drawEllipse(QRectF(1, 1, 14, 14));
}

void Bar(QPainter& P, bool AVertical) {
  P.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap));
  P.drawLine(QPointF(4.5, 8), QPointF(11.5, 8));
  if (AVertical) P.drawLine(QPointF(8, 4.5), QPointF(8, 11.5));
}

void Sheet(QPainter& P, const QRectF& ARect) {
  P.setPen(QPen(QColor(0x7a, 0x86, 0x94), 1));
  P.setBrush(QColor(0xfa, 0xfa, 0xfa));
  P.drawRect(ARect);
  P.setPen(QPen(QColor(0xb0, 0xb8, 0xc2), 1));
  for (qreal Y = ARect.top() + 3; Y < ARect.bottom() - 1; Y += 2.5)
    P.drawLine(QPointF(ARect.left() + 2, Y), QPointF(ARect.right() - 2, Y));
}

void Cross(QPainter& P, const QPointF& ACentre, qreal AHalf) {
  P.setPen(QPen(QColor(0xd0, 0x3b, 0x3b), 2.2, Qt::SolidLine, Qt::RoundCap));
  P.drawLine(ACentre + QPointF(-AHalf, -AHalf), ACentre + QPointF(AHalf, AHalf));
  P.drawLine(ACentre + QPointF(-AHalf, AHalf), ACentre + QPointF(AHalf, -AHalf));
}

void Add(QPainter& P) {
  Disc(P, QColor(0x3c, 0xa5, 0x5c));
  Bar(P, true);
}

void Delete(QPainter& P) {
  Disc(P, QColor(0xd9, 0x53, 0x4f));
  Bar(P, false);
}

void Clear(QPainter& P) {
  Sheet(P, QRectF(2.5, 1.5, 9, 12));
  Cross(P, QPointF(11, 11), 3);
}

void ClearBoth(QPainter& P) {
  Sheet(P, QRectF(1.5, 1.5, 7, 10));
  Sheet(P, QRectF(5.5, 3.5, 7, 10));
  Cross(P, QPointF(11.5, 11.5), 2.8);
}

void Gear(QPainter& P) {
  const QPointF C(8, 8);
  QPainterPath Path;
  for (int I = 0; I < 16; ++I) {
    const double A = I * M_PI / 8;
    const double R = (I % 2 == 0) ? 7.2 : 5.4;
    const QPointF Pt = C + QPointF(R * std::cos(A), R * std::sin(A));
    if (I == 0)
      Path.moveTo(Pt);
    else
      Path.lineTo(Pt);
  }
  Path.closeSubpath();
  Path.addEllipse(C, 2.3, 2.3);
  P.setPen(Qt::NoPen);
  P.setBrush(QColor(0x6b, 0x77, 0x85));
  P.drawPath(Path);
}

void Reset(QPainter& P) {
  P.setPen(QPen(QColor(0x2f, 0x7d, 0xc4), 2, Qt::SolidLine, Qt::RoundCap));
  P.setBrush(Qt::NoBrush);
  P.drawArc(QRectF(3, 3, 10, 10), 60 * 16, 270 * 16);
  QPainterPath Head;
  Head.moveTo(10.2, 0.8);
  Head.lineTo(13.6, 4.2);
  Head.lineTo(9.0, 5.4);
  Head.closeSubpath();
  P.setPen(Qt::NoPen);
  P.setBrush(QColor(0x2f, 0x7d, 0xc4));
  P.drawPath(Head);
}

void Exit(QPainter& P) {
  P.setPen(QPen(QColor(0x6b, 0x77, 0x85), 1.4));
  P.setBrush(QColor(0xe8, 0xe2, 0xd6));
  P.drawRect(QRectF(2, 1.5, 7, 13));
  P.setPen(QPen(QColor(0xd9, 0x53, 0x4f), 2, Qt::SolidLine, Qt::RoundCap));
  P.drawLine(QPointF(7, 8), QPointF(14, 8));
  P.drawLine(QPointF(11.5, 5.5), QPointF(14, 8));
  P.drawLine(QPointF(11.5, 10.5), QPointF(14, 8));
}

void Credit(QPainter& P) {
  // A small heart, drawn in the footer's grey.
  QPainterPath Heart;
  Heart.moveTo(8, 13.5);
  Heart.cubicTo(1, 9, 1.5, 3, 5, 3);
  Heart.cubicTo(6.7, 3, 7.6, 4.2, 8, 5.2);
  Heart.cubicTo(8.4, 4.2, 9.3, 3, 11, 3);
  Heart.cubicTo(14.5, 3, 15, 9, 8, 13.5);
  P.setPen(Qt::NoPen);
  P.setBrush(QColor(0xcc, 0x99, 0x99));
  P.drawPath(Heart);
}

void About(QPainter& P) {
  Disc(P, QColor(0x2f, 0x7d, 0xc4));
  P.setPen(Qt::NoPen);
  P.setBrush(Qt::white);
  P.drawEllipse(QRectF(7, 3.5, 2, 2));
  P.drawRoundedRect(QRectF(7, 6.8, 2, 6), 0.8, 0.8);
}

void Window(QPainter& P) {
  // Two overlapping pages, the right one with a marked change.
  P.setPen(QPen(QColor(0x4a, 0x55, 0x63), 0.8));
  P.setBrush(QColor(0xff, 0xfe, 0xf2));
  P.drawRoundedRect(QRectF(1, 2, 8.5, 12), 1, 1);
  P.setBrush(Qt::white);
  P.drawRoundedRect(QRectF(6.5, 2, 8.5, 12), 1, 1);
  P.setPen(QPen(QColor(0x9a, 0xa4, 0xb0), 1));
  for (qreal Y = 5; Y < 13; Y += 2.5) P.drawLine(QPointF(2.5, Y), QPointF(5.5, Y));
  P.setPen(QPen(QColor(0x3c, 0xa5, 0x5c), 1.4));
  P.drawLine(QPointF(8, 5), QPointF(13.5, 5));
  P.setPen(QPen(QColor(0xd9, 0x53, 0x4f), 1.4));
  P.drawLine(QPointF(8, 7.5), QPointF(13.5, 7.5));
  P.setPen(QPen(QColor(0x9a, 0xa4, 0xb0), 1));
  P.drawLine(QPointF(8, 10), QPointF(13.5, 10));
}

const TPaint* MenuPainter(int AIndex) {
  static const TPaint Painters[] = {Add, Delete, Clear, Gear, Reset, ClearBoth, Exit, Credit, About};
  if (AIndex < 0 || AIndex >= static_cast<int>(std::size(Painters))) return nullptr;
  return &Painters[AIndex];
}

}  // namespace

QIcon ActionImage(int AIndex) {
  if (AIndex < 0 || AIndex > 2) return {};
  return IconOf(*MenuPainter(AIndex));
}

QIcon MenuImage(int AIndex) {
  const TPaint* Painter = MenuPainter(AIndex);
  return Painter ? IconOf(*Painter) : QIcon();
}

QPixmap MenuImagePixmap(int AIndex, qreal ADevicePixelRatio) {
  const TPaint* Painter = MenuPainter(AIndex);
  return Painter ? Paint(16, ADevicePixelRatio, *Painter) : QPixmap();
}

QIcon WindowImage() { return IconOf(Window); }

}  // namespace lexmora
