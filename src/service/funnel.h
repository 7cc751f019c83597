#pragma once

#include <QString>

// Usage events: a user reached a step of the Wrapped. Counting never waits
// and never fails visibly.
namespace Funnel {

enum class Step { WrappedOpened, CardExported, VideoExported };

// "wrapped_opened", "card_exported", "video_exported".
QString wireName(Step step);

// Posts the event in the background from any thread and returns at once;
// the outcome is dropped.
void count(Step step);

} // namespace Funnel
