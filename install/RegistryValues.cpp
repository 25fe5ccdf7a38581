#include "install/RegistryValues.h"

#include "install/Texts.h"
#include "system/Error.h"
#include "system/Files.h"
#include "system/FolderSecurity.h"
#include "system/MessageText.h"
#include "system/Product.h"
#include "system/Reg.h"
#include "system/SystemError.h"
#include "system/Texts.h"

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

// Sets or deletes one value as the journal says it was; raises when it cannot.
void PutBack(const JournalValue& value) {
    RegPutState(HKEY_LOCAL_MACHINE, value.key, value.name, value.existed, value.type, value.data);
}

void DeleteKey(const std::wstring& key) {
    if (RegRemoveKey(HKEY_LOCAL_MACHINE, key))
        return;
    const DWORD code = GetLastError();
    Raise(FormatText(kCannotDeleteKey, {key, SystemErrorText(code)}), code);
}

// The keys of the product's values, and with `defaults` those of the
// system's defaults.
void FlushKeys(bool defaults) {
    for (std::size_t i = 0; i < (defaults ? Product::kKeys.size() : Product::kOwnKeyCount); ++i)
        RegFlush(HKEY_LOCAL_MACHINE, Product::kKeys[i]);
}

}  // namespace

RegistryValues::RegistryValues(const std::wstring& dir,
                               unsigned long installedKib,
                               const std::wstring& choice,
                               const std::wstring& madeAbove,
                               const std::wstring& programFiles,
                               bool iconsVisible,
                               bool moving)
    : moving_(moving) {
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
            case Product::Data::Default:
                entry.newData = TextData(value.text);
                break;
            case Product::Data::InFolder:
            case Product::Data::ExpandInFolder:
                entry.newData = TextData(dir + value.text);
                break;
            case Product::Data::Command:
            case Product::Data::DefaultCommand:
            case Product::Data::Kept:
                entry.newData = TextData(L"\"" + (value.data == Product::Data::Kept ? programFiles : dir) + value.text);
                break;
            case Product::Data::Date:
            case Product::Data::Choice:
                entry.newData = TextData(value.data == Product::Data::Date ? date : choice);
                break;
            case Product::Data::Number:
            case Product::Data::Size:
            case Product::Data::Icons:
                entry.newData = NumberData(value.data == Product::Data::Size    ? installedKib
                                           : value.data == Product::Data::Icons ? iconsVisible
                                                                                : value.number);
                break;
            // Known once the values are read.
            case Product::Data::Replaced:
                break;
            case Product::Data::Above:
                entry.newData = TextData(madeAbove);
                break;
        }
        // With no folder made above, the record of one goes.
        if (value.data == Product::Data::Above && madeAbove.empty()) {
            entry.newType = REG_NONE;
            entry.newData.clear();
        }
        values_.push_back(std::move(entry));
    }
}

