#include "install/RegistryValues.h"

#include "system/Error.h"
#include "system/Files.h"
#include "system/FolderSecurity.h"
#include "system/MessageText.h"
#include "system/Product.h"
#include "system/Reg.h"
#include "system/SystemError.h"

#include <algorithm>

namespace {

std::vector<unsigned char> TextData(const std::wstring& text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.c_str());
    return std::vector<unsigned char>(bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
}

std::vector<unsigned char> NumberData(DWORD number) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&number);
    return std::vector<unsigned char>(bytes, bytes + sizeof number);
}

// Reads the value as it is into `type` and `data`: false where the key or
// the value is missing; raises where it cannot be read.
bool ReadValue(HKEY root,
               const std::wstring& key,
               const std::wstring& name,
               bool& keyExists,
               DWORD& type,
               std::vector<unsigned char>& data) {
    HKEY opened = nullptr;
    LONG status = RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE, &opened);
    keyExists = status != ERROR_FILE_NOT_FOUND;
    if (!keyExists)
        return false;
    if (status != ERROR_SUCCESS)
        throw Error(FormatText(L"Failed to open key '%1'. %2", {key, SystemErrorText(status)}), status);
    const UniqueHKey owned(opened);
    for (DWORD size = 256;;) {
        data.resize(size);
        status = RegQueryValueExW(opened, name.c_str(), nullptr, &type, data.data(), &size);
        if (status == ERROR_FILE_NOT_FOUND)
            return false;
        if (status == ERROR_SUCCESS) {
            data.resize(size);
            return true;
        }
        if (status != ERROR_MORE_DATA)
            throw Error(FormatText(L"Failed to get data for '%1'", {name}), status);
    }
}

// Sets or deletes one value as the journal says it was; raises when it cannot.
void PutBack(const JournalValue& value) {
    HKEY opened = nullptr;
    LONG status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, value.key.c_str(), 0, KEY_SET_VALUE, &opened);
    if (status == ERROR_SUCCESS) {
        const UniqueHKey owned(opened);
        status = value.existed ? RegSetValueExW(opened, value.name.c_str(), 0, value.type, value.data.data(),
                                                static_cast<DWORD>(value.data.size()))
                               : RegDeleteValueW(opened, value.name.c_str());
    }
    if (status != ERROR_SUCCESS && !(status == ERROR_FILE_NOT_FOUND && !value.existed))
        throw Error(FormatText(L"Failed to set data for '%1'", {value.name}), status);
}

void DeleteKey(const std::wstring& key) {
    const LONG status = RegDeleteKeyW(HKEY_LOCAL_MACHINE, key.c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        throw Error(FormatText(L"Failed to delete key '%1'. %2", {key, SystemErrorText(status)}), status);
}

// The registry keeps what it was told in memory for a while; written to the
// disk now, a power cut cannot take it back after the run has counted it.
void FlushKeys() {
    for (const wchar_t* key : Product::kKeys) {
        HKEY opened = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE, &opened) == ERROR_SUCCESS) {
            const UniqueHKey owned(opened);
            RegFlushKey(opened);
        }
    }
}

}  // namespace

RegistryValues::RegistryValues(const std::wstring& dir, unsigned long installedKib, const std::wstring& choice) {
    // Today's local date as Programs and Features shows it ("installed on")
    // and inventories read it: YYYYMMDD, the digits of one number.
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const std::wstring date = DecimalText(now.wYear * 10000UL + now.wMonth * 100UL + now.wDay);
    for (const Product::Value& value : Product::kValues) {
        JournalValue entry;
        entry.key = value.key;
        entry.name = value.name;
        entry.newType = Product::RegistryType(value.data);
        switch (value.data) {
            case Product::Data::Text:
                entry.newData = TextData(value.text);
                break;
            case Product::Data::InFolder:
            case Product::Data::ExpandInFolder:
                entry.newData = TextData(dir + value.text);
                break;
            case Product::Data::Command:
                entry.newData = TextData(L"\"" + dir + value.text);
                break;
            case Product::Data::Date:
            case Product::Data::Choice:
                entry.newData = TextData(value.data == Product::Data::Date ? date : choice);
                break;
            case Product::Data::Number:
            case Product::Data::Size:
                entry.newData = NumberData(value.data == Product::Data::Size ? installedKib : value.number);
                break;
        }
        values_.push_back(std::move(entry));
    }
}

