#include "callscript.h"

namespace call {

namespace {

bool isKey(QChar c)
{
    return (c >= u'0' && c <= u'9') || c == u'*' || c == u'#';
}

bool allKeys(const QString &text)
{
    return std::all_of(text.begin(), text.end(), isKey);
}

} // namespace

QList<ScriptAction> parseCallScript(const QString &script, QString *error)
{
    QList<ScriptAction> actions;
    if (script.trimmed().isEmpty())
        return actions;
    for (const QString &part : script.split(u',')) {
        const QString text = part.trimmed();
        const QString upper = text.toUpper();
        ScriptAction a;
        a.text = text;
        if (!text.isEmpty() && allKeys(text)) {
            a.kind = ScriptAction::Kind::Keys;
            a.keys = text;
        } else if (upper == u"T") {
            a.kind = ScriptAction::Kind::TimeOut;
        } else if (upper == u"H") {
            a.kind = ScriptAction::Kind::HangUp;
        } else if (upper.startsWith(u'R')) {
            qsizetype digits = 1;
            while (digits < text.size() && text.at(digits).isDigit())
                ++digits;
            bool ok = false;
            a.kind = ScriptAction::Kind::Speak;
            a.seconds = text.mid(1, digits - 1).toInt(&ok);
            a.keys = text.mid(digits);
            if (!ok || a.seconds > 3600 || !allKeys(a.keys)) {
                *error = QStringLiteral("\"%1\" is no recording: write R and the seconds the "
                                        "caller speaks (at most 3600), then any keys, as "
                                        "in R5 or R5#.")
                             .arg(text);
                return {};
            }
        } else {
            *error = QStringLiteral("\"%1\" is no caller action: use keys (0-9, * and #), T "
                                    "for a time-out, H to hang up or R<seconds> to speak.")
                         .arg(text);
            return {};
        }
        actions << a;
    }
    return actions;
}

} // namespace call
