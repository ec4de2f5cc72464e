#include "site/templates.h"

#include "base/errors.h"
#include "base/platform.h"
#include "base/textfile.h"
#include "clearcase/views.h"
#include "site/template_text.h"

QString get_view_description(const QString &file, bool &is_snapshot, QString *error)
{
    TemplateDescription d;
    try {
        const auto f = openTextFile(file);
        readTemplateDescription(*f, kShownDescriptionLimit, d);
    } catch (const std::exception &e) {
        is_snapshot = d.snapshot;
        if (error)
            *error = errorDescription(e);
        return QString();
    }
    is_snapshot = d.snapshot;
    return d.text;
}

Catalogue loadCatalogue(const QString &fullDir, const QString &user, ClearCaseApp &cc, ClearTool &tool,
                        const std::function<void()> &yield)
{
    Catalogue c;
    // A folder that exists but cannot be listed is a failure, not an empty
    // project.
    const std::optional<QStringList> names =
        platform::listFiles(platform::toLocalPath(fullDir), &c.listingError);
    if (!names)
        return c;
    QStringList typedTags;
    QStringList asked;
    for (const QString &name : *names) {
        if (yield)
            yield();
        if (name == QLatin1String(".defaults") || name == QLatin1String("kestrel.dft"))
            continue;
        TemplateRecord r;
        r.path = fullDir + QStringLiteral("\\") + name;
        r.file_name = name;
        QString why;
        r.description = get_view_description(r.path, r.is_snapshot, &why);
        if (!why.isEmpty())
            c.descriptionErrors.append({r.path, why});
        r.tag = user.toLower() + QStringLiteral("__") + name;
        typedTags << user + QStringLiteral("__") + name;
        asked << r.tag;
        if (typedTags.last() != r.tag)
            asked << typedTags.last();
        c.templates.push_back(r);
    }
    const TagStates states = askAboutTags(cc, tool, asked);
    c.clearcaseError = states.error;
    for (size_t i = 0; i < c.templates.size(); ++i)
        c.templates[i].status = statusMarker(states, c.templates[i].tag, typedTags.at(qsizetype(i)));
    return c;
}
