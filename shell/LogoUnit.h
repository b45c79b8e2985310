// The program's logo, painted in code: two overlapping pages, the back one with a struck-out line
// and the front one with an inserted line, on a blue tile.
#pragma once

#include <QPixmap>

namespace lexmora {

// The logo of ASize x ASize device-independent pixels (64 in the about box).
QPixmap LexmoraLogo(int ASize = 64, qreal ADevicePixelRatio = 1.0);

}  // namespace lexmora
