#include "noderows.h"

namespace model {

namespace {
// What COLLATE NOCASE folds: the ASCII letters only.
void appendFolded(QString &out, const QString &text)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        out += u >= u'A' && u <= u'Z' ? QChar(u + 32) : c;
    }
}
} // namespace

QString NodeRows::hashKey(const NodeIdentity &node)
{
    QString key;
    key.reserve(node.parentKey.size() + node.key.size() + node.text.size() + 16);
    appendFolded(key, node.parentKey);
    key += u'\x1f';
    appendFolded(key, node.key);
    key += u'\x1f';
    appendFolded(key, node.text);
    key += u'\x1f' + QString::number(node.image) + u'\x1f' + QString::number(node.selectedImage);
    return key;
}

void NodeRows::insert(const NodeIdentity &node, const QVariantList &properties)
{
    const QString key = hashKey(node);
    if (!m_rows.contains(key))
        m_rows.insert(key, properties);
}

std::optional<ColumnValues> NodeRows::find(const NodeIdentity &node) const
{
    const auto it = m_rows.constFind(hashKey(node));
    if (it == m_rows.constEnd())
        return std::nullopt;
    const QStringList columns = flowcolumns::propertyColumns();
    ColumnValues values;
    for (qsizetype i = 0; i < columns.size() && i < it->size(); ++i)
        values.insert(columns.at(i), it->at(i));
    return values;
}

QVariantList NodeRows::properties(const NodeIdentity &node) const
{
    return m_rows.value(hashKey(node));
}

} // namespace model
