#include "flowrecord.h"

#include "flowtree.h"

namespace model {

NodeIdentity NodeIdentity::of(const FlowNode &node)
{
    return {node.parentKey(), node.key, node.text, node.image, node.selectedImage};
}

namespace flowcolumns {

namespace {
struct ColumnDef
{
    const char *name;
    int size; // 0: integer column
};
const ColumnDef kColumns[] = {
    {"key", 4},         {"parent", 4},      {"text", 30},        {"image", 0},
    {"selectedimage", 0}, {"voicefile", 35}, {"IgnoreKeys", 6},   {"inputid", 30},
    {"inputmaxlen", 2}, {"inputstyle", 30}, {"InputTerm", 1},    {"inputtype", 30},
    {"FirstTimeoutInterval", 2}, {"InterTimeoutInterval", 2}, {"MaxReclen", 2},
    {"prompttxt", 200},
};
} // namespace

QStringList all()
{
    // Built once: the generator looks a column up for every field of every node's row.
    static const QStringList names = [] {
        QStringList list{QStringLiteral("ID")};
        for (const ColumnDef &c : kColumns)
            list << QString::fromLatin1(c.name);
        return list;
    }();
    return names;
}

QStringList treeColumns()
{
    return all().mid(1, 5);
}

QStringList propertyColumns()
{
    return all().mid(6);
}

QString canonical(const QString &name)
{
    for (const QString &c : all()) {
        if (c.compare(name, Qt::CaseInsensitive) == 0)
            return c;
    }
    return {};
}

int textSize(const QString &column)
{
    for (const ColumnDef &c : kColumns) {
        if (column.compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0)
            return c.size;
    }
    return 0;
}

QStringList shownFor(const QString &nodeText)
{
    const QString t = nodeText.trimmed().toLower();
    const QStringList plain{QStringLiteral("voicefile"), QStringLiteral("prompttxt")};
    const QStringList digits{QStringLiteral("voicefile"), QStringLiteral("FirstTimeoutInterval"),
                             QStringLiteral("InterTimeoutInterval"), QStringLiteral("IgnoreKeys"),
                             QStringLiteral("inputstyle"), QStringLiteral("InputTerm"),
                             QStringLiteral("inputtype"), QStringLiteral("prompttxt")};
    const QStringList record{QStringLiteral("voicefile"), QStringLiteral("FirstTimeoutInterval"),
                             QStringLiteral("InterTimeoutInterval"), QStringLiteral("IgnoreKeys"),
                             QStringLiteral("MaxReclen"), QStringLiteral("InputTerm"),
                             QStringLiteral("prompttxt")};
    if (t == u"get user id digits" || t == u"get password digits" || t == u"get option digits"
        || t == u"play message options")
        return digits;
    if (t == u"record message")
        return record;
    if (t == u"answer call" || t == u"play main greetings" || t == u"play personal greetings"
        || t == u"process recorded messages" || t == u"delete recorded message"
        || t == u"save recorded message" || t == u"re-record messages"
        || t == u"hear recorded message" || t == u"hangup")
        return plain;
    return {};
}

ColumnValues defaultsFor(const NodeIdentity &node)
{
    return {
        {QStringLiteral("parent"), node.parentKey},
        {QStringLiteral("key"), node.key},
        {QStringLiteral("text"), node.text},
        {QStringLiteral("image"), node.image},
        {QStringLiteral("selectedimage"), node.selectedImage},
        {QStringLiteral("voicefile"), QStringLiteral(".wav")},
        {QStringLiteral("IgnoreKeys"), QStringLiteral("True")},
        {QStringLiteral("inputid"), node.text},
        {QStringLiteral("inputmaxlen"), 4},
        {QStringLiteral("inputstyle"), QStringLiteral("Cut-Through: NO")},
        {QStringLiteral("InputTerm"), QStringLiteral("#")},
        {QStringLiteral("inputtype"), QStringLiteral("Text")},
        {QStringLiteral("FirstTimeoutInterval"), 30},
        {QStringLiteral("InterTimeoutInterval"), 30},
        {QStringLiteral("prompttxt"), QStringLiteral("Type text to be spoken here.")},
        {QStringLiteral("MaxReclen"), 60},
    };
}

} // namespace flowcolumns
} // namespace model
