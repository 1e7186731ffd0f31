#include "flowtransfer.h"

#include "flowrules.h"
#include "flowwriter.h"

#include "model/sqlconnection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace flowjson {

namespace {

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Opens the database and makes sure `table` is a flow table in it; else the reason.
QString checkFlowTable(const model::FlowStore &store, const QString &table, bool *exists)
{
    if (!store.isOpen())
        return QStringLiteral("Cannot open the flow database %1: %2")
            .arg(nativePath(store.databasePath()), store.errorString());
    QString error;
    *exists = store.tables(&error).contains(table, Qt::CaseInsensitive);
    if (!error.isEmpty())
        return QStringLiteral("Cannot read the flow database %1: %2")
            .arg(nativePath(store.databasePath()), error);
    if (*exists && !store.isFlowTable(table))
        return QStringLiteral("The table %1 does not hold a flow: %2")
            .arg(table, store.whyNotFlowTable(table));
    return {};
}

// The file of the table's flow as loaded, or of `shown` with the properties of the table's
// rows.
ExportResult exportTable(const QString &databasePath, const QString &table,
                         const model::FlowTree *shown)
{
    ExportResult result;
    model::FlowTree loaded;
    std::optional<model::NodeRows> rows;
    {
        model::FlowStore store(databasePath, table);
        bool exists = false;
        result.error = checkFlowTable(store, table, &exists);
        if (result.error.isEmpty() && !exists)
            result.error = QStringLiteral("The flow database %1 has no table %2.")
                               .arg(nativePath(databasePath), table);
        if (!result.error.isEmpty())
            return result;
        QString error;
        store.beginReading();
        rows = store.readRows(&error);
        const bool read = rows && (shown || store.loadInto(loaded, &error, &result.skipped));
        store.endReading();
        if (!read) {
            result.error = QStringLiteral("Cannot read the table %1: %2").arg(table, error);
            return result;
        }
    }
    // The node that loading gives an empty table is not in it.
    if (!shown && rows->size() == 0)
        loaded.clear();
    const model::FlowTree &tree = shown ? *shown : loaded;
    PropertiesByKey properties;
    for (const model::FlowNode *node : tree.depthFirst()) {
        const auto row = rows->find(model::NodeIdentity::of(*node));
        if (!row)
            continue;
        model::ColumnValues values;
        for (auto it = row->cbegin(); it != row->cend(); ++it) {
            if (!it.value().isNull())
                values.insert(it.key(), it.value().toString());
        }
        if (!values.isEmpty())
            properties.insert(node->key, values);
    }
    const QStringList problems = rules::flowProblems(tree, properties);
    if (!problems.isEmpty()) {
        result.error = QStringLiteral("The flow in table %1 cannot be written as a flow file:\n")
                           .arg(table)
                       + rules::summary(problems);
        return result;
    }
    result.bytes = writeFlow(tree, properties);
    result.ok = true;
    return result;
}

} // namespace

ExportResult exportFlow(const QString &databasePath, const QString &table)
{
    return exportTable(databasePath, table, nullptr);
}

ExportResult exportTree(const model::FlowTree &tree, const QString &databasePath,
                        const QString &table)
{
    return exportTable(databasePath, table, &tree);
}

ImportResult importFlow(const FlowContent &content, const QString &databasePath,
                        const QString &table, bool replace)
{
    ImportResult result;
    if (QString why; !model::isValidTableName(table, &why)) {
        result.error = QStringLiteral("Table name %1: %2").arg(table, why);
        return result;
    }
    model::NodeRows rows;
    const QStringList columns = model::flowcolumns::propertyColumns();
    for (const model::FlowNode *node : content.tree.depthFirst()) {
        const model::ColumnValues values = content.properties.value(node->key);
        QVariantList list;
        for (const QString &column : columns)
            list << values.value(column);
        rows.insert(model::NodeIdentity::of(*node), list);
    }

    // A database file made here is removed again when the import fails, so that a refused
    // import leaves nothing behind.
    const bool newFile = !QFileInfo::exists(databasePath);
    if (newFile) {
        model::SqlConnection create(databasePath, model::SqlConnection::Mode::CreateIfMissing);
        if (!create.isOpen()) {
            result.error = QStringLiteral("Cannot create the flow database %1: %2")
                               .arg(nativePath(databasePath), create.errorString());
            return result;
        }
    }
    {
        model::FlowStore store(databasePath, table);
        bool exists = false;
        result.error = checkFlowTable(store, table, &exists);
        result.refusedAsExisting = result.error.isEmpty() && exists && !replace;
        if (result.refusedAsExisting)
            result.error = QStringLiteral("The table %1 already exists in %2.")
                               .arg(table, nativePath(databasePath));
        QString error;
        if (result.error.isEmpty()
            && !(exists ? store.writeTree(content.tree, rows, &error)
                        : store.writeNewTable(content.tree, rows, &error)))
            result.error = QStringLiteral("Nothing was written to the table %1: %2")
                               .arg(table, error);
    }
    if (!result.error.isEmpty() && newFile)
        QFile::remove(databasePath);
    result.ok = result.error.isEmpty();
    return result;
}

} // namespace flowjson
