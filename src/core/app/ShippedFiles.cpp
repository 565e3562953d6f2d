#include "core/app/ShippedFiles.h"

#include "core/common/Paths.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace skelvin {

namespace {

// A round face: smiling (green) for a grid that is set up, worried (amber) for one that is not.
QImage face(int size, QColor fill, bool smiling)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    p.setPen(QPen(Qt::black, s / 24));
    p.setBrush(fill);
    p.drawEllipse(QRectF(s * 0.06, s * 0.06, s * 0.88, s * 0.88));
    p.setBrush(Qt::black);
    p.drawEllipse(QRectF(s * 0.32, s * 0.32, s * 0.1, s * 0.14));
    p.drawEllipse(QRectF(s * 0.58, s * 0.32, s * 0.1, s * 0.14));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, s / 16, Qt::SolidLine, Qt::RoundCap));
    QPainterPath mouth;
    mouth.moveTo(s * 0.3, s * (smiling ? 0.6 : 0.72));
    mouth.quadTo(s * 0.5, s * (smiling ? 0.8 : 0.56), s * 0.7, s * (smiling ? 0.6 : 0.72));
    p.drawPath(mouth);
    return image;
}

// A warning triangle with an exclamation mark.
QImage caution(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    QPolygonF triangle({QPointF(s * 0.5, s * 0.06), QPointF(s * 0.95, s * 0.9), QPointF(s * 0.05, s * 0.9)});
    p.setPen(QPen(Qt::black, s / 20));
    p.setBrush(QColor(255, 200, 0));
    p.drawPolygon(triangle);
    p.setPen(QPen(Qt::black, s / 9, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(s * 0.5, s * 0.35), QPointF(s * 0.5, s * 0.62));
    p.drawPoint(QPointF(s * 0.5, s * 0.76));
    return image;
}

bool writeImage(const QImage &image, const QString &path, const char *format)
{
    return image.save(path, format);
}

} // namespace

QStringList ShippedFiles::names()
{
    return {QStringLiteral("SmallSmiley.jpg"), QStringLiteral("SmallCaution.jpg"),
            QStringLiteral("face02.ico"), QStringLiteral("msgbox03.ico"),
            QStringLiteral("DE05Manual.rtf")};
}

QStringList ShippedFiles::installMissing(const QString &appDir)
{
    QStringList problems;
    if (!QDir().mkpath(appDir)) {
        problems << QStringLiteral("The application directory %1 could not be created.").arg(appDir);
        return problems;
    }
    for (const QString &name : names()) {
        const QString path = joinPath(appDir, name);
        if (QFile::exists(path))
            continue;
        bool ok = false;
        if (name == QLatin1String("SmallSmiley.jpg"))
            ok = writeImage(face(32, QColor(90, 200, 90), true), path, "JPG");
        else if (name == QLatin1String("SmallCaution.jpg"))
            ok = writeImage(caution(32), path, "JPG");
        else if (name == QLatin1String("face02.ico"))
            ok = writeImage(face(32, QColor(90, 200, 90), true), path, "ICO");
        else if (name == QLatin1String("msgbox03.ico"))
            ok = writeImage(face(32, QColor(240, 170, 40), false), path, "ICO");
        else
            ok = QFile::copy(QStringLiteral(":/shipped/") + name, path)
                 && QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                    | QFileDevice::ReadGroup | QFileDevice::ReadOther);
        if (!ok)
            problems << QStringLiteral("%1 could not be written.").arg(path);
    }
    return problems;
}

} // namespace skelvin
