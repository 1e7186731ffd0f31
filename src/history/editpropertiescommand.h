#pragma once

#include "flowcommand.h"

#include "model/flowrecord.h"

namespace history {

// An edit in the property grid: values written into the node's row. Taking it back writes
// the former values again, once the row still holds what the edit wrote; a row changed or
// deleted since, outside the designer, is left alone and the step refused.
class EditPropertiesCommand final : public FlowCommand
{
public:
    EditPropertiesCommand(model::FlowTree &tree, const model::CurrentFlow &flow,
                          const model::NodeIdentity &node, const model::ColumnValues &values);

protected:
    bool storeRedo(model::FlowStore &store, QString *error) override;
    bool storeUndo(model::FlowStore &store, QString *error) override;

private:
    // The edited columns of the node's row; false when it has none.
    bool read(model::FlowStore &store, model::ColumnValues *values, QString *error) const;
    // Writes `to` once the row holds `from`.
    bool replace(model::FlowStore &store, const model::ColumnValues &from,
                 const model::ColumnValues &to, QString *error);

    model::NodeIdentity m_node;
    model::ColumnValues m_typed;  // as the user typed them, for the first step
    model::ColumnValues m_before; // as the row held them before and after the edit
    model::ColumnValues m_after;
};

} // namespace history
