#include "propertygrid.h"

#include "fixedheadertable.h"

#include "model/currentflow.h"
#include "model/flowstore.h"
#include "ui/userprompts.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace properties {

namespace {
// Wide enough for the longest field name; the values take the rest of the width.
constexpr int kNameColumnWidth = 150;
} // namespace

PropertyGrid::PropertyGrid(const model::CurrentFlow &current, ui::UserPrompts &prompts,
                           QWidget *parent)
    : QWidget(parent)
    , m_current(current)
    , m_prompts(prompts)
{
    m_label = new QLabel(
        QStringLiteral("Click the call function below to set properties here  ----------------->"),
        this);
    m_label->setObjectName(QStringLiteral("Label7"));
    m_label->setWordWrap(true);

    m_grid = new FixedHeaderTable(kRows, 2, this);
    m_grid->setObjectName(QStringLiteral("fg2"));
    m_grid->setAccessibleName(QStringLiteral("Node properties"));
    m_grid->setColumnWidth(0, kNameColumnWidth);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setMinimumWidth(kNameColumnWidth + 100);
    // The value column follows the grid's width, and the editor its cell.
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionResized, this,
            &PropertyGrid::placeEditor);
    showHeadings();

    // The editor lies over the current cell, on the grid's viewport so that it moves
    // with the grid.
    m_editor = new QLineEdit(m_grid->viewport());
    m_editor->setObjectName(QStringLiteral("txtedit"));
    m_editor->setAccessibleName(QStringLiteral("Property value"));
    m_editor->hide();
    m_editor->installEventFilter(this);
    connect(m_editor, &QLineEdit::textEdited, this, [this] { m_editorStale = false; });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_label);
    layout->addWidget(m_grid, 1);

    connect(m_grid, &FixedHeaderTable::keyTyped, this, [this](const QString &text) {
        const QChar first = text.at(0);
        if (first == u' ' || first == u'\r' || first == u'\n' || first == u'\b')
            openEditor(QString(), true);
        else
            openEditor(text, false);
    });
    connect(m_grid, &QTableWidget::cellDoubleClicked, this,
            [this](int, int) { openEditor(QString(), true); });
    connect(m_grid, &QTableWidget::currentCellChanged, this,
            [this](int, int, int previousRow, int previousColumn) {
                leaveCell(previousRow, previousColumn);
            });
    connect(m_grid, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (FixedHeaderTable::isValueCell(row, column))
            Q_EMIT cellClicked(m_grid->cellText(row, column));
    });
}

void PropertyGrid::showHeadings()
{
    m_grid->clearCells();
    m_grid->setCellText(0, 0, QStringLiteral("Property"));
    m_grid->setCellText(0, 1, QStringLiteral("Settings"));
}

void PropertyGrid::loadNode(const model::NodeIdentity &node)
{
    m_loading = true;
    m_node = node;
    m_databasePath = m_current.databasePath;
    m_table = m_current.table;
    m_editor->clear();
    m_editorStale = true;
    showHeadings();

    const QStringList fields = model::flowcolumns::shownFor(node.text);
    if (!fields.isEmpty() && !m_databasePath.isEmpty()) {
        model::FlowStore store(m_databasePath, m_table);
        QString error;
        const std::optional<model::ColumnValues> row = store.fetchRow(node, &error);
        // A node without a row (or a store that cannot be read) shows the headings only,
        // so that no value of another node is taken for this one's.
        if (row) {
            for (int i = 0; i < fields.size() && i + 1 < kRows; ++i) {
                m_grid->setCellText(i + 1, 0, fields.at(i));
                const QVariant value = row->value(fields.at(i));
                m_grid->setCellText(i + 1, 1, value.isNull() ? QString() : value.toString());
            }
        }
    }
    m_loading = false;
}

QString PropertyGrid::fieldValue(const QString &fieldName) const
{
    for (int r = 0; r < m_grid->rowCount(); ++r) {
        if (m_grid->cellText(r, 0) == fieldName) {
            const QString value = m_grid->cellText(r, 1);
            return value.isNull() ? QStringLiteral("") : value;
        }
    }
    return QString();
}

bool PropertyGrid::showField(const QString &fieldName)
{
    for (int r = 1; r < m_grid->rowCount(); ++r) {
        if (m_grid->cellText(r, 0).compare(fieldName, Qt::CaseInsensitive) == 0) {
            m_grid->setCurrentCell(r, 1);
            m_grid->setFocus();
            return true;
        }
    }
    return false;
}

