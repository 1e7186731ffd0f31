#pragma once

#include "nodeseverity.h"

#include <QGraphicsScene>
#include <QHash>
#include <QList>

namespace flowgraph {
struct FlowGraph;
}
namespace model {
class FlowTree;
}

namespace diagram {

class BoxItem;

// The drawing of a laid-out flow: what the Diagram tab shows and what its exports render.
// Besides the flow it shows three kinds of marks, by node key: the node selected in the
// tree, the node a test call is at, and the checker's severities.
class DiagramScene final : public QGraphicsScene
{
    Q_OBJECT

public:
    explicit DiagramScene(QObject *parent = nullptr);

    // Draws the flow of `tree`, its node values read from the flow table (the defaults, and
    // the reason in *unread, when it cannot be read). False with the reason when the flow
    // cannot be laid out (the scene is then empty). The marks stay on the nodes that are
    // still there.
    bool drawFlow(const model::FlowTree &tree, const QString &databasePath,
                  const QString &table, QString *error, QString *unread = nullptr);
    // Draws a graph whose boxes have been laid out at BoxItem::size().
    void setGraph(const flowgraph::FlowGraph &graph);

    // The area the flow takes, with a margin.
    QRectF diagramRect() const { return m_diagramRect; }
    bool isEmpty() const { return m_boxes.isEmpty(); }
    // The box's centre, or a null point when no box has this key.
    QPointF boxCentre(const QString &key) const;

    void setSelectedKey(const QString &key);
    void setCallKey(const QString &key);
    QString selectedKey() const { return m_selectedKey; }
    QString callKey() const { return m_callKey; }
    void setSeverities(const QList<NodeSeverity> &severities);
    // The checker's mark drawn on the node's box; None for no mark or no box.
    Severity shownSeverity(const QString &key) const;

    // Paints the flow alone, without the marks, onto `painter` at `target`: what an export
    // holds, whatever is selected or running.
    void renderFlow(QPainter *painter, const QRectF &target);

signals:
    void boxClicked(const QString &key);

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;

private:
    void applyMarks(bool shown);

    QHash<QString, BoxItem *> m_boxes;
    QRectF m_diagramRect;
    QString m_selectedKey;
    QString m_callKey;
    QHash<QString, Severity> m_severities;
};

} // namespace diagram
