#include "payload/InstalledSize.h"

#include "payload/Catalogue.h"
#include "payload/Container.h"
#include "system/EmbeddedResource.h"

unsigned long InstalledSizeKib() {
    unsigned long long bytes = 0;
    for (const wchar_t* name : PayloadNames) {
        const EmbeddedResource container(PayloadResourceType(name).c_str(), name);
        if (container.Size() >= 4)
            bytes += ContainerPlainSize(static_cast<const unsigned char*>(container.Data()));
    }
    return static_cast<unsigned long>((bytes + 1023) / 1024);
}
