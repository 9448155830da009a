#include "programlook.h"

#include <QPixmap>
#include <QStringList>

namespace programlook {

const Picture& IconPicture() {
    static const Picture icon(QImage(QStringLiteral(":/pictures/pimbolet.png")), int64_t{1} << 40);
    return icon;
}

QIcon WindowIcon() {
    // Every size the desktop shows the icon at is drawn on its own: Qt hands each place the
    // drawing of its size rather than a scaled copy of the 32-pixel one. It is made once: Qt's
    // pixmap cache keeps what it hands out under the icon it came from, so an icon made for
    // each message box or dialog would leave its pixmaps behind when the window goes.
    static const QIcon icon = [] {
        QIcon drawn;
        drawn.addPixmap(QPixmap::fromImage(IconPicture().Image()));
        for (const int size : {16, 22, 24, 48})
            drawn.addFile(QStringLiteral(":/pictures/pimbolet-%1.png").arg(size),
                          QSize(size, size));
        return drawn;
    }();
    return icon;
}

QIcon IconOf(const Picture& picture) {
    if (picture.IsNull()) return QIcon();
    if (picture.Key() == IconPicture().Key()) return WindowIcon();
    return QIcon(QPixmap::fromImage(picture.Image()));
}

QFont DesignFont() {
    static const bool substituted = [] {
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                    QStringLiteral("Nimbus Sans"), QStringLiteral("Arial"),
                                    QStringLiteral("DejaVu Sans Condensed")});
        return true;
    }();
    (void)substituted;
    return QFont(QStringLiteral("MS Sans Serif"), 8);
}

} // namespace programlook
