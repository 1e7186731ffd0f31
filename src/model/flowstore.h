#pragma once

#include "flowrecord.h"
#include "noderows.h"
#include "sqlconnection.h"

#include <QList>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace model {

class FlowTree;

// One row a load left out, and why: the flow checker names each.
struct LeftOutRow
{
    enum class Reason {
        ParentMissing, // no row of the table has its parent's key
        ParentLater,   // its parent's row comes after it in the table
        ParentLeftOut, // its parent's row was left out itself
        Cycle,         // its parents lead back to it
        KeyTaken,      // an earlier row has the same key
        BadImage,      // image or selectedimage is not a 16-bit whole number
    };
    QString key;
    QString parentKey;
    QString text;
    Reason reason = Reason::ParentMissing;
};

// Rows a load left out, by cause.
struct SkippedRows
{
    int parentMissing = 0; // no row before it holds its parent
    int badImage = 0;      // image or selectedimage is not a 16-bit whole number
    int keyTaken = 0;      // an earlier row has the same key
    int total() const { return parentMissing + badImage + keyTaken; }
    // One sentence per cause, for the user; empty when nothing was left out.
    QString describe() const;
    // Each row left out, in the order the load met them.
    QList<LeftOutRow> rows;
};

// The rows of one flow table in one flow database. Every operation reports failure by
// returning false (or nullopt) with the store's own error text in *error, which the
// window shows; nothing here shows anything itself.
//
// A node's row is found by its five tree fields together (NodeIdentity), text compared
// without regard to case, the first row in table order winning when several match.
class FlowStore
{
public:
    // Opens an existing database file; see isOpen()/errorString().
    FlowStore(const QString &databasePath, const QString &table);
    ~FlowStore();

    bool isOpen() const { return m_connection.isOpen(); }
    QString errorString() const { return m_connection.errorString(); }
    QString databasePath() const { return m_connection.path(); }
    QString table() const { return m_table; }

    // Createmain: creates the database file when missing and the flow table in it.
    // Fails, changing nothing, when a table of that name exists already.
    static bool createMain(const QString &databasePath, const QString &table, QString *error);
    // The empty flow table with its index, in an open database.
    static bool createTable(QSqlDatabase &db, const QString &table, QString *error);

    // Every table of the database, in the database's own order, without the engine's
    // own tables; and those among them that hold the flow columns.
    QStringList tables(QString *error = nullptr) const;
    QStringList flowTables(QString *error = nullptr) const;
    bool isFlowTable(const QString &table) const;
    // Empty when `table` is a flow table, else a sentence that names what it lacks.
    QString whyNotFlowTable(const QString &table) const;

    // addrec: appends the node's row with the default properties.
    bool addRow(const NodeIdentity &node, QString *error);
    // deleterec: deletes the first row with this key; no row is not an error.
    bool deleteRow(const QString &key, QString *error);
    // The store part of selecting a node: adds the row with defaults when it has none.
    bool ensureRow(const NodeIdentity &node, bool *created, QString *error);
    // All columns of the node's first row; nullopt with an empty error when it has none.
    std::optional<ColumnValues> fetchRow(const NodeIdentity &node, QString *error);
    // Writes the given columns into the node's first row (one UPDATE, bound values).
    bool updateRow(const NodeIdentity &node, const ColumnValues &values, QString *error);

    // deleterec that hands back what it deleted: the first row with this key, or the
    // node's first row, every column of it (ID too), so that putBackRow can restore it.
    // *taken is nullopt when there was no such row, which is no failure.
    bool takeRow(const QString &key, std::optional<ColumnValues> *taken, QString *error);
    bool takeRow(const NodeIdentity &node, std::optional<ColumnValues> *taken,
                 QString *error);
    // Puts back a row taken or fetched earlier, under its own ID while no other row has
    // that ID, so that the table's order is as it was.
    bool putBackRow(const ColumnValues &row, QString *error);
    // Runs `work` (calls of this store) in one transaction: all its writes or none.
    bool runInTransaction(QString *error, const std::function<bool()> &work);

    // After a drag-and-drop: the moved node's row follows it to its new parent. A node
    // never selected has no row to carry along, which is no failure.
    enum class Move { Moved, NoRow, Failed };
    // With `rowId`, only the row of that ID moves, and only while it is a row of `from`.
    Move moveRow(const NodeIdentity &from, const QString &newParentKey, QString *error,
                 const QVariant &rowId = QVariant());

    // Loads the table into the tree: top-level rows first, then every other row in table
    // order under the node whose key is its parent (rows whose parent is not there yet
    // are skipped); an empty table gives the single node "answer call". The tree is left
    // as it was when the table is no flow table or cannot be read to its end.
    bool loadInto(FlowTree &tree, QString *error, SkippedRows *skipped = nullptr);
    // The same, counting the rows left out whatever the cause.
    bool loadInto(FlowTree &tree, QString *error, int *skipped);

    // The properties of every row, in one pass.
    std::optional<NodeRows> readRows(QString *error) const;
    // Every row whole (ID too), in table order, with the node it belongs to; rows that can
    // match no node are left out. What fetchRow gives for one node, for all in one pass.
    struct WholeRow
    {
        NodeIdentity node;
        ColumnValues values;
    };
    std::optional<QList<WholeRow>> readWholeRows(QString *error) const;
    // Rewrites the table from the tree in one transaction, keeping each node's properties
    // from its first matching row; on failure the table stays as it was.
    bool writeTree(const FlowTree &tree, QString *error);
    // The same with the properties taken from `kept`, read from another table (a flow
    // saved under a new file or table).
    bool writeTree(const FlowTree &tree, const NodeRows &kept, QString *error);
    // Creates the table and writes the tree into it with the properties of `rows`, in one
    // transaction: a refused row leaves no table behind (an imported flow).
    bool writeNewTable(const FlowTree &tree, const NodeRows &rows, QString *error);

    // A run of many reads sees one state of the table and takes the file's lock once
    // instead of once per read.
    bool beginReading();
    void endReading();

private:
    QString quotedTable() const;
    QString tableLabel() const;
    // Rows changed by writing `values` into the node's first row; -1 on failure.
    int updateFirstRow(const NodeIdentity &node, const ColumnValues &values, QString *error,
                       const QVariant &rowId = QVariant());
    bool deleteTaken(const std::optional<ColumnValues> &taken, QString *error);
    bool replaceRows(const FlowTree &tree, const NodeRows &kept, QString *error);

    SqlConnection m_connection;
    QString m_table;
    std::unique_ptr<QSqlQuery> m_fetch;
};

} // namespace model
