#pragma once

// Whether the installer holds the elevated half of a split token: from Vista
// on with user account control, where programs of the same user run beside it
// without administrator rights. Windows 2000 and XP, and Vista and later with
// user account control switched off, answer no.
bool ElevatedBesideLimitedUser();
