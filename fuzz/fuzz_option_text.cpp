// The option text of the load call: the parser ends on any text, and no item keeps blanks at
// its ends.

#include "FuzzInput.h"
#include "OptionText.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = fuzzText(data, size);
    if (TrimBlanks(text).isEmpty())
        return 0;
    const QStringList items = ParsearOpciones(text);
    for (const QString &item : items)
        if (item != item.trimmed())
            std::abort();
    UltimaCondicion(items);
    return 0;
}
