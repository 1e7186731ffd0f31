#include "flowstore.h"

#include "flowtree.h"

#include <QHash>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlRecord>

namespace model {

namespace {

QString lastError(const QSqlQuery &query)
{
    const QSqlError e = query.lastError();
    return describeStoreError(e.databaseText().isEmpty() ? e.text() : e.databaseText());
}

QString identityHash(const QString &parent, const QString &key, const QString &text, int image,
                     int selectedImage)
{
    return parent.toCaseFolded() + u'\x1f' + key.toCaseFolded() + u'\x1f' + text.toCaseFolded()
           + u'\x1f' + QString::number(image) + u'\x1f' + QString::number(selectedImage);
}

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

} // namespace

FlowStore::FlowStore(const QString &databasePath, const QString &table)
    : m_connection(databasePath, SqlConnection::Mode::MustExist)
    , m_table(table)
{
}

FlowStore::~FlowStore()
{
    m_fetch.reset();
}

QString FlowStore::createTableSql(const QString &quotedTable)
{
    auto text = [](const char *column, int size) {
        return QStringLiteral("\"%1\" TEXT COLLATE NOCASE CHECK(length(\"%1\") <= %2)")
            .arg(QLatin1String(column))
            .arg(size);
    };
    auto smallInt = [](const char *column) {
        return QStringLiteral("\"%1\" INTEGER CHECK(\"%1\" IS NULL OR (typeof(\"%1\") = 'integer'"
                              " AND \"%1\" BETWEEN -32768 AND 32767))")
            .arg(QLatin1String(column));
    };
    const QStringList columns{
        QStringLiteral("\"ID\" INTEGER PRIMARY KEY AUTOINCREMENT"),
        text("key", 4),
        text("parent", 4),
        text("text", 30),
        smallInt("image"),
        smallInt("selectedimage"),
        text("voicefile", 35),
        text("IgnoreKeys", 6),
        text("inputid", 30),
        text("inputmaxlen", 2),
        text("inputstyle", 30),
        text("InputTerm", 1),
        text("inputtype", 30),
        text("FirstTimeoutInterval", 2),
        text("InterTimeoutInterval", 2),
        text("MaxReclen", 2),
        text("prompttxt", 200),
    };
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(quotedTable, columns.join(QLatin1String(", ")));
}

bool FlowStore::createMain(const QString &databasePath, const QString &table, QString *error)
{
    QString why;
    if (!isValidTableName(table, &why)) {
        if (error)
            *error = why;
        return false;
    }
    SqlConnection connection(databasePath, SqlConnection::Mode::CreateIfMissing);
    if (!connection.isOpen()) {
        if (error)
            *error = connection.errorString();
        return false;
    }
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' "
                                 "AND name = ? COLLATE NOCASE"));
    query.addBindValue(table);
    if (!query.exec() || !query.next()) {
        if (error)
            *error = lastError(query);
        return false;
    }
    if (query.value(0).toInt() > 0) {
        if (error)
            *error = QStringLiteral("The table %1 already exists.").arg(table);
        return false;
    }
    query.finish();
    QSqlDatabase db = connection.database();
    db.transaction();
    // Nodes are looked up by key once each per generation; without an index every lookup
    // scans the table and a run grows with the square of the flow. "[" cannot occur in a
    // table name, so the index name never collides with a table of the user's.
    if (!query.exec(createTableSql(quoteIdentifier(table)))
        || !query.exec(QStringLiteral("CREATE INDEX %1 ON %2 (\"key\")")
                           .arg(quoteIdentifier(QStringLiteral("[key] of ") + table),
                                quoteIdentifier(table)))) {
        if (error)
            *error = lastError(query);
        query.finish();
        db.rollback();
        return false;
    }
    query.finish();
    if (!db.commit()) {
        if (error)
            *error = describeStoreError(db.lastError().text());
        db.rollback();
        return false;
    }
    return true;
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

QString FlowStore::quotedTable() const
{
    return quoteIdentifier(m_table);
}

