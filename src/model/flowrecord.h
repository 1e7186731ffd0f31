#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace model {

struct FlowNode;

// The five tree fields that together find a node's row in a flow table.
struct NodeIdentity
{
    QString parentKey; // "0_" for a top-level node
    QString key;
    QString text;
    int image = 1;
    int selectedImage = 2;

    static NodeIdentity of(const FlowNode &node);
    bool operator==(const NodeIdentity &) const = default;
};

// Column values of a row, by column name as spelled in kFlowColumns; a null QVariant
// stands for Null.
using ColumnValues = QMap<QString, QVariant>;

namespace flowcolumns {
// All seventeen columns of a flow table, in their order.
QStringList all();
// The tree columns and the property columns (the twelve after them, in table order).
QStringList treeColumns();
QStringList propertyColumns();
// The column as spelled in the table definition, for a name in any case; empty if none.
QString canonical(const QString &name);
// The size limit of a text column (0 for the integer columns).
int textSize(const QString &column);
// The property columns the grid shows for a call function (node text trimmed and
// lower-cased); empty for a text that names no call function.
QStringList shownFor(const QString &nodeText);
// The defaults a new row receives on first selection.
ColumnValues defaultsFor(const NodeIdentity &node);
} // namespace flowcolumns

} // namespace model
