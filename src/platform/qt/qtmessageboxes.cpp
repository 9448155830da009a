#include "qtmessageboxes.h"

#include "platform/errors.h"
#include "platform/programlook.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>

namespace {
// Without a picture Qt still keeps a blank column, and a gap after it, before the text; the text
// starts at the margin instead, as far from the left edge as the buttons are from the right one.
// The emptied column must not take the width a wrapped text leaves over: the text's column does.
void dropIndent(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    const auto columnOf = [grid](int index) {
        int row = 0, column = 0, rows = 0, columns = 0;
        grid->getItemPosition(index, &row, &column, &rows, &columns);
        return column;
    };
    for (int i = 0; i < grid->count(); ++i) {
        if (columnOf(i) == 0 && grid->itemAt(i)->spacerItem()) {
            delete grid->takeAt(i);
            break;
        }
    }
    grid->setHorizontalSpacing(0);
    if (const auto* text = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
        if (const int at = grid->indexOf(text); at >= 0) grid->setColumnStretch(columnOf(at), 1);
}
} // namespace

QtMessageBoxes::QtMessageBoxes(Runtime& runtime)
    : m_runtime(runtime), m_font(programlook::DesignFont()) {
    // The messages' font is read now, while files can still be opened: a message saying that
    // the program has run out of them would otherwise be drawn as empty boxes, every letter
    // missing.
    QFontMetrics(m_font).height();
}

std::unique_ptr<QMessageBox> QtMessageBoxes::build(const std::string& prompt, int style,
                                                   const std::string& caption,
                                                   std::vector<Choice>& choices) const {
    auto box = std::make_unique<QMessageBox>();
    // The program's own look: its icon in the title bar and the task bar, its windows' font.
    box->setWindowIcon(programlook::WindowIcon());
    box->setFont(m_font);
    // Text from anywhere (the update file's notes) is shown as it stands, never as markup;
    // the callers break lines with CR LF.
    box->setTextFormat(Qt::PlainText);
    QString text = QString::fromStdString(prompt);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box->setText(text);
    box->setWindowTitle(QString::fromStdString(caption.empty() ? m_runtime.Title() : caption));
    switch (style & 0x70) {
    case 16:
        box->setIcon(QMessageBox::Critical);
        break;
    case 32:
        box->setIcon(QMessageBox::Question);
        break;
    case 48:
        box->setIcon(QMessageBox::Warning);
        break;
    case 64:
        box->setIcon(QMessageBox::Information);
        break;
    default:
        box->setIcon(QMessageBox::NoIcon);
    }
    switch (style & 7) {
    case 1:
        choices = {{QMessageBox::Ok, 1}, {QMessageBox::Cancel, 2}};
        break;
    case 2:
        choices = {{QMessageBox::Abort, 3}, {QMessageBox::Retry, 4}, {QMessageBox::Ignore, 5}};
        break;
    case 3:
        choices = {{QMessageBox::Yes, 6}, {QMessageBox::No, 7}, {QMessageBox::Cancel, 2}};
        break;
    case 4:
        choices = {{QMessageBox::Yes, 6}, {QMessageBox::No, 7}};
        break;
    case 5:
        choices = {{QMessageBox::Retry, 4}, {QMessageBox::Cancel, 2}};
        break;
    default:
        choices = {{QMessageBox::Ok, 1}};
    }
    QMessageBox::StandardButtons buttons;
    for (const Choice& c : choices)
        buttons |= c.button;
    box->setStandardButtons(buttons);
    // Plain captions: the style would put its stock pictures on OK, Yes and No.
    for (QAbstractButton* button : box->buttons())
        button->setIcon(QIcon());
    if (box->icon() == QMessageBox::NoIcon) dropIndent(*box);
    const size_t def = std::min<size_t>(static_cast<size_t>((style >> 8) & 3), choices.size() - 1);
    box->setDefaultButton(choices[def].button);
    // The pet stays above other windows; its messages must not open beneath it.
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    return box;
}

int QtMessageBoxes::answer(int clicked, const std::vector<Choice>& choices) {
    for (const Choice& c : choices)
        if (c.button == clicked) return c.answer;
    // Closed without a button: the answer of Cancel where there is one, else the last.
    for (const Choice& c : choices)
        if (c.answer == 2) return 2;
    return choices.back().answer;
}

int QtMessageBoxes::MsgBox(const std::string& prompt, int style, const std::string& caption) {
    std::vector<Choice> choices;
    const std::unique_ptr<QMessageBox> box = build(prompt, style, caption, choices);
    return answer(box->exec(), choices);
}
