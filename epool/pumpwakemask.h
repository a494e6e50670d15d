#pragma once

// The wake masks of the pumped wait (WaitThreadPumping): every kind of message the
// running system knows. Windows 7 refuses a mask with a bit it does not know, so the
// mask follows the system's version.

#include <cstdint>

namespace epool {

// QS_ALLINPUT as Windows 7 defines it: input, posted and sent messages, timers, paint
// and hot keys.
inline constexpr std::uint32_t kWakeMaskWindows7 = 0x04FF;
// QS_TOUCH and QS_POINTER, known from Windows 8 on.
inline constexpr std::uint32_t kWakeTouch = 0x0800;
inline constexpr std::uint32_t kWakePointer = 0x1000;
// QS_ALLINPUT from Windows 8 on.
inline constexpr std::uint32_t kWakeMaskWindows8 = kWakeMaskWindows7 | kWakeTouch | kWakePointer;
static_assert(kWakeMaskWindows8 == 0x1CFF, "QS_ALLINPUT of Windows 8 and later");

// The mask for a system that reports version `major`.`minor`.
constexpr std::uint32_t PumpWakeMaskFor(std::uint32_t major, std::uint32_t minor)
{
    const bool windows8OrLater = major > 6 || (major == 6 && minor >= 2);
    return windows8OrLater ? kWakeMaskWindows8 : kWakeMaskWindows7;
}

}  // namespace epool
