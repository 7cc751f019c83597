#include "wirejson.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QLocale>
#include <cmath>

namespace WireJson {

QByteArray string(const QString &text)
{
    QByteArray out;
    out.reserve(text.size() + 2);
    out.append('"');
    for (const char byte : text.toUtf8()) {
        switch (byte) {
        case '"':
            out.append("\\\"");
            break;
        case '\\':
            out.append("\\\\");
            break;
        case '/':
            out.append("\\/");
            break;
        case '\b':
            out.append("\\b");
            break;
        case '\f':
            out.append("\\f");
            break;
        case '\n':
            out.append("\\n");
            break;
        case '\r':
            out.append("\\r");
            break;
        case '\t':
            out.append("\\t");
            break;
        default:
            if (uchar(byte) < 0x20)
                out.append(
                    QByteArrayLiteral("\\u00") + QByteArray::number(uchar(byte), 16).rightJustified(2, '0'));
            else
                out.append(byte);
        }
    }
    out.append('"');
    return out;
}

QByteArray value(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::Bool:
        return value.toBool() ? "true" : "false";
    case QJsonValue::Double: {
        const double number = value.toDouble();
        if (std::isfinite(number) && number == std::floor(number) && std::fabs(number) < 9007199254740992.0)
            return QByteArray::number(qint64(number));
        return QByteArray::number(number, 'g', QLocale::FloatingPointShortest);
    }
    case QJsonValue::String:
        return string(value.toString());
    case QJsonValue::Array: {
        QList<QByteArray> elements;
        for (const QJsonValue &element : value.toArray())
            elements.append(WireJson::value(element));
        return array(elements);
    }
    case QJsonValue::Object: {
        QList<std::pair<QString, QByteArray>> members;
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it)
            members.append({ it.key(), WireJson::value(it.value()) });
        return WireJson::object(members);
    }
    default:
        return "null";
    }
}

QByteArray object(const QList<std::pair<QString, QByteArray>> &members)
{
    QByteArray out("{");
    for (qsizetype i = 0; i < members.size(); ++i) {
        if (i > 0)
            out.append(',');
        out.append(string(members.at(i).first)).append(':').append(members.at(i).second);
    }
    return out.append('}');
}

QByteArray array(const QList<QByteArray> &elements)
{
    QByteArray out("[");
    for (qsizetype i = 0; i < elements.size(); ++i) {
        if (i > 0)
            out.append(',');
        out.append(elements.at(i));
    }
    return out.append(']');
}

} // namespace WireJson
