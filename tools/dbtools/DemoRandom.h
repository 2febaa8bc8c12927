#pragma once
// A small deterministic random source (splitmix64) for the demo and synthetic data: the same
// seed gives the same database on every platform and Qt version.

#include <QList>
#include <QtGlobal>

namespace dbtools {

class DemoRandom {
public:
    explicit DemoRandom(quint64 seed) : m_state(seed) {}

    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // A whole number in [0, n); n > 0.
    int bounded(int n) { return int(next() % quint64(n)); }
    // A whole number in [low, high].
    int between(int low, int high) { return low + bounded(high - low + 1); }
    // A real number in [low, high).
    double uniform(double low, double high)
    {
        return low + (high - low) * double(next() >> 11) / double(1ULL << 53);
    }
    bool chance(double probability) { return uniform(0.0, 1.0) < probability; }
    template <typename T>
    const T &pick(const QList<T> &items) { return items.at(bounded(int(items.size()))); }

private:
    quint64 m_state;
};

} // namespace dbtools
