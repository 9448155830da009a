// The committed artwork and sounds keep the shapes the program relies on: the sheet's grid,
// key colour and mirror pairs, the cursors' hot spots, the dialog pictures' sizes and the
// wave files' format.
#include "platform/programlook.h"

#include <QFile>
#include <QIcon>
#include <QImage>
#include <QSet>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr QRgb kMagenta = qRgb(255, 0, 255);

const QImage& sheet() {
    static const QImage image(":/pictures/sprites.png");
    return image;
}

QImage cell(int n) {
    return sheet().copy(100 * (n % 9), 100 * (n / 9), 100, 100);
}

bool isSprite(int n) {
    return n != 7 && n != 8 && n != 35;
}

// The pixels of a cell that are not the key colour.
QRect drawingBounds(const QImage& c) {
    QRect bounds;
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            if (c.pixel(x, y) != kMagenta) bounds |= QRect(x, y, 1, 1);
    return bounds;
}

struct Box {
    int first, last;
    QRect box;
};

// Where each kind of pose must lie within its cell (corners inclusive).
const std::vector<Box> kBoxes = {
    {0, 4, QRect(QPoint(30, 33), QPoint(71, 87))},
    {5, 5, QRect(QPoint(1, 41), QPoint(46, 97))},
    {6, 6, QRect(QPoint(1, 57), QPoint(46, 96))},
    {9, 17, QRect(QPoint(18, 26), QPoint(98, 85))},
    {18, 26, QRect(QPoint(1, 26), QPoint(81, 85))},
    {27, 30, QRect(QPoint(18, 27), QPoint(88, 83))},
    {31, 34, QRect(QPoint(11, 27), QPoint(81, 83))},
};

TEST(SpriteSheet, IsNineByFourCellsOfOpaqueColour) {
    ASSERT_FALSE(sheet().isNull());
    EXPECT_EQ(sheet().size(), QSize(900, 400));
    EXPECT_FALSE(sheet().hasAlphaChannel());
}

TEST(SpriteSheet, EverySpriteCellStandsOnMagenta) {
    for (int n = 0; n < 36; ++n) {
        if (!isSprite(n)) continue;
        const QImage c = cell(n);
        for (const QPoint corner : {QPoint(0, 0), QPoint(99, 0), QPoint(0, 99), QPoint(99, 99)})
            EXPECT_EQ(c.pixel(corner), kMagenta) << "cell " << n;
    }
}

TEST(SpriteSheet, LeftFacingCellsMirrorTheRightFacingOnes) {
    for (const auto& [right, left, count] : {std::tuple{9, 18, 9}, std::tuple{27, 31, 4}})
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(cell(right + i).mirrored(true, false), cell(left + i))
                << "cells " << right + i << " and " << left + i;
}

TEST(SpriteSheet, DrawingsLieInTheirBoxesAndFillThem) {
    for (const Box& b : kBoxes) {
        QRect all;
        for (int n = b.first; n <= b.last; ++n) {
            const QRect bounds = drawingBounds(cell(n));
            ASSERT_FALSE(bounds.isEmpty()) << "cell " << n << " is empty";
            EXPECT_TRUE(b.box.contains(bounds)) << "cell " << n;
            all |= bounds;
        }
        // Together the poses of a kind span most of their box, so none sits shrunk in a corner.
        EXPECT_GE(all.width() * 4, b.box.width() * 3) << "cells " << b.first << "-" << b.last;
        EXPECT_GE(all.height() * 4, b.box.height() * 3) << "cells " << b.first << "-" << b.last;
    }
}

TEST(SpriteSheet, DrawingsHaveHardEdgesAgainstTheKeyColour) {
    // A smoothed edge would leave pink half-tones and a spread of in-between colours.
    QSet<QRgb> colours;
    for (int n = 0; n < 36; ++n) {
        if (!isSprite(n)) continue;
        const QImage c = cell(n);
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x) {
                const QRgb p = c.pixel(x, y);
                if (p == kMagenta) continue;
                colours.insert(p);
                EXPECT_FALSE(qRed(p) > 200 && qBlue(p) > 200 && qGreen(p) < 60)
                    << "cell " << n << " at " << x << "," << y;
            }
    }
    EXPECT_LE(colours.size(), 24);
}

