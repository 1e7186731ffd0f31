#pragma once

#include <QTableWidget>

namespace properties {

// A table whose first row and first column are fixed, as in the designer's two grids:
// they show headings and names, and the current cell is always a value cell (row 1 on,
// column 1 on). Arrow keys and clicks never land on a fixed cell. Typed characters do
// not search the table; they are reported through keyTyped() so the owner can open its
// own editor.
class FixedHeaderTable : public QTableWidget
{
    Q_OBJECT
public:
    FixedHeaderTable(int rows, int columns, QWidget *parent = nullptr);

    // Text of a cell, empty when the cell has no item.
    QString cellText(int row, int column) const;
    void setCellText(int row, int column, const QString &text);
    // Empties every cell and gives the fixed cells their look back.
    void clearCells();
    // Sets the row count, keeping the fixed look of the new cells.
    void resizeRows(int rows);

    static bool isValueCell(int row, int column) { return row >= 1 && column >= 1; }

Q_SIGNALS:
    // A character typed on the table: a printable character, a space, Enter or Backspace.
    void keyTyped(const QString &text);

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QTableWidgetItem *itemFor(int row, int column);
    void styleCell(int row, int column);
    bool onFixedCell(const QPoint &pos) const;
};

} // namespace properties
