#pragma once

#include <httplib.h>

namespace Connection {

// Shuts the connection a request came on, so the client gets no reply at
// all, as when a network drops. httplib gives handlers no socket, so the
// socket is found among the process's descriptors by its two addresses.
// Returns false when it could not be found.
bool drop(const httplib::Request &request);

} // namespace Connection
