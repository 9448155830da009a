#include "built_box.h"
#include "platform/errors.h"
#include "platform/qt/qtwebbrowserfactory.h"

#include <QAbstractButton>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

TEST(MessageBoxes, StyleCodeChoosesIconButtonsAndAnswers) {
    struct Row {
        int style;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton byDefault;
    };
    const std::vector<Row> rows = {
        {16, QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok},
        {64, QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok},
        {4, QMessageBox::NoIcon, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes},
        {0, QMessageBox::NoIcon, QMessageBox::Ok, QMessageBox::Ok},
        {4 + 256, QMessageBox::NoIcon, QMessageBox::Yes | QMessageBox::No, QMessageBox::No},
    };
    for (const Row& row : rows) {
        const BuiltBox b = buildBox("text", row.style);
        EXPECT_EQ(b.box->icon(), row.icon) << row.style;
        EXPECT_EQ(b.box->standardButtons(), row.buttons) << row.style;
        EXPECT_EQ(b.box->standardButton(b.box->defaultButton()), row.byDefault) << row.style;
    }
    const BuiltBox yesNo = buildBox("Would you like to download it now?", 4);
    EXPECT_EQ(QtMessageBoxes::answer(QMessageBox::Yes, yesNo.choices), 6);
    EXPECT_EQ(QtMessageBoxes::answer(QMessageBox::No, yesNo.choices), 7);
    EXPECT_EQ(QtMessageBoxes::answer(-1, yesNo.choices), 7) << "closed without a button";
    EXPECT_EQ(QtMessageBoxes::answer(QMessageBox::Ok, buildBox("x", 0).choices), 1);
}

TEST(MessageBoxes, TextIsPlainWithCrLfLineBreaks) {
    const BuiltBox b =
        buildBox("Version <b>5</b> is available now\r\nnote &amp; more\r\n\r\nWould you?", 4,
                 "New Version!");
    EXPECT_EQ(b.box->textFormat(), Qt::PlainText);
    EXPECT_EQ(b.box->text(),
              QStringLiteral("Version <b>5</b> is available now\nnote &amp; more\n\nWould you?"));
    EXPECT_EQ(b.box->windowTitle(), QStringLiteral("New Version!"));
    EXPECT_TRUE(b.box->windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST(MessageBoxes, EmptyCaptionIsTheApplicationTitle) {
    EXPECT_EQ(buildBox("Oh Dear, and error has occured.", 0).box->windowTitle(),
              QStringLiteral("virtual pet Pimbolet"));
}

TEST(WebBrowser, FailuresComeAsErrorsTheCallersCanTellApart) {
    QtWebBrowserFactory factory;
    const std::unique_ptr<WebBrowserObject> browser = factory.CreateInternetExplorer();
    browser->SetVisible(true);
    try {
        browser->Navigate("file:///etc/passwd");
        ADD_FAILURE() << "only web addresses are opened";
    } catch (const RuntimeError& e) {
        EXPECT_LT(e.Number, 0);
    }
    // The offscreen platform has no way to start a browser: the user must hear of it.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) return;
    try {
        browser->Navigate("http://127.0.0.1:9/koz/");
        ADD_FAILURE() << "no browser can start here";
    } catch (const RuntimeError& e) {
        EXPECT_GT(e.Number, 0);
        EXPECT_NE(e.Description.find("http://127.0.0.1:9/koz/"), std::string::npos);
    }
}
