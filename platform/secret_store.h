#pragma once

#include <QString>

#include <optional>

namespace platform {

// Passwords kept in the desktop's secret store (the Secret Service of GNOME and others, or KWallet),
// under the program's name and a key of the caller's choosing. Each call waits for the store's answer.
class SecretStore
{
public:
    // What a look-up found: the secret, or none with the reason (an empty reason: nothing is stored
    // under the key; otherwise the store could not be asked, as without a desktop session).
    struct Lookup
    {
        std::optional<QString> secret;
        QString problem;
    };

    static Lookup read(const QString& key);
    // Keeps the secret under the key, replacing what was kept; throws std::runtime_error with the
    // store's reason when it cannot.
    static void write(const QString& key, const QString& secret);
};

} // namespace platform
