// The picture bank of the program options and the colour tiles: every picture
// the windows take from the bank is drawn here.
#include "screens/UOptionen.h"

#include "settings/USonstiges.h"

#include <QCoreApplication>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPointer>
#include <QRadialGradient>
#include <cmath>

namespace {
QRgb rgbOf(int32_t bgr)
{
    return ColorFromBGR(bgr).rgb();
}

// A straight line as the window toolkit draws it: from the start point up
// to, but not including, the end point. Only axis-parallel lines are needed.
void lineTo(QImage &img, int x0, int y0, int x1, int y1, QRgb c)
{
    const int dx = (x1 > x0) - (x1 < x0);
    const int dy = (y1 > y0) - (y1 < y0);
    for (int x = x0, y = y0; x != x1 || y != y1; x += dx, y += dy)
        if (x >= 0 && y >= 0 && x < img.width() && y < img.height())
            img.setPixel(x, y, c);
}

QFont verdana(int pixelSize, bool bold)
{
    QFont f(QStringLiteral("Verdana"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

QPixmap blank(int w, int h, const QColor &c = Qt::white)
{
    QPixmap pm(w, h);
    pm.fill(c);
    return pm;
}

// The frame of a check box: white, a grey sunken edge.
void drawBox(QPainter &p, int size)
{
    p.fillRect(0, 0, size, size, Qt::white);
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawLine(0, 0, size - 1, 0);
    p.drawLine(0, 0, 0, size - 1);
    p.setPen(QColor(0xD4, 0xD0, 0xC8));
    p.drawLine(size - 1, 1, size - 1, size - 1);
    p.drawLine(1, size - 1, size - 1, size - 1);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.drawLine(1, 1, size - 2, 1);
    p.drawLine(1, 1, 1, size - 2);
}

QPixmap boxPicture()
{
    QPixmap pm = blank(16, 16);
    QPainter p(&pm);
    drawBox(p, 16);
    return pm;
}

QPixmap tickPicture()
{
    QPixmap pm = blank(16, 16);
    QPainter p(&pm);
    drawBox(p, 16);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(QColor(0x00, 0x80, 0x00), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    const QPointF tick[] = {{3.5, 8.0}, {6.5, 11.5}, {12.5, 4.0}};
    p.drawPolyline(tick, 3);
    return pm;
}

QPixmap roundSign(const QColor &fill, bool cross)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(fill.darker(150), 1));
    p.setBrush(fill);
    p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (cross) {
        p.drawLine(QPointF(5, 5), QPointF(11, 11));
        p.drawLine(QPointF(11, 5), QPointF(5, 11));
    } else {
        const QPointF tick[] = {{4.0, 8.0}, {7.0, 11.0}, {12.0, 5.0}};
        p.drawPolyline(tick, 3);
    }
    return pm;
}

// A status light of the player table.
QPixmap statusLight(const QColor &c, bool clock)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(QPointF(6, 5), 9);
    g.setColorAt(0, c.lighter(170));
    g.setColorAt(1, c);
    p.setPen(QPen(c.darker(170), 1));
    p.setBrush(g);
    p.drawEllipse(QRectF(1, 1, 14, 14));
    if (clock) {
        p.setPen(QPen(QColor(0x40, 0x30, 0x00), 1.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 8), QPointF(8, 4));
        p.drawLine(QPointF(8, 8), QPointF(11, 9.5));
    }
    return pm;
}

// A flat pencil-mark tile with a frame.
QPixmap markTile(const QColor &fill, const QColor &frame, int frameWidth)
{
    QPixmap pm = blank(32, 32, fill);
    QPainter p(&pm);
    p.setPen(Qt::NoPen);
    p.setBrush(frame);
    p.drawRect(0, 0, 32, frameWidth);
    p.drawRect(0, 32 - frameWidth, 32, frameWidth);
    p.drawRect(0, 0, frameWidth, 32);
    p.drawRect(32 - frameWidth, 0, frameWidth, 32);
    return pm;
}

// The given cell: grey marble. The veins come from a fixed hash, not from the
// program's random generator, so drawing the bank never changes a game.
QPixmap marblePicture()
{
    const int n = 64;
    QImage img(n, n, QImage::Format_RGB32);
    auto noise = [](int x, int y) {
        uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u;
        h = (h ^ (h >> 13)) * 1274126177u;
        return int((h ^ (h >> 16)) & 0xFF);
    };
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            // Smooth bands across the tile with a little grain.
            const double band = std::sin((x * 0.9 + y * 0.55) / 7.0 + std::sin(y / 9.0) * 1.8);
            int v = 214 + int(band * 14) + (noise(x, y) % 9) - 4;
            v = qBound(0, v, 255);
            img.setPixel(x, y, qRgb(v, v, qBound(0, v + 4, 255)));
        }
    return QPixmap::fromImage(img);
}

// The column heads of a player table; the columns are those of the rows.
// Each head is as wide as the place it is shown in (the main window's table,
// the end-of-game table), so it is drawn pixel for pixel: a head stretched
// by a few pixels doubles single columns of its small letters and moves the
// words off the columns below them.
QPixmap tableHead(bool statistics)
{
    const int w = statistics ? 340 : 324, h = 26;
    QPixmap pm(w, h);
    QPainter p(&pm);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, QColor(0x3A, 0x6E, 0xA5));
    g.setColorAt(1, QColor(0x1C, 0x3F, 0x66));
    p.fillRect(0, 0, w, h, g);
    p.setPen(QColor(0x0E, 0x22, 0x38));
    p.drawLine(0, h - 1, w - 1, h - 1);
    p.setPen(Qt::white);
    p.setFont(verdana(10, true));
    struct TCol {
        int Left, Width;
        const char *Text;
    };
    const TCol common[] = {
        {8, 120, "Spieler"}, {133, 26, "Farbe"}, {163, 31, "Gef."}, {195, 31, "Fehl."}, {227, 31, "Frei"}};
    const TCol mainCols[] = {{259, 31, "Warte"}, {291, 29, "Status"}};
    const TCol endCols[] = {{259, 31, "Bonus"}, {293, 31, "Pkt."}};
    auto draw = [&p](const TCol &c, int align, int pixelSize) {
        const QString text = QString::fromUtf8(c.Text);
        // Smaller where the word would not fit its column: the font that is
        // found may be wider than Verdana.
        p.setFont(FontFittingWidth(verdana(pixelSize, true), text, c.Width));
        p.drawText(QRect(c.Left, 2, c.Width, 20), align | Qt::AlignVCenter, text);
    };
    draw(common[0], Qt::AlignLeft, 11);
    for (int i = 1; i < 5; ++i)
        draw(common[i], Qt::AlignHCenter, 7);
    for (const TCol &c : statistics ? endCols : mainCols)
        draw(c, Qt::AlignHCenter, 7);
    return pm;
}