TEST(Pictures, CursorsAndIconAreSmallAndSeeThrough) {
    struct Cursor {
        const char* path;
        QPoint hotSpot;
    };
    for (const Cursor& c :
         {Cursor{":/pictures/hand1.png", {11, 13}}, Cursor{":/pictures/hand2.png", {11, 14}},
          Cursor{":/pictures/link.png", {7, 4}}}) {
        const QImage image(c.path);
        ASSERT_EQ(image.size(), QSize(32, 32)) << c.path;
        EXPECT_TRUE(image.hasAlphaChannel()) << c.path;
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << c.path;
        // The hot spot is on the hand itself, not on the see-through ground.
        EXPECT_EQ(image.pixel(c.hotSpot), qRgba(255, 255, 255, 255)) << c.path;
    }
    const QImage icon(":/pictures/pimbolet.png");
    EXPECT_EQ(icon.size(), QSize(32, 32));
    EXPECT_TRUE(icon.hasAlphaChannel());
}

// Every size the program icon is drawn at, and where its drawing is committed.
struct IconSize {
    int size;
    const char* file;
};
const IconSize kIconSizes[] = {{16, "pimbolet-16.png"}, {22, "pimbolet-22.png"},
                               {24, "pimbolet-24.png"}, {32, "pimbolet.png"},
                               {48, "pimbolet-48.png"}, {128, "pimbolet-128.png"}};

QImage committed(const IconSize& icon) {
    return QImage(QStringLiteral(PIMBOLET_SOURCE_DIR "/resources/pictures/") +
                  QLatin1String(icon.file))
        .convertToFormat(QImage::Format_ARGB32);
}

// Every size of the program icon is the whole pet of cell 0, drawn at that size with hard
// edges: its colours are the sprite's own, no half see-through pixel, and an outline all round
// (a drawing cut by the icon's edge would end in its fill colours there).
TEST(Pictures, EveryIconSizeShowsTheWholePetOfTheSheet) {
    QSet<QRgb> petColours;
    const QImage front = cell(0);
    const QRect petBounds = drawingBounds(front);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            if (front.pixel(x, y) != kMagenta) petColours.insert(front.pixel(x, y));
    QRgb outline = kMagenta;
    for (int x = petBounds.left(); outline == kMagenta; ++x)
        outline = front.pixel(x, petBounds.top());

    for (const IconSize& size : kIconSizes) {
        SCOPED_TRACE(size.file);
        const QImage icon = committed(size);
        ASSERT_EQ(icon.size(), QSize(size.size, size.size));
        QRect bounds;
        QSet<QRgb> colours;
        for (int y = 0; y < icon.height(); ++y)
            for (int x = 0; x < icon.width(); ++x) {
                const QRgb c = icon.pixel(x, y);
                ASSERT_TRUE(qAlpha(c) == 0 || qAlpha(c) == 255) << x << "," << y;
                if (qAlpha(c) == 0) continue;
                bounds |= QRect(x, y, 1, 1);
                colours.insert(c);
                EXPECT_TRUE(petColours.contains(c))
                    << "a colour not the pet's at " << x << "," << y;
            }
        EXPECT_EQ(colours, petColours) << "every colour of the pet shows";
        EXPECT_GE(bounds.height() * 10, size.size * 9) << "the pet fills the icon's height";
        EXPECT_NEAR(double(bounds.width()) / bounds.height(),
                    double(petBounds.width()) / petBounds.height(), 0.05);
        const auto outlineOnly = [&](QPoint from, QPoint step, int count) {
            for (int i = 0; i < count; ++i, from += step)
                if (qAlpha(icon.pixel(from)) != 0 && icon.pixel(from) != outline) return false;
            return true;
        };
        EXPECT_TRUE(outlineOnly(bounds.topLeft(), {1, 0}, bounds.width())) << "top";
        EXPECT_TRUE(outlineOnly(bounds.bottomLeft(), {1, 0}, bounds.width())) << "bottom";
        EXPECT_TRUE(outlineOnly(bounds.topLeft(), {0, 1}, bounds.height())) << "left";
        EXPECT_TRUE(outlineOnly(bounds.topRight(), {0, 1}, bounds.height())) << "right";
    }
}

// Title bars, the task bar and the tray each get the drawing of their own size, pixel for
// pixel, from the window icon; the tray's picture (the options dialog's icon picture) brings
// the same sizes, while any other picture stays the one size it is.
TEST(Pictures, WindowAndTrayIconsCarryEveryDrawnSize) {
    const QIcon window = programlook::WindowIcon();
    const QIcon tray = programlook::IconOf(programlook::IconPicture());
    for (const IconSize& size : kIconSizes) {
        if (size.size > 48) continue; // the large one is for the application menu only
        SCOPED_TRACE(size.file);
        const QImage drawn = committed(size);
        for (const QIcon& icon : {window, tray})
            EXPECT_EQ(icon.pixmap(QSize(size.size, size.size), 1.0)
                          .toImage()
                          .convertToFormat(QImage::Format_ARGB32),
                      drawn);
    }
    EXPECT_EQ(window.availableSizes().size(), 5);

    QImage other(20, 20, QImage::Format_ARGB32);
    other.fill(Qt::red);
    const QIcon single = programlook::IconOf(Picture(other, 7));
    EXPECT_EQ(single.availableSizes(), QList<QSize>{QSize(20, 20)});
    EXPECT_TRUE(programlook::IconOf(Picture()).isNull());
}

