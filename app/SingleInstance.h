// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

/// Takes the per-player lock that tells a second copy of the game that one already runs. The lock
/// is an operating-system lock on a file in a directory only the player can write; it is held until
/// the process ends, however it ends, so whatever a dead copy left there is taken over at once.
/// Returns false only while another live copy holds the lock. Where the player has no private
/// directory, the game runs without a lock rather than trust a place that others can write.
bool claimSingleInstance();