void PropertyGrid::openEditor(const QString &typed, bool keepValue)
{
    const int row = m_grid->currentRow();
    const int column = m_grid->currentColumn();
    if (!FixedHeaderTable::isValueCell(row, column))
        return;
    // A row without a field name holds nothing that could be stored.
    if (m_grid->cellText(row, 0).trimmed().isEmpty())
        return;
    if (keepValue) {
        m_editor->setText(m_grid->cellText(row, column));
        m_editor->setCursorPosition(m_editor->text().size());
    } else {
        m_editor->setText(typed);
        m_editor->setCursorPosition(typed.size());
    }
    m_editorStale = false;
    if (QTableWidgetItem *cell = m_grid->item(row, column))
        m_grid->scrollToItem(cell);
    placeEditor();
    m_editor->show();
    m_editor->raise();
    m_editor->setFocus();
}

void PropertyGrid::placeEditor()
{
    const QTableWidgetItem *cell = m_grid->item(m_grid->currentRow(), 1);
    m_editor->setGeometry(cell ? m_grid->visualItemRect(cell).adjusted(0, 0, -1, -1) : QRect());
}

bool PropertyGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_editor && event->type() == QEvent::KeyPress)
        return editorKey(static_cast<QKeyEvent *>(event)->key());
    return QWidget::eventFilter(watched, event);
}

bool PropertyGrid::editorKey(int key)
{
    const int row = m_grid->currentRow();
    const int column = m_grid->currentColumn();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_grid->setFocus();
        return true;
    case Qt::Key_Escape:
        m_editor->hide();
        m_grid->setFocus();
        return true;
    case Qt::Key_Up:
        m_grid->setFocus();
        if (row > 1)
            m_grid->setCurrentCell(row - 1, column);
        return true;
    case Qt::Key_Down:
        m_grid->setFocus();
        if (row < m_grid->rowCount() - 1)
            m_grid->setCurrentCell(row + 1, column);
        return true;
    default:
        return false;
    }
}

void PropertyGrid::leaveCell(int row, int column)
{
    if (m_loading || !m_editor->isVisible())
        return;
    QString error;
    if (!m_editorStale && FixedHeaderTable::isValueCell(row, column)) {
        m_grid->setCellText(row, column, m_editor->text());
        if (!writeBack(&error))
            m_prompts.message(QStringLiteral("There was an error updating record"));
    }
    m_editor->hide();
}

bool PropertyGrid::commitEdit()
{
    const int row = m_grid->currentRow();
    if (!m_editor->isVisible() || m_editorStale || !FixedHeaderTable::isValueCell(row, 1))
        return true;
    const QString before = m_grid->cellText(row, 1);
    m_grid->setCellText(row, 1, m_editor->text());
    QString error;
    if (!writeBack(&error)) {
        m_grid->setCellText(row, 1, before);
        m_prompts.message(QStringLiteral("The %1 typed for \"%2\" was not stored: %3\r\n"
                                         "Correct it, or press Escape to drop it.")
                              .arg(m_grid->cellText(row, 0), m_node->text, error));
        m_editor->setFocus();
        return false;
    }
    m_editor->hide();
    return true;
}

bool PropertyGrid::writeBack(QString *error)
{
    if (!m_node)
        return true;
    model::FlowStore store(m_databasePath, m_table);
    const std::optional<model::ColumnValues> stored = store.fetchRow(*m_node, error);
    if (!stored) {
        if (error->isEmpty())
            *error = QStringLiteral("the node has no row in table %1.").arg(m_table);
        return false;
    }
    model::ColumnValues changes;
    for (int i = 0; i + 1 < m_grid->rowCount(); ++i) {
        const QString name = m_grid->cellText(i + 1, 0).trimmed();
        if (name.isEmpty())
            break;
        const QString column = model::flowcolumns::canonical(name);
        const QString value = m_grid->cellText(i + 1, 1);
        const QVariant before = stored->value(column);
        const QString storedText = before.isNull() ? QString() : before.toString();
        if (storedText == value || (storedText.isEmpty() && value.isEmpty()))
            continue;
        // A blank value is never written, and nothing after it is looked at.
        if (value.trimmed().isEmpty())
            break;
        changes.insert(column, value);
    }
    if (changes.isEmpty())
        return true;
    if (!(m_writer ? m_writer(*m_node, changes, error) : store.updateRow(*m_node, changes, error)))
        return false;
    Q_EMIT valuesWritten(*m_node);
    return true;
}

} // namespace properties
