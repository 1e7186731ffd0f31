#pragma once

#include "nodeseverity.h"

#include "model/flowtree.h"

#include <QList>
#include <QWidget>

class QLabel;
class QTimer;

namespace model {
struct CurrentFlow;
}
namespace ui {
class UserPrompts;
}

namespace diagram {

class DiagramScene;
class DiagramView;

// The Diagram tab: the current flow drawn top down, following every change of the tree
// (at once while shown, when next shown otherwise). A click on a box reports its node; the
// tree's selection, the node a test call is at and the checker's findings are marked.
class DiagramPanel final : public QWidget, private model::FlowTreeObserver
{
    Q_OBJECT

public:
    DiagramPanel(model::FlowTree &tree, const model::CurrentFlow &current,
                 ui::UserPrompts &prompts, QWidget *parent = nullptr);
    ~DiagramPanel() override;

    DiagramScene *scene() const { return m_scene; }
    DiagramView *view() const { return m_view; }

public slots:
    // The node values changed (a property was edited): what the boxes say is read again.
    void refresh();
    void showSelectedNode(const QString &key);
    // The node a test call is at; empty when no call runs.
    void showCallNode(const QString &key);
    // The checker's findings; an empty list clears them.
    void showSeverities(const QList<diagram::NodeSeverity> &severities);
    void fitToWindow();
    // Export Diagram...: asks for a file and writes the diagram as SVG or PNG.
    void exportDiagram();

signals:
    void nodeClicked(const QString &key);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void nodeAboutToBeInserted(model::FlowNode *, int) override {}
    void nodeInserted(model::FlowNode *) override { scheduleRedraw(); }
    void nodeAboutToBeRemoved(model::FlowNode *) override {}
    void nodeRemoved() override { scheduleRedraw(); }
    void nodeAboutToBeMoved(model::FlowNode *, model::FlowNode *) override {}
    void nodeMoved(model::FlowNode *) override { scheduleRedraw(); }
    void treeAboutToBeReset() override {}
    void treeReset() override;
    void treeDestroyed() override;

    void scheduleRedraw();
    // Draws the flow again if it changed since it was last drawn.
    void redrawIfStale();

    model::FlowTree *m_tree;
    const model::CurrentFlow &m_current;
    ui::UserPrompts &m_prompts;
    DiagramScene *m_scene = nullptr;
    DiagramView *m_view = nullptr;
    QLabel *m_status = nullptr;
    QTimer *m_redraw = nullptr;
    QString m_exportFolder;
    bool m_stale = true;
    // The next drawing shows a new flow: it picks its zoom afresh instead of keeping it.
    bool m_newFlow = true;
};

} // namespace diagram
