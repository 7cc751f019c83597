#include "conversation.h"

#include "model/jsonwriter.h"

#include <algorithm>

namespace Brimlow {

void Conversation::write(JsonWriter &json) const
{
    json.beginObject();
    json.member("key", key);
    json.member("group", group);
    if (!name.isEmpty())
        json.member("name", name);
    json.key("chat_ids");
    json.beginArray();
    for (qint64 id : chatIds)
        json.value(id);
    json.endArray();
    json.member("services", services);
    json.member("messages", messages);
    json.member("first", first);
    json.member("last", last);
    if (people) {
        json.key("people");
        json.beginArray();
        for (const Person &person : *people) {
            json.beginObject();
            json.member("name", person.name);
            json.member("messages", person.messages);
            json.endObject();
        }
        json.endArray();
    }
    if (!them.isEmpty())
        json.member("them", them);
    if (!notice.isEmpty())
        json.member("notice", notice);
    json.endObject();
}

void sortNewestFirst(QList<Conversation> &conversations)
{
    std::stable_sort(
        conversations.begin(), conversations.end(), [](const Conversation &a, const Conversation &b) {
            if (a.last != b.last)
                return a.last > b.last;
            return a.key < b.key;
        });
}

} // namespace Brimlow
