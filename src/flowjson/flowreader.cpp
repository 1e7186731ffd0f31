#include "flowreader.h"

#include "flowformat.h"
#include "flowrules.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <algorithm>

namespace flowjson {

namespace {

class Reader
{
public:
    explicit Reader(FlowContent *content)
        : m_content(content)
    {
    }

    QStringList problems() const { return m_problems; }

    void read(const QByteArray &bytes)
    {
        if (bytes.trimmed().isEmpty()) {
            problem(QString(), QStringLiteral("the file is empty."));
            return;
        }
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
        if (error.error != QJsonParseError::NoError) {
            problem(position(bytes, error.offset),
                    QStringLiteral("this is not valid JSON: %1.").arg(error.errorString()));
            return;
        }
        if (!document.isObject()) {
            problem(QString(), QStringLiteral("the file does not hold a JSON object."));
            return;
        }
        const QJsonObject top = document.object();
        const QJsonValue name = top.value(QLatin1String("format"));
        if (name.toString() != format::name()) {
            problem(QString(), QStringLiteral("this is not a flow file: its \"format\" is not "
                                              "\"%1\".").arg(format::name()));
            return;
        }
        const QJsonValue version = top.value(QLatin1String("version"));
        if (version.toDouble(-1) != format::kVersion) {
            problem(QStringLiteral("version"),
                    (version.isDouble() ? QStringLiteral("version %1 is not known")
                                              .arg(QString::number(version.toDouble(), 'g', 17))
                                        : QStringLiteral("the version number is missing"))
                        + QStringLiteral("; this program reads version %1.")
                              .arg(format::kVersion));
            return;
        }
        const QJsonValue nodes = top.value(QLatin1String("nodes"));
        if (!nodes.isArray()) {
            problem(QStringLiteral("nodes"), QStringLiteral("a list of nodes is needed here."));
            return;
        }
        unknownMembers(top, {"format", "version", "nodes"}, QString());
        readNodes(nodes.toArray(), QStringLiteral("nodes"), nullptr);
    }

private:
    void problem(const QString &place, const QString &text)
    {
        const QString sentence = text.at(0).toUpper() + text.mid(1);
        m_problems << (place.isEmpty() ? sentence : place + QStringLiteral(": ") + text);
    }

    // "line L, column C" of a byte offset, columns counted in characters.
    static QString position(const QByteArray &bytes, int offset)
    {
        const QByteArray before = bytes.left(offset);
        const qsizetype lineStart = before.lastIndexOf('\n') + 1;
        return QStringLiteral("line %1, column %2")
            .arg(before.count('\n') + 1)
            .arg(QString::fromUtf8(before.mid(lineStart)).size() + 1);
    }

    void unknownMembers(const QJsonObject &object, std::initializer_list<const char *> known,
                        const QString &place)
    {
        for (auto it = object.begin(); it != object.end(); ++it) {
            const QString member = it.key();
            if (std::none_of(known.begin(), known.end(),
                             [&](const char *k) { return member == QLatin1String(k); }))
                problem(place, QStringLiteral("\"%1\" is not a member the format knows.")
                                   .arg(member));
        }
    }

    void readNodes(const QJsonArray &nodes, const QString &path, model::FlowNode *parent)
    {
        for (qsizetype i = 0; i < nodes.size(); ++i) {
            const QString place = QStringLiteral("%1[%2]").arg(path).arg(i);
            if (!nodes.at(i).isObject()) {
                problem(place, QStringLiteral("a node must be a JSON object."));
                continue;
            }
            readNode(nodes.at(i).toObject(), place, parent);
        }
    }

