#include "payload/Catalogue.h"

std::wstring PayloadFileName(const std::wstring& payloadName) {
    const size_t stem = payloadName.size() - 3;
    return payloadName.substr(0, stem) + L"." + payloadName.substr(stem);
}

std::wstring PayloadDestination(const std::wstring& installDir,
                                const std::wstring& payloadName,
                                const std::wstring& fileName) {
    if (payloadName == L"ZarvConfigini")
        return installDir + L"\\Data\\" + fileName;
    if (payloadName == L"defaultzsk")
        return installDir + L"\\Skin\\" + fileName;
    if (payloadName == L"x0804ini" || payloadName == L"x0404ini" || payloadName == L"x0409ini")
        return installDir + L"\\Lang\\0" + fileName;
    return installDir + L"\\" + fileName;
}

std::wstring PayloadResourceType(const std::wstring& payloadName) {
    return L"my" + payloadName;
}
