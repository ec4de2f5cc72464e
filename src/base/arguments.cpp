#include "base/arguments.h"

#include "base/platform.h"

QString GetParam(int n)
{
    return GetParam(n, platform::commandLineArgs());
}

QString GetParam(int n, const QString &command_line)
{
    QString result;
    int number = 1;
    bool in_param = false;
    bool in_quotes = false;
    for (const QChar c : command_line) {
        const bool quote = c == QLatin1Char('"');
        const bool space = c == QLatin1Char(' ');
        if (in_param) {
            if ((in_quotes && quote) || (!in_quotes && space)) {
                ++number;
                in_param = false;
                in_quotes = false;
            }
        } else if (!space) {
            if (number > n)
                break;
            in_param = true;
            in_quotes = quote;
        }
        if (number == n && in_param && !quote)
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
