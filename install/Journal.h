#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The registry's values as a run found them and as it writes them, kept in a
// file of the run's own in the install folder from before the first value
// changes until the run is done, so that a run ended abruptly (a power cut, a
// deployment tool's time-out) can be settled by the next one, registry
// included: each value that still holds what the run wrote gets back what it
// held before.
struct JournalValue {
    std::wstring key;
    std::wstring name;
    bool keyExisted = false;
    bool existed = false;
    std::uint32_t type = 0;
    std::vector<unsigned char> data;
    std::uint32_t newType = 0;
    std::vector<unsigned char> newData;

    bool operator==(const JournalValue& other) const {
        return key == other.key && name == other.name && keyExisted == other.keyExisted && existed == other.existed &&
               type == other.type && data == other.data && newType == other.newType && newData == other.newData;
    }
};

std::vector<unsigned char> EncodeJournal(const std::vector<JournalValue>& values);

// False, with nothing taken, for bytes that are not a whole journal.
bool DecodeJournal(const std::vector<unsigned char>& bytes, std::vector<JournalValue>& values);

// Why a journal is not to be used, null when it may be: it may name only the
// product's own values (system/Product.h), each once, with the data that the
// run wrote of the type that the value has. What stood before is put back as
// it was, of whatever type: only the product's values are ever touched.
const wchar_t* JournalRefusal(const std::vector<JournalValue>& values);