    // `path` locates the node in the file; problems name the node by it and by its key.
    void readNode(const QJsonObject &object, const QString &path, model::FlowNode *parent)
    {
        QString place = path;
        const QJsonValue keyValue = object.value(QLatin1String("key"));
        const QString key = keyValue.toString();
        if (!keyValue.isString()) {
            problem(place, QStringLiteral("the node has no \"key\" text."));
        } else {
            QString why = rules::keyProblem(key);
            place += QStringLiteral(" (node %1)").arg(key);
            if (why.isEmpty() && m_keys.contains(key))
                why = QStringLiteral("the key %1 is used by an earlier node, %2.")
                          .arg(key, m_keys.value(key));
            if (!why.isEmpty())
                problem(place, why);
            else
                m_keys.insert(key, path);
        }
        unknownMembers(object, {"key", "text", "image", "selectedimage", "properties",
                                "children"}, place);

        const QJsonValue textValue = object.value(QLatin1String("text"));
        if (!textValue.isString())
            problem(place, QStringLiteral("the node has no \"text\" naming its call function."));
        else if (const QString why = rules::textProblem(textValue.toString()); !why.isEmpty())
            problem(place, why);
        int images[2] = {1, 2};
        const char *imageNames[2] = {"image", "selectedimage"};
        for (int i = 0; i < 2; ++i) {
            const QJsonValue value = object.value(QLatin1String(imageNames[i]));
            if (value.isUndefined())
                continue;
            const QString why = value.isDouble()
                                    ? rules::imageProblem(value.toDouble())
                                    : QStringLiteral("a whole number is needed here.");
            if (!why.isEmpty())
                problem(place + QStringLiteral(", %1").arg(QLatin1String(imageNames[i])), why);
            else
                images[i] = int(value.toDouble());
        }
        model::ColumnValues values;
        const QJsonValue properties = object.value(QLatin1String("properties"));
        if (properties.isObject())
            readProperties(properties.toObject(), place, &values);
        else if (!properties.isUndefined())
            problem(place, QStringLiteral("\"properties\" must be a JSON object."));

        model::FlowNode *node = nullptr;
        // Once anything is wrong nothing will be written, so the tree is no longer built;
        // the rest of the file is still read for its problems.
        if (m_problems.isEmpty()) {
            model::FlowTree &tree = m_content->tree;
            node = parent ? tree.add(parent, model::FlowTree::Relation::LastChild, key,
                                     textValue.toString(), images[0], images[1])
                          : tree.addTopLevel(key, textValue.toString(), images[0], images[1]);
            if (!values.isEmpty())
                m_content->properties.insert(key, values);
        }
        const QJsonValue children = object.value(QLatin1String("children"));
        if (children.isArray())
            readNodes(children.toArray(), path + QStringLiteral(".children"), node);
        else if (!children.isUndefined())
            problem(place, QStringLiteral("\"children\" must be a list of nodes."));
    }

    void readProperties(const QJsonObject &object, const QString &place,
                        model::ColumnValues *values)
    {
        static const QStringList columns = model::flowcolumns::propertyColumns();
        QSet<QString> seen;
        for (auto it = object.begin(); it != object.end(); ++it) {
            const QString column = model::flowcolumns::canonical(it.key());
            const QString at = QStringLiteral("%1, property %2").arg(place, it.key());
            QString why;
            if (!columns.contains(column))
                why = QStringLiteral("there is no property column of that name.");
            else if (seen.contains(column))
                why = QStringLiteral("the property is given twice.");
            else if (!it.value().isString() && !it.value().isNull())
                why = QStringLiteral("the value must be a text in double quotes.");
            else if (it.value().isString())
                why = rules::valueProblem(column, it.value().toString());
            seen.insert(column);
            if (!why.isEmpty())
                problem(at, why);
            else if (it.value().isString())
                values->insert(column, it.value().toString());
        }
    }

    FlowContent *m_content;
    QStringList m_problems;
    QHash<QString, QString> m_keys; // key -> path of the node that has it
};

} // namespace

bool readFlow(const QByteArray &bytes, FlowContent *content, QStringList *problems)
{
    content->tree.clear();
    content->properties.clear();
    Reader reader(content);
    reader.read(bytes);
    if (problems)
        *problems = reader.problems();
    return reader.problems().isEmpty();
}

} // namespace flowjson
