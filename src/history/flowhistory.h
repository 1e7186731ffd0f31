#pragma once

#include <QObject>
#include <QUndoStack>

#include <memory>

namespace history {

class FlowCommand;

// The undo history of the flow being edited: every change the user makes goes through
// perform(), and undo() and redo() take changes back and do them again, table writes
// first, the tree after (see FlowCommand). It also knows whether the flow has changes
// that no save holds.
//
// The history lasts until the flow is replaced: loading, creating or importing a flow
// starts afresh; a generation drops the steps but not the unsaved mark.
class FlowHistory final : public QObject
{
    Q_OBJECT

public:
    // At least 500 steps are kept, as users expect of a desktop editor.
    static constexpr int kStepLimit = 1000;

    explicit FlowHistory(QObject *parent = nullptr);
    ~FlowHistory() override;

    // Does the change and keeps it for undoing; false, with the store's reason, when its
    // writes were refused: the flow is then as it was and nothing is kept.
    bool perform(std::unique_ptr<FlowCommand> command, QString *error);
    // False, with the reason, when the table no longer allows the step (it was changed
    // outside the designer) or cannot be written; the flow and the history stay as they were.
    bool undo(QString *error);
    bool redo(QString *error);

    bool canUndo() const { return m_stack.canUndo(); }
    bool canRedo() const { return m_stack.canRedo(); }
    // The change an undo or redo would take: "Remove get option digits"; empty when none.
    QString undoText() const { return m_stack.undoText(); }
    QString redoText() const { return m_stack.redoText(); }

    // True when the tree holds changes that were not saved.
    bool isModified() const;
    // The tree was saved: undoing or redoing back to here leaves nothing unsaved.
    void markSaved();
    // Another flow is being edited: no steps; `unsaved` when its table lacks the tree.
    void startAfresh(bool unsaved = false);
    // No steps any more; what was unsaved stays so.
    void dropSteps();

    const QUndoStack &stack() const { return m_stack; }

signals:
    void modifiedChanged(bool modified);
    // An undo or a redo changed the flow (a change performed does not count).
    void stepped();
    // What undo and redo would take (canUndo, undoText, ...) may have changed.
    void stepsChanged();

private:
    bool step(bool forward, QString *error);
    void updateModified();

    QUndoStack m_stack;
    bool m_unsavedBeforeSteps = false; // changes no step of the history holds
    bool m_modified = false;
};

} // namespace history
