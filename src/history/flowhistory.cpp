#include "flowhistory.h"

#include "flowcommand.h"

namespace history {

FlowHistory::FlowHistory(QObject *parent)
    : QObject(parent)
{
    m_stack.setUndoLimit(kStepLimit);
    connect(&m_stack, &QUndoStack::cleanChanged, this, &FlowHistory::updateModified);
    connect(&m_stack, &QUndoStack::indexChanged, this, &FlowHistory::stepsChanged);
}

FlowHistory::~FlowHistory()
{
    // The stack clears itself as it goes, which is no change anyone should hear of.
    m_stack.disconnect(this);
}

bool FlowHistory::perform(std::unique_ptr<FlowCommand> command, QString *error)
{
    if (!command->writeRedo(error))
        return false;
    m_stack.push(command.release());
    updateModified();
    return true;
}

bool FlowHistory::undo(QString *error)
{
    return step(false, error);
}

bool FlowHistory::redo(QString *error)
{
    return step(true, error);
}

bool FlowHistory::step(bool forward, QString *error)
{
    const int index = forward ? m_stack.index() : m_stack.index() - 1;
    if (index < 0 || index >= m_stack.count())
        return false;
    // The stack hands its commands out read-only; their kept rows change as they step.
    auto *command = static_cast<FlowCommand *>(const_cast<QUndoCommand *>(m_stack.command(index)));
    QString why;
    if (!(forward ? command->writeRedo(&why) : command->writeUndo(&why))) {
        if (error)
            *error = QStringLiteral("%1 %2 is not possible: %3")
                         .arg(forward ? QStringLiteral("Redo") : QStringLiteral("Undo"),
                              command->text(), why);
        return false;
    }
    forward ? m_stack.redo() : m_stack.undo();
    updateModified();
    emit stepped();
    return true;
}

bool FlowHistory::isModified() const
{
    return m_unsavedBeforeSteps || !m_stack.isClean();
}

void FlowHistory::markSaved()
{
    m_unsavedBeforeSteps = false;
    m_stack.setClean();
    updateModified();
}

void FlowHistory::startAfresh(bool unsaved)
{
    m_unsavedBeforeSteps = unsaved;
    m_stack.clear();
    updateModified();
    emit stepsChanged();
}

void FlowHistory::dropSteps()
{
    startAfresh(isModified());
}

void FlowHistory::updateModified()
{
    if (isModified() == m_modified)
        return;
    m_modified = isModified();
    emit modifiedChanged(m_modified);
}

} // namespace history
