#include "flowstore.h"

#include "flowtree.h"

#include <QDir>
#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlRecord>

#include <cmath>

namespace model {

namespace {

// A 16-bit image index as the loader reads it: a value that is not a whole number in
// range makes the row unloadable, as it would fail the conversion.
std::optional<int> imageIndex(const QVariant &v)
{
    if (v.isNull())
        return std::nullopt;
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok || d < -32768.5 || d > 32767.5)
        return std::nullopt;
    return int(std::lround(d));
}

// The node a row belongs to, from its key, parent, text, image and selectedimage; nullopt
// for a row that matches no node (a Null text equals nothing, an image only a number).
std::optional<NodeIdentity> rowIdentity(const QVariant &key, const QVariant &parent,
                                        const QVariant &text, const QVariant &image,
                                        const QVariant &selected)
{
    const auto imageNumber = imageIndex(image);
    const auto selectedNumber = imageIndex(selected);
    if (!imageNumber || !selectedNumber || key.isNull() || parent.isNull() || text.isNull())
        return std::nullopt;
    return NodeIdentity{parent.toString(), key.toString(), text.toString(), *imageNumber,
                        *selectedNumber};
}

QString conditionSql()
{
    return QStringLiteral(" WHERE \"key\" = ? COLLATE NOCASE AND \"parent\" = ? COLLATE NOCASE"
                          " AND \"text\" = ? COLLATE NOCASE AND \"image\" = ?"
                          " AND \"selectedimage\" = ?");
}

void bindIdentity(QSqlQuery &query, const NodeIdentity &node)
{
    query.addBindValue(node.key);
    query.addBindValue(node.parentKey);
    query.addBindValue(node.text);
    query.addBindValue(node.image);
    query.addBindValue(node.selectedImage);
}

// Quoted column names for a statement, in the given order.
QStringList quotedNames(const QStringList &columns)
{
    QStringList names;
    for (const QString &c : columns)
        names << quoteIdentifier(c);
    return names;
}

QString placeholders(qsizetype count)
{
    QStringList marks;
    for (qsizetype i = 0; i < count; ++i)
        marks << QStringLiteral("?");
    return marks.join(u',');
}

bool failWith(QString *error, const QSqlQuery &query)
{
    return fail(error, errorText(query.lastError()));
}

// Why a row's parent was not there when the load reached it: the parent's row comes
// later, was left out itself, or the parents lead back to the row (a cycle).
void explainMissingParents(QList<LeftOutRow> &rows, const FlowTree &tree)
{
    QHash<QString, const LeftOutRow *> leftOut;
    for (const LeftOutRow &r : rows) {
        if (!leftOut.contains(r.key))
            leftOut.insert(r.key, &r);
    }
    QList<LeftOutRow::Reason> reasons;
    for (const LeftOutRow &r : rows) {
        LeftOutRow::Reason why = r.reason;
        if (why == LeftOutRow::Reason::ParentMissing && tree.findKey(r.parentKey)) {
            why = LeftOutRow::Reason::ParentLater;
        } else if (why == LeftOutRow::Reason::ParentMissing && leftOut.contains(r.parentKey)) {
            QSet<QString> seen{r.key};
            QString up = r.parentKey;
            while (leftOut.contains(up) && !seen.contains(up)) {
                seen.insert(up);
                up = leftOut.value(up)->parentKey;
            }
            why = up == r.key ? LeftOutRow::Reason::Cycle : LeftOutRow::Reason::ParentLeftOut;
        }
        reasons << why;
    }
    for (qsizetype i = 0; i < rows.size(); ++i)
        rows[i].reason = reasons.at(i);
}

// The flow columns of a record by their spelling in the table definition.
ColumnValues recordValues(const QSqlRecord &record)
{
    ColumnValues values;
    for (int i = 0; i < record.count(); ++i) {
        const QString name = flowcolumns::canonical(record.fieldName(i));
        if (!name.isEmpty())
            values.insert(name, record.value(i));
    }
    return values;
}

} // namespace

