// Writes the program's pictures into the folder named on the command line.
#include "cursors.h"
#include "dialog_art.h"
#include "sprite_sheet.h"

#include <QByteArray>
#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

namespace {

bool save(const QImage& image, const QDir& dir, const char* name) {
    const QString path = dir.filePath(name);
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv); // fonts need it
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <pictures folder>\n", argv[0]);
        return 2;
    }
    const QDir dir(argv[1]);
    bool ok = save(makeSpriteSheet(), dir, "sprites.png");
    ok = save(makeIcon(), dir, "pimbolet.png") && ok;
    // Each size a desktop shows the icon at is drawn, so that none of them is a scaled copy.
    for (const int size : {16, 22, 24, 48, 128}) {
        const QByteArray name = "pimbolet-" + QByteArray::number(size) + ".png";
        ok = save(makeIcon(size), dir, name.constData()) && ok;
    }
    ok = save(makeOpenHand(), dir, "hand1.png") && ok;
    ok = save(makeGrabHand(), dir, "hand2.png") && ok;
    ok = save(makePointingHand(), dir, "link.png") && ok;
    ok = save(makeTitle(), dir, "title.png") && ok;
    ok = save(makeOptionsBackground(), dir, "options.png") && ok;
    ok = save(makeLogo(), dir, "logo.png") && ok;
    return ok ? 0 : 1;
}
