// What the terminal programs do between the slices of a long measuring:
// the engine keeps its cadence, the operator sees how far it got and can
// abandon it with Esc.
#include "common/MeasureReport.h"

#include "terminal/EngineLock.h"
#include "terminal/SignalPipe.h"
#include "terminal/Signals.h"
#include "terminal/Ticker.h"
#include "terminal/display.h"

constexpr uint64_t PROGRESS_AFTER_MS = 1000;  // a shorter measuring shows nothing

static bool s_isProgressShown;

// The handling of the command line holds the engine lock; a slice gives it
// up, so the worker thread's step can run meanwhile.
void BeginMeasureSlice()
{
    g_EngineLock.unlock();
}

// Carries out the resize and the engine step that the signals recorded
// during the slice; the caller holds the engine lock.
static void HandleSignalEventsHeld(unsigned events)
{
    if (events & SIGNAL_EVENT_RESIZE)
        HandleTerminalResize();
    if (events & SIGNAL_EVENT_TICK)
        RunDueEngineStepHeld();
}

int EndMeasureSlice(const MeasureProgress &progress)
{
    unsigned events = SignalPipe_Drain();
    FollowProgramSignals(events);  // an end or a stop takes the engine lock itself
    g_EngineLock.lock();
    HandleSignalEventsHeld(events);
    if (progress.elapsedMs >= PROGRESS_AFTER_MS && progress.fileBytes > 0) {
        uint64_t measured = progress.measuredBytes < progress.fileBytes ? progress.measuredBytes : progress.fileBytes;
        DrawMeasureProgress(static_cast<int>(measured * 100 / progress.fileBytes));
        s_isProgressShown = true;
    }
    return TakeEscapeKey() ? 0 : 1;
}

void EndMeasureProgress()
{
    if (s_isProgressShown)
        EraseMeasureProgress();
    s_isProgressShown = false;
}
