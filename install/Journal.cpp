#include "install/Journal.h"

namespace {

// "ZSJ1", then the number of values, then each value's fields; numbers are
// 32-bit little-endian, texts their length in code units and then UTF-16LE.
constexpr unsigned char kMagic[] = {'Z', 'S', 'J', '1'};

void PutNumber(std::vector<unsigned char>& out, std::uint32_t number) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<unsigned char>(number >> shift));
}

void PutText(std::vector<unsigned char>& out, const std::wstring& text) {
    PutNumber(out, static_cast<std::uint32_t>(text.size()));
    for (wchar_t c : text) {
        out.push_back(static_cast<unsigned char>(c));
        out.push_back(static_cast<unsigned char>(c >> 8));
    }
}

void PutBytes(std::vector<unsigned char>& out, const std::vector<unsigned char>& bytes) {
    PutNumber(out, static_cast<std::uint32_t>(bytes.size()));
    out.insert(out.end(), bytes.begin(), bytes.end());
}

class Reader {
  public:
    explicit Reader(const std::vector<unsigned char>& bytes) : bytes_(bytes) {}

    bool Number(std::uint32_t& number) {
        if (bytes_.size() - at_ < 4)
            return false;
        number = 0;
        for (int i = 3; i >= 0; --i)
            number = number << 8 | bytes_[at_ + i];
        at_ += 4;
        return true;
    }
    bool Text(std::wstring& text) {
        std::uint32_t length = 0;
        if (!Number(length) || (bytes_.size() - at_) / 2 < length)
            return false;
        text.resize(length);
        for (wchar_t& c : text) {
            c = static_cast<wchar_t>(bytes_[at_] | bytes_[at_ + 1] << 8);
            at_ += 2;
        }
        return true;
    }
    bool Bytes(std::vector<unsigned char>& bytes) {
        std::uint32_t length = 0;
        if (!Number(length) || bytes_.size() - at_ < length)
            return false;
        bytes.assign(bytes_.begin() + at_, bytes_.begin() + at_ + length);
        at_ += length;
        return true;
    }
    bool Magic() {
        for (unsigned char byte : kMagic)
            if (at_ >= bytes_.size() || bytes_[at_++] != byte)
                return false;
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
    PutNumber(out, static_cast<std::uint32_t>(values.size()));
    for (const JournalValue& value : values) {
        PutText(out, value.key);
        PutText(out, value.name);
        PutNumber(out, (value.keyExisted ? 1u : 0u) | (value.existed ? 2u : 0u));
        PutNumber(out, value.type);
        PutBytes(out, value.data);
        PutNumber(out, value.newType);
        PutBytes(out, value.newData);
    }
    return out;
}

bool DecodeJournal(const std::vector<unsigned char>& bytes, std::vector<JournalValue>& values) {
    Reader reader(bytes);
    std::uint32_t count = 0;
    if (!reader.Magic() || !reader.Number(count))
        return false;
    std::vector<JournalValue> decoded;
    for (std::uint32_t i = 0; i < count; ++i) {
        JournalValue value;
        std::uint32_t flags = 0;
        if (!reader.Text(value.key) || !reader.Text(value.name) || !reader.Number(flags) ||
            !reader.Number(value.type) || !reader.Bytes(value.data) || !reader.Number(value.newType) ||
            !reader.Bytes(value.newData))
            return false;
        value.keyExisted = flags & 1u;
        value.existed = flags & 2u;
        decoded.push_back(std::move(value));
    }
    if (!reader.AtEnd())
        return false;
    values = std::move(decoded);
    return true;
}
