// The option text of the load call: the parser ends on any text, and no item keeps at its ends
// what the suite trims (blanks and control characters; other Unicode spaces belong to the item).

#include "fuzz/FuzzInput.h"
#include "framework/OptionText.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = fuzzText(data, size);
    if (TrimBlanks(text).isEmpty())
        return 0;
    const QStringList items = ParsearOpciones(text);
    for (const QString &item : items)
        if (item != TrimBlanks(item))
            std::abort();
    UltimaCondicion(items);
    return 0;
}
