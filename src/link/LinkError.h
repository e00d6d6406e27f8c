#pragma once

/// Serial errors the link reports, as AppError numbers.
namespace LinkError {
/// No such port: the number maps to no device, or the device does not exist.
inline constexpr int kInvalidPort = 8002;
/// The port is already open, here or in another program.
inline constexpr int kPortInUse = 8005;
/// A frame was sent while the port was closed.
inline constexpr int kPortNotOpen = 8018;
/// Any other failure to open the port (no permission among them).
inline constexpr int kOpenFailed = 63;
/// The board stopped taking bytes (unplugged). The link has already gone
/// Offline and told the user; whoever catches this reports nothing more.
inline constexpr int kBoardLost = 57;
/// A settings text the port cannot take.
inline constexpr int kInvalidSettings = 380;

/// True for the failures after which the port counts as "not available".
inline bool IsPortUnavailable(int number)
{
    return number == kInvalidPort || number == kPortInUse || number == kOpenFailed;
}
} // namespace LinkError