void RegistryValues::Journal(const HeldFolder& installFolder, const std::wstring& name) {
    for (JournalValue& value : values_) {
        DWORD type = 0;
        value.existed = ReadValue(HKEY_LOCAL_MACHINE, value.key, value.name, value.keyExisted, type, value.data);
        value.type = type;
        if (!value.existed)
            value.data.clear();
    }
    DWORD error = 0;
    journal_ = installFolder.CreateNewFile(name, error);
    const std::vector<unsigned char> bytes = EncodeJournal(values_);
    try {
        if (!journal_)
            throw Error(FileErrorMessage(L"Cannot create file", installFolder.Name() + L"\\" + name, error), error);
        WriteAll(journal_.get(), bytes.data(), bytes.size());
        if (!FlushFileBuffers(journal_.get()))
            throw Error(L"Stream write error", GetLastError());
    } catch (...) {
        DropJournal();
        throw;
    }
}

void RegistryValues::DropJournal() {
    if (journal_)
        DeleteHeld(journal_.get());
    journal_.reset();
}

void RegistryValues::Set(int index) {
    const JournalValue& value = values_[index];
    const Product::Value& product = Product::kValues[index];
    try {
        RegWriteValue(HKEY_LOCAL_MACHINE, product.key, true, product.name, value.newType, value.newData.data(),
                      static_cast<DWORD>(value.newData.size()));
    } catch (...) {
        // A key that the write made goes again.
        try {
            Unset(index);
        } catch (const Error&) {
        }
        throw;
    }
}

void RegistryValues::Unset(int index) {
    const JournalValue& value = values_[index];
    if (value.keyExisted) {
        PutBack(value);
        return;
    }
    // The key did not exist: it goes with the first of its values, the last
    // that an undo reaches.
    for (int i = 0; i < index; ++i)
        if (values_[i].key == value.key)
            return;
    DeleteKey(value.key);
}

void RegistryValues::Flush() {
    FlushKeys();
}

std::wstring ReadLeftJournal(const HeldFolder& installFolder,
                             const std::wstring& name,
                             UniqueHandle& file,
                             std::vector<JournalValue>& values) {
    DWORD error = 0;
    file = installFolder.OpenToRead(name, error);
    if (!file)
        return SystemErrorText(error);
    if (JudgeFile(file.get()) != FolderRisk::None)
        return L"管理员以外的账户拥有它或可以更改它";
    // A journal of the product's values is a few kilobytes.
    const DWORD size = GetFileSize(file.get(), nullptr);
    std::vector<unsigned char> bytes(std::min<DWORD>(size, 0x10000));
    DWORD read = 0;
    if (size != bytes.size() || !ReadFile(file.get(), bytes.data(), size, &read, nullptr) || read != size)
        return L"无法完整读取它";
    // One cut short by the end of its run names nothing: there is nothing to
    // put back.
    const wchar_t* refusal = DecodeJournal(bytes, values) ? JournalRefusal(values) : nullptr;
    return refusal ? refusal : L"";
}

void RestoreJournal(const std::vector<JournalValue>& values) {
    // A key that the run made goes unless something of another's stands in it.
    std::vector<std::wstring> made, kept;
    for (const JournalValue& value : values) {
        bool keyExists = false;
        DWORD type = 0;
        std::vector<unsigned char> data;
        const bool exists = ReadValue(HKEY_LOCAL_MACHINE, value.key, value.name, keyExists, type, data);
        if (exists && type == value.newType && data == value.newData)
            PutBack(value);
        else if (exists)
            kept.push_back(value.key);
        if (!value.keyExisted && keyExists)
            made.push_back(value.key);
    }
    for (std::size_t i = 0; i < made.size(); ++i)
        if (std::find(made.begin(), made.begin() + i, made[i]) == made.begin() + i &&
            std::find(kept.begin(), kept.end(), made[i]) == kept.end())
            // One that holds a key of another's stays, as it cannot go.
            RegDeleteKeyW(HKEY_LOCAL_MACHINE, made[i].c_str());
    FlushKeys();
}
