#include "built_box.h"

#include <QAbstractButton>
#include <QFontInfo>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QtMath>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// Every box of the start-up, the age, the options and the update check: the program's icon
// (the options dialog's) and font, and buttons with their captions only. Also on X11, where the
// style would put pictures on buttons.
TEST(X11MessageBoxes, LookLikeTheProgramsOwnWindows) {
    const QImage programIcon = QImage(QStringLiteral(":/pictures/pimbolet.png"))
                                   .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (const int style : {0, 4, 16, 64}) {
        SCOPED_TRACE(style);
        const BuiltBox b = buildBox("Virtual Pet Pimbolet is Already Running!", style, "caption");
        QMessageBox& box = *b.box;
        EXPECT_EQ(box.windowIcon()
                      .pixmap(programIcon.size(), 1.0)
                      .toImage()
                      .convertToFormat(QImage::Format_ARGB32_Premultiplied),
                  programIcon);
        for (const QAbstractButton* button : box.buttons())
            EXPECT_TRUE(button->icon().isNull()) << button->text().toStdString();

        box.show();
        const auto* text = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(QFontInfo(text->font()).family(), QStringLiteral("Liberation Sans"));
        EXPECT_EQ(text->font().pointSize(), 8);
        for (const QAbstractButton* button : box.buttons())
            EXPECT_EQ(QFontInfo(button->font()).family(), QStringLiteral("Liberation Sans"));
        box.hide();
    }
}

namespace {
// The first column of the box, in its own pixels, that holds a dark pixel of the given rows:
// where the text is seen to begin (the box's width where none does).
int firstDarkColumn(QMessageBox& box, const QRect& rows) {
    const QImage image = box.grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    const int top = qFloor(rows.top() * ratio);
    const int bottom = std::min(image.height() - 1, qCeil((rows.bottom() + 1) * ratio) - 1);
    for (int x = 0; x < image.width(); ++x)
        for (int y = top; y <= bottom; ++y)
            if (qGray(image.pixel(x, y)) < 96) return qFloor(x / ratio);
    return box.width();
}
} // namespace

// The text begins at the margin where the style asks for no picture, and just right of the
// picture where it asks for one: on one line, and wrapped in a box of about 500 pixels like the
// failed start's.
TEST(X11MessageBoxes, TextBeginsAtTheMarginOnOneLineOrWrapped) {
    const std::vector<std::string> prompts = {
        "Virtual Pet Pimbolet is Already Running!",
        "Oh Dear, and error has occured.\r\nPath/File access error: cannot read "
        "/tmp/pimbolet-e2e.cKDfIb/config/pimbolet/virtual pet Pimbolet.ini (Not a directory)",
    };
    for (const std::string& prompt : prompts)
        for (const int style : {0, 4, 16, 64}) {
            SCOPED_TRACE(prompt.substr(0, 12) + " style " + std::to_string(style));
            const BuiltBox b = buildBox(prompt, style);
            QMessageBox& box = *b.box;
            box.show();
            const auto* text = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            ASSERT_NE(text, nullptr);
            const int margin = box.layout()->contentsMargins().left();
            if (style == 0 || style == 4) {
                EXPECT_EQ(text->geometry().left(), margin) << "no blank where no picture is";
                EXPECT_LE(firstDarkColumn(box, text->geometry()), margin + 2)
                    << "in a box " << box.width() << " pixels wide";
            } else {
                const auto* icon = box.findChild<QLabel*>(QStringLiteral("qt_msgboxex_icon_label"));
                ASSERT_NE(icon, nullptr);
                EXPECT_GT(text->geometry().left(), icon->geometry().right())
                    << "the text stands right of its icon";
                EXPECT_LE(text->geometry().left(), icon->geometry().right() + 24);
            }
            box.hide();
        }
}
