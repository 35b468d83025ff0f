#pragma once

class QWidget;

namespace vernalith {

// The help topic for F1 pressed while `focus` has the focus: the topic of the frame that holds
// it (dimensions 20, scale arcs 30, scale digits 40, scale tickmarks 50, face labels 60), or
// the window's topic 10 for anything outside a frame, and for no focus at all.
int helpTopicFor(const QWidget *focus);

} // namespace vernalith
