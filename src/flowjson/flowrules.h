#pragma once

#include "flowcontent.h"

#include <QString>
#include <QStringList>

namespace flowjson {

// What a flow must be to be written to a file and read back into a table. Each check
// returns a sentence saying what is wrong, or an empty string; the caller names the place.
namespace rules {

// Qt's JSON parser refuses documents nested deeper than 1024 levels; a node at depth d
// with properties sits at level 2d + 2 of the file.
constexpr int kMaxDepth = 511;

// A decimal number without leading zeros followed by "_", not "0_", that fits the column.
QString keyProblem(const QString &key);
// The name of a call function of the catalogue, in any case.
QString textProblem(const QString &text);
// A 16-bit whole number, as the image columns hold.
QString imageProblem(double image);
// Text that fits the property column (`column` as spelled in the table definition).
QString valueProblem(const QString &column, const QString &value);

// Every problem of a flow read from a table, each naming its node ("node 12_, property
// prompttxt: ..."), in depth-first order.
QStringList flowProblems(const model::FlowTree &tree, const PropertiesByKey &properties);

// The problems as one text for a message: the first few, one a line, and how many more.
QString summary(const QStringList &problems);

} // namespace rules
} // namespace flowjson
