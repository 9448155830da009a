#include "programlook.h"

#include <QPixmap>
#include <QStringList>

namespace programlook {

const Picture& IconPicture() {
    static const Picture icon(QImage(QStringLiteral(":/pictures/pimbolet.png")), int64_t{1} << 40);
    return icon;
}

QIcon WindowIcon() {
    return QIcon(QPixmap::fromImage(IconPicture().Image()));
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
