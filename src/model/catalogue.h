#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <optional>

namespace model {

// One call function of the catalogue (table Functions of SystemDB.mdb).
struct CallFunction
{
    int functionId = 0;
    QString functionName;
    QString tooltip;
    QString iconName;
    QString functionDesc;
};

// The catalogue of call functions. It is seeded once, when its file is missing, and never
// changed afterwards; an existing file is used as it is, even with rows missing.
class Catalogue
{
public:
    explicit Catalogue(const QString &appDir);

    static QString fileName() { return QStringLiteral("SystemDB.mdb"); }
    // The fourteen rows written into a new catalogue, in order.
    static QList<CallFunction> seedRows();

    // checkSystemDB's store part: creates and fills the file when missing. *created tells
    // whether it did. Fails when the file cannot be made or is not a database.
    bool ensure(bool *created, QString *error) const;
    // The rows in table order ("Select * From functions").
    QList<CallFunction> rows(QString *error = nullptr) const;
    // Palette lookup: the row whose tooltip equals the text (without regard to case).
    std::optional<CallFunction> byTooltip(const QString &tooltip, QString *error = nullptr) const;
    // Description lookup: the row whose functionName equals the node text.
    std::optional<CallFunction> byName(const QString &name, QString *error = nullptr) const;

    QString path() const;

private:
    static bool seed(QSqlDatabase &db, QString *error);
    std::optional<CallFunction> lookup(const char *column, const QString &value,
                                       QString *error) const;
    QString m_appDir;
};

} // namespace model
