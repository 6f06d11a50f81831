// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLockFile>

#include <memory>

/// Holds the per-user lock that tells a second copy of the game that one already runs.
/// The lock goes with the process, however it ends: a lock left by a killed copy is taken over.
class SingleInstance {
public:
    /// Claims the lock. False only while another live copy holds it; if no lock can be
    /// written at all, the game runs rather than refusing to start.
    bool claim();

private:
    std::unique_ptr<QLockFile> lock;
};
