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
