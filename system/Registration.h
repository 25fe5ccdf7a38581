#pragma once

#include <string>

// The application-path and uninstall entries of the browser installed in
// installDir: twelve values, written in a fixed order.
void WriteRegistrationEntries(const std::wstring& installDir);

// Internet Explorer's start page, set to the partner navigation page.
void WriteStartPage();