QStringList FlowStore::tables(QString *error) const
{
    QStringList names;
    if (!isOpen()) {
        if (error)
            *error = errorString();
        return names;
    }
    QSqlQuery query(m_connection.database());
    if (!query.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                   "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid"))) {
        if (error)
            *error = lastError(query);
        return names;
    }
    while (query.next())
        names << query.value(0).toString();
    return names;
}

bool FlowStore::isFlowTable(const QString &table) const
{
    if (!isOpen())
        return false;
    // The table name is bound, so no quoting can go wrong (the driver's record() quotes
    // names the way quoteIdentifier() explains).
    QStringList present;
    {
        QSqlQuery query(m_connection.database());
        query.setForwardOnly(true);
        if (!query.prepare(QStringLiteral("SELECT name FROM pragma_table_info(?)")))
            return false;
        query.addBindValue(table);
        if (!query.exec())
            return false;
        while (query.next())
            present << query.value(0).toString();
    }
    for (const QString &column : flowcolumns::all()) {
        if (column == u"ID")
            continue;
        if (!present.contains(column, Qt::CaseInsensitive))
            return false;
    }
    return true;
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

QString FlowStore::conditionSql()
{
    return QStringLiteral(" WHERE \"key\" = ? COLLATE NOCASE AND \"parent\" = ? COLLATE NOCASE"
                          " AND \"text\" = ? COLLATE NOCASE AND \"image\" = ?"
                          " AND \"selectedimage\" = ?");
}

void FlowStore::bindIdentity(QSqlQuery &query, const NodeIdentity &node)
{
    query.addBindValue(node.key);
    query.addBindValue(node.parentKey);
    query.addBindValue(node.text);
    query.addBindValue(node.image);
    query.addBindValue(node.selectedImage);
}

bool FlowStore::addRow(const NodeIdentity &node, QString *error)
{
    if (!isOpen()) {
        if (error)
            *error = errorString();
        return false;
    }
    const ColumnValues values = flowcolumns::defaultsFor(node);
    QStringList names;
    QStringList marks;
    for (auto it = values.begin(); it != values.end(); ++it) {
        names << QStringLiteral("\"%1\"").arg(it.key());
        marks << QStringLiteral("?");
    }
    QSqlQuery query(m_connection.database());
    // A failed prepare (no such table) must be reported as itself, not as the
    // "Parameter count mismatch" that binding would give afterwards.
    if (!query.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                           .arg(quotedTable(), names.join(u','), marks.join(u',')))) {
        if (error)
            *error = lastError(query);
        return false;
    }
    for (const QVariant &v : values)
        query.addBindValue(v);
    if (!query.exec()) {
        if (error)
            *error = lastError(query);
        return false;
    }
    return true;
}

bool FlowStore::deleteRow(const QString &key, QString *error)
{
    if (!isOpen()) {
        if (error)
            *error = errorString();
        return false;
    }
    QSqlQuery query(m_connection.database());
    if (!query.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = (SELECT rowid FROM %1 WHERE "
                                      "\"key\" = ? COLLATE NOCASE ORDER BY rowid LIMIT 1)")
                           .arg(quotedTable()))) {
        if (error)
            *error = lastError(query);
        return false;
    }
    query.addBindValue(key);
    if (!query.exec()) {
        if (error)
            *error = lastError(query);
        return false;
    }
    return true;
}

std::optional<ColumnValues> FlowStore::fetchRow(const NodeIdentity &node, QString *error)
{
    if (error)
        error->clear();
    if (!isOpen()) {
        if (error)
            *error = errorString();
        return std::nullopt;
    }
    if (!m_fetch) {
        m_fetch = std::make_unique<QSqlQuery>(m_connection.database());
        m_fetch->setForwardOnly(true);
        if (!m_fetch->prepare(QStringLiteral("SELECT * FROM %1%2 ORDER BY rowid LIMIT 1")
                                  .arg(quotedTable(), conditionSql()))) {
            if (error)
                *error = lastError(*m_fetch);
            m_fetch.reset();
            return std::nullopt;
        }
    }
    bindIdentity(*m_fetch, node);
    if (!m_fetch->exec()) {
        if (error)
            *error = lastError(*m_fetch);
        return std::nullopt;
    }
    if (!m_fetch->next()) {
        m_fetch->finish();
        return std::nullopt;
    }
    ColumnValues values;
    const QSqlRecord record = m_fetch->record();
    for (int i = 0; i < record.count(); ++i) {
        const QString name = flowcolumns::canonical(record.fieldName(i));
        if (!name.isEmpty())
            values.insert(name, record.value(i));
    }
    m_fetch->finish();
    return values;
}

