#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A registry value as a run found it and as it writes it, kept on the disk
// while the run lasts: a run ended abruptly is settled by the next.
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
// product's own values (system/Product.h), each once, and say of each only
// what the product could have had, before the run and as the run wrote it
// (none where a removal deleted it): the type that the table gives it, and
// its shape, a text a text and a path a well-formed folder followed by the
// table's text. What is put back is then always something the product wrote.
const wchar_t* JournalRefusal(const std::vector<JournalValue>& values);

// The most bytes that a journal the check takes can have: more is no run's.
std::size_t LongestJournal();
