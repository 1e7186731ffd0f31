#include "nodemoves.h"

#include "model/flowtree.h"

namespace call {

QString Move::label() const
{
    switch (outcome) {
    case Outcome::EndsCall:
        return QStringLiteral("hang up");
    case Outcome::VoiceMail:
        return QStringLiteral("voice mail");
    case Outcome::NoNextStep:
        return QStringLiteral("no next step");
    case Outcome::NoSection:
        return QStringLiteral("no section");
    case Outcome::ToNode:
        break;
    }
    switch (trigger) {
    case Trigger::OptionKey:
        return key;
    case Trigger::TimeOut:
        return QStringLiteral("time-out");
    case Trigger::OtherKey:
        return QStringLiteral("other key");
    case Trigger::AfterAction:
        break;
    }
    return goesBack ? QStringLiteral("back") : QString();
}

const Move *NodeMoves::afterAction() const
{
    for (const Move &m : moves) {
        if (m.trigger == Trigger::AfterAction)
            return &m;
    }
    return nullptr;
}

const Move *NodeMoves::forOption(const QString &keys) const
{
    if (!offersOptions)
        return nullptr;
    const Move *other = nullptr;
    for (const Move &m : moves) {
        if (m.trigger == Trigger::OptionKey && m.key == keys)
            return &m;
        if (m.trigger == Trigger::OtherKey)
            other = &m;
    }
    return other;
}

const Move *NodeMoves::onTimeOut() const
{
    for (const Move &m : moves) {
        if (m.trigger == Trigger::TimeOut)
            return &m;
    }
    return nullptr;
}

const model::FlowNode *backTarget(const model::FlowTree &tree, const model::FlowNode &node)
{
    if (node.parent)
        return node.parent;
    return tree.node(tree.findRootNode());
}

NodeMoves movesOf(const model::FlowTree &tree, const model::FlowNode &node)
{
    NodeMoves result;
    result.node = &node;
    result.behaviour = &behaviourOf(node);
    const Behaviour &b = *result.behaviour;

    auto add = [&result](Trigger trigger, Outcome outcome, const model::FlowNode *target,
                         bool back, const QString &key = QString()) {
        result.moves.push_back({trigger, outcome, key, target, back});
    };
    const model::FlowNode *back = backTarget(tree, node);

    switch (b.continuation) {
    case Continuation::ByChildren:
        if (node.childCount() == 0) {
            add(Trigger::AfterAction, Outcome::NoNextStep, nullptr, false);
        } else if (node.childCount() == 1) {
            add(Trigger::AfterAction, Outcome::ToNode, node.children.front(), false);
        } else {
            result.offersOptions = true;
            for (int k = 0; k < node.childCount(); ++k) {
                if (k < kMaxOptions) {
                    add(Trigger::OptionKey, Outcome::ToNode, node.children[size_t(k)], false,
                        QString::number(k + 1));
                } else {
                    result.unreachableChildren.push_back(node.children[size_t(k)]);
                }
            }
            add(Trigger::TimeOut, Outcome::ToNode, back, true);
            add(Trigger::OtherKey, Outcome::ToNode, back, true);
        }
        break;
    case Continuation::BackToParent:
        add(Trigger::AfterAction, Outcome::ToNode, back, true);
        break;
    case Continuation::EndsCall:
        add(Trigger::AfterAction, Outcome::EndsCall, nullptr, false);
        break;
    case Continuation::ToVoiceMail:
        add(Trigger::AfterAction, Outcome::VoiceMail, nullptr, false);
        break;
    case Continuation::Nowhere:
        add(Trigger::AfterAction, Outcome::NoSection, nullptr, false);
        break;
    }
    if (!b.goesOnByChildren()) {
        for (const model::FlowNode *child : node.children)
            result.unreachableChildren.push_back(child);
    }
    result.waitsForCaller = result.offersOptions || b.collectsDigits() || b.records();
    return result;
}

} // namespace call
