#pragma once

#include <QString>

/// The control surface's choices, kept in the settings store under the
/// application's key, section "Control Surface". Off unless the user turns it
/// on: nothing listens on a network by itself.
struct SurfaceSettings
{
    static constexpr int kDefaultPort = 9000;
    static inline const QString kThisComputer = QStringLiteral("127.0.0.1");
    static inline const QString kAllNetworks = QStringLiteral("0.0.0.0");

    bool enabled = false;
    int port = kDefaultPort;
    QString address = kThisComputer;

    /// The stored choices; a value missing or out of its range reads as its default.
    static SurfaceSettings Load();
    /// Throws AppError 26001 when the store refuses.
    void Store() const;

    bool operator==(const SurfaceSettings &) const = default;
};
