#include "screenratio.h"

#include <QStringList>
#include <QtGlobal>

#include <cmath>
#include <cstdio>

namespace screenratio {

namespace {
constexpr const char* kScale = "QT_SCALE_FACTOR";
constexpr const char* kScreens = "QT_SCREEN_SCALE_FACTORS";

// Read as Qt reads it, so that a ratio taken here is the ratio Qt draws at.
bool UsableText(const QString& text) {
    bool ok = false;
    const double ratio = text.toDouble(&ok);
    return ok && Usable(ratio);
}

// The user's text as it may stand in one line: nothing that ends or garbles it, and not
// without end.
QString Quoted(const QString& text) {
    constexpr int kLongest = 60;
    QString shown;
    for (const QChar c : text.left(kLongest))
        shown += c.isPrint() ? c : QChar(u'?');
    return u'"' + shown + (text.size() > kLongest ? QStringLiteral("...\"") : QStringLiteral("\""));
}
} // namespace

bool Usable(double ratio) {
    return std::isfinite(ratio) && ratio >= kLeast && ratio <= kMost;
}

QString Fault(const char* variable, const QString& text) {
    const QString range = QStringLiteral("a number from %1 to %2").arg(kLeast).arg(kMost);
    const QString head =
        QStringLiteral("pimbolet: ignoring %1 %2: ").arg(QLatin1String(variable), Quoted(text));
    if (qstrcmp(variable, kScreens) != 0) {
        if (text.isEmpty() || UsableText(text)) return {};
        return head + QStringLiteral("a screen ratio is ") + range;
    }
    // Each entry is a ratio, or a monitor's name, "=" and its ratio.
    for (const QString& entry : text.split(u';')) {
        if (entry.isEmpty()) continue;
        const QString ratio = entry.mid(entry.lastIndexOf(u'=') + 1);
        if (!UsableText(ratio))
            return head + Quoted(ratio) + QStringLiteral(" is no screen ratio (") + range + u')';
    }
    return {};
}

void IgnoreUnusable() {
    for (const char* variable : {kScale, kScreens}) {
        const QString fault = Fault(variable, qEnvironmentVariable(variable));
        if (fault.isEmpty()) continue;
        std::fprintf(stderr, "%s\n", qPrintable(fault));
        qunsetenv(variable);
    }
}

} // namespace screenratio
