// The theme's pictures, by their resource ids (132 frame, 130/131/133/134
// caption buttons, 150/151/156 header, 145/157-166/170 scroll bars, 135 the
// welcome picture) and the program icon 128.
#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

// The pictures the theme's painters and its tests name.
namespace picture {
enum : int {
    CloseHover = 130,
    Close = 131,
    Frame = 132, // caption strip and borders
    MinimiseHover = 133,
    Minimise = 134,
    HeaderBody = 150,
    HeaderLeftEdge = 151,
    HeaderRightEdge = 156,
};
} // namespace picture

// The picture with the given id; a null pixmap for an unknown id. Cached.
QPixmap ThemePicture(int id);
// The same picture as an image (for pixel checks and drawing at 1:1).
QImage ThemeImage(int id);
// Icon 128 at all of its sizes, for the main window's large and small icon.
QIcon ThemeAppIcon();
// Its 32-pixel picture alone, the icon of the modal dialogs.
QIcon ThemeDialogIcon();
