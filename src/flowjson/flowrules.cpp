#include "flowrules.h"

#include "model/catalogue.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <cmath>

#include <limits>

namespace flowjson::rules {

namespace {

// Characters as the store counts them: a character outside the basic plane is one.
qsizetype characterCount(const QString &text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!(text.at(i).isHighSurrogate() && i + 1 < text.size()
              && text.at(i + 1).isLowSurrogate()))
            ++count;
    }
    return count;
}

QString fitProblem(const QString &column, const QString &value)
{
    if (!QStringView(value).isValidUtf16())
        return QStringLiteral("the text holds a broken character (a lone surrogate).");
    if (value.contains(QChar(u'\0')))
        return QStringLiteral("the text holds a NUL character.");
    // Looked up for every value of every node: a table built once.
    static const QHash<QString, int> sizes = [] {
        QHash<QString, int> table;
        for (const QString &name : model::flowcolumns::all())
            table.insert(name, model::flowcolumns::textSize(name));
        return table;
    }();
    const int size = sizes.value(column, model::flowcolumns::textSize(column));
    const qsizetype length = characterCount(value);
    if (length > size)
        return QStringLiteral("%1 characters are too many; the column %2 takes at most %3.")
            .arg(length)
            .arg(model::flowcolumns::canonical(column))
            .arg(size);
    return {};
}

} // namespace

QString keyProblem(const QString &key)
{
    const bool digitsThenUnderscore =
        key.size() >= 2 && key.back() == u'_'
        && std::all_of(key.cbegin(), key.cend() - 1,
                       [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!digitsThenUnderscore)
        return QStringLiteral("the key \"%1\" is not a number followed by an underscore, "
                              "like \"12_\".").arg(key);
    if (key == u"0_")
        return QStringLiteral("the key \"0_\" stands for the top level and names no node.");
    if (key.front() == u'0')
        return QStringLiteral("the key \"%1\" has a leading zero.").arg(key);
    return fitProblem(QStringLiteral("key"), key);
}

QString textProblem(const QString &text)
{
    static const QSet<QString> names = [] {
        QSet<QString> set;
        for (const model::CallFunction &f : model::Catalogue::seedRows())
            set.insert(f.functionName.toLower());
        return set;
    }();
    if (!names.contains(text.toLower()))
        return QStringLiteral("\"%1\" is not the name of a call function.").arg(text);
    return {};
}

QString imageProblem(double image)
{
    if (image != std::trunc(image) || image < std::numeric_limits<qint16>::min()
        || image > std::numeric_limits<qint16>::max())
        return QStringLiteral("the image index %1 is not a whole number from %2 to %3.")
            .arg(QString::number(image, 'g', 17))
            .arg(std::numeric_limits<qint16>::min())
            .arg(std::numeric_limits<qint16>::max());
    return {};
}

QString valueProblem(const QString &column, const QString &value)
{
    return fitProblem(column, value);
}

QStringList flowProblems(const model::FlowTree &tree, const PropertiesByKey &properties)
{
    QStringList problems;
    for (const model::FlowNode *node : tree.depthFirst()) {
        const QString place = QStringLiteral("node %1").arg(node->key);
        for (const QString &problem : {keyProblem(node->key), textProblem(node->text),
                                       imageProblem(node->image),
                                       imageProblem(node->selectedImage)}) {
            if (!problem.isEmpty())
                problems << place + QStringLiteral(": ") + problem;
        }
        int depth = 0;
        for (const model::FlowNode *n = node; n; n = n->parent)
            ++depth;
        if (depth == kMaxDepth + 1)
            problems << place + QStringLiteral(": the flow is nested more than %1 levels deep, "
                                               "more than a flow file can hold.").arg(kMaxDepth);
        const model::ColumnValues values = properties.value(node->key);
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            const QString problem = valueProblem(it.key(), it.value().toString());
            if (!problem.isEmpty())
                problems << QStringLiteral("%1, property %2: %3").arg(place, it.key(), problem);
        }
    }
    return problems;
}

QString summary(const QStringList &problems)
{
    // A damaged file can be wrong everywhere; the first few problems are what a person can
    // act on.
    constexpr int shown = 10;
    QString text = problems.mid(0, shown).join(u'\n');
    if (problems.size() > shown)
        text += QStringLiteral("\n... and %1 more.").arg(problems.size() - shown);
    return text;
}

} // namespace flowjson::rules
