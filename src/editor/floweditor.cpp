#include "floweditor.h"

#include "flowpictures.h"
#include "flowtreemodel.h"
#include "flowtreeview.h"

#include "history/addnodecommand.h"
#include "history/clearflowcommand.h"
#include "history/editpropertiescommand.h"
#include "history/flowhistory.h"
#include "history/movenodecommand.h"
#include "history/removenodecommand.h"
#include "model/catalogue.h"
#include "model/demoflow.h"
#include "model/flowstore.h"
#include "model/flowtree.h"
#include "model/sqlconnection.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace editor {

namespace {

using Answer = ui::UserPrompts::Answer;
using Buttons = ui::UserPrompts::Buttons;
using Icon = ui::UserPrompts::Icon;

const QString kSelectFirst = QStringLiteral(
    "You must First select a call function to create next flow\r\n"
    "If the call flow is empty, use answer call button to create the first call function");
const QString kCatalogueError = QStringLiteral("error on the systemdb.mdb");
const QString kCantRemoveFirst = QStringLiteral("You can't remove Answercall function");
const QString kRemoveFailed = QStringLiteral("You must select a call function to do a Remove\r\n"
                                             "unless ofcourse the call flow is empty");
const QString kClearFailed = QStringLiteral("There was error deleting records");
const QString kFilter = QStringLiteral("Access Database(*.MDB) |*.mdb");
const QString kNoFile = QStringLiteral("No File was Choosen");
const QString kNoTable = QStringLiteral("No table was chosen...");
const QString kCreateQuestion = QStringLiteral("Click YES to Create a new MDB");
const QString kNoFileName = QStringLiteral("You did not enter a file name");
const QString kTablePrompt = QStringLiteral("Enter a Table name");
const QString kTableTitle = QStringLiteral("Table name to save Nodes to");
const QString kNoTableName = QStringLiteral("You did not supply a table name");
const QString kDestroy = QStringLiteral("All records in your table will be destroyed");
const QString kCircular = QStringLiteral("A node can't be made a child of its own children.");
const QString kDemoLoaded =
    QStringLiteral("Demo call Flow file callflow.mdb was created and loaded");
const QString kAnswerCallName = QStringLiteral("Answer Call");
const QString kAnswerCallText = QStringLiteral("answer call");

QString fileLabel(const QString &path)
{
    return QFileInfo(path).fileName();
}

QString findTable(const QStringList &tables, const QString &name)
{
    // Table names are compared without regard to case by the database itself.
    for (const QString &t : tables) {
        if (t.compare(name, Qt::CaseInsensitive) == 0)
            return t;
    }
    return {};
}

} // namespace

FlowEditor::FlowEditor(model::FlowTree &tree, model::CurrentFlow &current,
                       const QString &appDir, ui::UserPrompts &prompts, QWidget *parent)
    : QWidget(parent)
    , m_tree(tree)
    , m_current(current)
    , m_appDir(appDir)
    , m_prompts(prompts)
{
    m_history = new history::FlowHistory(this);
    m_model = new FlowTreeModel(m_tree, this);
    m_model->setDropHandler([this](model::FlowNode *node, model::FlowNode *target) {
        return dropNode(node, target);
    });
    m_view = new FlowTreeView(this);
    m_view->setModel(m_model);
    connect(m_view, &QAbstractItemView::clicked, this,
            [this](const QModelIndex &index) { selectNodeAt(m_model->nodeAt(index)); });

    auto makeButton = [this](const char *name, const QString &caption) {
        auto *button = new QPushButton(caption, this);
        button->setObjectName(QLatin1String(name));
        return button;
    };
    m_load = makeButton("cmdLoad", QStringLiteral("Load Flow"));
    m_save = makeButton("cmdSave", QStringLiteral("Save to Table"));
    m_clear = makeButton("cmdClear", QStringLiteral("Clear Flow"));
    m_remove = makeButton("cmdRemove", QStringLiteral("Remove"));
    m_createNew = makeButton("Command3", QStringLiteral("Create New"));
    connect(m_load, &QPushButton::clicked, this, &FlowEditor::loadFlow);
    connect(m_save, &QPushButton::clicked, this, &FlowEditor::saveToTable);
    connect(m_clear, &QPushButton::clicked, this, &FlowEditor::clearFlow);
    connect(m_remove, &QPushButton::clicked, this, &FlowEditor::removeNode);
    connect(m_createNew, &QPushButton::clicked, this, &FlowEditor::createNew);

    buildPalette();

    // Rows of five keep the column narrow enough for a 1024-pixel screen.
    constexpr int kColumns = 5;
    auto *paletteLayout = new QGridLayout;
    paletteLayout->setSpacing(2);
    for (int i = 0; i < m_palette.size(); ++i)
        paletteLayout->addWidget(m_palette.at(i), i / kColumns, i % kColumns);
    paletteLayout->setColumnStretch(kColumns, 1);
    auto *commands = new QGridLayout;
    const QList<QPushButton *> buttons{m_load, m_save, m_clear, m_remove, m_createNew};
    for (int i = 0; i < buttons.size(); ++i)
        commands->addWidget(buttons.at(i), i / 2, i % 2);
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->addLayout(paletteLayout);
    m_layout->addWidget(m_view, 1);
    // The line that tells what the last drop did, below the tree rather than over anything.
    m_dropReport = new QLabel(this);
    m_dropReport->setObjectName(QStringLiteral("dropReport"));
    m_dropReport->setWordWrap(true);
    m_layout->addWidget(m_dropReport);
    m_layout->addLayout(commands);
}

