// A child program for the process tests, built with Qt Core alone so that it
// runs wherever the program does (Windows under Wine included). Its steps
// come first, then "--", then the words under test:
//   test-child STEP... -- WORD...
// A copy of it under another name (a cleartool, an editor) reads its steps
// from the file beside it named as it is plus ".steps", a step a line, and
// takes every argument as a word.
// The steps, done in order:
//   args=FILE       write every word as "[word]" to FILE
//   argline=FILE    add the words, joined by blanks, and a line end to FILE
//   run=PROGRAM|ARG|...  run a program and wait for it; "%{-x}" in an
//                   argument is the word after the word -x
//   stdin=FILE      add "got" and the first line of standard input to FILE
//   secret=FILE     add what the file named by the first word holds, then
//                   this program's command line and its environment, to FILE
//   out=TEXT        a line on standard output (err=TEXT: on standard error)
//   sleep=MS        wait
//   touch=FILE      make FILE
//   waitfor=FILE    wait until FILE exists
//   later=GO,ENDED  a copy of this program, started to run on after this one
//                   ends with this one's output, waits for GO and makes ENDED
//   write=TEXT      write TEXT ("\n" for a line end) to the file named by the
//                   first word
//   copy=FILE       add what the file named by the first word holds to FILE
//   mode=FILE       add the permissions of that file and of its folder, in
//                   octal ("600 700"), and a line end to FILE
//   die-if=WORD     end by signal 9 when the first word is WORD
//   on=PREFIX:REPLY a rule for serve: a line that starts with PREFIX (any
//                   line when empty) is answered with REPLY, lines parted by
//                   "|", "%n" the line's number, "%l" the line; "hang" waits
//                   5 s and answers nothing
//   serve           answer every line of standard input by the first rule
//                   it meets, until the input ends
//   exit=N          end with status N
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#include <csignal>
#include <cstdio>

namespace {
void append(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::Append))
        f.write(bytes);
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList all = QCoreApplication::arguments().mid(1);
    QStringList steps, words;
    QFile stepsFile(QCoreApplication::applicationFilePath() + QStringLiteral(".steps"));
    if (stepsFile.open(QIODevice::ReadOnly)) {
        steps = QString::fromUtf8(stepsFile.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        words = all;
    } else {
        const qsizetype end = all.indexOf(QStringLiteral("--"));
        steps = all.mid(0, end < 0 ? all.size() : end);
        words = end < 0 ? QStringList() : all.mid(end + 1);
    }
    QList<std::pair<QString, QString>> rules;
    for (const QString &step : steps) {
        const qsizetype eq = step.indexOf(QLatin1Char('='));
        const QString op = step.left(eq), value = eq < 0 ? QString() : step.mid(eq + 1);
        if (op == QLatin1String("args")) {
            QByteArray text;
            for (const QString &w : words)
                text += '[' + w.toUtf8() + ']';
            append(value, text);
        } else if (op == QLatin1String("argline")) {
            append(value, words.join(QLatin1Char(' ')).toUtf8() + '\n');
        } else if (op == QLatin1String("run")) {
            QStringList args = value.split(QLatin1Char('|'));
            const QString program = args.takeFirst();
            for (QString &a : args)
                for (qsizetype i = 0; i + 1 < words.size(); ++i)
                    a.replace(QStringLiteral("%{") + words.at(i) + QLatin1Char('}'), words.at(i + 1));
            QProcess::execute(program, args);
        } else if (op == QLatin1String("stdin")) {
            char line[256] = {};
            if (!std::fgets(line, sizeof line, stdin))
                line[0] = '\0';
            append(value, "got" + QByteArray(line).trimmed() + '\n');
        } else if (op == QLatin1String("secret")) {
            QFile channel(words.value(0));
            const QByteArray secret = channel.open(QIODevice::ReadOnly) ? channel.readAll() : QByteArray();
            append(
                value,
                secret + '\n' + all.join(QLatin1Char(' ')).toUtf8() + '\n' +
                    QProcessEnvironment::systemEnvironment().toStringList().join(QLatin1Char('\n')).toUtf8());
        } else if (op == QLatin1String("out") || op == QLatin1String("err")) {
            std::fputs((value + QLatin1Char('\n')).toLocal8Bit().constData(),
                       op == QLatin1String("out") ? stdout : stderr);
            std::fflush(op == QLatin1String("out") ? stdout : stderr);
        } else if (op == QLatin1String("sleep")) {
            QThread::msleep(value.toULong());
        } else if (op == QLatin1String("touch")) {
            append(value, QByteArray());
        } else if (op == QLatin1String("waitfor")) {
            while (!QFile::exists(value))
                QThread::msleep(50);
        } else if (op == QLatin1String("later")) {
            const QStringList files = value.split(QLatin1Char(','));
            QProcess::startDetached(
                QCoreApplication::applicationFilePath(),
                {QStringLiteral("waitfor=") + files.value(0), QStringLiteral("touch=") + files.value(1)});
        } else if (op == QLatin1String("write")) {
            QFile f(words.value(0));
            if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
                f.write(QString(value).replace(QStringLiteral("\\n"), QStringLiteral("\n")).toUtf8());
        } else if (op == QLatin1String("copy")) {
            QFile from(words.value(0));
            append(value, from.open(QIODevice::ReadOnly) ? from.readAll() : QByteArray());
        } else if (op == QLatin1String("mode")) {
            const auto octal = [](const QString &path) {
                const QFile::Permissions p = QFileInfo(path).permissions();
                const auto digit = [p](QFile::Permission r, QFile::Permission w, QFile::Permission x) {
                    return QByteArray::number((p & r ? 4 : 0) + (p & w ? 2 : 0) + (p & x ? 1 : 0));
                };
                return digit(QFile::ReadUser, QFile::WriteUser, QFile::ExeUser) +
                       digit(QFile::ReadGroup, QFile::WriteGroup, QFile::ExeGroup) +
                       digit(QFile::ReadOther, QFile::WriteOther, QFile::ExeOther);
            };
            const QString file = words.value(0);
            append(value, octal(file) + ' ' + octal(QFileInfo(file).path()) + '\n');
        } else if (op == QLatin1String("die-if")) {
            if (words.value(0) == value)
                std::raise(9); // SIGKILL where there is one
        } else if (op == QLatin1String("on")) {
            const qsizetype colon = value.indexOf(QLatin1Char(':'));
            rules.append({value.left(colon), value.mid(colon + 1)});
        } else if (op == QLatin1String("serve")) {
            char line[4096];
            for (int n = 1; std::fgets(line, sizeof line, stdin); ++n) {
                QString text = QString::fromLocal8Bit(line);
                while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r')))
                    text.chop(1);
                for (const auto &[prefix, reply] : std::as_const(rules)) {
                    if (!text.startsWith(prefix))
                        continue;
                    if (reply == QLatin1String("hang"))
                        QThread::msleep(5000);
                    else
                        for (QString out : reply.split(QLatin1Char('|')))
                            std::printf("%s\n",
                                        qPrintable(out.replace(QStringLiteral("%n"), QString::number(n))
                                                       .replace(QStringLiteral("%l"), text)));
                    std::fflush(stdout);
                    break;
                }
            }
        } else if (op == QLatin1String("exit")) {
            return value.toInt();
        } else {
            std::fprintf(stderr, "test-child: unknown step %s\n", qPrintable(step));
            return 125;
        }
    }
    return 0;
}
