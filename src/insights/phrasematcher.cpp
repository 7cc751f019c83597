#include "phrasematcher.h"

#include <QQueue>
#include <algorithm>

PhraseMatcher::PhraseMatcher(const QStringList &phrases)
    : m_phrases(phrases.mid(0, maxPhrases))
{
    for (const QString &phrase : std::as_const(m_phrases)) {
        for (const QChar c : phrase) {
            const char16_t unit = c.unicode();
            if (symbol(unit) != 0)
                continue;
            if (unit < 256) {
                m_lowSymbols[unit] = quint8(m_symbolCount++);
            } else {
                const auto at
                    = std::lower_bound(m_highSymbols.begin(), m_highSymbols.end(), qMakePair(unit, 0));
                m_highSymbols.insert(at, qMakePair(unit, m_symbolCount++));
            }
        }
    }

    // The trie: state 0 is the start; -1 marks a missing edge until the
    // failure links fill it in.
    m_next.fill(-1, m_symbolCount);
    m_output.append(Found());
    for (int p = 0; p < m_phrases.size(); ++p) {
        if (m_phrases[p].isEmpty())
            continue;
        int state = 0;
        for (const QChar c : std::as_const(m_phrases[p])) {
            const int s = symbol(c.unicode());
            if (next(state, s) < 0) {
                m_next[state * m_symbolCount + s] = int(m_output.size());
                m_next.append(QList<int>(m_symbolCount, -1));
                m_output.append(Found());
            }
            state = next(state, s);
        }
        m_output[state].set(p);
    }

    // Breadth first, so that a state's failure target is complete before it.
    QList<int> failure(m_output.size(), 0);
    QQueue<int> queue;
    for (int s = 0; s < m_symbolCount; ++s) {
        int &edge = m_next[s];
        if (edge < 0 || s == 0)
            edge = 0;
        else
            queue.enqueue(edge);
    }
    while (!queue.isEmpty()) {
        const int state = queue.dequeue();
        m_output[state] |= m_output[failure[state]];
        for (int s = 1; s < m_symbolCount; ++s) {
            int &edge = m_next[state * m_symbolCount + s];
            if (edge < 0) {
                edge = next(failure[state], s);
            } else {
                failure[edge] = next(failure[state], s);
                queue.enqueue(edge);
            }
        }
        m_next[state * m_symbolCount] = 0;
    }
}

int PhraseMatcher::symbol(char16_t unit) const
{
    if (unit < 256)
        return m_lowSymbols[unit];
    const auto at = std::lower_bound(m_highSymbols.cbegin(), m_highSymbols.cend(), qMakePair(unit, 0));
    return at != m_highSymbols.cend() && at->first == unit ? at->second : 0;
}

PhraseMatcher::Found PhraseMatcher::find(QStringView text) const
{
    Found found;
    int state = 0;
    for (const QChar c : text) {
        state = next(state, symbol(c.unicode()));
        found |= m_output[state];
    }
    return found;
}

PhraseMatcher::Found PhraseMatcher::mask(const QStringList &phrases) const
{
    Found bits;
    for (const QString &phrase : phrases) {
        const qsizetype at = m_phrases.indexOf(phrase);
        if (at >= 0)
            bits.set(at);
    }
    return bits;
}