QPixmap tableBody()
{
    const int w = 320, rows = 8, h = 6 + 23 * rows;
    QPixmap pm(w, h);
    QPainter p(&pm);
    for (int r = 0; r < rows; ++r)
        p.fillRect(0, 3 + 23 * r, w, 23, r % 2 ? QColor(0xE4, 0xEC, 0xF5) : QColor(0xF7, 0xF9, 0xFC));
    p.fillRect(0, 0, w, 3, QColor(0xF7, 0xF9, 0xFC));
    p.fillRect(0, h - 3, w, 3, QColor(0xE4, 0xEC, 0xF5));
    return pm;
}

QPixmap logoPicture()
{
    const int w = 220, h = 80;
    QPixmap pm(w, h);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, w, h);
    g.setColorAt(0, QColor(0x1B, 0x4F, 0x8C));
    g.setColorAt(1, QColor(0x0B, 0x24, 0x44));
    p.fillRect(0, 0, w, h, g);
    // A small 3 x 3 block on the left.
    const int cell = 18;
    p.setFont(verdana(12, true));
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            const QRect rc(10 + c * (cell + 2), 12 + r * (cell + 2), cell, cell);
            p.fillRect(rc, (r + c) % 2 ? QColor(0xFF, 0xC0, 0x80) : QColor(0xFF, 0x9F, 0x40));
            p.setPen(Qt::black);
            p.drawText(rc, Qt::AlignCenter, QString::number((r * 3 + c) * 5 % 9 + 1));
        }
    p.setPen(Qt::white);
    p.setFont(verdana(26, true));
    p.drawText(QRect(78, 8, w - 82, 38), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Quadrivo"));
    p.setFont(verdana(14, false));
    p.drawText(QRect(80, 44, w - 84, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Sudoku"));
    return pm;
}

// The face of a caption button that is not pressed: a light raised plate.
QPixmap buttonFace()
{
    const int w = 100, h = 26;
    QPixmap pm(w, h);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, QColor(0xFD, 0xFD, 0xFB));
    g.setColorAt(0.5, QColor(0xE8, 0xE6, 0xDF));
    g.setColorAt(1, QColor(0xC9, 0xC6, 0xBC));
    p.setPen(QPen(QColor(0x7A, 0x76, 0x6C), 1));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 6, 6);
    p.setPen(QPen(QColor(0xFF, 0xFF, 0xFF, 0xC0), 1));
    p.drawLine(QPointF(6, 2), QPointF(w - 6, 2));
    return pm;
}

QPixmap hintTile()
{
    QPixmap pm = QPixmap::fromImage(ColorTileImage(32, 32, 0x80FFFF));
    QPainter p(&pm);
    p.setPen(QColor(0x80, 0x50, 0x00));
    p.setFont(verdana(20, true));
    p.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, QStringLiteral("?"));
    return pm;
}
} // namespace

// ---- colour tiles ----------------------------------------------------------------

