#pragma once

// Whether every payload container is as the build made it: each one against
// the checksum that the build recorded beside them. A container or a table
// that cannot be found counts as damaged.
bool PayloadsIntact();
