#pragma once

#include <QSqlDatabase>
#include <QString>

#include <functional>

class QSqlError;
class QSqlQuery;

namespace model {

// One named SQLite connection, opened on construction and removed on destruction.
// Opening validates the file at once: SQLite "opens" any file, and the first query on a
// file that is not a database fails, so a text file named callflow.mdb must be refused
// before anything writes to it.
class SqlConnection
{
public:
    enum class Mode { MustExist, CreateIfMissing };

    SqlConnection(const QString &path, Mode mode);
    ~SqlConnection();
    SqlConnection(const SqlConnection &) = delete;
    SqlConnection &operator=(const SqlConnection &) = delete;

    bool isOpen() const { return m_open; }
    QString errorString() const { return m_error; }
    QSqlDatabase database() const;
    QString path() const { return m_path; }

    // Quotes a table or column name for SQL text; values are always bound instead.
    QString quoted(const QString &identifier) const;

private:
    QString m_connectionName;
    QString m_path;
    QString m_error;
    bool m_open = false;
};

// Quotes a table or column name completely. The driver's own quoting takes a name that
// begins or ends with a double quote for one already quoted and leaves it bare, so a table
// named  it's a "flow"  would break every statement; names cannot be bound, so quote here.
QString quoteIdentifier(const QString &name);

// True when a file at `path` exists whatever the case of its name, as on the file
// systems where the stored databases come from; `actualPath` receives the real name.
bool fileExistsIgnoringCase(const QString &path, QString *actualPath = nullptr);

// Names that a table may carry: what the database format of the stored flows accepts
// (1 to 64 characters, no . ! ` [ ], no control characters, no leading blank).
bool isValidTableName(const QString &name, QString *why = nullptr);

// Sets *error (when given) and returns false, so that a failing step reads as one line.
bool fail(QString *error, const QString &text);

// Text for a failed statement or commit that a user can act upon: the database's own words,
// a refused value naming its column.
QString errorText(const QSqlError &error);

// To call after a loop over next(): false, with "«what» cannot be read to its end: «why»"
// in *error, when the loop ended because a row could not be read (a damaged file) rather
// than because the rows ran out.
bool finishedReading(const QSqlQuery &query, const QString &what, QString *error);

// Runs `work` in one transaction of `db`: committed when it returns true, else rolled back
// (work sets *error then); a failed begin or commit is reported in *error.
bool inTransaction(QSqlDatabase db, QString *error, const std::function<bool()> &work);

// Column definitions with the sizes and types of the stored tables, enforced by CHECK.
QString textColumn(const QString &name, int size);
QString smallIntColumn(const QString &name);

// Creates the database `path` when it is missing (a 0-byte file holds no data and counts as
// missing): `seed` fills a new database in one transaction, in a temporary file beside it,
// which is renamed into place only when complete, so that a start that cannot write leaves
// no half-made file for later starts to take as the real one. An existing database is only
// checked to be one, never changed. *created tells whether the file was made.
using DatabaseSeed = std::function<bool(QSqlDatabase &db, QString *error)>;
bool createIfMissing(const QString &path, const DatabaseSeed &seed, bool *created,
                     QString *error);

} // namespace model
