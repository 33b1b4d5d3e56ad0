// Writes every picture of the theme as PNG files into one folder (the
// resources/pictures folder of the source tree), so that changing a size or a
// colour is one edit here and one run:
//     vantorel_picture_gen <folder>
// The pictures are pixel art at their exact sizes; only the icon and the
// welcome picture are drawn with antialiasing.
#include <QColor>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

QString g_dir;
int g_failures = 0;

void Save(const QImage& img, const QString& name) {
    const QString path = QDir(g_dir).filePath(name);
    if (!img.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        ++g_failures;
    }
}

QImage Blank(int w, int h, QColor fill = Qt::white) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    return img;
}

QColor Mix(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

// ---- frame picture 132 -------------------------------------------------------

// Colour of each row of the blue band at the top of the frame picture.
std::vector<QColor> BandRows() {
    const std::vector<std::pair<int, const char*>> runs = {
        {2, "#3F97FF"}, {1, "#278DFF"}, {2, "#0073FD"}, {1, "#0365F1"}, {2, "#005AE7"}, {1, "#0054E3"},
        {2, "#0053E1"}, {1, "#0054E3"}, {3, "#0050E2"}, {3, "#0051E5"}, {2, "#0055E5"}, {1, "#0051E5"},
        {2, "#0051EB"}, {2, "#0055F1"}, {1, "#0058F3"}, {2, "#005AF5"}, {1, "#005CF9"}, {2, "#0060FC"},
        {3, "#0065FD"}, {1, "#026AFE"}, {3, "#0065FD"}, {2, "#0060F9"}, {1, "#0046E0"}, {2, "#0043CF"}};
    std::vector<QColor> rows;
    for (const auto& [n, c] : runs)
        for (int i = 0; i < n; ++i) rows.emplace_back(c);
    return rows; // 43 rows
}

void Frame132() {
    const std::vector<QColor> band = BandRows();
    QImage img = Blank(965, 702);
    const QColor edge("#4000FF");
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            QColor c = Qt::white;
            if (y < int(band.size()))
                c = band[std::size_t(y)];
            else if (x < 5 || x >= img.width() - 5 || y >= img.height() - 5)
                c = edge;
            img.setPixelColor(x, y, c);
        }
    Save(img, "132.png");
}

// ---- caption buttons 130, 131, 133, 134 -------------------------------------

// A 17 x 16 rounded square standing on the caption strip (it is drawn at
// y 5, so its corners take the strip's colours of rows 5 to 20).
QImage CaptionButton(QColor body, bool cross) {
    const std::vector<QColor> band = BandRows();
    QImage img(17, 16, QImage::Format_RGB32);
    const QColor light = Mix(body, Qt::white, 0.45);
    const QColor dark = Mix(body, Qt::black, 0.25);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 17; ++x) {
            const bool corner = (x == 0 || x == 16) && (y == 0 || y == 15);
            const bool nearCorner =
                ((x == 0 || x == 16) && (y == 1 || y == 14)) || ((x == 1 || x == 15) && (y == 0 || y == 15));
            QColor c;
            if (corner)
                c = band[std::size_t(y + 5)];
            else if (nearCorner)
                c = Mix(band[std::size_t(y + 5)], Qt::white, 0.5);
            else if (x == 0 || x == 16 || y == 0 || y == 15)
                c = QColor(0xF4, 0xF4, 0xF4); // white rim, as the system's caption buttons have
            else
                c = Mix(light, dark, (x + y) / 29.0); // light from the top left
            img.setPixelColor(x, y, c);
        }
    const QColor mark = Qt::white;
    if (cross) {
        // A diagonal cross two pixels thick.
        for (int i = 0; i < 8; ++i) {
            for (int d = 0; d < 2; ++d) {
                img.setPixelColor(4 + i + d, 4 + i, mark);
                img.setPixelColor(12 - i - d, 4 + i, mark);
            }
        }
    } else {
        for (int x = 4; x < 10; ++x)
            for (int y = 10; y < 12; ++y) img.setPixelColor(x, y, mark);
    }
    return img;
}

void CaptionButtons() {
    const QColor redOrange("#E2552B"), orange("#F0901E"), blue("#3D8BF5");
    Save(CaptionButton(redOrange, true), "131.png");
    Save(CaptionButton(blue, true), "130.png");
    Save(CaptionButton(orange, false), "134.png");
    Save(CaptionButton(blue, false), "133.png");
}

// ---- header pictures 150, 151, 156 ----------------------------------------

const QColor kHeaderTop("#727272");

QColor HeaderShade(int y) { // y 1..18: white fading to #D8D8D8
    return Mix(Qt::white, QColor("#D8D8D8"), (y - 1) / 17.0);
}

