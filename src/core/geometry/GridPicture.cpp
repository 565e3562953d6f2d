#include "core/geometry/GridPicture.h"

#include "core/common/SettingsStore.h"

#include <QRegularExpression>

namespace skelvin {

namespace {

QString sizeText(QSize size)
{
    return QStringLiteral("%1 x %2").arg(size.width()).arg(size.height());
}

} // namespace

QString gridPictureSizeKey(int n)
{
    return QStringLiteral("grid%1PictureSize").arg(n);
}

QSize gridPictureSize(const SettingsStore &settings, int n)
{
    static const QRegularExpression form(QStringLiteral(R"(^\s*(\d{1,5})x(\d{1,5})\s*$)"));
    const QRegularExpressionMatch m = form.match(settings.read(gridPictureSizeKey(n)));
    if (!m.hasMatch())
        return {};
    const QSize size(m.captured(1).toInt(), m.captured(2).toInt());
    return size.isEmpty() ? QSize() : size;
}

void rememberGridPicture(SettingsStore &settings, int n, QSize picture, const QString &gridFile)
{
    if (!picture.isEmpty()) {
        settings.write(gridPictureSizeKey(n),
                       QStringLiteral("%1x%2").arg(picture.width()).arg(picture.height()));
        return;
    }
    if (settings.read(SettingsStore::gridFileKey(n)) != gridFile)
        settings.write(gridPictureSizeKey(n), QString());
}

QString wrongGridPictureText(int n, QSize builtOn, QSize shown)
{
    if (builtOn.isEmpty() || shown.isEmpty() || builtOn == shown)
        return {};
    return QStringLiteral("This picture is %1 pixels, grid %2 was built on a %3 picture: the "
                          "picture may not belong to this grid. Check the grid before recording.")
        .arg(sizeText(shown))
        .arg(n)
        .arg(sizeText(builtOn));
}

} // namespace skelvin