QString SkippedRows::describe() const
{
    QStringList sentences;
    auto rows = [](int n) {
        return n == 1 ? QStringLiteral("1 row was") : QStringLiteral("%1 rows were").arg(n);
    };
    if (parentMissing > 0)
        sentences << rows(parentMissing)
                         + QStringLiteral(" left out: their parent node is not in the table "
                                          "before them.");
    if (badImage > 0)
        sentences << rows(badImage)
                         + QStringLiteral(" left out: their image or selectedimage is not a "
                                          "whole number from -32768 to 32767.");
    if (keyTaken > 0)
        sentences << rows(keyTaken)
                         + QStringLiteral(" left out: an earlier row has the same key.");
    return sentences.join(u' ');
}

FlowStore::FlowStore(const QString &databasePath, const QString &table)
    : m_connection(databasePath, SqlConnection::Mode::MustExist)
    , m_table(table)
{
}

FlowStore::~FlowStore()
{
    m_fetch.reset();
}

bool FlowStore::createTable(QSqlDatabase &db, const QString &table, QString *error)
{
    QStringList columns{QStringLiteral("\"ID\" INTEGER PRIMARY KEY AUTOINCREMENT")};
    for (const QString &column : flowcolumns::all().mid(1)) {
        const int size = flowcolumns::textSize(column);
        columns << (size > 0 ? textColumn(column, size) : smallIntColumn(column));
    }
    QSqlQuery query(db);
    // Nodes are looked up by key; without an index every lookup scans the table. "[" cannot
    // occur in a table name, so the index name never collides with a table of the user's.
    if (!query.exec(QStringLiteral("CREATE TABLE %1 (%2)")
                        .arg(quoteIdentifier(table), columns.join(QLatin1String(", "))))
        || !query.exec(QStringLiteral("CREATE INDEX %1 ON %2 (\"key\")")
                           .arg(quoteIdentifier(QStringLiteral("[key] of ") + table),
                                quoteIdentifier(table))))
        return failWith(error, query);
    return true;
}

bool FlowStore::createMain(const QString &databasePath, const QString &table, QString *error)
{
    QString why;
    if (!isValidTableName(table, &why))
        return fail(error, why);
    SqlConnection connection(databasePath, SqlConnection::Mode::CreateIfMissing);
    if (!connection.isOpen())
        return fail(error, connection.errorString());
    QSqlDatabase db = connection.database();
    {
        QSqlQuery query(db);
        query.prepare(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' "
                                     "AND name = ? COLLATE NOCASE"));
        query.addBindValue(table);
        if (!query.exec() || !query.next())
            return failWith(error, query);
        if (query.value(0).toInt() > 0)
            return fail(error, QStringLiteral("The table %1 already exists.").arg(table));
    }
    return model::inTransaction(db, error, [&] { return createTable(db, table, error); });
}

bool FlowStore::beginReading()
{
    return isOpen() && m_connection.database().transaction();
}

void FlowStore::endReading()
{
    m_fetch.reset();
    if (isOpen())
        m_connection.database().commit();
}

QString FlowStore::tableLabel() const
{
    return QStringLiteral("The table %1").arg(m_table);
}

QString FlowStore::quotedTable() const
{
    return quoteIdentifier(m_table);
}

QStringList FlowStore::tables(QString *error) const
{
    QStringList names;
    if (!isOpen()) {
        fail(error, errorString());
        return names;
    }
    QSqlQuery query(m_connection.database());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                   "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid"))) {
        failWith(error, query);
        return names;
    }
    while (query.next())
        names << query.value(0).toString();
    if (!finishedReading(query, QStringLiteral("The list of tables"), error))
        return {};
    return names;
}

