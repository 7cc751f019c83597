#pragma once

#include <QList>
#include <QStringList>
#include <QStringView>
#include <array>
#include <bitset>

// Finds which of a fixed list of phrases occur in a text, as plain
// substrings, in one walk over the text (an Aho-Corasick automaton). Tests
// of dozens of phrases on every message of a long book would otherwise
// walk each message dozens of times.
class PhraseMatcher
{
public:
    static constexpr int maxPhrases = 128;
    // Bit i is set when phrase i occurs.
    using Found = std::bitset<maxPhrases>;

    // At most maxPhrases phrases; empty phrases never match.
    explicit PhraseMatcher(const QStringList &phrases);

    Found find(QStringView text) const;

    // The bits of the given phrases, to test a Found against.
    Found mask(const QStringList &phrases) const;

private:
    int symbol(char16_t unit) const;
    int next(int state, int symbol) const { return m_next[state * m_symbolCount + symbol]; }

    QStringList m_phrases;
    // Code units that occur in some phrase get symbols 1..; all others are 0
    // and lead back to the start.
    std::array<quint8, 256> m_lowSymbols {};
    QList<QPair<char16_t, int>> m_highSymbols;
    int m_symbolCount = 1;
    QList<int> m_next;
    QList<Found> m_output;
};
