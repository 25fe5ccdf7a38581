#pragma once

// The maker's fixed addresses, shared by the registration entries and the
// finish actions.
namespace MakerInfo {
inline constexpr wchar_t kContactEmail[] = L"zarvo@luofei.example";
inline constexpr wchar_t kProductSiteUrl[] = L"http://www.zarvo.example/";
inline constexpr wchar_t kForumUrl[] = L"http://bbs.luofei.example/";
inline constexpr wchar_t kMakerSiteUrl[] = L"http://www.luofei.example/";
inline constexpr wchar_t kPartnerStartPageUrl[] = L"http://nav.example.com/?id=2669";
}  // namespace MakerInfo
