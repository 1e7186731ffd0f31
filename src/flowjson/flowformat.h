#pragma once

#include <QString>

// A flow file is UTF-8 JSON, written in one fixed layout so that the same flow always
// gives the same bytes and a changed prompt changes one line:
//
//   {
//     "format": "dialwright-flow",
//     "version": 1,
//     "nodes": [
//       {
//         "key": "1_",
//         "text": "answer call",
//         "properties": {
//           "voicefile": ".wav",
//           "prompttxt": "Welcome."
//         },
//         "children": [
//           ...
//         ]
//       }
//     ]
//   }
//
// "nodes" holds the top-level nodes and "children" a node's children, in sibling order.
// Members come in the order shown, two spaces per level, one member a line, a final line
// feed. "image" and "selectedimage" follow "text" only when they are not 1 and 2 (what
// the designer gives every node); "properties" holds the node's property columns that
// are not Null, by column name in table order, and is left out when there are none, as
// "children" is for a leaf. Every property value is a JSON string.
namespace flowjson::format {

inline QString name() { return QStringLiteral("dialwright-flow"); }
constexpr int kVersion = 1;

} // namespace flowjson::format
