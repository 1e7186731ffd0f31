#include "flowreader.h"

#include "flowformat.h"
#include "flowrules.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <functional>
#include <vector>

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
        if (const qsizetype at = repeatedMember(bytes); at >= 0) {
            problem(position(bytes, int(at)),
                    QStringLiteral("this member is given a second time in its object; only "
                                   "one of the two could be read."));
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
        unknownMembers(top, {"format", "version", "nodes"}, [] { return QString(); });
        readNodes(nodes.toArray(), nullptr);
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

    // The offset of the first member whose name its object already has, or -1. Qt's parser
    // keeps only the last of such members: a node given two "children" by a hand merge
    // would lose one subtree without a word. Runs on a document Qt has accepted, so it
    // only needs to tell names from the strings and structure around them.
    static qsizetype repeatedMember(const QByteArray &bytes)
    {
        std::vector<QList<QByteArrayView>> objects; // the member names of each open object
        const qsizetype size = bytes.size();
        for (qsizetype i = 0; i < size; ++i) {
            const char c = bytes.at(i);
            if (c == '{') {
                objects.emplace_back();
            } else if (c == '}' && !objects.empty()) {
                objects.pop_back();
            } else if (c == '"') {
                const qsizetype start = i;
                for (++i; i < size && bytes.at(i) != '"'; ++i)
                    i += bytes.at(i) == '\\';
                qsizetype next = i + 1;
                while (next < size && QByteArrayView(" \t\r\n").contains(bytes.at(next)))
                    ++next;
                if (next >= size || bytes.at(next) != ':' || objects.empty())
                    continue;
                const QByteArrayView name(bytes.constData() + start, i + 1 - start);
                if (objects.back().contains(name))
                    return start;
                objects.back().append(name);
            }
        }
        return -1;
    }

    // Members the format does not know are refused, so a typing error never drops a value.
    void unknownMembers(const QJsonObject &object, const QStringList &known,
                        const std::function<QString()> &place)
    {
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (!known.contains(it.key()))
                problem(place(), QStringLiteral("\"%1\" is not a member the format knows.")
                                     .arg(it.key()));
        }
    }

    // The place of the node being read: "nodes[0].children[2]", and its key once known.
    // Built only for a problem: a deep flow would spend its time on texts never shown.
    static QString pathText(const QList<qsizetype> &path)
    {
        QString text = QStringLiteral("nodes");
        for (qsizetype i = 0; i < path.size(); ++i)
            text += (i > 0 ? QStringLiteral(".children[") : QStringLiteral("[")) +
                    QString::number(path.at(i)) + u']';
        return text;
    }

    QString place(const QString &key = QString()) const
    {
        return key.isNull() ? pathText(m_path)
                            : QStringLiteral("%1 (node %2)").arg(pathText(m_path), key);
    }

    void readNodes(const QJsonArray &nodes, model::FlowNode *parent)
    {
        for (qsizetype i = 0; i < nodes.size(); ++i) {
            m_path.append(i);
            if (nodes.at(i).isObject())
                readNode(nodes.at(i).toObject(), parent);
            else
                problem(place(), QStringLiteral("a node must be a JSON object."));
            m_path.removeLast();
        }
    }

    void readNode(const QJsonObject &object, model::FlowNode *parent)
    {
        const QJsonValue keyValue = object.value(QLatin1String("key"));
        // Null while the node has no key text; problems then name the node by its place alone.
        const QString key = keyValue.isString() ? keyValue.toString() : QString();
        if (key.isNull()) {
            problem(place(), QStringLiteral("the node has no \"key\" text."));
        } else {
            QString why = rules::keyProblem(key);
            if (why.isEmpty() && m_keys.contains(key))
                why = QStringLiteral("the key %1 is used by an earlier node, %2.")
                          .arg(key, pathText(m_keys.value(key)));
            if (!why.isEmpty())
                problem(place(key), why);
            else
                m_keys.insert(key, m_path);
        }
        static const QStringList members{"key", "text", "image", "selectedimage", "properties",
                                         "children"};
        unknownMembers(object, members, [&] { return place(key); });

        const QJsonValue textValue = object.value(QLatin1String("text"));
        if (!textValue.isString())
            problem(place(key),
                    QStringLiteral("the node has no \"text\" naming its call function."));
        else if (const QString why = rules::textProblem(textValue.toString()); !why.isEmpty())
            problem(place(key), why);
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
                problem(place(key) + QStringLiteral(", %1").arg(QLatin1String(imageNames[i])),
                        why);
            else
                images[i] = int(value.toDouble());
        }
        model::ColumnValues values;
        const QJsonValue properties = object.value(QLatin1String("properties"));
        if (properties.isObject())
            readProperties(properties.toObject(), key, &values);
        else if (!properties.isUndefined())
            problem(place(key), QStringLiteral("\"properties\" must be a JSON object."));

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
            readNodes(children.toArray(), node);
        else if (!children.isUndefined())
            problem(place(key), QStringLiteral("\"children\" must be a list of nodes."));
    }

    void readProperties(const QJsonObject &object, const QString &key,
                        model::ColumnValues *values)
    {
        static const QStringList columns = model::flowcolumns::propertyColumns();
        QSet<QString> seen;
        for (auto it = object.begin(); it != object.end(); ++it) {
            const QString name = it.key();
            const QString column =
                columns.contains(name) ? name : model::flowcolumns::canonical(name);
            const QJsonValue value = it.value();
            const QString text = value.toString(); // converted once: the file holds UTF-8
            QString why;
            if (!columns.contains(column))
                why = QStringLiteral("there is no property column of that name.");
            else if (seen.contains(column))
                why = QStringLiteral("the property is given twice.");
            else if (!value.isString() && !value.isNull())
                why = QStringLiteral("the value must be a text in double quotes.");
            else if (value.isString())
                why = rules::valueProblem(column, text);
            seen.insert(column);
            if (!why.isEmpty())
                problem(QStringLiteral("%1, property %2").arg(place(key), name), why);
            else if (value.isString())
                values->insert(column, text);
        }
    }

    FlowContent *m_content;
    QStringList m_problems;
    QList<qsizetype> m_path;                  // of the node being read
    QHash<QString, QList<qsizetype>> m_keys; // key -> path of the node that has it
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

bool readFlowFile(const QString &path, FlowContent *content, QStringList *problems)
{
    QFile file(path);
    QByteArray bytes;
    if (!file.open(QIODevice::ReadOnly) || (bytes = file.readAll()).size() != file.size()) {
        if (problems)
            *problems = {QStringLiteral("The file cannot be read: %1").arg(file.errorString())};
        return false;
    }
    return readFlow(bytes, content, problems);
}

} // namespace flowjson
