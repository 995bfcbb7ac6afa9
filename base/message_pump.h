#pragma once
// Dispatches the messages queued for the calling thread. Returns 1 when the
// queue is empty (at once when nothing was queued), 0 when a quit message
// was taken, -1 when the system failed to deliver a message.
int PumpMessages();