void HeaderPictures() {
    QImage body = Blank(1, 19), left = Blank(2, 19), right = Blank(2, 19);
    for (int y = 0; y < 19; ++y) {
        const QColor shade = y == 0 ? kHeaderTop : HeaderShade(y);
        body.setPixelColor(0, y, shade);
        left.setPixelColor(0, y, QColor("#737373"));
        left.setPixelColor(1, y, shade);
        right.setPixelColor(0, y, shade);
        right.setPixelColor(1, y, kHeaderTop);
    }
    Save(body, "150.png");
    Save(left, "151.png");
    Save(right, "156.png");
}

// ---- scroll-bar pieces 145, 157-166, 170 -----------------------------------

const QColor kOutline("#5A595A");
const QColor kBodyDark("#CECFCE");
const QColor kMark("#737D8C");

enum class Mark { None, Up, Down, Left, Right, Grip };

// One piece in the shared style: an outline on the given sides, a body shaded
// across the short side and a mark in the middle.
QImage BarPiece(int w, int h, bool vertical, bool top, bool bottom, bool left, bool right, Mark mark) {
    QImage img = Blank(w, h);
    const int across = vertical ? w : h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int p = vertical ? x : y;
            QColor c = Mix(kBodyDark, Qt::white, across > 1 ? double(p) / (across - 1) : 0.0);
            if ((top && y == 0) || (bottom && y == h - 1) || (left && x == 0) || (right && x == w - 1)) c = kOutline;
            img.setPixelColor(x, y, c);
        }
    const int cx = w / 2, cy = h / 2;
    auto put = [&](int x, int y) {
        if (x >= 0 && y >= 0 && x < w && y < h) img.setPixelColor(x, y, kMark);
    };
    switch (mark) {
    case Mark::None: break;
    case Mark::Up: // rows of widths 1, 3, 5, 7 from the tip down
    case Mark::Down:
        for (int i = 0; i < 4; ++i)
            for (int d = -i; d <= i; ++d) put(cx - 1 + d + (w % 2), mark == Mark::Up ? cy - 2 + i : cy + 1 - i);
        break;
    case Mark::Left:
    case Mark::Right:
        for (int i = 0; i < 4; ++i)
            for (int d = -i; d <= i; ++d) put(mark == Mark::Left ? cx - 2 + i : cx + 1 - i, cy - 1 + d + (h % 2));
        break;
    case Mark::Grip: // a double row of dots across the thumb
        for (int i = -2; i <= 2; i += 2) {
            if (vertical) {
                put(cx - 3, cy + i);
                put(cx - 1, cy + i);
                put(cx + 1, cy + i);
                put(cx - 2, cy + i + 1);
                put(cx, cy + i + 1);
                put(cx + 2, cy + i + 1);
            } else {
                put(cx + i, cy - 3);
                put(cx + i, cy - 1);
                put(cx + i, cy + 1);
                put(cx + i + 1, cy - 2);
                put(cx + i + 1, cy);
                put(cx + i + 1, cy + 2);
            }
        }
        break;
    }
    return img;
}

void ScrollBarPictures() {
    // Vertical bar: 12 wide, shaded across x.
    Save(BarPiece(12, 11, true, true, true, true, true, Mark::None), "166.png");
    Save(BarPiece(12, 26, true, true, true, true, true, Mark::Up), "162.png");
    Save(BarPiece(12, 1, true, false, false, true, true, Mark::None), "163.png");
    Save(BarPiece(12, 26, true, true, true, true, true, Mark::Down), "145.png");
    Save(BarPiece(11, 11, true, true, true, true, true, Mark::None), "170.png");
    Save(BarPiece(12, 26, true, true, true, true, true, Mark::Grip), "164.png");
    // Horizontal bar: 12 high, shaded across y.
    Save(BarPiece(26, 12, false, true, true, true, true, Mark::Left), "160.png");
    Save(BarPiece(1, 12, false, true, true, false, false, Mark::None), "159.png");
    Save(BarPiece(26, 12, false, true, true, true, true, Mark::Right), "158.png");
    Save(BarPiece(26, 12, false, true, true, true, true, Mark::Grip), "157.png");
}

// ---- icon 128 ---------------------------------------------------------------

// A blue shield with a white umbrella: cover and shelter.
QPainterPath ShieldPath(double s) {
    QPainterPath p;
    p.moveTo(0.5 * s, 0.04 * s);
    p.cubicTo(0.66 * s, 0.13 * s, 0.80 * s, 0.15 * s, 0.92 * s, 0.15 * s);
    p.cubicTo(0.92 * s, 0.55 * s, 0.80 * s, 0.80 * s, 0.5 * s, 0.97 * s);
    p.cubicTo(0.20 * s, 0.80 * s, 0.08 * s, 0.55 * s, 0.08 * s, 0.15 * s);
    p.cubicTo(0.20 * s, 0.15 * s, 0.34 * s, 0.13 * s, 0.5 * s, 0.04 * s);
    return p;
}

