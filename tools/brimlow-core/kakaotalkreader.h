#pragma once

#include "chatlogreader.h"

namespace Brimlow {

class TextLines;

// KakaoTalk's exports: the PC's text ("--------------- 2021년 1월 31일
// 일요일 ---------------" and "[Sam] [오후 9:41] hey"), the phone's text
// ("2021. 1. 31. 오후 9:41, Sam : hey"), in Korean or English, and the Mac's
// CSV ("Date,User,Message").
class KakaoTalkReader : public ChatLogReader
{
public:
    QString service() const override;
    bool recognises(const QByteArray &head) const override;
    QList<Chat> read(const QString &path, Context &context) const override;

    static QList<Chat> parse(TextLines &lines, Detail detail = Detail::Messages);
};

} // namespace Brimlow
