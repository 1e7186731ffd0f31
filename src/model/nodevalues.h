#pragma once

#include "flowrecord.h"

#include <QString>

#include <optional>

namespace model {

// getdata: the property values of one node as the emitters use them, with the defaults
// for Null columns and for a node that has no row at all.
struct NodeValues
{
    QString voicefile;
    QString ignoreKeys;
    QString inputid;
    QString inputmaxlen;
    QString inputstyle;
    QString inputTerm;
    QString inputtype;
    QString firstTimeoutInterval;
    QString interTimeoutInterval;
    QString prompttxt;
    int maxReclen = 60;

    // `row` is the node's row (nullopt when it has none); a column missing from the row
    // counts as Null. `nodeText` is the node's text, for the text-based defaults.
    static NodeValues fromRow(const std::optional<ColumnValues> &row,
                              const QString &nodeText);
};

} // namespace model
