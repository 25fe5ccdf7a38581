#pragma once

// The sizes of the product's files, as the payload containers record them.
struct PayloadSizes {
    unsigned long long plain = 0;      // the plain sizes added up
    unsigned long long allocated = 0;  // each rounded up to the 4 KiB clusters of a common disk
    unsigned long largestContainer = 0;
};
PayloadSizes MeasurePayloads();

// What the installed product takes, in KiB rounded up.
unsigned long InstalledSizeKib();
