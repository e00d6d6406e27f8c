#pragma once

#include "app/AppComponents.h"

#include <QStringList>

/// The program's instruction lines, top to bottom, mirrored in the temporary
/// file. This is the list the Execution Controller shows and plays.
class ProgramListing : public IExecutionList
{
public:
    /// Reloads the items from the temporary file: one item per line.
    void Update() override;
    QStringList ListItems() const override { return m_items; }

    void SetItems(const QStringList &items) { m_items = items; }
    /// Writes every item, each followed by CR LF, to the temporary file.
    bool UpdateTempFile() const;

private:
    QStringList m_items;
};
