#pragma once

#include "conversation.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

// The user's consent to read a conversation, and which participant is the
// user, kept in the user's defaults by conversation identifier
// (Conversation::id()): "consent:", "consent-wrapped:" and "me:" entries.
// Only the presence of a consent entry counts; its value is the day it was
// given.
namespace Consent {

// Whether full or Wrapped-only consent is stored.
bool mayRead(const QString &identifier);
// Stores full consent today; Wrapped-only consent stays as it is.
void record(const QString &identifier);
// Stores consent for the Wrapped only; full consent stays as it is.
void recordWrapped(const QString &identifier);

// The stored name of the user's participant.
std::optional<QString> me(const Conversation &conversation);
// Stores it.
void setMe(const Conversation &conversation, const QString &name);

// The participant a one-to-one chat export or pasted chat names as the
// other party: the conversation's own name, else its source's (the name of
// the export's file, zip or folder, read through WhatsAppExport, or the
// name typed for a pasted chat), the first of them that names one of the
// participants. A name names the participant it is (ignoring case, emoji
// and the spaces around it), or the only one whose name begins with its
// words. None for groups, chats of one participant and other sources.
std::optional<QString> namedOther(const Conversation &conversation);

// Which participant is the user: the stored choice while it names one of
// them; else the one beside the person the export itself says the chat is
// with (Conversation::them), or the one who wrote when that person never
// did; else the one namedOther() leaves, else guessMe(). Empty when the
// participants are not known, and when only one of them wrote and nobody
// chose: the user then wrote nothing of the chat, unless a WhatsApp
// export is named after someone other than the one who wrote, who is then
// the user.
QString user(const Conversation &conversation);

// Who a one-to-one chat export or pasted chat is with: the person the
// export says, unless the user chose to be them; else the first
// participant who is not user(), the only one when only one wrote. None
// for groups, other sources, and a chat whose own name is none of its
// participants' (that name names it).
std::optional<QString> otherParty(const Conversation &conversation);

// Whether a one-to-one chat export or pasted chat is named after the
// participant who is the user, by their whole name: a chat the other
// person exported and sent, which their phone names after the user. Never
// where the export says who the chat is with.
bool isNamedAfterUser(const Conversation &conversation);

// The first participant whose name begins, ignoring case, with the first
// word of the account's full name; else the first participant; empty for
// an empty list.
QString guessMe(const QList<Conversation::LogPerson> &people);

// The account's full name: the GECOS field up to its first comma.
QString fullName();
// Replaces where fullName() comes from (tests do); an empty function
// restores the account.
void setFullNameSource(std::function<QString()> source);

} // namespace Consent
