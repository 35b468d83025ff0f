#pragma once

#include <functional>

namespace vernalith {

// Runs the event loop until `busy` turns false or `timeoutMs` passes; says whether it turned
// false. For tests and quitting, which must wait for a worker's result to arrive as an event.
bool waitWhileBusy(const std::function<bool()> &busy, int timeoutMs);

} // namespace vernalith
