#include "payload/Integrity.h"

#include "payload/Catalogue.h"
#include "payload/Checksums.h"
#include "system/EmbeddedResource.h"
#include "system/Error.h"

#include <iterator>

bool PayloadsIntact() {
    try {
        const EmbeddedResource table(RT_RCDATA, L"CHECKSUMS");
        for (std::size_t i = 0; i < std::size(PayloadNames); ++i) {
            const EmbeddedResource container(PayloadResourceType(PayloadNames[i]).c_str(), PayloadNames[i]);
            if (!ChecksumMatches(static_cast<const unsigned char*>(table.Data()), table.Size(), i,
                                 static_cast<const unsigned char*>(container.Data()), container.Size()))
                return false;
        }
    } catch (const Error&) {
        return false;
    }
    return true;
}
