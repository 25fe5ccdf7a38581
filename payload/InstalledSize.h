#pragma once

// What the installed product takes, in KiB rounded up: the plain sizes that
// the payload containers record, added up.
unsigned long InstalledSizeKib();
