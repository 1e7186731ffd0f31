#pragma once

#include <QString>

namespace model {
class FlowTree;
struct CurrentFlow;
} // namespace model
namespace ui {
class UserPrompts;
}
namespace editor {
class FlowEditor;
}

namespace app {

// "Export Flow..." and "Import Flow..." of the Call Flow menu: the flow shown to a flow
// file, and a flow file into a table of the current flow database, which then becomes the
// current flow. Each returns the line for the status bar, empty when nothing was done;
// failures are shown as messages.
class FlowFileActions
{
public:
    FlowFileActions(editor::FlowEditor &editor, const model::FlowTree &tree,
                    const model::CurrentFlow &current, ui::UserPrompts &prompts,
                    const QString &appDir);

    QString exportFlow();
    QString importFlow();

private:
    editor::FlowEditor &m_editor;
    const model::FlowTree &m_tree;
    const model::CurrentFlow &m_current;
    ui::UserPrompts &m_prompts;
    QString m_appDir;
};

} // namespace app
