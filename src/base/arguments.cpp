#include "base/arguments.h"

#include "base/platform.h"

QString GetParam(int n)
{
    return GetParam(n, platform::commandLineArgs());
}

QString GetParam(int n, const QString &commandLine)
{
    QString result;
    int number = 1;
    bool inParam = false;
    bool inQuotes = false;
    for (const QChar c : commandLine) {
        const bool quote = c == QLatin1Char('"');
        const bool space = c == QLatin1Char(' ');
        if (inParam) {
            if ((inQuotes && quote) || (!inQuotes && space)) {
                ++number;
                inParam = false;
                inQuotes = false;
            }
        } else if (!space) {
            if (number > n)
                break;
            inParam = true;
            inQuotes = quote;
        }
        if (number == n && inParam && !quote)
            result += c;
    }
    return result;
}

QString get_login_name()
{
    QString name = platform::loginName();
    name.remove(QLatin1Char(' '));
    return name;
}
