// The fades' shared state: how many effect timers live now, and the flag that stops new fades
// and frames (set while the session ends).
#pragma once

namespace skin {

// Incremented by each fade or animation timer when made, decremented when freed.
inline int LiveEffectTimers = 0;
// While set no fade starts and no frame is drawn.
inline bool StopEffects = false;

}  // namespace skin
