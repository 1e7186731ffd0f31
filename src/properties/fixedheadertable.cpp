#include "fixedheadertable.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace properties {

FixedHeaderTable::FixedHeaderTable(int rows, int columns, QWidget *parent)
    : QTableWidget(rows, columns, parent)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(false);
    setWordWrap(false);
    clearCells();
    if (rows > 1 && columns > 1)
        setCurrentCell(1, 1);
}

QString FixedHeaderTable::cellText(int row, int column) const
{
    const QTableWidgetItem *cell = item(row, column);
    return cell ? cell->text() : QString();
}

void FixedHeaderTable::setCellText(int row, int column, const QString &text)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return;
    itemFor(row, column)->setText(text);
}

QTableWidgetItem *FixedHeaderTable::itemFor(int row, int column)
{
    QTableWidgetItem *cell = item(row, column);
    if (!cell) {
        cell = new QTableWidgetItem;
        setItem(row, column, cell);
        styleCell(row, column);
    }
    return cell;
}

void FixedHeaderTable::styleCell(int row, int column)
{
    QTableWidgetItem *cell = item(row, column);
    if (!cell)
        return;
    cell->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    if (isValueCell(row, column)) {
        cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    } else {
        // Fixed cells look like headings and can never become the current cell.
        cell->setFlags(Qt::ItemIsEnabled);
        cell->setBackground(palette().button());
        cell->setForeground(palette().buttonText());
    }
}

void FixedHeaderTable::clearCells()
{
    for (int r = 0; r < rowCount(); ++r) {
        for (int c = 0; c < columnCount(); ++c)
            itemFor(r, c)->setText(QString());
    }
}

void FixedHeaderTable::resizeRows(int rows)
{
    const int before = rowCount();
    setRowCount(rows);
    for (int r = before; r < rows; ++r) {
        for (int c = 0; c < columnCount(); ++c)
            itemFor(r, c);
    }
}

QModelIndex FixedHeaderTable::moveCursor(CursorAction cursorAction,
                                         Qt::KeyboardModifiers modifiers)
{
    const QModelIndex current = currentIndex();
    QModelIndex next = QTableWidget::moveCursor(cursorAction, modifiers);
    if (!next.isValid())
        return current;
    // A move onto a fixed cell stops at the first value cell in that direction.
    const int row = std::max(next.row(), 1);
    const int column = std::max(next.column(), 1);
    if (row >= rowCount() || column >= columnCount())
        return current;
    return model()->index(row, column, rootIndex());
}

void FixedHeaderTable::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    const Qt::KeyboardModifiers commandKeys =
        Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (!text.isEmpty() && !(event->modifiers() & commandKeys)) {
        const QChar first = text.at(0);
        if (first.isPrint() || first == u' ' || first == u'\r' || first == u'\n'
            || first == u'\b') {
            Q_EMIT keyTyped(text);
            event->accept();
            return;
        }
    }
    QTableWidget::keyPressEvent(event);
}

bool FixedHeaderTable::onFixedCell(const QPoint &pos) const
{
    const QModelIndex index = indexAt(pos);
    return index.isValid() && !isValueCell(index.row(), index.column());
}

void FixedHeaderTable::mousePressEvent(QMouseEvent *event)
{
    if (onFixedCell(event->position().toPoint())) {
        event->accept();
        return;
    }
    QTableWidget::mousePressEvent(event);
}

void FixedHeaderTable::mouseReleaseEvent(QMouseEvent *event)
{
    if (onFixedCell(event->position().toPoint())) {
        event->accept();
        return;
    }
    QTableWidget::mouseReleaseEvent(event);
}

void FixedHeaderTable::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (onFixedCell(event->position().toPoint())) {
        event->accept();
        return;
    }
    QTableWidget::mouseDoubleClickEvent(event);
}

void FixedHeaderTable::mouseMoveEvent(QMouseEvent *event)
{
    // Dragging with the button held would otherwise move the current cell onto a
    // fixed cell.
    if (onFixedCell(event->position().toPoint())) {
        event->accept();
        return;
    }
    QTableWidget::mouseMoveEvent(event);
}

} // namespace properties
