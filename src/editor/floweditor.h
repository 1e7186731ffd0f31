#pragma once

#include "model/currentflow.h"
#include "model/flowrecord.h"
#include "ui/userprompts.h"

#include <QList>
#include <QWidget>

#include <functional>

class QAbstractButton;
class QLabel;
class QVBoxLayout;
class QPushButton;
class QToolButton;

namespace model {
class FlowTree;
class NodeRows;
struct FlowNode;
} // namespace model
namespace history {
class FlowHistory;
}

namespace editor {

class FlowTreeModel;
class FlowTreeView;

// The flow editor panel of the designer: the palette of call functions (cmdChild), the
// flow tree (TreeView1) and the flow commands (cmdLoad, cmdSave, cmdClear, cmdRemove,
// Command3). It edits the window's tree and keeps the window's current flow; a current
// flow changes only when a load or a creation completes, so a cancelled dialog never
// binds the tree to another database.
//
// Every change the user makes to the flow goes through the editor's undo history; loading
// or creating a flow starts it afresh, and asks first what to do with unsaved changes.
class FlowEditor final : public QWidget
{
    Q_OBJECT

public:
    FlowEditor(model::FlowTree &tree, model::CurrentFlow &current, const QString &appDir,
               ui::UserPrompts &prompts, QWidget *parent = nullptr);
    ~FlowEditor() override;

    model::FlowNode *selectedNode() const;
    history::FlowHistory &history() const { return *m_history; }
    FlowTreeModel *treeModel() const { return m_model; }
    FlowTreeView *treeView() const { return m_view; }

    // The drop rules: `node` becomes the last child of `target` with its subtree, and its
    // row follows it. No target ends the drag; a target inside the node's own subtree is
    // refused with a message. True when the node moved.
    bool dropNode(model::FlowNode *node, model::FlowNode *target);

    // Save to Table, Clear Flow and Remove: usable once there is a flow.
    void setFlowCommandsEnabled(bool enabled);

    // Adds a panel under the tree (below those added before), such as a list of the
    // flow's problems; with a stretch it shares the extra height with the tree.
    void addBelowTree(QWidget *panel, int stretch = 0);

    // A property edit of the grid, kept for undoing: the values written into the node's
    // row; false, with the reason, when the store refused them.
    bool editProperties(const model::NodeIdentity &node, const model::ColumnValues &values,
                        QString *error);

    // Before the flow is closed or replaced: when it has unsaved changes, asks "Save changes
    // to the flow <table>?" and saves on Save. False when the user cancelled or the save
    // failed: everything stays as it was.
    bool settleUnsavedChanges();

    // Asked before a node click shows another node's properties (work still pending for
    // the shown node is finished there); false keeps the shown node selected.
    void setLeaveCheck(std::function<bool()> check) { m_leaveCheck = std::move(check); }

public slots:
    // Labels the palette from the catalogue.
    void loadPalette();
    // cmdChild_Click
    void paletteClicked(int index);
    // cmdClear_Click
    void clearFlow();
    // cmdRemove_Click
    void removeNode();
    // Load Flow: asks for a database file, then loads it as loadFlowFile does.
    void loadFlow();
    // Loads a flow of the database at `path`, asking which flow table (a file given to
    // the program at its start comes here).
    void loadFlowFile(const QString &path);
    // Loads the table of the database at `path` as the current flow; false, with a message,
    // when it cannot be read. `fill`, when given, writes the table first (an imported flow),
    // once the flow shown may be replaced; when it fails, everything stays as it was.
    bool loadTable(const QString &path, const QString &table,
                   const std::function<bool()> &fill = {});
    // SaveToTable
    void saveToTable();
    // Create New, once unsaved changes are settled.
    void createNew();
    // Undo and Redo; a step refused is explained in a message.
    void undo();
    void redo();
    // Makes sure of the default flow database and loads its flow; false on failure.
    bool loadDemoFlow();
    // A node click: makes sure the node has its row, then reports the selection.
    void selectNodeAt(model::FlowNode *node);
    // Shows a node selected, as a test call runs it, without what a click does (no row is
    // made, nothing is played, no properties are shown).
    void highlightNode(model::FlowNode *node);


signals:
    void descriptionChanged(const QString &text);
    void flowCommandsEnabled();
    void nodeSelected(const model::NodeIdentity &node);
    void dropReported(const QString &line);

private:
    void buildPalette();
    bool checkSystemDB();
    void addAnswerCall();
    void selectFirstNode();
    // A change through the history; false (the error in *error) when the store refused it.
    template<typename Command, typename... Args>
    bool perform(QString *error, Args &&...args);
    void step(bool forward);
    bool save();
    void chooseNewFlow();
    void showNode(model::FlowNode *node);
    // `kept`: the properties to write, when they come from another table than the current.
    bool writeTree(const model::NodeRows *kept = nullptr);
    bool chooseTableName(QString *name);
    void completeCreation(const QString &path, const QString &table);

    history::FlowHistory *m_history = nullptr;
    std::function<bool()> m_leaveCheck;
    QString m_shownKey; // the node whose selection was last reported
    model::FlowTree &m_tree;
    model::CurrentFlow &m_current;
    QString m_appDir;
    ui::UserPrompts &m_prompts;

    FlowTreeModel *m_model = nullptr;
    FlowTreeView *m_view = nullptr;
    QList<QToolButton *> m_palette;
    QPushButton *m_load = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_clear = nullptr;
    QPushButton *m_remove = nullptr;
    QPushButton *m_createNew = nullptr;
    QLabel *m_dropReport = nullptr;
    QVBoxLayout *m_layout = nullptr;
};

} // namespace editor
