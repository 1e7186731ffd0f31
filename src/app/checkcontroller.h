#pragma once

#include "checker/problem.h"
#include "model/flowtree.h"

#include <QList>
#include <QObject>
#include <QString>

class QTimer;

namespace model {
struct CurrentFlow;
}
namespace problems {
class ProblemsPanel;
}
namespace ui {
class UserPrompts;
}

namespace app {

// Checks the window's flow: "Check Flow", the check before each generation, and the
// problems panel kept up to date while the flow is edited, once it shows.
class CheckController final : public QObject, public model::FlowTreeObserver
{
    Q_OBJECT
public:
    CheckController(model::FlowTree &tree, const model::CurrentFlow &current,
                    const QString &appDir, ui::UserPrompts &prompts,
                    problems::ProblemsPanel &panel, QObject *parent = nullptr);
    ~CheckController() override;

    // Check Flow: the problems for the panel's target, shown in the panel.
    void checkFlow();
    // Before generating `target`: its problems go to the panel; with errors the user is
    // asked whether to generate anyway. False when the answer is no.
    bool approveGeneration(const QString &target);
    // Something the problems depend on changed outside the tree (a property was written):
    // the shown list is refreshed soon.
    void flowChanged();

    const QList<checker::Problem> &problems() const { return m_problems; }

Q_SIGNALS:
    // The panel was filled (for views that mark the nodes, and for the window to show it).
    void problemsChanged(const QList<checker::Problem> &problems);

private:
    void refresh();

    // Every change of the tree refreshes the shown list.
    void nodeAboutToBeInserted(model::FlowNode *, int) override {}
    void nodeInserted(model::FlowNode *) override { flowChanged(); }
    void nodeAboutToBeRemoved(model::FlowNode *) override {}
    void nodeRemoved() override { flowChanged(); }
    void nodeAboutToBeMoved(model::FlowNode *, model::FlowNode *) override {}
    void nodeMoved(model::FlowNode *) override { flowChanged(); }
    void treeAboutToBeReset() override {}
    void treeReset() override { flowChanged(); }
    void treeDestroyed() override { m_tree = nullptr; }

    model::FlowTree *m_tree;
    const model::CurrentFlow &m_current;
    QString m_appDir;
    ui::UserPrompts &m_prompts;
    problems::ProblemsPanel &m_panel;
    QTimer *m_refresh = nullptr;
    bool m_live = false; // a check has been shown: edits refresh it
    QList<checker::Problem> m_problems;
};

} // namespace app