bool FlowStore::ensureRow(const NodeIdentity &node, bool *created, QString *error)
{
    if (created)
        *created = false;
    QString why;
    if (fetchRow(node, &why))
        return true;
    if (!why.isEmpty()) {
        if (error)
            *error = why;
        return false;
    }
    if (!addRow(node, error))
        return false;
    if (created)
        *created = true;
    return true;
}

bool FlowStore::updateRow(const NodeIdentity &node, const ColumnValues &values, QString *error)
{
    if (!isOpen()) {
        if (error)
            *error = errorString();
        return false;
    }
    if (values.isEmpty())
        return true;
    QStringList sets;
    for (auto it = values.begin(); it != values.end(); ++it) {
        const QString column = flowcolumns::canonical(it.key());
        if (column.isEmpty() || column == u"ID") {
            if (error)
                *error = QStringLiteral("The flow table has no column %1.").arg(it.key());
            return false;
        }
        sets << QStringLiteral("\"%1\" = ?").arg(column);
    }
    QSqlQuery query(m_connection.database());
    if (!query.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = (SELECT rowid FROM %1%3"
                                      " ORDER BY rowid LIMIT 1)")
                           .arg(quotedTable(), sets.join(QLatin1String(", ")), conditionSql()))) {
        if (error)
            *error = lastError(query);
        return false;
    }
    for (const QVariant &v : values)
        query.addBindValue(v);
    bindIdentity(query, node);
    if (!query.exec()) {
        if (error)
            *error = lastError(query);
        return false;
    }
    if (query.numRowsAffected() < 1) {
        if (error)
            *error = QStringLiteral("The node's row was not found in table %1.").arg(m_table);
        return false;
    }
    return true;
}

bool FlowStore::moveRow(const NodeIdentity &from, const QString &newParentKey, QString *error)
{
    ColumnValues change{{QStringLiteral("parent"), newParentKey}};
    QString why;
    if (!updateRow(from, change, &why)) {
        // A node never selected has no row to carry along; that is not a failure.
        if (why.startsWith(QLatin1String("The node's row was not found")))
            return true;
        if (error)
            *error = why;
        return false;
    }
    return true;
}

bool FlowStore::loadInto(FlowTree &tree, QString *error, int *skipped)
{
    if (skipped)
        *skipped = 0;
    if (!isOpen()) {
        if (error)
            *error = errorString();
        return false;
    }
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
                            .arg(quotedTable()))) {
            if (error)
                *error = lastError(query);
            return false;
        }
        while (query.next()) {
            rows.push_back({query.value(0).toString().trimmed(),
                            query.value(1).toString().trimmed(),
                            query.value(2).toString().trimmed(), imageIndex(query.value(3)),
                            imageIndex(query.value(4))});
        }
    }
    tree.clear();
    int left = 0;
    if (rows.empty()) {
        tree.addTopLevel(tree.nextKey(), QStringLiteral("answer call"), 1, 2);
    } else {
        for (const Row &r : rows) {
            if (r.parent != u"0_")
                continue;
            if (!r.image || !r.selectedImage
                || !tree.addTopLevel(r.key, r.text, *r.image, *r.selectedImage))
                ++left;
        }
        for (const Row &r : rows) {
            if (r.parent == u"0_")
                continue;
            FlowNode *parent = tree.findKey(r.parent);
            if (!parent || !r.image || !r.selectedImage
                || !tree.add(parent, FlowTree::Relation::LastChild, r.key, r.text, *r.image,
                             *r.selectedImage))
                ++left;
        }
    }
    if (skipped)
        *skipped = left;
    return true;
}

