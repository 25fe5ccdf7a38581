// Feeds arbitrary bytes to the journal reader and its check against the
// product. Crashes, hangs and leaks are findings, and so is a journal read
// that does not give back exactly its bytes when written again, or one taken
// that names anything but the product's values, each once, of their types.

#include "install/Journal.h"
#include "system/Product.h"

#include <cstdlib>
#include <iterator>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<unsigned char> bytes(data, data + size);
    std::vector<JournalValue> values;
    if (!DecodeJournal(bytes, values)) {
        if (!values.empty())
            std::abort();
        return 0;
    }
    if (EncodeJournal(values) != bytes)
        std::abort();
    if (JournalRefusal(values))
        return 0;
    if (values.size() > Product::kValueCount)
        std::abort();
    for (const JournalValue& value : values) {
        bool listed = false;
        for (const Product::Value& product : Product::kValues) {
            const std::uint32_t type = Product::RegistryType(product.data);
            listed = listed || (value.key == product.key && value.name == product.name &&
                                (value.newType == type || (!value.newType && value.newData.empty())) &&
                                (value.existed ? value.type == type : value.data.empty()));
        }
        if (!listed)
            std::abort();
    }
    return 0;
}