void RegistryValues::Journal(const HeldFolder* installFolder, const std::wstring& name, bool deleting, bool defaults) {
    // A run that does not touch the defaults has no use for their rows.
    while (!defaults && values_.size() > Product::kOwnValueCount)
        values_.pop_back();
    for (JournalValue& value : values_) {
        RegValueState state = RegReadState(HKEY_LOCAL_MACHINE, value.key, value.name);
        value.keyExisted = state.keyExists;
        value.existed = state.exists;
        value.type = state.type;
        value.data = std::move(state.data);
    }
    for (std::size_t i = 0; i < values_.size(); ++i) {
        JournalValue& value = values_[i];
        // A link's command that the product's own names, in the folder that
        // the product moves out of, follows it; any other is another's choice.
        if (moving_ && Product::kValues[i].data == Product::Data::DefaultCommand &&
            !(value.existed && value.data == values_[Product::kLinkCommandRow].data)) {
            value.newType = value.existed ? value.type : REG_NONE;
            value.newData = value.data;
        }
        // A default that holds the product's keeps its record, which the
        // removal gives back to it; one that holds another's is recorded,
        // and stays as it is on a removal: that is another's choice since.
        if (Product::kValues[i].data == Product::Data::Replaced) {
            JournalValue& now = values_[i - 1];
            const bool ours = now.existed && now.type == now.newType && now.data == now.newData;
            const JournalValue& kept = ours ? value : now;
            value.newType = kept.existed ? kept.type : REG_NONE;
            value.newData = kept.existed ? kept.data : std::vector<unsigned char>();
            if (deleting) {
                now.newType = value.newType;
                now.newData = value.newData;
            }
        }
        if (deleting && !Product::IsDefault(Product::kValues[i].data)) {
            value.newType = REG_NONE;
            value.newData.clear();
        }
    }
    // A removal whose folder is gone has nowhere to keep it: the values read
    // serve the run's own undo alone.
    if (!installFolder)
        return;
    Opened journal = installFolder->CreateNewFile(name);
    journal_ = std::move(journal.file);
    const std::vector<unsigned char> bytes = EncodeJournal(values_);
    try {
        if (!journal_)
            RaiseCannotCreate(installFolder->Name() + L"\\" + name, journal.error);
        WriteAll(journal_.get(), bytes.data(), bytes.size());
        if (!FlushFileBuffers(journal_.get()))
            Raise(kStreamWriteError, GetLastError());
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

void RegistryValues::Write(int index) {
    const JournalValue& value = values_[index];
    const Product::Value& product = Product::kValues[index];
    // A value whose data is its absence (no folder made above) is written as such.
    if (value.newType == REG_NONE)
        return Delete(index);
    RegWriteValue(HKEY_LOCAL_MACHINE, product.key, true, product.name, value.newType, value.newData.data(),
                  static_cast<DWORD>(value.newData.size()));
}

void RegistryValues::Delete(int index) {
    const JournalValue& value = values_[index];
    RegPutState(HKEY_LOCAL_MACHINE, value.key, value.name, false, REG_NONE, {});
}

void RegistryValues::Unset(int index) {
    const JournalValue& value = values_[index];
    const bool owned = Product::OwnsKey(value.key);
    if (value.keyExisted || !owned)
        PutBack(value);
    if (value.keyExisted)
        return;
    // The key did not exist: it goes with the first of its values, the last
    // that an undo reaches; one that is every browser's, or the system's,
    // only where nothing else is in it.
    for (int i = 0; i < index; ++i)
        if (values_[i].key == value.key)
            return;
    if (owned)
        DeleteKey(value.key);
    else
        RegRemoveEmptyKey(HKEY_LOCAL_MACHINE, value.key);
}

void RegistryValues::Flush() {
    FlushKeys(values_.size() > Product::kOwnValueCount);
}

std::wstring ReadLeftJournal(const HeldFolder& installFolder,
                             const std::wstring& name,
                             UniqueHandle& file,
                             std::vector<JournalValue>& values) {
    Opened opened = installFolder.OpenToRead(name);
    file = std::move(opened.file);
    if (!file)
        return SystemErrorText(opened.error);
    if (JudgeFile(file.get()) != FolderRisk::None)
        return kJournalNotAdminsReason;
    // Its size whole: one past what any run writes is no run's, and its
    // low part alone would read a mere head of a larger file.
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size))
        return SystemErrorText(GetLastError());
    if (static_cast<unsigned long long>(size.QuadPart) > LongestJournal())
        return kJournalTooLargeReason;
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size())
        return kJournalUnreadableReason;
    // One cut short by the end of its run names nothing: there is nothing to
    // put back.
    const wchar_t* refusal = DecodeJournal(bytes, values) ? JournalRefusal(values) : nullptr;
    return refusal ? refusal : L"";
}

void RestoreJournal(const std::vector<JournalValue>& values) {
    // A key that the run made goes unless something of another's stands in it.
    std::vector<std::wstring> made, kept;
    for (const JournalValue& value : values) {
        const RegValueState state = RegReadState(HKEY_LOCAL_MACHINE, value.key, value.name);
        // A removal's value (no type) still holds what the run left where it is missing.
        const bool deleted = value.newType == REG_NONE;
        if (deleted ? !state.exists : state.exists && state.type == value.newType && state.data == value.newData)
            PutBack(value);
        else if (state.exists)
            kept.push_back(value.key);
        if (!value.keyExisted && state.keyExists && !deleted)
            made.push_back(value.key);
    }
    // Inner keys first, as the table has each after the key that holds it.
    // Const iterators, as in every search of texts here: one copy of std::find.
    for (std::size_t i = made.size(); i-- > 0;)
        if (std::find(made.cbegin(), made.cbegin() + i, made[i]) == made.cbegin() + i &&
            std::find(kept.cbegin(), kept.cend(), made[i]) == kept.cend())
            // One that holds a key of another's stays, as it cannot go; one
            // that is the system's goes only where it is empty.
            Product::OwnsKey(made[i]) ? RegRemoveKey(HKEY_LOCAL_MACHINE, made[i])
                                      : RegRemoveEmptyKey(HKEY_LOCAL_MACHINE, made[i]);
    FlushKeys(true);
}
