#pragma once

#include <QString>

// WhatsApp names an export after its chat, in the phone's language:
// "WhatsApp Chat with Sam.txt" on an Android phone set to English, "WhatsApp
// Chat mit Sam.txt" on a German one, "WhatsApp Chat - Sam.zip" on an
// iPhone; the zip or folder it comes in carries the same name. In a
// one-to-one chat that name is the other person's.
namespace WhatsAppExport {

// The chat's name in the name of an export's file, zip or folder, given
// without its extension ("WhatsApp Chat mit Jane Doe" gives "Jane Doe");
// empty when the name is not one WhatsApp gives. "_" counts as a space,
// and a copy's " (1)" is not part of the chat's name.
QString chatName(const QString &baseName);

} // namespace WhatsAppExport