QString FlowStore::whyNotFlowTable(const QString &table) const
{
    if (!isOpen())
        return errorString();
    // The table name is bound, so no quoting can go wrong.
    QStringList present;
    QString error;
    {
        QSqlQuery query(m_connection.database());
        query.setForwardOnly(true);
        query.prepare(QStringLiteral("SELECT name FROM pragma_table_info(?)"));
        query.addBindValue(table);
        if (!query.exec())
            return errorText(query.lastError());
        while (query.next())
            present << query.value(0).toString();
        if (!finishedReading(query, QStringLiteral("The columns of table %1").arg(table), &error))
            return error;
    }
    if (present.isEmpty())
        return QStringLiteral("The flow database %1 has no table %2.")
            .arg(QDir::toNativeSeparators(databasePath()), table);
    QStringList missing;
    for (const QString &column : flowcolumns::all().mid(1)) {
        if (!present.contains(column, Qt::CaseInsensitive))
            missing << column;
    }
    if (missing.isEmpty())
        return {};
    return QStringLiteral("The table %1 is not a flow table: it has no column %2.")
        .arg(table, missing.join(QLatin1String(", ")));
}

bool FlowStore::isFlowTable(const QString &table) const
{
    return whyNotFlowTable(table).isEmpty();
}

QStringList FlowStore::flowTables(QString *error) const
{
    QStringList result;
    const QStringList all = tables(error);
    for (const QString &t : all) {
        if (isFlowTable(t))
            result << t;
    }
    return result;
}

bool FlowStore::addRow(const NodeIdentity &node, QString *error)
{
    if (!isOpen())
        return fail(error, errorString());
    const ColumnValues values = flowcolumns::defaultsFor(node);
    QSqlQuery query(m_connection.database());
    // A failed prepare (no such table) must be reported as itself, not as the
    // "Parameter count mismatch" that binding would give afterwards.
    if (!query.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                           .arg(quotedTable(), quotedNames(values.keys()).join(u','),
                                placeholders(values.size()))))
        return failWith(error, query);
    for (const QVariant &v : values)
        query.addBindValue(v);
    return query.exec() || failWith(error, query);
}

bool FlowStore::deleteRow(const QString &key, QString *error)
{
    if (!isOpen())
        return fail(error, errorString());
    QSqlQuery query(m_connection.database());
    if (!query.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = (SELECT rowid FROM %1 WHERE "
                                      "\"key\" = ? COLLATE NOCASE ORDER BY rowid LIMIT 1)")
                           .arg(quotedTable())))
        return failWith(error, query);
    query.addBindValue(key);
    return query.exec() || failWith(error, query);
}

std::optional<ColumnValues> FlowStore::fetchRow(const NodeIdentity &node, QString *error)
{
    if (error)
        error->clear();
    if (!isOpen()) {
        fail(error, errorString());
        return std::nullopt;
    }
    if (!m_fetch) {
        m_fetch = std::make_unique<QSqlQuery>(m_connection.database());
        m_fetch->setForwardOnly(true);
        if (!m_fetch->prepare(QStringLiteral("SELECT * FROM %1%2 ORDER BY rowid LIMIT 1")
                                  .arg(quotedTable(), conditionSql()))) {
            failWith(error, *m_fetch);
            m_fetch.reset();
            return std::nullopt;
        }
    }
    bindIdentity(*m_fetch, node);
    if (!m_fetch->exec()) {
        failWith(error, *m_fetch);
        return std::nullopt;
    }
    if (!m_fetch->next()) {
        finishedReading(*m_fetch, tableLabel(), error);
        m_fetch->finish();
        return std::nullopt;
    }
    const ColumnValues values = recordValues(m_fetch->record());
    m_fetch->finish();
    return values;
}

bool FlowStore::takeRow(const QString &key, std::optional<ColumnValues> *taken, QString *error)
{
    *taken = std::nullopt;
    if (!isOpen())
        return fail(error, errorString());
    QSqlQuery query(m_connection.database());
    query.setForwardOnly(true);
    if (!query.prepare(QStringLiteral("SELECT * FROM %1 WHERE \"key\" = ? COLLATE NOCASE "
                                      "ORDER BY rowid LIMIT 1")
                           .arg(quotedTable())))
        return failWith(error, query);
    query.addBindValue(key);
    if (!query.exec())
        return failWith(error, query);
    if (query.next())
        *taken = recordValues(query.record());
    else if (!finishedReading(query, tableLabel(), error))
        return false;
    query.finish();
    return deleteTaken(*taken, error);
}

