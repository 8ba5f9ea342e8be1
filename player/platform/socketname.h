#pragma once
// Names of the player's local sockets and lock files: one per user and settings folder, so that
// players with other folders (and other users) never meet.

#include <QString>

// "<prefix>-<uid>-<hash of the folder's canonical path>".
QString PerFolderName(const QString& prefix, const QString& folder);
