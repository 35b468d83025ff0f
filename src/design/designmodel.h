#pragma once

#include "designtable.h"

#include <QObject>

#include <array>

namespace vernalith {

// The design being edited: eight dimension texts, four tables, the scales, bands,
// holes and the reference image. The window's fields and
// table views are views onto it; drawing and saving take a design() snapshot, which never
// moves a table's current cell.
class DesignModel : public QObject
{
    Q_OBJECT

public:
    // The start-up design.
    explicit DesignModel(QObject *parent = nullptr);

    QString dimension(Dimension d) const { return m_dimensions[static_cast<size_t>(d)]; }
    void setDimension(Dimension d, const QString &text);
    const DimensionTexts &dimensions() const { return m_dimensions; }

    DesignTable &table(TableKind kind) { return *m_tables[static_cast<size_t>(tableIndex(kind))]; }
    const DesignTable &table(TableKind kind) const { return *m_tables[static_cast<size_t>(tableIndex(kind))]; }
    const std::array<DesignTable *, 4> &tables() const { return m_tables; }

    // The scales rows (kScaleColumnCount cells each); empty = no scales.
    TableRows scales() const { return m_scales; }
    void setScales(const TableRows &rows);
    // The bands and holes rows, as the scales'.
    TableRows bands() const { return m_bands; }
    void setBands(const TableRows &rows);
    TableRows holes() const { return m_holes; }
    void setHoles(const TableRows &rows);
    // The reference image's cells (kReferenceColumnCount); empty = none.
    QStringList reference() const { return m_reference; }
    void setReference(const QStringList &cells);

    // A copy of the whole design; cheap, as the rows are shared until either side changes.
    DialDesign design() const;
    // Replaces every text, row and scale in one step per table.
    void setDesign(const DialDesign &design);

signals:
    void dimensionChanged(vernalith::Dimension d, const QString &text);
    // Any text, cell or row changed.
    void changed();

private:
    // Sets `target` to `rows`, each cut or padded to `cellCount` cells; says whether it changed.
    bool replaceRows(TableRows &target, const TableRows &rows, int cellCount);

    DimensionTexts m_dimensions;
    std::array<DesignTable *, 4> m_tables{};
    TableRows m_scales;
    TableRows m_bands;
    TableRows m_holes;
    QStringList m_reference;
};

} // namespace vernalith
