#include "payload/Catalogue.h"

std::wstring PayloadFileName(const std::wstring& payloadName) {
    const size_t stem = payloadName.size() - 3;
    return payloadName.substr(0, stem) + L"." + payloadName.substr(stem);
}

std::wstring PayloadDestination(const std::wstring& installDir,
                                const std::wstring& payloadName,
                                const std::wstring& fileName) {
    for (const Product::File& file : Product::kFiles)
        if (payloadName == file.payload)
            return installDir + file.folder + L"\\" + file.name;
    return installDir + L"\\" + fileName;
}

std::wstring PayloadResourceType(const std::wstring& payloadName) {
    return L"my" + payloadName;
}
