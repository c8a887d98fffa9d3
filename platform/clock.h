// Millisecond clock and sleep: a real steady clock, or a manual clock that
// tests set and advance so that nothing ever waits on the wall clock.
#pragma once
#include <cstdint>

namespace plat {

// Milliseconds since an arbitrary start, wrapping like a 32-bit tick count.
uint32_t TickMs();
// Sleeps ms milliseconds; on the manual clock this advances it instead.
void SleepMs(uint32_t ms);
// Gives the processor away for ms milliseconds of real time while a loop
// has nothing to do; on the manual clock it does nothing, since no time
// passes for an idle loop there. An idle waiter, when one is set, waits
// instead: the display back end's ends early when input arrives.
void IdleMs(uint32_t ms);
using IdleWaiter = void (*)(uint32_t ms);
void SetIdleWaiter(IdleWaiter waiter);

// Switches between the real clock (false) and the manual clock (true).
void UseManualClock(bool manual);
bool IsManualClock();
void SetManualTime(uint32_t ms);
void AdvanceManualTime(uint32_t ms);

}  // namespace plat