bool FlowStore::takeRow(const NodeIdentity &node, std::optional<ColumnValues> *taken,
                        QString *error)
{
    QString why;
    *taken = fetchRow(node, &why);
    if (!*taken && !why.isEmpty())
        return fail(error, why);
    return deleteTaken(*taken, error);
}

bool FlowStore::deleteTaken(const std::optional<ColumnValues> &taken, QString *error)
{
    if (!taken)
        return true;
    QSqlQuery query(m_connection.database());
    if (!query.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quotedTable())))
        return failWith(error, query);
    query.addBindValue(taken->value(QStringLiteral("ID")));
    return query.exec() || failWith(error, query);
}

bool FlowStore::putBackRow(const ColumnValues &row, QString *error)
{
    if (!isOpen())
        return fail(error, errorString());
    ColumnValues values = row;
    const QVariant id = values.value(QStringLiteral("ID"));
    if (!id.isNull()) {
        QSqlQuery query(m_connection.database());
        query.setForwardOnly(true);
        if (!query.prepare(QStringLiteral("SELECT count(*) FROM %1 WHERE rowid = ?")
                               .arg(quotedTable())))
            return failWith(error, query);
        query.addBindValue(id);
        if (!query.exec() || !query.next())
            return failWith(error, query);
        if (query.value(0).toInt() > 0)
            values.remove(QStringLiteral("ID"));
    }
    QSqlQuery insert(m_connection.database());
    if (!insert.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(quotedTable(), quotedNames(values.keys()).join(u','),
                                 placeholders(values.size()))))
        return failWith(error, insert);
    for (const QVariant &v : std::as_const(values))
        insert.addBindValue(v);
    return insert.exec() || failWith(error, insert);
}

bool FlowStore::runInTransaction(QString *error, const std::function<bool()> &work)
{
    if (!isOpen())
        return fail(error, errorString());
    m_fetch.reset();
    const bool done = model::inTransaction(m_connection.database(), error, work);
    m_fetch.reset();
    return done;
}

bool FlowStore::ensureRow(const NodeIdentity &node, bool *created, QString *error)
{
    if (created)
        *created = false;
    QString why;
    if (fetchRow(node, &why))
        return true;
    if (!why.isEmpty())
        return fail(error, why);
    if (!addRow(node, error))
        return false;
    if (created)
        *created = true;
    return true;
}

int FlowStore::updateFirstRow(const NodeIdentity &node, const ColumnValues &values,
                              QString *error, const QVariant &rowId)
{
    if (!isOpen()) {
        fail(error, errorString());
        return -1;
    }
    QStringList sets;
    for (auto it = values.begin(); it != values.end(); ++it) {
        const QString column = flowcolumns::canonical(it.key());
        if (column.isEmpty() || column == u"ID") {
            fail(error, QStringLiteral("The flow table has no column %1.").arg(it.key()));
            return -1;
        }
        sets << quoteIdentifier(column) + QStringLiteral(" = ?");
    }
    QSqlQuery query(m_connection.database());
    const QString onlyId = rowId.isNull() ? QString() : QStringLiteral(" AND rowid = ?");
    if (!query.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = (SELECT rowid FROM %1%3%4"
                                      " ORDER BY rowid LIMIT 1)")
                           .arg(quotedTable(), sets.join(QLatin1String(", ")), conditionSql(),
                                onlyId))) {
        failWith(error, query);
        return -1;
    }
    for (const QVariant &v : values)
        query.addBindValue(v);
    bindIdentity(query, node);
    if (!rowId.isNull())
        query.addBindValue(rowId);
    if (!query.exec()) {
        failWith(error, query);
        return -1;
    }
    return query.numRowsAffected();
}

