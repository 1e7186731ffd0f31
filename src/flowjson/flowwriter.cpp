#include "flowwriter.h"

#include "flowformat.h"

namespace flowjson {

namespace {

class Printer
{
public:
    Printer(const PropertiesByKey &properties)
        : m_properties(properties)
        , m_columns(model::flowcolumns::propertyColumns())
    {
    }

    QString document(const model::FlowTree &tree)
    {
        m_out.reserve(tree.count() * 400 + 100);
        m_out += u"{\n";
        member(1, u"format");
        string(format::name());
        m_out += u",\n";
        member(1, u"version");
        m_out += QString::number(format::kVersion);
        m_out += u",\n";
        member(1, u"nodes");
        nodes(1, tree.topLevel());
        m_out += u"\n}\n";
        return m_out;
    }

private:
    void indent(int level) { m_out.resize(m_out.size() + level * 2, u' '); }

    void member(int level, QStringView name)
    {
        indent(level);
        m_out += u'"';
        m_out += name;
        m_out += u"\": ";
    }

    void string(const QString &text)
    {
        m_out += u'"';
        for (const QChar c : text) {
            switch (c.unicode()) {
            case u'"': m_out += u"\\\""; break;
            case u'\\': m_out += u"\\\\"; break;
            case u'\b': m_out += u"\\b"; break;
            case u'\f': m_out += u"\\f"; break;
            case u'\n': m_out += u"\\n"; break;
            case u'\r': m_out += u"\\r"; break;
            case u'\t': m_out += u"\\t"; break;
            default:
                if (c.unicode() < 0x20)
                    m_out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QChar(u'0'));
                else
                    m_out += c;
            }
        }
        m_out += u'"';
    }

    // An array of nodes at `level` (the level of the line that opens it).
    void nodes(int level, const std::vector<model::FlowNode *> &list)
    {
        if (list.empty()) {
            m_out += u"[]";
            return;
        }
        m_out += u"[\n";
        for (size_t i = 0; i < list.size(); ++i) {
            node(level + 1, *list[i]);
            m_out += i + 1 < list.size() ? u",\n" : u"\n";
        }
        indent(level);
        m_out += u']';
    }

    void node(int level, const model::FlowNode &n)
    {
        indent(level);
        m_out += u"{\n";
        member(level + 1, u"key");
        string(n.key);
        m_out += u",\n";
        member(level + 1, u"text");
        string(n.text);
        if (n.image != 1 || n.selectedImage != 2) {
            m_out += u",\n";
            member(level + 1, u"image");
            m_out += QString::number(n.image);
            m_out += u",\n";
            member(level + 1, u"selectedimage");
            m_out += QString::number(n.selectedImage);
        }
        const model::ColumnValues values = m_properties.value(n.key);
        bool first = true;
        for (const QString &column : m_columns) {
            const QVariant value = values.value(column);
            if (value.isNull())
                continue;
            m_out += u",\n";
            if (first) {
                member(level + 1, u"properties");
                m_out += u"{\n";
            }
            first = false;
            member(level + 2, column);
            string(value.toString());
        }
        if (!first) {
            m_out += u'\n';
            indent(level + 1);
            m_out += u'}';
        }
        if (!n.children.empty()) {
            m_out += u",\n";
            member(level + 1, u"children");
            nodes(level + 1, n.children);
        }
        m_out += u'\n';
        indent(level);
        m_out += u'}';
    }

    const PropertiesByKey &m_properties;
    const QStringList m_columns;
    QString m_out;
};

} // namespace

QByteArray writeFlow(const model::FlowTree &tree, const PropertiesByKey &properties)
{
    return Printer(properties).document(tree).toUtf8();
}

} // namespace flowjson