void DrawUmbrella(QPainter& p, double s, const QColor& c) {
    QPainterPath canopy;
    canopy.moveTo(0.24 * s, 0.50 * s);
    canopy.cubicTo(0.26 * s, 0.25 * s, 0.74 * s, 0.25 * s, 0.76 * s, 0.50 * s);
    canopy.cubicTo(0.70 * s, 0.46 * s, 0.64 * s, 0.46 * s, 0.587 * s, 0.50 * s);
    canopy.cubicTo(0.55 * s, 0.46 * s, 0.45 * s, 0.46 * s, 0.413 * s, 0.50 * s);
    canopy.cubicTo(0.36 * s, 0.46 * s, 0.30 * s, 0.46 * s, 0.24 * s, 0.50 * s);
    p.fillPath(canopy, c);
    QPen pen(c, qMax(1.0, 0.055 * s), Qt::SolidLine, Qt::RoundCap);
    p.setPen(pen);
    p.drawLine(QPointF(0.5 * s, 0.47 * s), QPointF(0.5 * s, 0.72 * s));
    QPainterPath hook;
    hook.moveTo(0.5 * s, 0.72 * s);
    hook.cubicTo(0.5 * s, 0.80 * s, 0.40 * s, 0.80 * s, 0.40 * s, 0.72 * s);
    p.setBrush(Qt::NoBrush);
    p.drawPath(hook);
}

QImage Emblem(int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    const QPainterPath shield = ShieldPath(s);
    QLinearGradient g(0, 0, 0, s);
    g.setColorAt(0, QColor("#3F97FF"));
    g.setColorAt(1, QColor("#0043CF"));
    p.fillPath(shield, g);
    p.setPen(QPen(QColor("#002E8F"), qMax(1.0, s / 32.0)));
    p.drawPath(shield);
    DrawUmbrella(p, s, Qt::white);
    return img;
}

void Icon128() {
    for (int size : {16, 24, 32, 48, 64, 128, 256}) Save(Emblem(size), QStringLiteral("128_%1.png").arg(size));
}

// ---- welcome picture 135 ----------------------------------------------------

void Welcome135() {
    const int w = 600, h = 580;
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // The page colour at the top settling into a pale blue at the bottom.
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor("#F8F6E6"));
    sky.setColorAt(1, QColor("#DCE6F5"));
    p.fillRect(img.rect(), sky);

    // Gentle hills: the ground the agent's clients stand on.
    QPainterPath far;
    far.moveTo(0, 420);
    far.cubicTo(150, 380, 300, 440, 600, 395);
    far.lineTo(600, 580);
    far.lineTo(0, 580);
    p.fillPath(far, QColor("#E2E9F3"));
    QPainterPath near;
    near.moveTo(0, 470);
    near.cubicTo(200, 430, 380, 500, 600, 455);
    near.lineTo(600, 580);
    near.lineTo(0, 580);
    p.fillPath(near, QColor("#CFDBEC"));

    // A soft glow behind the emblem.
    QRadialGradient glow(QPointF(300, 190), 170);
    glow.setColorAt(0, QColor(255, 255, 255, 230));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(glow);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(300, 190), 170, 170);

    p.drawImage(QPoint(300 - 90, 95), Emblem(180));

    // The program's name and its purpose.
    QFont latin;
    latin.setFamilies({QStringLiteral("Nimbus Sans"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    latin.setPixelSize(44);
    latin.setLetterSpacing(QFont::AbsoluteSpacing, 6);
    p.setFont(latin);
    p.setPen(QColor("#0043CF"));
    p.drawText(QRect(0, 290, w, 56), Qt::AlignCenter, QStringLiteral("Vantorel"));

    QFont cjk;
    cjk.setFamilies({QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
    cjk.setPixelSize(30);
    cjk.setLetterSpacing(QFont::AbsoluteSpacing, 4);
    p.setFont(cjk);
    p.setPen(QColor("#1F3F7A"));
    p.drawText(QRect(0, 350, w, 44), Qt::AlignCenter, QStringLiteral("保险代理人助手"));

    QFont small = cjk;
    small.setFamilies({QStringLiteral("Noto Sans CJK SC")});
    small.setPixelSize(17);
    small.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    p.setFont(small);
    p.setPen(QColor("#008080"));
    p.drawText(QRect(0, 404, w, 30), Qt::AlignCenter, QStringLiteral("保单 · 潜力客户 · 团队成员 · 日程 · 统计"));

    p.setPen(QColor("#4A5E80"));
    small.setPixelSize(15);
    p.setFont(small);
    p.drawText(QRect(0, 520, w, 30), Qt::AlignCenter, QStringLiteral("请从左侧选择要进行的工作"));
    p.end();

    // Kept in true colour: a 256-colour palette bands the soft gradients.
    Save(img, "135.png");
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    g_dir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(g_dir)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    Frame132();
    CaptionButtons();
    HeaderPictures();
    ScrollBarPictures();
    Icon128();
    Welcome135();
    return g_failures == 0 ? 0 : 1;
}
