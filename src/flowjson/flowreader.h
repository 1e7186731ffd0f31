#pragma once

#include "flowcontent.h"

#include <QByteArray>
#include <QStringList>

namespace flowjson {

// Reads a flow file (see flowformat.h) into `content`, checking all of it: that it is
// JSON of the known format and version, that every node has a key of the "N_" scheme used
// once, the name of a call function and image indices that fit, that every property names
// a property column and fits it. Members the format does not know, or given twice in one
// object, are refused, so a typing error or a hand merge never drops a value quietly. Returns false with the problems, each naming its
// place ("nodes[0].children[2] (node 5_), property prompttxt: ..."); `content` is then
// left in an unspecified state. The file's layout (spacing, member order) is free.
bool readFlow(const QByteArray &bytes, FlowContent *content, QStringList *problems);

// The same for the file at `path`; a file that cannot be read whole is one problem.
bool readFlowFile(const QString &path, FlowContent *content, QStringList *problems);

} // namespace flowjson