// Qt's pixmap cache keeps what an icon hands out (the title bar's sizes) under that icon: every
// window and message box is given the one program icon, so none leaves pixmaps behind.
TEST(Pictures, EveryWindowIsGivenTheOneProgramIcon) {
    const QIcon first = programlook::WindowIcon();
    EXPECT_EQ(programlook::WindowIcon().cacheKey(), first.cacheKey());
    EXPECT_EQ(programlook::IconOf(programlook::IconPicture()).cacheKey(), first.cacheKey());
}

TEST(Pictures, DialogArtworkHasItsSizes) {
    const QImage title(":/pictures/title.png"), options(":/pictures/options.png");
    EXPECT_EQ(title.size(), QSize(182, 121));
    EXPECT_FALSE(title.hasAlphaChannel());
    EXPECT_EQ(options.size(), QSize(191, 155));
    EXPECT_FALSE(options.hasAlphaChannel());

    // The logo's ground is one colour made wholly transparent; nothing is half see-through.
    const QImage logo(":/pictures/logo.png");
    ASSERT_EQ(logo.size(), QSize(87, 71));
    int clear = 0;
    for (int y = 0; y < logo.height(); ++y)
        for (int x = 0; x < logo.width(); ++x) {
            const int a = qAlpha(logo.pixel(x, y));
            EXPECT_TRUE(a == 0 || a == 255) << x << "," << y;
            clear += a == 0;
        }
    EXPECT_GT(clear, 0);
    EXPECT_LT(clear, logo.width() * logo.height() / 2);
}

struct Wave {
    uint16_t format = 0, channels = 0, bits = 0;
    uint32_t rate = 0;
    QByteArray samples;
};

uint32_t le(const QByteArray& b, qsizetype at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | static_cast<uint8_t>(b[at + i]);
    return v;
}

Wave readWave(const QByteArray& file) {
    Wave w;
    if (file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WAVE") return w;
    for (qsizetype at = 12; at + 8 <= file.size();) {
        const QByteArray id = file.mid(at, 4);
        const qsizetype size = le(file, at + 4, 4);
        if (id == "fmt " && size >= 16) {
            w.format = le(file, at + 8, 2);
            w.channels = le(file, at + 10, 2);
            w.rate = le(file, at + 12, 4);
            w.bits = le(file, at + 22, 2);
        } else if (id == "data") {
            w.samples = file.mid(at + 8, size);
        }
        at += 8 + size + (size & 1);
    }
    return w;
}

TEST(Sounds, NineDistinctAudibleMonoPcmClips) {
    std::vector<QByteArray> seen;
    for (const char* name :
         {"say1", "say2", "say3", "say4", "pain1", "pain2", "pain3", "pain4", "laugh"}) {
        QFile f(QStringLiteral(PIMBOLET_SOURCE_DIR "/resources/cdata/%1.wav").arg(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name;
        const Wave w = readWave(f.readAll());
        EXPECT_EQ(w.format, 1) << name;
        EXPECT_EQ(w.channels, 1) << name;
        EXPECT_EQ(w.bits, 16) << name;
        ASSERT_GT(w.rate, 0u) << name;
        const double seconds = w.samples.size() / 2.0 / w.rate;
        EXPECT_GE(seconds, 0.3) << name;
        EXPECT_LE(seconds, 2.0) << name;

        int peak = 0;
        for (qsizetype i = 0; i + 1 < w.samples.size(); i += 2) {
            int16_t s;
            std::memcpy(&s, w.samples.constData() + i, 2);
            peak = std::max(peak, std::abs(static_cast<int>(s)));
        }
        EXPECT_GT(peak, 32767 / 4) << name << " is too quiet";
        EXPECT_LT(peak, 32767) << name << " clips";

        for (const QByteArray& other : seen)
            EXPECT_NE(other, w.samples) << name << " repeats an earlier sound";
        seen.push_back(w.samples);
    }
}

} // namespace
