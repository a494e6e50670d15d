#pragma once

#include <cstdint>
#include <functional>
#include <string>

// A network drive is asked first whether it answers at all: a call to an offline server
// can hold the asking thread for tens of seconds, so the question runs on a helper
// thread that the asker stops waiting for after a limit.

// How long a network drive's root may take to answer before the scan gives up on it.
inline constexpr std::uint32_t kNetworkProbeLimitMs = 3000;

// Runs `call` on a helper thread and gives its result, or ERROR_SEM_TIMEOUT (121) when it
// has not returned within `limitMs`. A call that does not return in time is left to end
// on its own (a call held by the network cannot be cancelled); its result is dropped.
// Whatever `call` refers to must therefore outlive it: capture by value.
std::uint32_t CallWithin(std::function<std::uint32_t()> call, std::uint32_t limitMs);

// 0 when the directory `root` (such as Z:\) can be listed within `limitMs`, otherwise the
// system error code of the listing, or ERROR_SEM_TIMEOUT when it did not answer in time.
std::uint32_t ProbeRootListing(const std::wstring& root, std::uint32_t limitMs);
