#include "printabledocument.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace viewer {

std::unique_ptr<QTextDocument> printableDocument(const QTextDocument &document,
                                                 const QTextCursor &cursor,
                                                 bool selectionOnly)
{
    if (!selectionOnly || !cursor.hasSelection())
        return std::unique_ptr<QTextDocument>(document.clone());
    auto printed = std::make_unique<QTextDocument>();
    printed->setDefaultFont(document.defaultFont());
    QTextCursor(printed.get()).insertFragment(cursor.selection());
    return printed;
}

} // namespace viewer
