// The splitter of the position lists: one item per comma, quotes dropped, nothing else lost.

#include "fuzz/FuzzInput.h"
#include "data/DAcSemaf.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString text = fuzzText(data, size);
    const QStringList items = TDtmAcSemaf::SepararLista(text);
    text.remove(QLatin1Char('\''));
    if (items.join(QLatin1Char(',')) != text || items.size() != text.count(QLatin1Char(',')) + 1)
        std::abort();
    return 0;
}
