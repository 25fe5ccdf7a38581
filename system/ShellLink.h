#pragma once

// Creates the one shell-link object of the run and takes its two interfaces
// into the installer state. Raises an error when the object cannot be made or
// lacks an interface.
void CreateShellLinkObject();
