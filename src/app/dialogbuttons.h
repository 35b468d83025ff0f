#pragma once

class QDialog;
class QDialogButtonBox;

namespace vernalith {

// OK, Cancel and Help for a dialog that edits part of the design: OK accepts, Cancel rejects,
// Help and F1 open help `topic` beside the dialog's parent window. The box belongs to `dialog`;
// the caller places it in its layout.
QDialogButtonBox *addOkCancelHelpButtons(QDialog &dialog, int topic);

} // namespace vernalith
