#pragma once

#include <QSqlDatabase>
#include <QString>

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

} // namespace model
