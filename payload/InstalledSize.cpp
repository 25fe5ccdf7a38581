#include "payload/InstalledSize.h"

#include "payload/Catalogue.h"
#include "payload/Container.h"
#include "system/EmbeddedResource.h"

PayloadSizes MeasurePayloads() {
    constexpr unsigned long long kCluster = 4096;
    PayloadSizes sizes;
    for (const wchar_t* name : PayloadNames) {
        const EmbeddedResource container(PayloadResourceType(name).c_str(), name);
        if (container.Size() > sizes.largestContainer)
            sizes.largestContainer = container.Size();
        const unsigned long long plain =
            container.Size() >= 4 ? ContainerPlainSize(static_cast<const unsigned char*>(container.Data())) : 0;
        sizes.plain += plain;
        sizes.allocated += (plain + kCluster - 1) / kCluster * kCluster;
    }
    return sizes;
}

unsigned long InstalledSizeKib() {
    return static_cast<unsigned long>((MeasurePayloads().plain + 1023) / 1024);
}
