#pragma once
// Asking a running child program to bring its main window forward. The
// parent sends a request to the child by its process id; the child listens
// through a descriptor that its event loop watches, and raises its window.
// Children started with startProcess hold requests back until they listen, so
// a request that comes early waits instead of doing harm.

namespace platform {

// Sends a raise request to the running child `process` (SIGUSR1). True when it
// was sent. Call it only for a child that has not been reaped.
bool sendRaiseRequest(int process);

// Starts listening: returns a descriptor that becomes readable when a raise
// request has arrived (one that was held back counts), or -1 when listening
// cannot start. Later calls return the same descriptor. Call it on the thread
// that runs the event loop.
int listenForRaiseRequests();

// Takes the requests that have arrived; the number taken (0 when none). The
// descriptor is not readable again until another request arrives.
int takeRaiseRequests();

} // namespace platform
