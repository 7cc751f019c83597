#include "connection.h"

#include <arpa/inet.h>
#include <cstdlib>
#include <dirent.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>

namespace Connection {

namespace {

int portOf(const sockaddr_storage &address)
{
    if (address.ss_family == AF_INET)
        return ntohs(reinterpret_cast<const sockaddr_in &>(address).sin_port);
    if (address.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6 &>(address).sin6_port);
    return -1;
}

bool matches(int fd, const httplib::Request &request)
{
    sockaddr_storage local {};
    sockaddr_storage peer {};
    socklen_t localSize = sizeof local;
    socklen_t peerSize = sizeof peer;
    if (getsockname(fd, reinterpret_cast<sockaddr *>(&local), &localSize) != 0)
        return false;
    if (getpeername(fd, reinterpret_cast<sockaddr *>(&peer), &peerSize) != 0)
        return false;
    return portOf(local) == request.local_port && portOf(peer) == request.remote_port;
}

} // namespace

bool drop(const httplib::Request &request)
{
    DIR *folder = opendir("/proc/self/fd");
    if (!folder)
        return false;
    bool dropped = false;
    while (const dirent *entry = readdir(folder)) {
        char *end = nullptr;
        const long fd = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0' || fd == dirfd(folder))
            continue;
        if (matches(int(fd), request)) {
            shutdown(int(fd), SHUT_RDWR);
            dropped = true;
            break;
        }
    }
    closedir(folder);
    return dropped;
}

} // namespace Connection
