#pragma once
// Turning the machine off, as the user's own shutdown does: the programs still
// running are asked through the end of the session, and the power goes off.
namespace win {

// Enables the shutdown privilege of this process and asks Windows to shut down
// and power off, as a planned shutdown of an application. It returns as soon as
// the request is made; the session then ends this program too. Raises an
// Exception with the system's text when the privilege or the request is refused.
void ShutDownWindows();

} // namespace win
