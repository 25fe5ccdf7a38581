#include "install/Journal.h"

#include "install/PathRules.h"
#include "install/Texts.h"
#include "system/Product.h"

#include <cstring>
#include <cwchar>

namespace {

// "ZSJ1", the number of values, then each value: its texts and data, each as
// its length in bytes and its bytes, and its numbers, all in the byte order
// of the machine that both writes and reads the journal.
constexpr unsigned char kMagic[] = {'Z', 'S', 'J', '1'};

void Put(std::vector<unsigned char>& out, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    out.insert(out.end(), bytes, bytes + size);
}

void PutBlock(std::vector<unsigned char>& out, const void* data, std::uint32_t size) {
    Put(out, &size, sizeof size);
    Put(out, data, size);
}

class Reader {
  public:
    explicit Reader(const std::vector<unsigned char>& bytes) : bytes_(bytes) {}

    bool Take(void* to, std::size_t size) {
        if (bytes_.size() - at_ < size)
            return false;
        std::memcpy(to, bytes_.data() + at_, size);
        at_ += size;
        return true;
    }
    bool Block(std::vector<unsigned char>& block) {
        std::uint32_t size = 0;
        if (!Take(&size, sizeof size) || bytes_.size() - at_ < size)
            return false;
        block.assign(bytes_.begin() + at_, bytes_.begin() + at_ + size);
        at_ += size;
        return true;
    }
    bool Text(std::wstring& text) {
        std::vector<unsigned char> block;
        if (!Block(block) || block.size() % sizeof(wchar_t))
            return false;
        text.resize(block.size() / sizeof(wchar_t));
        std::memcpy(&text[0], block.data(), block.size());
        return true;
    }
    bool AtEnd() const { return at_ == bytes_.size(); }

  private:
    const std::vector<unsigned char>& bytes_;
    std::size_t at_ = 0;
};

}  // namespace

std::vector<unsigned char> EncodeJournal(const std::vector<JournalValue>& values) {
    std::vector<unsigned char> out(std::begin(kMagic), std::end(kMagic));
    const auto count = static_cast<std::uint32_t>(values.size());
    Put(out, &count, sizeof count);
    for (const JournalValue& value : values) {
        PutBlock(out, value.key.data(), static_cast<std::uint32_t>(value.key.size() * sizeof(wchar_t)));
        PutBlock(out, value.name.data(), static_cast<std::uint32_t>(value.name.size() * sizeof(wchar_t)));
        const std::uint32_t numbers[] = {(value.keyExisted ? 1u : 0u) | (value.existed ? 2u : 0u), value.type,
                                         value.newType};
        Put(out, numbers, sizeof numbers);
        PutBlock(out, value.data.data(), static_cast<std::uint32_t>(value.data.size()));
        PutBlock(out, value.newData.data(), static_cast<std::uint32_t>(value.newData.size()));
    }
    return out;
}

bool DecodeJournal(const std::vector<unsigned char>& bytes, std::vector<JournalValue>& values) {
    Reader reader(bytes);
    unsigned char magic[sizeof kMagic] = {};
    std::uint32_t count = 0;
    if (!reader.Take(magic, sizeof magic) || std::memcmp(magic, kMagic, sizeof magic) != 0 ||
        !reader.Take(&count, sizeof count))
        return false;
    std::vector<JournalValue> decoded;
    for (std::uint32_t i = 0; i < count; ++i) {
        JournalValue value;
        std::uint32_t numbers[3] = {};
        // A value that existed had its key: the flags are one of the three
        // that a run writes.
        if (!reader.Text(value.key) || !reader.Text(value.name) || !reader.Take(numbers, sizeof numbers) ||
            numbers[0] > 3 || numbers[0] == 2 || !reader.Block(value.data) || !reader.Block(value.newData))
            return false;
        value.keyExisted = numbers[0] & 1u;
        value.existed = numbers[0] & 2u;
        value.type = numbers[1];
        value.newType = numbers[2];
        decoded.push_back(std::move(value));
    }
    if (!reader.AtEnd())
        return false;
    values = std::move(decoded);
    return true;
}

namespace {

// The longest text, its NUL included, that a journal takes for a value: twice
// the classic path limit, which a path of the product fits, quoted and with
// its arguments as the removal's commands are, and every text of the table.
constexpr std::size_t kLongestText = 2 * 260;

// Whether `type` and `data` are what the product's value could hold: the
// table's type; a number of four bytes; a text as the registry stores it, of
// UTF-16 units (the journal's bytes are Windows'), its one NUL at its end;
// and a path value a folder that the folder rules take followed by the
// table's text, the commands' in their quotes, and a folder made above it a
// folder that the rules take.
bool OfItsShape(const Product::Value& product, std::uint32_t type, const std::vector<unsigned char>& data) {
    // The system's defaults, and their records, hold another program's text
    // as well as the product's.
    const bool anyText = Product::SetsDefault(product.data) && (type == 1 || type == 2);
    if (type != Product::RegistryType(product.data) && !anyText)
        return false;
    if (type == 4)
        return data.size() == 4;
    if (data.size() < 2 || data.size() % 2 || data.size() > 2 * kLongestText)
        return false;
    std::wstring text;
    for (std::size_t at = 0; at < data.size(); at += 2)
        text += static_cast<wchar_t>(data[at] | data[at + 1] << 8);
    if (text.find(L'\0') != text.size() - 1)
        return false;
    text.pop_back();
    if (anyText)
        return true;
    if (product.data == Product::Data::Above)
        return WellFormedInstallDir(text);
    const bool command = product.data == Product::Data::Command || product.data == Product::Data::Kept;
    if (!command && product.data != Product::Data::InFolder && product.data != Product::Data::ExpandInFolder)
        return true;
    const std::size_t suffix = std::wcslen(product.text);
    return text.size() >= command + suffix && (!command || text[0] == L'"') &&
           text.compare(text.size() - suffix, suffix, product.text) == 0 &&
           WellFormedInstallDir(text.substr(command, text.size() - suffix - command));
}

}  // namespace

std::size_t LongestJournal() {
    std::size_t size = sizeof kMagic + sizeof(std::uint32_t);
    for (const Product::Value& value : Product::kValues)
        // The blocks' lengths, the numbers, the texts and the two data.
        size += 4 * 4 + 3 * 4 + (std::wcslen(value.key) + std::wcslen(value.name)) * sizeof(wchar_t) +
                2 * (Product::RegistryType(value.data) == 4 ? 4 : 2 * kLongestText);
    return size;
}

const wchar_t* JournalRefusal(const std::vector<JournalValue>& values) {
    bool named[Product::kValueCount] = {};
    for (const JournalValue& value : values) {
        std::size_t i = 0;
        while (i < Product::kValueCount &&
               (value.key != Product::kValues[i].key || value.name != Product::kValues[i].name))
            ++i;
        // A removal deletes the value: no type, no data. One that was missing
        // has no data either.
        const bool deleted = value.newType == 0 && value.newData.empty();
        // Its texts are not repeated: the log is no place for what a file says.
        if (i == Product::kValueCount || named[i] ||
            !(deleted || OfItsShape(Product::kValues[i], value.newType, value.newData)) ||
            !(value.existed ? OfItsShape(Product::kValues[i], value.type, value.data) : value.data.empty()))
            return kJournalForeignValuesReason;
        named[i] = true;
    }
    return nullptr;
}