void FlowEditor::setFlowCommandsEnabled(bool enabled)
{
    for (QPushButton *b : {m_save, m_clear, m_remove})
        b->setEnabled(enabled);
}

void FlowEditor::addBelowTree(QWidget *panel, int stretch)
{
    // After the tree and the panels added before, ahead of the drop report.
    m_layout->insertWidget(m_layout->indexOf(m_dropReport), panel, stretch);
}

FlowEditor::~FlowEditor()
{
    // The view goes before the model it shows.
    delete m_view;
    m_view = nullptr;
}

void FlowEditor::buildPalette()
{
    // The window design's tooltips, kept by buttons a short catalogue does not reach.
    const QList<model::CallFunction> design = model::Catalogue::seedRows();
    for (int i = 0; i < flowpictures::kPaletteCount; ++i) {
        auto *button = new QToolButton(this);
        button->setObjectName(QStringLiteral("cmdChild"));
        button->setProperty("index", i);
        button->setIcon(flowpictures::paletteIcon(i));
        button->setIconSize(QSize(32, 32));
        button->setAutoRaise(true);
        if (i < design.size()) {
            button->setToolTip(design.at(i).tooltip);
            button->setAccessibleName(design.at(i).functionName);
        }
        connect(button, &QToolButton::clicked, this, [this, i] { paletteClicked(i); });
        m_palette << button;
    }
}

void FlowEditor::loadPalette()
{
    const QList<model::CallFunction> rows = model::Catalogue(m_appDir).rows();
    for (int i = 0; i < rows.size() && i < m_palette.size(); ++i) {
        m_palette.at(i)->setToolTip(rows.at(i).tooltip);
        m_palette.at(i)->setAccessibleName(rows.at(i).functionName);
    }
}

bool FlowEditor::checkSystemDB()
{
    bool created = false;
    if (!model::Catalogue(m_appDir).ensure(&created, nullptr))
        return false;
    loadPalette();
    return true;
}

model::FlowNode *FlowEditor::selectedNode() const
{
    const QModelIndexList rows = m_view->selectionModel()->selectedRows();
    return rows.isEmpty() ? nullptr : m_model->nodeAt(rows.first());
}

void FlowEditor::showNode(model::FlowNode *node)
{
    const QModelIndex index = m_model->indexOf(node);
    if (index.isValid())
        m_view->scrollTo(index);
}

void FlowEditor::highlightNode(model::FlowNode *node)
{
    const QModelIndex index = m_model->indexOf(node);
    if (!index.isValid())
        return;
    m_view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect
                                                         | QItemSelectionModel::Rows);
    m_view->scrollTo(index);
}

void FlowEditor::selectFirstNode()
{
    const QModelIndex index = m_model->indexOf(m_tree.node(1));
    if (index.isValid())
        m_view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect
                                                             | QItemSelectionModel::Rows);
}

template<typename Command, typename... Args>
bool FlowEditor::perform(QString *error, Args &&...args)
{
    return m_history->perform(
        std::make_unique<Command>(m_tree, m_current, std::forward<Args>(args)...), error);
}

void FlowEditor::addAnswerCall()
{
    // The last sibling of the selected node, or at the end of the top level.
    const model::FlowNode *selected = selectedNode();
    QString error;
    if (!perform<history::AddNodeCommand>(&error, selected ? selected->parent : nullptr,
                                          kAnswerCallText))
        m_prompts.message(kSelectFirst + QStringLiteral("\r\n\r\n") + error);
    selectFirstNode();
}

