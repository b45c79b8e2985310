// The window's two image lists, painted in code: the action images (0 add, 1 delete, 2 clear)
// and the menu images (3 settings, 4 reset, 5 clear both lists, 6 exit, 7 credit footer, 8 about).
#pragma once

#include <QIcon>
#include <QPixmap>

namespace lexmora {

QIcon ActionImage(int AIndex);
QIcon MenuImage(int AIndex);
// 16 x 16 picture of a menu image (also the image source of rich labels); null for an unknown index.
QPixmap MenuImagePixmap(int AIndex, qreal ADevicePixelRatio = 1.0);
// The window icon.
QIcon WindowImage();

}  // namespace lexmora
