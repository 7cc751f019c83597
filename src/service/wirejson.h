#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <utility>

// JSON bodies written the way the service's reference client writes them:
// compact, members in the order given, "/" escaped as "\/", other text as
// UTF-8. QJsonDocument sorts keys and leaves "/" alone, so requests whose
// bytes are fixed are written here.
namespace WireJson {

QByteArray string(const QString &text);
// Any value; objects inside keep Qt's key order.
QByteArray value(const QJsonValue &value);
// members are (key, encoded value) pairs, written in that order.
QByteArray object(const QList<std::pair<QString, QByteArray>> &members);
QByteArray array(const QList<QByteArray> &elements);

} // namespace WireJson
