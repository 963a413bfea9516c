#pragma once
// Machine state shown in the status bar, where the platform reports it.

#include <QByteArrayView>
#include <optional>

namespace SystemStatus {

// Share of physical memory in use, in percent (0..100); nothing when unknown.
std::optional<int> memoryLoad();
// The same from the text of /proc/meminfo (MemTotal and MemAvailable).
std::optional<int> memoryLoadFromMeminfo(QByteArrayView meminfo);

enum class LockKey { NumLock, ScrollLock };
// Whether the key's lock is on; nothing when the platform does not tell.
std::optional<bool> lockState(LockKey key);

} // namespace SystemStatus
