// A firmware file as the program reads it before sending it: whatever the
// bytes, it is either refused with a fault naming its line or gives an image
// that lies inside the brick's firmware area.
#include "model/FirmwareImage.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const FirmwareImage fw = FirmwareImage::Parse(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!fw.isValid()) {
        if (fw.describeFault(QStringLiteral("fuzz.srec")).isEmpty() || fw.badLine() < 0) {
            std::fprintf(stderr, "a refused file has no fault to show\n");
            std::abort();
        }
        return 0;
    }
    const qsizetype area = qsizetype(FirmwareImage::LastAddress - FirmwareImage::FirstAddress + 1);
    if (fw.image().isEmpty() || fw.image().size() > area) {
        std::fprintf(stderr, "an accepted image of %lld bytes\n", static_cast<long long>(fw.image().size()));
        std::abort();
    }
    (void)fw.checksum();
    return 0;
}
