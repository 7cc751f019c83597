// The first line of a WhatsApp message: its date and time fields, read in
// every date order.
#include "fuzzing.h"
#include "whatsappline.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using Brimlow::WhatsAppLine;
    const QString text = QString::fromUtf8(Fuzzing::input(data, size));
    QList<WhatsAppLine> lines;
    Brimlow::WhatsAppDateOrder order;
    for (const QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        if (const std::optional<WhatsAppLine> matched = WhatsAppLine::match(line)) {
            lines.append(*matched);
            order.add(*matched);
        }
    }
    order.order();
    for (const WhatsAppLine &line : std::as_const(lines)) {
        for (const auto order : { WhatsAppLine::DateOrder::DayMonth, WhatsAppLine::DateOrder::MonthDay,
                 WhatsAppLine::DateOrder::YearFirst })
            line.timestamp(order);
    }
    return 0;
}
