#include "celebration.h"

QString Celebration::kindName(Kind kind)
{
    switch (kind) {
    case Kind::Birthday:
        return QStringLiteral("birthday");
    case Kind::Anniversary:
        return QStringLiteral("anniversary");
    case Kind::Holiday:
        return QStringLiteral("holiday");
    case Kind::Milestone:
        return QStringLiteral("milestone");
    case Kind::Trip:
        return QStringLiteral("trip");
    }
    return {};
}

size_t qHash(const Celebration &c, size_t seed)
{
    return qHashMulti(seed, c.id, int(c.kind), c.emoji, c.title, c.detail, c.day, c.from, c.to,
        c.messageID.value_or(QString()), c.messageID.has_value());
}
