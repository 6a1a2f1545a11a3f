#pragma once

namespace quillet::app {

// Lets `ms` milliseconds pass while the thread's events keep being dispatched: input, timers,
// posted events and paints are handled within the wait, so the caller may be re-entered from
// inside it. Returns no earlier than `ms` after the call (later when an event handled meanwhile
// runs past the end); returns at once when `ms` is 0 or less. Sleeps between events. An error
// that escapes an event handler leaves the wait and reaches the caller. User-interface thread.
void WaitPumpingMessages(int ms);

}  // namespace quillet::app
