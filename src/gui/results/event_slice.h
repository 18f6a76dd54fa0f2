#pragma once
// Lets the window handle its pending events during a long loop, but only once a time slice
// has passed: often enough to stay responsive, not so often that the loop mostly repaints.

#include <QCoreApplication>
#include <QElapsedTimer>

namespace xyx {

class EventSlice {
 public:
  static constexpr qint64 kSliceMs = 15;

  EventSlice() { sinceEvents_.start(); }

  void Tick() {
    // Reading the clock costs more than a short step of the loop; look every few steps.
    if (++ticks_ % kTicksPerLook != 0 || sinceEvents_.elapsed() < kSliceMs) return;
    QCoreApplication::processEvents();
    sinceEvents_.restart();
  }

 private:
  static constexpr unsigned kTicksPerLook = 64;
  QElapsedTimer sinceEvents_;
  unsigned ticks_ = 0;
};

}  // namespace xyx
