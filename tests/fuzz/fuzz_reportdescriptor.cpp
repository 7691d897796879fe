#include "device/hid/ReportDescriptor.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ReportDescriptor::Lengths lengths = ReportDescriptor::parse(data, size);
    for (int length : {lengths.input, lengths.output, lengths.feature}) {
        if (length < 0 || length > ReportDescriptor::MaxLength)
            std::abort();
    }
    return 0;
}
