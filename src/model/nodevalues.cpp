#include "nodevalues.h"

#include <cmath>

namespace model {

namespace {

bool isNumeric(const QString &text)
{
    bool ok = false;
    text.trimmed().toDouble(&ok);
    return ok;
}

} // namespace

NodeValues NodeValues::fromRow(const std::optional<ColumnValues> &row,
                               const QString &nodeText)
{
    NodeValues v;
    if (!row) {
        v.voicefile = QStringLiteral("Novoice.wav");
        v.ignoreKeys = QStringLiteral("True");
        v.inputid = nodeText;
        v.inputmaxlen = QStringLiteral("4");
        v.inputstyle = QStringLiteral("Cut-Through: NO");
        v.inputTerm = QStringLiteral("#");
        v.inputtype = QStringLiteral("Text");
        v.firstTimeoutInterval = QStringLiteral("30");
        v.interTimeoutInterval = QStringLiteral("30");
        v.prompttxt = QStringLiteral("please type tts text for ") + nodeText;
        v.maxReclen = 60;
        return v;
    }
    auto text = [&row](const char *column, const QString &nullValue) {
        const QVariant value = row->value(QString::fromLatin1(column));
        return value.isNull() ? nullValue : value.toString();
    };
    v.voicefile = text("voicefile", QStringLiteral("Novoice.wav"));
    v.ignoreKeys = text("IgnoreKeys", QStringLiteral("True"));
    v.inputid = text("inputid", QStringLiteral("NeedInputID"));
    v.inputmaxlen = text("inputmaxlen", QStringLiteral("4"));
    if (!isNumeric(v.inputmaxlen))
        v.inputmaxlen = QStringLiteral("4");
    v.inputstyle = text("inputstyle", QStringLiteral("Cut-Through: NO"));
    v.inputTerm = text("InputTerm", QStringLiteral("#"));
    v.inputtype = text("inputtype", QStringLiteral("Text"));
    v.firstTimeoutInterval = text("FirstTimeoutInterval", QStringLiteral("30"));
    v.interTimeoutInterval = text("InterTimeoutInterval", QStringLiteral("30"));
    v.prompttxt = text("prompttxt", QStringLiteral("Please enter TTS text for ") + nodeText);
    // No page uses the recording length; a value that is no 16-bit number must not stop
    // the run, so it takes the default.
    bool ok = false;
    const double length = text("MaxReclen", QStringLiteral("60")).trimmed().toDouble(&ok);
    v.maxReclen = ok && length >= -32768.5 && length <= 32767.5 ? int(std::lround(length)) : 60;
    return v;
}

} // namespace model
