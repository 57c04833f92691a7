#include "platform/dates.h"

#include <QDateTime>
#include <QLocale>
#include <QTime>

namespace quintelle::platform {

QString shortDate(const QDate& date) {
    return QLocale::system().toString(date, QLocale::ShortFormat);
}

QString dateSeparator() {
    const QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
    for (QChar ch : format)
        if (!ch.isLetter() && !ch.isSpace() && ch != u'\'') return QString(ch);
    return QStringLiteral("/");
}

std::uint32_t utcMillisecondsOfDay() {
    return static_cast<std::uint32_t>(
        QDateTime::currentDateTimeUtc().time().msecsSinceStartOfDay());
}

}  // namespace quintelle::platform