bool FlowStore::writeTree(const FlowTree &tree, QString *error)
{
    if (!isOpen()) {
        if (error)
            *error = errorString();
        return false;
    }
    QSqlDatabase db = m_connection.database();
    const QStringList props = flowcolumns::propertyColumns();
    if (!db.transaction()) {
        if (error)
            *error = describeStoreError(db.lastError().databaseText().isEmpty()
                                            ? db.lastError().text()
                                            : db.lastError().databaseText());
        return false;
    }
    auto fail = [&](const QSqlQuery &query) {
        if (error)
            *error = lastError(query);
        db.rollback();
        return false;
    };

    // Properties of the first row of each node identity, so that a save keeps them.
    QHash<QString, QVariantList> kept;
    {
        QStringList select{QStringLiteral("\"key\""), QStringLiteral("\"parent\""),
                           QStringLiteral("\"text\""), QStringLiteral("\"image\""),
                           QStringLiteral("\"selectedimage\"")};
        for (const QString &p : props)
            select << QStringLiteral("\"%1\"").arg(p);
        QSqlQuery query(db);
        query.setForwardOnly(true);
        if (!query.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
                            .arg(select.join(u','), quotedTable())))
            return fail(query);
        while (query.next()) {
            const auto image = imageIndex(query.value(3));
            const auto selected = imageIndex(query.value(4));
            if (!image || !selected)
                continue;
            const QString id = identityHash(query.value(1).toString(), query.value(0).toString(),
                                            query.value(2).toString(), *image, *selected);
            if (kept.contains(id))
                continue;
            QVariantList values;
            for (int i = 0; i < props.size(); ++i)
                values << query.value(5 + i);
            kept.insert(id, values);
        }
    }
    {
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("DELETE FROM %1").arg(quotedTable())))
            return fail(query);
    }
    QStringList names{QStringLiteral("\"parent\""), QStringLiteral("\"key\""),
                      QStringLiteral("\"text\""), QStringLiteral("\"image\""),
                      QStringLiteral("\"selectedimage\"")};
    for (const QString &p : props)
        names << QStringLiteral("\"%1\"").arg(p);
    QStringList marks;
    for (int i = 0; i < names.size(); ++i)
        marks << QStringLiteral("?");
    QSqlQuery insert(db);
    if (!insert.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(quotedTable(), names.join(u','), marks.join(u','))))
        return fail(insert);
    for (const FlowNode *node : tree.depthFirst()) {
        const QString parent = node->parentKey();
        insert.addBindValue(parent);
        insert.addBindValue(node->key);
        insert.addBindValue(node->text);
        insert.addBindValue(node->image);
        insert.addBindValue(node->selectedImage);
        const QVariantList values = kept.value(
            identityHash(parent, node->key, node->text, node->image, node->selectedImage));
        for (int i = 0; i < props.size(); ++i)
            insert.addBindValue(i < values.size() ? values.at(i) : QVariant());
        if (!insert.exec())
            return fail(insert);
    }
    insert.finish();
    if (!db.commit()) {
        if (error)
            *error = describeStoreError(db.lastError().databaseText());
        db.rollback();
        return false;
    }
    return true;
}

QString describeStoreError(const QString &databaseText)
{
    static const QRegularExpression lengthCheck(
        QString::fromLatin1(R"re(CHECK constraint failed: length\("?(\w+)"?\) <= (\d+))re"));
    static const QRegularExpression integerCheck(
        QString::fromLatin1(R"re(CHECK constraint failed: "?(\w+)"? IS NULL)re"));
    QRegularExpressionMatch m = lengthCheck.match(databaseText);
    if (m.hasMatch())
        return QStringLiteral("The value is too long for the column %1 (at most %2 characters).")
            .arg(m.captured(1), m.captured(2));
    m = integerCheck.match(databaseText);
    if (m.hasMatch())
        return QStringLiteral("The column %1 takes a whole number from -32768 to 32767.")
            .arg(m.captured(1));
    if (databaseText.contains(QLatin1String("readonly"), Qt::CaseInsensitive)
        || databaseText.contains(QLatin1String("read-only"), Qt::CaseInsensitive))
        return QStringLiteral("The database cannot be written (it is read-only): %1").arg(databaseText);
    if (databaseText.contains(QLatin1String("locked"), Qt::CaseInsensitive))
        return QStringLiteral("The database is locked by another program: %1").arg(databaseText);
    return databaseText;
}

} // namespace model
