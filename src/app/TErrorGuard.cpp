#include "TErrorGuard.h"

#include <exception>
#include <new>

#include "TBoardError.h"

bool RunGuarded(const std::function<void()>& command,
                const std::function<void(const QString&)>& showError) {
  QString message;
  try {
    command();
    return true;
  } catch (const EBoardError& e) {
    message = QString::fromUtf8(e.what());
  } catch (const std::bad_alloc&) {
    message = QStringLiteral("Out of memory");
  } catch (const std::exception& e) {
    message = QString::fromUtf8(e.what());
  } catch (...) {
    message = QStringLiteral("Unexpected error");
  }
  // Showing the box runs a nested event loop; by now the failed command has fully unwound.
  try {
    if (showError) showError(message);
  } catch (...) {
    // Nothing sensible is left to tell the user with.
  }
  return false;
}