QImage ColorTileImage(int w, int h, int32_t bgr)
{
    if (w <= 0 || h <= 0)
        return QImage();
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(rgbOf(bgr));
    for (int i = 0; i < 3; ++i) {
        const QRgb light = rgbOf(ShadeColor(100 - 36 + 12 * i, bgr));
        const QRgb dark = rgbOf(ShadeColor(36 - 100 - 12 * i, bgr));
        // Left edge up to the top, then the top edge to the right.
        lineTo(img, i, h - i - 1, i, i, light);
        lineTo(img, i, i, w - i - 1, i, light);
        // Bottom edge to the right, then the right edge up.
        lineTo(img, i, h - 1 - i, w - 1 - i, h - 1 - i, dark);
        lineTo(img, w - 1 - i, h - 1 - i, w - 1 - i, i, dark);
    }
    return img;
}

namespace {
// The player tables paint their colour tiles again after every result
// telegram, in the same few colours and sizes: each tile is drawn once and
// shared. The pixmaps go with the application, as pixmaps must.
class TTileCache : public QObject {
public:
    using QObject::QObject;
    QHash<QPair<QSize, int32_t>, QPixmap> Tiles;
};

QPixmap colorTile(QSize size, int32_t bgr)
{
    if (size.isEmpty())
        size = QSize(17, 17);
    static QPointer<TTileCache> cache;
    if (!cache)
        cache = new TTileCache(QCoreApplication::instance());
    const QPair<QSize, int32_t> key(size, bgr);
    const auto it = cache->Tiles.constFind(key);
    if (it != cache->Tiles.constEnd())
        return *it;
    // Colours picked one after another in the options would fill it.
    if (cache->Tiles.size() >= 64)
        cache->Tiles.clear();
    return *cache->Tiles.insert(key, QPixmap::fromImage(ColorTileImage(size.width(), size.height(), bgr)));
}
} // namespace

void PaintColorTile(TImage *image, int32_t bgr)
{
    if (!image)
        return;
    image->SetPicture(colorTile(image->Picture().isNull() ? image->size() : image->Picture().size(), bgr));
}

void PaintColorTileFresh(TImage *image, int32_t bgr)
{
    if (!image)
        return;
    image->SetPicture(colorTile(image->size(), bgr));
}

// ---- the bank ------------------------------------------------------------------------

void TFormOpt::buildPictureBank()
{
    Panel1 = new TPanel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->hide();
    struct TBankEntry {
        TImage **Image;
        const char *Name;
        QPixmap Picture;
    };
    const TBankEntry bank[] = {
        {&pic_Tabelle_kopf, "pic_Tabelle_kopf", tableHead(false)},
        {&pic_tabelle_body, "pic_tabelle_body", tableBody()},
        {&pic_Tabelle_kopf_statistik, "pic_Tabelle_kopf_statistik", tableHead(true)},
        {&pic_logo, "pic_logo", logoPicture()},
        {&pic_offline, "pic_offline", statusLight(QColor(0x9A, 0x9A, 0x9A), false)},
        {&pic_spiel_on, "pic_spiel_on", statusLight(QColor(0x20, 0xB0, 0x20), false)},
        {&pic_spiel_off, "pic_spiel_off", statusLight(QColor(0xD0, 0x20, 0x20), false)},
        {&pic_wartet, "pic_wartet", statusLight(QColor(0xF0, 0xC0, 0x20), true)},
        {&Pic_hacken, "Pic_hacken", tickPicture()},
        {&pic_box, "pic_box", boxPicture()},
        {&Pic_chk_ok, "Pic_chk_ok", roundSign(QColor(0x20, 0xA0, 0x20), false)},
        {&pic_kreuz, "pic_kreuz", roundSign(QColor(0xD0, 0x20, 0x20), true)},
        {&pic_ist, "pic_ist", markTile(QColor(0xF4, 0xFF, 0xF0), QColor(0x30, 0xA0, 0x30), 3)},
        {&pic_muss, "pic_muss", markTile(QColor(0xFF, 0xF4, 0xD8), QColor(0xE0, 0x70, 0x00), 3)},
        {&pic_clear, "pic_clear", blank(32, 32)},
        {&orgNoMerker, "orgNoMerker", markTile(QColor(0xFC, 0xFC, 0xFC), QColor(0xE2, 0xE2, 0xE2), 1)},
        {&org1Merker, "org1Merker", QPixmap::fromImage(ColorTileImage(32, 32, Merker1ColorValue))},
        {&org2Merker, "org2Merker", QPixmap::fromImage(ColorTileImage(32, 32, Merker2ColorValue))},
        {&orgError, "orgError", QPixmap::fromImage(ColorTileImage(32, 32, 0x0000FF))},
        {&orgFest, "orgFest", marblePicture()},
        {&orgtipp, "orgtipp", hintTile()},
        {&pic_no_press, "pic_no_press", buttonFace()},
    };
    for (const TBankEntry &e : bank) {
        auto *im = new TImage(Panel1);
        im->setObjectName(QString::fromLatin1(e.Name));
        im->resize(e.Picture.size());
        im->SetPicture(e.Picture);
        *e.Image = im;
    }
}
