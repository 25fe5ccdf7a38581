#pragma once

#include "system/HeldFolder.h"

#include <string>
#include <vector>

// Makes each missing folder of `names` ("\\Apps\\Zarvo"; empty names are
// skipped) below the held folder, one name at a time through the folder above
// it, with the product's access list, and notes each in `made`, outer first.
// Anything that stands at a name meanwhile, a link included, fails it and is
// never followed. Gives the last folder, held; none, with the system's error
// code, where one could not be made.
HeldFolder MakeFoldersBelow(const HeldFolder& folder,
                            const std::wstring& names,
                            std::vector<MadeFolder>& made,
                            DWORD& error);
