#include "payload/Catalogue.h"

#include "system/MessageText.h"

std::wstring PayloadFileName(const std::wstring& payloadName) {
    const std::wstring_view name = payloadName;
    const size_t stem = name.size() - 3;
    return FormatText(L"%1.%2", {name.substr(0, stem), name.substr(stem)});
}

std::wstring PayloadDestination(const std::wstring& installDir,
                                const std::wstring& payloadName,
                                const std::wstring& fileName) {
    for (const Product::File& file : Product::kFiles)
        if (payloadName == file.payload)
            return FormatText(L"%1%2\\%3", {installDir, file.folder, file.name});
    return FormatText(L"%1\\%2", {installDir, fileName});
}

std::wstring PayloadResourceType(const std::wstring& payloadName) {
    return L"my" + payloadName;
}
