#pragma once

#include <cstdint>

// System error codes with which a file call on a share fails when the network or the
// server falters rather than the request being refused: the same call may succeed a
// moment later.
inline constexpr bool IsTransientNetworkError(std::uint32_t error)
{
    switch (error) {
    case 53:    // ERROR_BAD_NETPATH
    case 54:    // ERROR_NETWORK_BUSY
    case 55:    // ERROR_DEV_NOT_EXIST
    case 59:    // ERROR_UNEXP_NET_ERR
    case 64:    // ERROR_NETNAME_DELETED
    case 121:   // ERROR_SEM_TIMEOUT
    case 1231:  // ERROR_NETWORK_UNREACHABLE
    case 1236:  // ERROR_CONNECTION_ABORTED
        return true;
    default:
        return false;
    }
}
