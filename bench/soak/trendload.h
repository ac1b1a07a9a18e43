#pragma once
// The trend's load on the window: live polling of the control page with the
// trend window open on a full 30-minute history and a recording running.
namespace velmora::frame {
class CMainFrame;
}

namespace velmora::bench {

class SoakProbe;
class TimedApplication;

// After 10 s of connecting and the first complete read, opens the trend on
// frame with a full ring over 30 minutes and records to csvPath (withTrend;
// otherwise the same run without it, the baseline). From 3 s later, measures
// the window thread's lateness and the CPU share of the whole process (the
// simulated drive included) for the given seconds, and prints them.
int RunTrendLoad(TimedApplication& app, frame::CMainFrame& frame, SoakProbe& probe, bool withTrend,
                 const char* csvPath, int seconds);

}  // namespace velmora::bench
