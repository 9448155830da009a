#include "built_box.h"

#include <QAbstractButton>
#include <QFontInfo>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>

#include <gtest/gtest.h>

// Every box of the start-up, the age, the options and the update check: the program's icon
// (the options dialog's) and font, buttons with their captions only, and the text at the margin
// where the style asks for no picture. Also on X11, where the style would put pictures on buttons.
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
        const int margin = box.layout()->contentsMargins().left();
        if (style == 0 || style == 4)
            EXPECT_EQ(text->geometry().left(), margin) << "no blank where no picture is";
        else
            EXPECT_GT(text->geometry().left(), margin + 16) << "the text stands right of its icon";
        box.hide();
    }
}