void FlowEditor::paletteClicked(int index)
{
    if (index < 0 || index >= m_palette.size())
        return;
    if (!checkSystemDB()) {
        m_prompts.message(kSelectFirst);
        return;
    }
    QString error;
    const std::optional<model::CallFunction> function =
        model::Catalogue(m_appDir).byTooltip(m_palette.at(index)->toolTip(), &error);
    if (!function) {
        m_prompts.message(error.isEmpty() ? kCatalogueError : kSelectFirst);
        return;
    }
    emit descriptionChanged(function->functionDesc);
    emit flowCommandsEnabled();

    if (function->functionName == kAnswerCallName) {
        addAnswerCall();
        for (QToolButton *button : std::as_const(m_palette))
            button->setEnabled(true);
        return;
    }
    model::FlowNode *selected = selectedNode();
    if (!selected) {
        m_prompts.message(kSelectFirst);
        return;
    }
    const QString key = m_tree.nextKey();
    error.clear();
    if (!perform<history::AddNodeCommand>(&error, selected, function->functionName)) {
        m_prompts.message(kSelectFirst + QStringLiteral("\r\n\r\n") + error);
        return;
    }
    // The selection stays on the parent, so that further clicks add its next children.
    showNode(m_tree.findKey(key));
}

void FlowEditor::clearFlow()
{
    m_dropReport->clear();
    QString error;
    if (!perform<history::ClearFlowCommand>(&error)) {
        m_prompts.message(kClearFailed + QStringLiteral("\r\n\r\n") + error);
        return;
    }
    selectFirstNode();
}

void FlowEditor::removeNode()
{
    model::FlowNode *selected = selectedNode();
    if (!selected) {
        m_prompts.message(kRemoveFailed);
        return;
    }
    if (m_tree.indexOf(selected) == 1) {
        m_prompts.message(kCantRemoveFirst);
        return;
    }
    // Its row goes first: when it cannot be deleted, the node stays.
    QString error;
    if (!perform<history::RemoveNodeCommand>(&error, selected))
        m_prompts.message(kRemoveFailed + QStringLiteral("\r\n\r\n") + error);
}

void FlowEditor::selectNodeAt(model::FlowNode *node)
{
    if (!node || !m_tree.indexOf(node))
        return;
    if (m_leaveCheck && !m_leaveCheck()) {
        node = m_tree.findKey(m_shownKey);
        if (node)
            m_view->selectionModel()->setCurrentIndex(m_model->indexOf(node),
                                                      QItemSelectionModel::ClearAndSelect
                                                          | QItemSelectionModel::Rows);
        return;
    }
    const QModelIndex index = m_model->indexOf(node);
    if (m_view->currentIndex() != index || !m_view->selectionModel()->isSelected(index))
        m_view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect
                                                             | QItemSelectionModel::Rows);
    if (!m_current.isSet()) {
        chooseNewFlow();
        // Still no flow: the user cancelled, and chooseNewFlow has said why.
        if (!m_current.isSet() || !m_tree.indexOf(node))
            return;
    }
    const model::NodeIdentity identity = model::NodeIdentity::of(*node);
    {
        model::FlowStore store(m_current.databasePath, m_current.table);
        QString error = store.isOpen() ? QString() : store.errorString();
        if (error.isEmpty())
            store.ensureRow(identity, nullptr, &error);
        if (!error.isEmpty()) {
            m_prompts.message(QStringLiteral("The properties of \"%1\" could not be read or "
                                             "stored in table %2:\r\n%3")
                                  .arg(identity.text, m_current.table, error),
                              Icon::Critical);
            return;
        }
    }
    const std::optional<model::CallFunction> function =
        model::Catalogue(m_appDir).byName(identity.text);
    emit descriptionChanged(function ? function->functionDesc : QStringLiteral(" "));
    m_shownKey = identity.key;
    emit nodeSelected(identity);
}

bool FlowEditor::dropNode(model::FlowNode *node, model::FlowNode *target)
{
    if (!node || !target || !m_tree.indexOf(node) || !m_tree.indexOf(target))
        return false;
    if (node == target || node->isAncestorOf(target)) {
        // The drag is over either way; the answer changes nothing.
        m_prompts.ask(kCircular, Buttons::OkCancel, Icon::Exclamation);
        return false;
    }
    // The row goes first: if it cannot follow, the node stays where it was.
    QString error;
    if (!perform<history::MoveNodeCommand>(&error, node, target)) {
        m_prompts.message(QStringLiteral("\"%1\" was not moved: %2").arg(node->text, error),
                          Icon::Critical);
        return false;
    }
    m_view->expand(m_model->indexOf(target));
    m_dropReport->setText(target->text + QStringLiteral(" is parent of ") + node->text);
    emit dropReported(m_dropReport->text());
    return true;
}

