#pragma once
// The system's own cursors, which LoadCursorA gives for a 0 instance.

#include "../gdi/Icon.h"

#include <optional>

namespace platform::user {

// Whether the IDC_ number names one of the system's cursors.
bool IsSystemCursorId(ULONG_PTR id);
// The cursor's picture with its hot spot; nullopt for a number that names none.
std::optional<gdi::IconImage> SystemCursorImage(ULONG_PTR id);
// The IDC_ number of a system cursor that LoadCursorA gave; 0 for any other handle.
ULONG_PTR SystemCursorIdOf(HCURSOR cursor);

} // namespace platform::user
