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

QString postingDate(const QDate& date, const QString& separator) {
    return QString::number(date.month()) + separator + QString::number(date.day()) + separator +
           QStringLiteral("%1").arg(date.year() % 100, 2, 10, QLatin1Char('0'));
}

std::uint32_t utcMillisecondsOfDay() {
    return static_cast<std::uint32_t>(
        QDateTime::currentDateTimeUtc().time().msecsSinceStartOfDay());
}

}  // namespace quintelle::platform
