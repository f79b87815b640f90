#include "ui/Image.h"

#include "ui/Resources.h"

#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QRegularExpression>

#include <functional>
#include <type_traits>
#include <QSvgRenderer>

namespace q9::ui {

namespace {

QRect rectFrom(const QString& s)
{
    const QStringList p = s.split(',');
    if (p.size() != 4)
        return {};
    return QRect(QPoint(p[0].trimmed().toInt(), p[1].trimmed().toInt()),
                 QPoint(p[2].trimmed().toInt() - 1, p[3].trimmed().toInt() - 1));
}

QRect scaled(const QRect& r, double s)
{
    return QRect(QPoint(qRound(r.left() * s), qRound(r.top() * s)),
                 QPoint(qRound((r.right() + 1) * s) - 1, qRound((r.bottom() + 1) * s) - 1));
}

} // namespace

ImageSpec parseImageSpec(const QString& text)
{
    ImageSpec style;
    if (!text.contains('\'')) {
        style.file = text.trimmed();
        return style;
    }
    static const QRegularExpression pair(QStringLiteral("(\\w+)\\s*=\\s*'([^']*)'"));
    auto it = pair.globalMatch(text);
    while (it.hasNext()) {
        const auto m = it.next();
        const QString key = m.captured(1).toLower();
        const QString value = m.captured(2);
        if (key == QLatin1String("file") || key == QLatin1String("res"))
            style.file = value;
        else if (key == QLatin1String("source"))
            style.source = rectFrom(value);
        else if (key == QLatin1String("dest"))
            style.dest = rectFrom(value);
        else if (key == QLatin1String("corner")) {
            const QStringList c = value.split(',');
            if (c.size() == 4)
                style.corner = QRect(c[0].toInt(), c[1].toInt(), c[2].toInt(), c[3].toInt());
        } else if (key == QLatin1String("fade"))
            style.fade = std::clamp(value.toInt(), 0, 255);
    }
    return style;
}

namespace {
const QRegion* exposedNow = nullptr;
}

ExposedRegion::ExposedRegion(const QRegion* region) : previous_(exposedNow) { exposedNow = region; }
ExposedRegion::~ExposedRegion() { exposedNow = previous_; }
const QRegion* ExposedRegion::current() { return exposedNow; }

static const ImageSpec& cachedImageSpec(const QString& text)
{
    // Image strings repeat on every paint; they are parsed once (UI thread only).
    static QHash<QString, ImageSpec> specs;
    auto it = specs.constFind(text);
    if (it == specs.constEnd())
        it = specs.insert(text, parseImageSpec(text));
    return it.value();
}

namespace {

// Whether the painter draws one device pixel per pixel of a cached picture: no scaling or
// rotation beyond the device pixel ratio.
bool pixelAligned(const QPainter& painter)
{
    const QTransform& t = painter.deviceTransform();
    return t.type() <= QTransform::TxTranslate || (t.type() == QTransform::TxScale && qFuzzyCompare(t.m11(), t.m22()));
}

qreal deviceScale(const QPainter& painter) { return painter.deviceTransform().m11(); }

// A picture rendered once at the device size it is drawn at, then drawn as is. render() paints in
// logical units into (0, 0, size).
QPixmap cachedPicture(const QString& key, QSize size, qreal dpr, const std::function<void(QPainter&, const QRect&)>& render)
{
    const QSize pixels(qRound(size.width() * dpr), qRound(size.height() * dpr));
    const QString k = key + QLatin1Char('|') + QString::number(pixels.width()) + QLatin1Char('x') + QString::number(pixels.height());
    QPixmap pm;
    if (QPixmapCache::find(k, &pm))
        return pm;
    QImage img(pixels, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        const ExposedRegion whole(nullptr);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.scale(dpr, dpr);
        render(p, QRect(QPoint(0, 0), size));
    }
    pm = QPixmap::fromImage(std::move(img));
    QPixmapCache::insert(k, pm);
    return pm;
}

// Draws a picture made at the device size of `to`. Only the parts that are painted are blended,
// rectangle by rectangle of the clip: a large picture under a few small changed areas would
// otherwise be run through as a whole against the clip. `offset` is where `to` starts in the picture.
template <class Picture>
void drawCached(QPainter& painter, const Picture& pm, const QRect& to, qreal dpr, QPoint offset = {})
{
    auto drawBand = [&](const QRect& part) {
        const QRect source(offset.x() + qRound((part.x() - to.x()) * dpr), offset.y() + qRound((part.y() - to.y()) * dpr),
                           qRound(part.width() * dpr), qRound(part.height() * dpr));
        if constexpr (std::is_same_v<Picture, QImage>) {
            if (qFuzzyCompare(dpr, 1.0))
                painter.drawImage(part.topLeft(), pm, source);
            else
                painter.drawImage(QRectF(part), pm, QRectF(source));
        } else {
            if (qFuzzyCompare(dpr, 1.0))
                painter.drawPixmap(part.topLeft(), pm, source);
            else // the painter's transform scales: the device-sized picture fills the logical rectangle
                painter.drawPixmap(QRectF(part), pm, QRectF(source));
        }
    };
    // Bands of a few dozen lines: the raster engine hands a taller blend to its thread pool, whose
    // wake-ups cost more than the blend of a small changed area.
    auto drawPart = [&](const QRect& part) {
        constexpr int kBand = 64;
        for (int y = part.top(); y <= part.bottom(); y += kBand)
            drawBand(QRect(part.left(), y, part.width(), std::min(kBand, part.bottom() + 1 - y)));
    };
    const QRegion* exposed = ExposedRegion::current();
    if (!exposed && !painter.hasClipping()) {
        drawPart(to);
        return;
    }
    QRegion clip = exposed ? *exposed : painter.clipRegion();
    if (exposed && painter.hasClipping())
        clip &= painter.clipRegion();
    for (const QRect& r : clip) {
        const QRect part = to & r;
        if (!part.isEmpty())
            drawPart(part);
    }
}

} // namespace

bool drawImage(QPainter& painter, const QString& imageString, const QRect& target, double scale)
{
    const ImageSpec& style = cachedImageSpec(imageString);
    if (!style.valid())
        return false;
    QRect to = target;
    if (!style.dest.isEmpty())
        to = scaled(style.dest, scale).translated(target.topLeft());
    if (to.isEmpty())
        return true;
    Resources& res = Resources::instance();
    const QString file = res.imageSource(style.file);
    const qreal oldOpacity = painter.opacity();
    painter.setOpacity(oldOpacity * style.fade / 255.0);
    bool ok = true;
    const bool cacheable = pixelAligned(painter);
    const qreal dpr = deviceScale(painter);
    const QSize pixels(qRound(to.width() * dpr), qRound(to.height() * dpr));
    // A window-sized background is not kept: it is painted rarely (the device pictures keep what
    // lies under them) and would hold a megabyte or two for nothing.
    constexpr qint64 kLargestKept = 400 * 400;
    const bool keep = cacheable && qint64(pixels.width()) * pixels.height() <= kLargestKept;
    if (res.isSvg(file) && keep) {
        auto svg = res.svg(file);
        ok = svg != nullptr;
        if (svg)
            drawCached(painter, cachedPicture(QStringLiteral("svg|") + file, to.size(), dpr,
                                              [&](QPainter& p, const QRect& r) { svg->render(&p, QRectF(r)); }),
                       to, dpr);
    } else if (!res.isSvg(file) && keep && style.corner.isNull()) {
        // A raster image drawn at another size is scaled once, not on every paint.
        QImage img = res.image(file);
        if (img.isNull()) {
            ok = false;
        } else {
            const QRect src = style.source.isEmpty() ? img.rect() : style.source;
            if (src.size() == pixels) {
                drawCached(painter, img, to, dpr, src.topLeft());
            } else {
                const QString key = QStringLiteral("img|%1|%2,%3,%4,%5").arg(file).arg(src.x()).arg(src.y()).arg(src.width()).arg(src.height());
                drawCached(painter, cachedPicture(key, to.size(), dpr, [&](QPainter& p, const QRect& r) { p.drawImage(r, img, src); }), to, dpr);
            }
        }
    } else if (res.isSvg(file)) {
        auto svg = res.svg(file);
        if (svg)
            svg->render(&painter, QRectF(to));
        ok = svg != nullptr;
    } else {
        QImage img = res.image(file);
        if (img.isNull()) {
            ok = false;
        } else {
            const QRect src = style.source.isEmpty() ? img.rect() : style.source;
            const QRect c = style.corner;
            if (c.isNull() || (c.x() == 0 && c.y() == 0 && c.width() == 0 && c.height() == 0)) {
                painter.drawImage(to, img, src);
            } else {
                // Nine-patch: corners keep their size, edges stretch along one axis, the middle both.
                const int l = c.x(), t = c.y(), r = c.width(), b = c.height();
                const int dl = qRound(l * scale), dt = qRound(t * scale), dr = qRound(r * scale), db = qRound(b * scale);
                const int sx[4] = {src.left(), src.left() + l, src.right() + 1 - r, src.right() + 1};
                const int sy[4] = {src.top(), src.top() + t, src.bottom() + 1 - b, src.bottom() + 1};
                const int dx[4] = {to.left(), to.left() + dl, to.right() + 1 - dr, to.right() + 1};
                const int dy[4] = {to.top(), to.top() + dt, to.bottom() + 1 - db, to.bottom() + 1};
                for (int i = 0; i < 3; ++i)
                    for (int j = 0; j < 3; ++j) {
                        const QRect s(QPoint(sx[i], sy[j]), QPoint(sx[i + 1] - 1, sy[j + 1] - 1));
                        const QRect d(QPoint(dx[i], dy[j]), QPoint(dx[i + 1] - 1, dy[j + 1] - 1));
                        if (s.isValid() && d.isValid())
                            painter.drawImage(d, img, s);
                    }
            }
        }
    }
    painter.setOpacity(oldOpacity);
    return ok;
}

} // namespace q9::ui
