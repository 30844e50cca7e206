#pragma once

#include <QIcon>

// The program's own images: the toolbar's drawn in code, the window's rendered from the
// program's SVG icon by the build.
namespace Icons {

// The window icon, in 256, 48, 32, 24 and 16 pixels square.
QIcon windowIcon();
// The toolbar images, 16 by 16: image 1 opens, image 2 saves.
QIcon openImage();
QIcon saveImage();
// The mark of a variable that already has a tag: a check mark.
QIcon taggedMark();

} // namespace Icons
