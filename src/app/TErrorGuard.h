#pragma once

#include <QString>
#include <functional>

#include "TMessageText.h"

// Runs one user command. An error ends the command where it happened and its message goes to
// showError; the program carries on, and no exception ever reaches Qt's event loop. Returns
// whether the command ran to its end.
bool RunGuarded(const std::function<void()>& command,
                const std::function<void(const QString&)>& showError);
