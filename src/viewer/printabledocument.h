#pragma once

#include <memory>

class QTextCursor;
class QTextDocument;

namespace viewer {

// What Print sends to the printer: the selected part of the viewer (with its colours and
// formats) when only the selection is to be printed and there is one, else the whole text.
std::unique_ptr<QTextDocument> printableDocument(const QTextDocument &document,
                                                 const QTextCursor &cursor,
                                                 bool selectionOnly);

} // namespace viewer
