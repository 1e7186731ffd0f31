#pragma once

#include "model/flowrecord.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>

class QLabel;
class QLineEdit;

namespace model {
struct CurrentFlow;
}
namespace ui {
class UserPrompts;
}

namespace properties {

class FixedHeaderTable;

// The property grid of the selected node: field names on the left, values on the right,
// edited in place through an overlaid line editor. The grid keeps the node's identity
// and the table it came from, reads the row through the flow store and writes an
// edited value back when the user leaves the cell.
//
// The editor opens on a typed character (which replaces the value), or on a space, Enter
// or a double-click (which keeps the value, caret at its end). Enter returns the focus
// to the grid and keeps the editor; Escape drops the edit; Up and Down move between rows.
// Leaving the cell while the editor shows writes the values that differ from the stored
// row; a blank value is never written.
class PropertyGrid : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kRows = 10;

    PropertyGrid(const model::CurrentFlow &current, ui::UserPrompts &prompts,
                 QWidget *parent = nullptr);

    // Shows the properties of the node (its call function's fields) from the current
    // flow table; a node without a row or with a text that names no call function
    // shows only the headings. The editor's text is emptied; its visibility stays.
    void loadNode(const model::NodeIdentity &node);

    // The value beside the first row whose name is fieldName; a null string when no row
    // has that name (an empty one when the field is there but blank).
    QString fieldValue(const QString &fieldName) const;
    // Moves to the value of that field and gives the grid the focus, for a user sent to a
    // property at fault. False when the shown node has no such field.
    bool showField(const QString &fieldName);

    // The node whose properties are shown, if any.
    std::optional<model::NodeIdentity> node() const { return m_node; }

    // What stores edited values into the node's row, instead of the flow store itself
    // (the window keeps each edit for undoing); false with the reason when refused.
    using Writer = std::function<bool(const model::NodeIdentity &node,
                                      const model::ColumnValues &values, QString *error)>;
    void setWriter(Writer writer) { m_writer = std::move(writer); }

    // Writes a value still being typed to the node it was typed for, as leaving its cell
    // would, before another node is shown. False when the store refuses it: the reason is
    // shown and the editor stays open on that node.
    bool commitEdit();

Q_SIGNALS:
    // A click on a value cell, after the grid has moved to it.
    void cellClicked(const QString &cellText);
    // Edited values were stored in the node's row.
    void valuesWritten(const model::NodeIdentity &node);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showHeadings();
    void openEditor(const QString &typed, bool keepValue);
    void placeEditor();
    bool editorKey(int key);
    void leaveCell(int row, int column);
    bool writeBack(QString *error);

    const model::CurrentFlow &m_current;
    ui::UserPrompts &m_prompts;
    Writer m_writer;
    QLabel *m_label = nullptr;
    FixedHeaderTable *m_grid = nullptr;
    QLineEdit *m_editor = nullptr;

    // Where the shown values came from: written back to the same row of the same table.
    std::optional<model::NodeIdentity> m_node;
    QString m_databasePath;
    QString m_table;

    bool m_loading = false;
    // The editor stayed visible across a reload: its emptied text belongs to no cell and
    // must not blank the cell it happens to cover.
    bool m_editorStale = false;
};

} // namespace properties
