#pragma once
// What pages, dialogs and the main window use to talk to the drive. Nothing
// here waits on the serial line: requests are queued, replies are fetched from
// the queues after the matching window message arrived.
#include "link/messages.h"
#include "link/telegram.h"

namespace velmora::link {

// Queue a request for the encoder thread; never waits. A full queue keeps it
// in line until the encoder has made room, so nothing asked for is lost
// (only a flush, on a lost link or for a firmware transfer, discards it).
// 0 queued, 1 not (no such queue).
int SendRequest(Telegram request);
// Take the oldest entry of the reply queue (waits at most 250 ms). 0 when a
// reply was obtained, 1 otherwise.
int FetchReply(Telegram& reply);
// The same for the status queue.
int FetchStatus(Telegram& reply);
// Post a polling mode to the polling thread. 0 posted, 1 dropped.
int SetPollMode(int mode);

// Reaction to WM_LINK_FLUSH: empty the frame queue and the request queue.
void FlushOutgoing();

// The six link threads. Start once; stop once (also while suspended).
void StartLinkThreads(MessageTarget& target);
void StopLinkThreads();
void SuspendSupervision();
void ResumeSupervision();

}  // namespace velmora::link
