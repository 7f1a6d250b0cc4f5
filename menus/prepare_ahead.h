// Work done while the program waits for its first click: the windows an opening shows and the
// icons its rows draw are made ready beforehand, so that a click costs only placing and painting.
#pragma once

namespace zv {

// Hands the work to the idle moments of the event loop, a short step at a time; called at the
// end of start-up and again when the trigger moves to a monitor of another scale.
void prepareAhead();

} // namespace zv
