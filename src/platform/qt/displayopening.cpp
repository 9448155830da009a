#include "displayopening.h"

#include <QList>
#include <QMessageLogContext>

#include <cstdio>
#include <cstdlib>

namespace {
struct Held {
    QtMsgType type;
    QByteArray category;
    QString text;
};

QtMessageHandler g_previous = nullptr;
QList<Held>* g_held = nullptr;

void whileOpening(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        const QString line =
            DisplayOpening::failureLine(qgetenv("QT_QPA_PLATFORM"), qgetenv("DISPLAY"));
        std::fprintf(stderr, "%s\n", qPrintable(line));
        std::fflush(stderr);
        std::_Exit(1);
    }
    // Qt explains a failing display in several warnings before giving up: they are said only
    // if the display opens after all.
    g_held->append({type, QByteArray(context.category), text});
}
} // namespace

DisplayOpening::DisplayOpening() {
    g_held = new QList<Held>;
    g_previous = qInstallMessageHandler(whileOpening);
}

DisplayOpening::~DisplayOpening() {
    opened();
}

void DisplayOpening::opened() {
    if (!g_held) return;
    qInstallMessageHandler(g_previous);
    for (const Held& h : std::as_const(*g_held)) {
        const QMessageLogContext context(nullptr, 0, nullptr, h.category.constData());
        qt_message_output(h.type, context, h.text);
    }
    delete g_held;
    g_held = nullptr;
}

QString DisplayOpening::failureLine(const QByteArray& platform, const QByteArray& display) {
    const QString prefix = QStringLiteral("pimbolet: no X display could be opened");
    if (!platform.isEmpty() && !platform.startsWith("xcb"))
        return prefix + QStringLiteral(": the display platform \"%1\" could not be started")
                            .arg(QString::fromLocal8Bit(platform));
    if (display.isEmpty()) return prefix + QStringLiteral(" (DISPLAY is not set)");
    return prefix + QStringLiteral(" at \"%1\"").arg(QString::fromLocal8Bit(display));
}
