#pragma once

#include "nodeseverity.h"

#include "flowgraph/flowgraph.h"

#include <QGraphicsItem>

namespace diagram {

// One node's box: its call function's picture, key and text, what the caller hears there
// and a mark where the call ends; highlighted when selected or when a test call is there,
// and marked with the checker's severity.
class BoxItem final : public QGraphicsItem
{
public:
    // The size every box is drawn at.
    static QSizeF size();

    explicit BoxItem(const flowgraph::Box &box);

    QString key() const { return m_box.key; }

    void setSelectedHighlight(bool on);
    void setCallHighlight(bool on);
    void setSeverity(Severity severity);
    Severity severity() const { return m_severity; }

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget) override;

private:
    flowgraph::Box m_box;
    bool m_selected = false;
    bool m_call = false;
    Severity m_severity = Severity::None;
};

} // namespace diagram
