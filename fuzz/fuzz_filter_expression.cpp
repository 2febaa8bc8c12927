// The client-side filter parser: any text is either refused with a message or gives an
// expression that can be evaluated on a row of nulls.

#include "framework/Exceptions.h"
#include "framework/dataset/FilterExpression.h"
#include "fuzz/FuzzInput.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    try {
        const FilterExpression filter = FilterExpression::parse(fuzzText(data, size));
        filter.evaluate([](int) { return QVariant(); });
    } catch (const Exception &e) {
        if (e.Message().isEmpty())
            std::abort();
    }
    return 0;
}