void FlowEditor::loadFlow()
{
    if (!settleUnsavedChanges())
        return;
    const QString path = m_prompts.openFileName(QStringLiteral("Load Flow"), kFilter, m_appDir);
    if (path.isEmpty()) {
        m_prompts.message(kNoFile);
        return;
    }
    loadFlowFile(path);
}

void FlowEditor::loadFlowFile(const QString &path)
{
    QString chosen;
    {
        model::FlowStore probe(path, QString());
        if (!probe.isOpen()) {
            m_prompts.message(QStringLiteral("No flow was loaded: %1").arg(probe.errorString()),
                              Icon::Critical);
            return;
        }
        QString error;
        const QStringList tables = probe.flowTables(&error);
        if (!error.isEmpty()) {
            m_prompts.message(QStringLiteral("No flow was loaded: %1").arg(error), Icon::Critical);
            return;
        }
        if (tables.isEmpty()) {
            m_prompts.message(QStringLiteral("No flow was loaded: the file %1 holds no flow "
                                             "table.")
                                  .arg(fileLabel(path)));
            return;
        }
        for (const QString &table : tables) {
            const Answer answer = m_prompts.ask(QStringLiteral("load table ") + table
                                                    + QStringLiteral("?"),
                                                Buttons::YesNoCancel);
            if (answer == Answer::Yes) {
                chosen = table;
                break;
            }
            if (answer != Answer::No)
                return;
        }
        // No to every table: the earlier table name still applies when this file has it.
        if (chosen.isEmpty() && !m_current.table.isEmpty())
            chosen = findTable(tables, m_current.table);
    }
    if (chosen.isEmpty()) {
        m_prompts.message(kNoTable);
        return;
    }
    loadTable(path, chosen);
}

bool FlowEditor::loadTable(const QString &path, const QString &table,
                           const std::function<bool()> &fill)
{
    // An imported flow may replace the table shown: its changes are settled first.
    if (fill && (!settleUnsavedChanges() || !fill()))
        return false;
    QString error;
    {
        model::FlowStore store(path, table);
        if (!store.isOpen())
            error = store.errorString();
        else
            store.loadInto(m_tree, &error);
    }
    if (!error.isEmpty()) {
        m_prompts.message(QStringLiteral("The table %1 was not loaded: %2").arg(table, error),
                          Icon::Critical);
        return false;
    }
    m_current = {QFileInfo(path).absoluteFilePath(), table};
    m_history->startAfresh();
    m_view->expandAll();
    selectFirstNode();
    emit flowCommandsEnabled();
    return true;
}

void FlowEditor::saveToTable()
{
    save();
}

bool FlowEditor::save()
{
    if (!m_current.isSet()) {
        // A new flow is saved into as it is made.
        chooseNewFlow();
        return m_current.isSet() && !m_history->isModified();
    }
    if (!writeTree())
        return false;
    m_history->markSaved();
    return true;
}

bool FlowEditor::editProperties(const model::NodeIdentity &node,
                                const model::ColumnValues &values, QString *error)
{
    return perform<history::EditPropertiesCommand>(error, node, values);
}

bool FlowEditor::settleUnsavedChanges()
{
    // A value still being typed is a change too.
    if (m_leaveCheck && !m_leaveCheck())
        return false;
    if (!m_history->isModified())
        return true;
    const QString question =
        m_current.table.isEmpty()
            ? QStringLiteral("Save changes to the flow?")
            : QStringLiteral("Save changes to the flow %1?").arg(m_current.table);
    switch (m_prompts.ask(question, Buttons::SaveDiscardCancel, Icon::Warning)) {
    case Answer::Save:
        return save();
    case Answer::Discard:
        return true;
    default:
        return false;
    }
}

void FlowEditor::undo()
{
    step(false);
}

void FlowEditor::redo()
{
    step(true);
}

void FlowEditor::step(bool forward)
{
    QString error;
    if (!(forward ? m_history->redo(&error) : m_history->undo(&error)) && !error.isEmpty())
        m_prompts.message(error, Icon::Warning);
}

bool FlowEditor::writeTree(const model::NodeRows *kept)
{
    QString error;
    {
        model::FlowStore store(m_current.databasePath, m_current.table);
        if (!store.isOpen())
            error = store.errorString();
        else if (kept ? store.writeTree(m_tree, *kept, &error) : store.writeTree(m_tree, &error))
            return true;
    }
    m_prompts.message(QStringLiteral("The flow was not saved; table %1 was left as it was.\r\n%2")
                          .arg(m_current.table, error),
                      Icon::Critical);
    return false;
}

