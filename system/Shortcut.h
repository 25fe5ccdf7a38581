#pragma once

#include "system/Product.h"

#include <string>

// The path of the all-users desktop or the all-users Start menu's programs
// folder; empty when the system cannot say.
std::wstring ShortcutFolderPath(Product::LinkPlace place);
