#include "flowfileactions.h"

#include "editor/floweditor.h"
#include "flowjson/flowreader.h"
#include "flowjson/flowrules.h"
#include "flowjson/flowtransfer.h"
#include "model/currentflow.h"
#include "model/demoflow.h"
#include "ui/userprompts.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace app {

namespace {
const QString kFilter = QStringLiteral("Flow file (*.json)");
using Icon = ui::UserPrompts::Icon;
} // namespace

FlowFileActions::FlowFileActions(editor::FlowEditor &editor, const model::FlowTree &tree,
                                 const model::CurrentFlow &current, ui::UserPrompts &prompts,
                                 const QString &appDir)
    : m_editor(editor)
    , m_tree(tree)
    , m_current(current)
    , m_prompts(prompts)
    , m_appDir(appDir)
{
}

QString FlowFileActions::exportFlow()
{
    if (!m_current.isSet()) {
        m_prompts.message(QStringLiteral("There is no flow to export: load or create one first."));
        return {};
    }
    QString path = m_prompts.saveFileName(QStringLiteral("Export Flow"), kFilter, m_appDir);
    if (path.isEmpty())
        return {};
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".json");
    // The flow as shown, each node with the properties of its row, as a save would write it.
    const flowjson::ExportResult result =
        flowjson::exportTree(m_tree, m_current.databasePath, m_current.table);
    QSaveFile file(path);
    QString error = result.error;
    if (result.ok
        && (!file.open(QIODevice::WriteOnly) || file.write(result.bytes) != result.bytes.size()
            || !file.commit()))
        error = QStringLiteral("%1 cannot be written: %2")
                    .arg(QDir::toNativeSeparators(path), file.errorString());
    if (!error.isEmpty()) {
        m_prompts.message(QStringLiteral("The flow was not exported.\r\n") + error,
                          Icon::Critical);
        return {};
    }
    return QStringLiteral("Flow exported to %1").arg(QDir::toNativeSeparators(path));
}

QString FlowFileActions::importFlow()
{
    const QString path = m_prompts.openFileName(QStringLiteral("Import Flow"), kFilter, m_appDir);
    if (path.isEmpty())
        return {};
    QStringList problems;
    flowjson::FlowContent content;
    if (!flowjson::readFlowFile(path, &content, &problems)) {
        m_prompts.message(QStringLiteral("%1 was not imported.\r\n%2")
                              .arg(QDir::toNativeSeparators(path),
                                   flowjson::rules::summary(problems)),
                          Icon::Critical);
        return {};
    }
    const std::optional<QString> table =
        m_prompts.inputText(QStringLiteral("Enter a Table name"),
                            QStringLiteral("Table name to import the flow into"),
                            QFileInfo(path).completeBaseName());
    if (!table || table->trimmed().isEmpty()) {
        m_prompts.message(QStringLiteral("You did not supply a table name"));
        return {};
    }
    // Into the current flow database, so that the imported flow sits beside the others.
    const QString database =
        m_current.isSet() ? m_current.databasePath : model::demoflow::path(m_appDir);
    // Written by the editor's load, so that the flow shown is settled before its table may
    // be replaced.
    const auto write = [&] {
        flowjson::ImportResult result = flowjson::importFlow(content, database, *table, false);
        if (result.refusedAsExisting) {
            if (m_prompts.ask(QStringLiteral("The table %1 exists already.\r\nAll records in "
                                             "your table will be destroyed")
                                  .arg(*table),
                              ui::UserPrompts::Buttons::OkCancel)
                != ui::UserPrompts::Answer::Ok)
                return false;
            result = flowjson::importFlow(content, database, *table, true);
        }
        if (!result.ok)
            m_prompts.message(QStringLiteral("The flow was not imported.\r\n") + result.error,
                              Icon::Critical);
        return result.ok;
    };
    if (!m_editor.loadTable(database, *table, write))
        return {};
    return QStringLiteral("Flow imported into table %1").arg(*table);
}

} // namespace app