bool FlowEditor::chooseTableName(QString *name)
{
    const std::optional<QString> typed = m_prompts.inputText(kTablePrompt, kTableTitle);
    if (!typed || typed->trimmed().isEmpty()) {
        m_prompts.message(kNoTableName);
        return false;
    }
    QString why;
    if (!model::isValidTableName(*typed, &why)) {
        m_prompts.message(why);
        return false;
    }
    *name = *typed;
    return true;
}

void FlowEditor::completeCreation(const QString &path, const QString &table)
{
    // Each node keeps the properties of its row in the flow it comes from, as a save there
    // would keep them; the new table has none yet.
    model::NodeRows kept;
    if (m_current.isSet()) {
        model::FlowStore previous(m_current.databasePath, m_current.table);
        QString error = previous.errorString();
        std::optional<model::NodeRows> rows = previous.isOpen() ? previous.readRows(&error)
                                                                : std::nullopt;
        if (!rows) {
            m_prompts.message(QStringLiteral("The flow was not saved into table %1: the node "
                                             "properties of table %2 could not be read.\r\n%3")
                                  .arg(table, m_current.table, error),
                              Icon::Critical);
            return;
        }
        kept = std::move(*rows);
    }
    m_current = {QFileInfo(path).absoluteFilePath(), table};
    emit flowCommandsEnabled();
    // The history wrote to the former table; what the new one lacks is unsaved.
    const bool saved = writeTree(&kept);
    m_history->startAfresh(!saved);
}

void FlowEditor::createNew()
{
    // Without a flow there is nothing to save first: this is the save.
    if (!m_current.isSet() || settleUnsavedChanges())
        chooseNewFlow();
}

void FlowEditor::chooseNewFlow()
{
    const bool newFile = m_prompts.ask(kCreateQuestion, Buttons::YesNo) == Answer::Yes;
    const QString title = QStringLiteral("Create New");
    QString path = newFile ? m_prompts.saveFileName(title, kFilter, m_appDir)
                           : m_prompts.openFileName(title, kFilter, m_appDir);
    if (path.isEmpty()) {
        m_prompts.message(newFile ? kNoFileName : kNoFile);
        return;
    }
    if (newFile && QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".mdb");
    QString table;
    if (!chooseTableName(&table))
        return;

    QString existing;
    if (QFileInfo::exists(path) || !newFile) {
        model::FlowStore probe(path, table);
        QString error = probe.isOpen() ? QString() : probe.errorString();
        QStringList tables;
        if (error.isEmpty())
            tables = probe.tables(&error);
        if (!error.isEmpty()) {
            m_prompts.message(QStringLiteral("No flow was created: %1").arg(error),
                              Icon::Critical);
            return;
        }
        existing = findTable(tables, table);
        if (!existing.isEmpty() && newFile) {
            m_prompts.message(QStringLiteral("The table %1 already exists in %2; it was left as "
                                             "it was.")
                                  .arg(existing, fileLabel(path)));
            return;
        }
        if (!existing.isEmpty() && !probe.isFlowTable(existing)) {
            m_prompts.message(QStringLiteral("The table %1 in %2 does not hold a flow; it was "
                                             "left as it was.")
                                  .arg(existing, fileLabel(path)));
            return;
        }
    }
    if (!existing.isEmpty()) {
        if (m_prompts.ask(kDestroy, Buttons::OkCancel) != Answer::Ok)
            return;
        completeCreation(path, existing);
        return;
    }
    QString error;
    if (!model::FlowStore::createMain(path, table, &error)) {
        m_prompts.message(QStringLiteral("The table %1 was not created: %2").arg(table, error),
                          Icon::Critical);
        return;
    }
    completeCreation(path, table);
}

bool FlowEditor::loadDemoFlow()
{
    bool created = false;
    if (!model::demoflow::ensure(m_appDir, &created, nullptr))
        return false;
    const QString path = model::demoflow::path(m_appDir);
    const QString table = model::demoflow::tableName();
    {
        model::FlowStore store(path, table);
        if (!store.isOpen() || !store.isFlowTable(table) || !store.loadInto(m_tree, nullptr))
            return false;
    }
    m_current = {path, table};
    m_history->startAfresh();
    m_view->expandAll();
    selectFirstNode();
    emit descriptionChanged(kDemoLoaded);
    emit flowCommandsEnabled();
    return true;
}

} // namespace editor
