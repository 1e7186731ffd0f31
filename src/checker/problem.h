#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace checker {

// Error: a caller cannot get through. Warning: the caller hears something unintended.
enum class Severity { Error, Warning };

// "error" or "warning".
QString severityName(Severity severity);

// One thing wrong with a flow, at a node of the tree, at a row of the flow table that the
// load left out, or (key empty) at the flow as a whole.
struct Problem
{
    QString rule; // the id of the rule that found it
    Severity severity = Severity::Error;
    QString key;
    QString text;
    QString message; // what is wrong and how to mend it
    QString column;  // the property at fault, as its flow-table column; empty for none
    bool leftOut = false; // a row of the table, not a node of the tree

    bool operator==(const Problem &) const = default;
};

// "KEY TEXT: severity: message"; "flow" stands in for a problem of the whole flow.
QString formatLine(const Problem &problem);
// One JSON object on one line: rule, severity, key, text, column, leftOut, message.
QByteArray jsonLine(const Problem &problem);

qsizetype countOf(const QList<Problem> &problems, Severity severity);

} // namespace checker
