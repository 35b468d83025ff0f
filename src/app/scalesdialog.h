#pragma once

#include "rowstabledialog.h"

namespace vernalith {

// Design > Scales...: the design's list of scales (Law chosen from a list, Min, Max, Parameter,
// Points). A scale its law cannot use blocks OK; removing or moving a scale that rows use is
// pointed out before OK. F1 and Help open the help page on scales. The caller applies scales()
// and newNumberOfOld() when it is accepted.
class ScalesDialog : public RowsTableDialog
{
    Q_OBJECT

public:
    // `design` gives the scales to edit and tells which scales rows and bands use.
    explicit ScalesDialog(const DialDesign &design, QWidget *parent = nullptr);

    TableRows scales() const { return rows(); }

protected:
    QStringList notes() const override;

private:
    DialDesign m_design;
};

} // namespace vernalith