bool FlowStore::updateRow(const NodeIdentity &node, const ColumnValues &values, QString *error)
{
    if (values.isEmpty())
        return isOpen() || fail(error, errorString());
    const int changed = updateFirstRow(node, values, error);
    if (changed == 0)
        return fail(error,
                    QStringLiteral("The node's row was not found in table %1.").arg(m_table));
    return changed > 0;
}

FlowStore::Move FlowStore::moveRow(const NodeIdentity &from, const QString &newParentKey,
                                   QString *error, const QVariant &rowId)
{
    const int changed =
        updateFirstRow(from, {{QStringLiteral("parent"), newParentKey}}, error, rowId);
    return changed > 0 ? Move::Moved : changed == 0 ? Move::NoRow : Move::Failed;
}

bool FlowStore::loadInto(FlowTree &tree, QString *error, SkippedRows *skipped)
{
    if (skipped)
        *skipped = {};
    const QString notFlow = whyNotFlowTable(m_table);
    if (!notFlow.isEmpty())
        return fail(error, notFlow);
    struct Row
    {
        QString key, parent, text;
        std::optional<int> image, selectedImage;
    };
    std::vector<Row> rows;
    {
        QSqlQuery query(m_connection.database());
        query.setForwardOnly(true);
        if (!query.exec(QStringLiteral("SELECT \"key\", \"parent\", \"text\", \"image\", "
                                       "\"selectedimage\" FROM %1 ORDER BY rowid")
                            .arg(quotedTable())))
            return failWith(error, query);
        while (query.next()) {
            rows.push_back({query.value(0).toString().trimmed(),
                            query.value(1).toString().trimmed(),
                            query.value(2).toString().trimmed(), imageIndex(query.value(3)),
                            imageIndex(query.value(4))});
        }
        if (!finishedReading(query, tableLabel(), error))
            return false;
    }
    tree.clear();
    SkippedRows left;
    auto leave = [&left](const Row &r, int &count, LeftOutRow::Reason why) {
        ++count;
        left.rows.append({r.key, r.parent, r.text, why});
    };
    auto add = [&](const Row &r, FlowNode *parent) {
        if (!r.image || !r.selectedImage)
            leave(r, left.badImage, LeftOutRow::Reason::BadImage);
        else if (tree.findKey(r.key))
            leave(r, left.keyTaken, LeftOutRow::Reason::KeyTaken);
        else if (parent)
            tree.add(parent, FlowTree::Relation::LastChild, r.key, r.text, *r.image,
                     *r.selectedImage);
        else
            tree.addTopLevel(r.key, r.text, *r.image, *r.selectedImage);
    };
    if (rows.empty())
        tree.addTopLevel(tree.nextKey(), QStringLiteral("answer call"), 1, 2);
    for (const Row &r : rows) {
        if (r.parent == u"0_")
            add(r, nullptr);
    }
    for (const Row &r : rows) {
        if (r.parent == u"0_")
            continue;
        if (FlowNode *parent = tree.findKey(r.parent))
            add(r, parent);
        else
            leave(r, left.parentMissing, LeftOutRow::Reason::ParentMissing);
    }
    explainMissingParents(left.rows, tree);
    if (skipped)
        *skipped = left;
    return true;
}

bool FlowStore::loadInto(FlowTree &tree, QString *error, int *skipped)
{
    SkippedRows left;
    const bool loaded = loadInto(tree, error, &left);
    if (skipped)
        *skipped = left.total();
    return loaded;
}

std::optional<NodeRows> FlowStore::readRows(QString *error) const
{
    if (!isOpen()) {
        fail(error, errorString());
        return std::nullopt;
    }
    const QStringList props = flowcolumns::propertyColumns();
    QSqlQuery query(m_connection.database());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
                        .arg(quotedNames(flowcolumns::treeColumns() + props).join(u','),
                             quotedTable()))) {
        failWith(error, query);
        return std::nullopt;
    }
    NodeRows rows;
    while (query.next()) {
        const auto node = rowIdentity(query.value(0), query.value(1), query.value(2),
                                      query.value(3), query.value(4));
        if (!node)
            continue;
        QVariantList values;
        values.reserve(props.size());
        for (int i = 0; i < props.size(); ++i)
            values << query.value(5 + i);
        rows.insert(*node, values);
    }
    if (!finishedReading(query, tableLabel(), error))
        return std::nullopt;
    return rows;
}

