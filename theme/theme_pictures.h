// The theme's pictures, by their resource ids (132 frame, 130/131/133/134
// caption buttons, 150/151/156 header, 145/157-166/170 scroll bars, 135 the
// welcome picture) and the program icon 128.
#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

// The picture with the given id; a null pixmap for an unknown id. Cached.
QPixmap ThemePicture(int id);
// The same picture as an image (for pixel checks and drawing at 1:1).
QImage ThemeImage(int id);
// Icon 128 at all of its sizes, for the main window's large and small icon.
QIcon ThemeAppIcon();
