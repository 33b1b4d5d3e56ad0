#include "theme_pictures.h"

#include <QHash>

// The resource file is compiled into this static library; its initialiser
// must be referenced or the linker drops it.
static void InitPictures() {
    static const bool done = [] {
        Q_INIT_RESOURCE(pictures);
        return true;
    }();
    (void)done;
}

QPixmap ThemePicture(int id) {
    static QHash<int, QPixmap> cache;
    auto it = cache.find(id);
    if (it != cache.end()) return *it;
    InitPictures();
    QPixmap pm(QStringLiteral(":/pictures/%1.png").arg(id));
    cache.insert(id, pm);
    return pm;
}

QImage ThemeImage(int id) {
    InitPictures();
    return QImage(QStringLiteral(":/pictures/%1.png").arg(id)).convertToFormat(QImage::Format_RGB32);
}

QIcon ThemeDialogIcon() {
    InitPictures();
    return QIcon(QStringLiteral(":/pictures/128_32.png"));
}

QIcon ThemeAppIcon() {
    InitPictures();
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/pictures/128_%1.png").arg(size), QSize(size, size));
    return icon;
}
