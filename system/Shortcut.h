#pragma once

#include <string>

// The browser's five shortcuts: one on the all-users desktop, four in the
// program group of the all-users Start menu, in that order.
void CreateProductShortcuts(const std::wstring& installDir);