std::optional<QList<FlowStore::WholeRow>> FlowStore::readWholeRows(QString *error) const
{
    if (!isOpen()) {
        fail(error, errorString());
        return std::nullopt;
    }
    QSqlQuery query(m_connection.database());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(quotedTable()))) {
        failWith(error, query);
        return std::nullopt;
    }
    QStringList names;
    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i)
        names << flowcolumns::canonical(record.fieldName(i));
    // The identity columns by their place: key, parent, text, image, selectedimage.
    std::vector<int> identity;
    for (const QString &column : flowcolumns::treeColumns())
        identity.push_back(int(names.indexOf(column)));
    QList<WholeRow> rows;
    while (query.next()) {
        const auto at = [&](int i) { return query.value(identity[size_t(i)]); };
        const auto node = rowIdentity(at(0), at(1), at(2), at(3), at(4));
        if (!node)
            continue;
        WholeRow row{*node, {}};
        for (int i = 0; i < names.size(); ++i) {
            if (!names.at(i).isEmpty())
                row.values.insert(names.at(i), query.value(i));
        }
        rows << std::move(row);
    }
    if (!finishedReading(query, tableLabel(), error))
        return std::nullopt;
    return rows;
}

bool FlowStore::writeTree(const FlowTree &tree, QString *error)
{
    if (!isOpen())
        return fail(error, errorString());
    // Read inside the transaction, so that what is kept is what is replaced; a table that
    // cannot be read to its end is never deleted.
    return model::inTransaction(m_connection.database(), error, [&] {
        const std::optional<NodeRows> kept = readRows(error);
        return kept && replaceRows(tree, *kept, error);
    });
}

bool FlowStore::writeTree(const FlowTree &tree, const NodeRows &kept, QString *error)
{
    if (!isOpen())
        return fail(error, errorString());
    return model::inTransaction(m_connection.database(), error,
                         [&] { return replaceRows(tree, kept, error); });
}

bool FlowStore::writeNewTable(const FlowTree &tree, const NodeRows &rows, QString *error)
{
    if (!isOpen())
        return fail(error, errorString());
    if (QString why; !isValidTableName(m_table, &why))
        return fail(error, why);
    QSqlDatabase db = m_connection.database();
    return inTransaction(db, error, [&] {
        return createTable(db, m_table, error) && replaceRows(tree, rows, error);
    });
}

bool FlowStore::replaceRows(const FlowTree &tree, const NodeRows &kept, QString *error)
{
    QSqlDatabase db = m_connection.database();
    {
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("DELETE FROM %1").arg(quotedTable())))
            return failWith(error, query);
    }
    const QStringList props = flowcolumns::propertyColumns();
    const QStringList columns = flowcolumns::treeColumns() + props;
    QSqlQuery insert(db);
    if (!insert.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(quotedTable(), quotedNames(columns).join(u','),
                                 placeholders(columns.size()))))
        return failWith(error, insert);
    for (const FlowNode *node : tree.depthFirst()) {
        const NodeIdentity identity = NodeIdentity::of(*node);
        insert.addBindValue(identity.key);
        insert.addBindValue(identity.parentKey);
        insert.addBindValue(identity.text);
        insert.addBindValue(identity.image);
        insert.addBindValue(identity.selectedImage);
        const QVariantList values = kept.properties(identity);
        for (int i = 0; i < props.size(); ++i)
            insert.addBindValue(i < values.size() ? values.at(i) : QVariant());
        if (!insert.exec())
            return failWith(error, insert);
    }
    return true;
}

} // namespace model
