#pragma once
// Dispatches the messages queued for the calling thread without waiting for
// more. Returns 1 when the queue is empty (at once when nothing was queued)
// and 0 when a quit message was taken.
int PumpMessages();
