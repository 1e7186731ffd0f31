#include "flowtransfer.h"

#include "flowrules.h"
#include "flowwriter.h"

#include "model/flowstore.h"

#include <QDir>

namespace flowjson {

namespace {

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

ExportResult exportFlow(const QString &databasePath, const QString &table)
{
    ExportResult result;
    FlowContent content;
    {
        model::FlowStore store(databasePath, table);
        if (!store.isOpen()) {
            result.error = QStringLiteral("Cannot read the flow database %1: %2")
                               .arg(nativePath(databasePath), store.errorString());
            return result;
        }
        QString error;
        const QStringList tables = store.tables(&error);
        if (!error.isEmpty()) {
            result.error = QStringLiteral("Cannot read the flow database %1: %2")
                               .arg(nativePath(databasePath), error);
            return result;
        }
        if (!tables.contains(table, Qt::CaseInsensitive)) {
            result.error = QStringLiteral("The flow database %1 has no table %2.")
                               .arg(nativePath(databasePath), table);
            return result;
        }
        if (!store.isFlowTable(table)) {
            result.error = QStringLiteral("The table %1 does not hold a flow.").arg(table);
            return result;
        }
        store.beginReading();
        bool ok = store.loadInto(content.tree, &error, &result.skipped);
        const QStringList properties = model::flowcolumns::propertyColumns();
        for (const model::FlowNode *node : content.tree.depthFirst()) {
            if (!ok)
                break;
            const auto row = store.fetchRow(model::NodeIdentity::of(*node), &error);
            ok = error.isEmpty();
            model::ColumnValues values;
            for (const QString &column : properties) {
                const QVariant value = row ? row->value(column) : QVariant();
                if (!value.isNull())
                    values.insert(column, value.toString());
            }
            if (!values.isEmpty())
                content.properties.insert(node->key, values);
        }
        store.endReading();
        if (!ok) {
            result.error = QStringLiteral("Cannot read the table %1: %2").arg(table, error);
            return result;
        }
    }
    const QStringList problems = rules::flowProblems(content.tree, content.properties);
    if (!problems.isEmpty()) {
        result.error = QStringLiteral("The flow in table %1 cannot be written as a flow file:\n")
                           .arg(table)
                       + rules::summary(problems);
        return result;
    }
    result.bytes = writeFlow(content.tree, content.properties);
    result.ok = true;
    return result;
}

} // namespace flowjson
