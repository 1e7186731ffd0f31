#include "templatefill.h"

#include <QVarLengthArray>

namespace codegen {

namespace {
constexpr QChar kOpen = u'«';
constexpr QChar kClose = u'»';

// A placeholder name is a non-empty run of letters, digits and underscores; anything else
// between guillemets is text of the page.
bool isName(QStringView name)
{
    if (name.isEmpty())
        return false;
    for (const QChar c : name) {
        if (!c.isLetterOrNumber() && c != u'_')
            return false;
    }
    return true;
}
} // namespace

QStringList fill(QStringView templateText, std::initializer_list<TemplateValue> values,
                 QStringList *problems)
{
    QStringList found;
    QVarLengthArray<bool, 16> used(qsizetype(values.size()), false);

    QStringView text = templateText;
    if (text.startsWith(u'\n'))
        text = text.mid(1);
    if (text.endsWith(u'\n'))
        text.chop(1);

    QStringList lines;
    QString line;
    qsizetype run = 0; // start of the text not yet copied into `line`
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\n') {
            line += text.mid(run, i - run);
            lines.append(line);
            line.clear();
            run = i + 1;
            continue;
        }
        if (c != kOpen)
            continue;
        const qsizetype end = text.indexOf(kClose, i + 1);
        const QStringView name = end > i ? text.mid(i + 1, end - i - 1) : QStringView();
        if (!isName(name))
            continue;
        line += text.mid(run, i - run);
        qsizetype index = 0;
        bool known = false;
        for (const TemplateValue &v : values) {
            if (v.name == name) {
                line += v.value;
                used[index] = true;
                known = true;
                break;
            }
            ++index;
        }
        if (!known) {
            found << QStringLiteral("No value for «%1».").arg(name);
            line += text.mid(i, end - i + 1);
        }
        i = end;
        run = end + 1;
    }
    line += text.mid(run);
    lines.append(line);

    qsizetype index = 0;
    for (const TemplateValue &v : values) {
        if (!used[index++])
            found << QStringLiteral("The value «%1» is not used.").arg(v.name);
    }
    if (problems)
        *problems = found;
    else
        Q_ASSERT_X(found.isEmpty(), "codegen::fill", qPrintable(found.join(u' ')));
    return lines;
}

QString fillLine(QStringView templateText, std::initializer_list<TemplateValue> values)
{
    const QStringList lines = fill(templateText, values);
    Q_ASSERT(lines.size() == 1);
    return lines.value(0);
}

} // namespace codegen
