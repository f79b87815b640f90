#include "ui/Resources.h"

#include "platform/Trace.h"
#include "ui/Control.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPixmapCache>
#include <QSvgRenderer>
#include <QWidget>
#include <QXmlStreamReader>

namespace q9::ui {

namespace {

void traceXmlError(const QString& file, const QXmlStreamReader& xml)
{
    trace(QStringLiteral("皮肤文件错误 %1:%2: %3").arg(file).arg(xml.lineNumber()).arg(xml.errorString()).toStdString());
}

FontSpec fontFrom(const QXmlStreamAttributes& a)
{
    FontSpec f;
    f.family = a.value(QLatin1String("name")).toString();
    f.pixelSize = a.value(QLatin1String("size")).toInt();
    if (f.pixelSize <= 0)
        f.pixelSize = 12;
    f.bold = a.value(QLatin1String("bold")) == QLatin1String("true");
    f.italic = a.value(QLatin1String("italic")) == QLatin1String("true");
    f.underline = a.value(QLatin1String("underline")) == QLatin1String("true");
    return f;
}

constexpr qint64 kMaxSkinFile = 4 << 20;

} // namespace

Resources& Resources::instance()
{
    static Resources r;
    return r;
}

void Resources::setResourcePath(const QString& skinFolder)
{
    path_ = skinFolder;
    if (!path_.isEmpty() && !path_.endsWith('/'))
        path_ += '/';
}

bool Resources::loadResourceIndex(const QString& file)
{
    QFile f(path_ + file);
    if (!f.open(QIODevice::ReadOnly) || f.size() > kMaxSkinFile)
        return false;
    QXmlStreamReader xml(&f);
    if (xml.readNextStartElement()) {
        while (xml.readNextStartElement()) {
            const QString id = xml.attributes().value(QLatin1String("id")).toString();
            const QString target = xml.attributes().value(QLatin1String("file")).toString();
            if (!id.isEmpty() && !target.isEmpty())
                index_.insert(id, target);
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError()) {
        traceXmlError(file, xml);
        return false;
    }
    return true;
}

QString Resources::resolve(const QString& idOrPath) const
{
    QString p = index_.value(idOrPath, idOrPath);
    p.replace('\\', '/');
    if (QFileInfo(p).isAbsolute())
        return p;
    return path_ + p;
}

bool Resources::loadLanguage(const QString& file)
{
    QFile f(resolve(file));
    if (!f.open(QIODevice::ReadOnly) || f.size() > kMaxSkinFile) {
        trace(QStringLiteral("语言文件无法打开: %1").arg(file).toStdString());
        return false;
    }
    QHash<QString, QString> texts;
    QMap<int, FontSpec> fonts;
    QXmlStreamReader xml(&f);
    if (xml.readNextStartElement()) {
        while (xml.readNextStartElement()) {
            const auto a = xml.attributes();
            if (xml.name() == QLatin1String("Text")) {
                const QString id = a.value(QLatin1String("id")).toString();
                texts.insert(id, xml.readElementText());
            } else if (xml.name() == QLatin1String("Font")) {
                fonts.insert(a.value(QLatin1String("id")).toInt(), fontFrom(a));
                xml.skipCurrentElement();
            } else {
                xml.skipCurrentElement();
            }
        }
    }
    if (xml.hasError()) {
        traceXmlError(file, xml);
        return false;
    }
    texts_ = std::move(texts);
    languageFonts_ = std::move(fonts);
    languageFile_ = file;
    return true;
}

QString Resources::text(const QString& id) const
{
    auto it = texts_.constFind(id);
    return it == texts_.constEnd() ? id : it.value();
}

void Resources::reloadText()
{
    for (QWidget* top : QApplication::topLevelWidgets())
        for (Control* c : top->findChildren<Control*>())
            c->textIdsChanged();
}

void Resources::addFont(int id, const FontSpec& style, bool isDefault)
{
    skinFonts_.insert(id, style);
    if (isDefault || defaultFontId_ < 0)
        defaultFontId_ = id;
}

FontSpec Resources::font(int id) const
{
    if (languageFonts_.contains(id))
        return languageFonts_.value(id);
    if (skinFonts_.contains(id))
        return skinFonts_.value(id);
    return defaultFont();
}

FontSpec Resources::defaultFont() const
{
    if (defaultFontId_ >= 0)
        return languageFonts_.contains(defaultFontId_) ? languageFonts_.value(defaultFontId_)
                                                       : skinFonts_.value(defaultFontId_);
    return FontSpec{};
}

QString Resources::imagePath(const QString& file) const { return resolve(file); }

QString Resources::imageSource(const QString& file)
{
    auto it = sources_.constFind(file);
    if (it != sources_.constEnd())
        return it.value();
    QString source = file;
    if (!isSvg(file) && !QFileInfo::exists(imagePath(file))) {
        const int dot = file.lastIndexOf('.');
        const QString svgName = (dot > 0 ? file.left(dot) : file) + QStringLiteral(".svg");
        if (QFileInfo::exists(imagePath(svgName)))
            source = svgName;
    }
    sources_.insert(file, source);
    return source;
}

QImage Resources::image(const QString& file)
{
    auto it = images_.constFind(file);
    if (it != images_.constEnd())
        return it.value();
    QImage img(imagePath(file));
    if (img.isNull())
        trace(QStringLiteral("图片无法加载: %1").arg(file).toStdString());
    images_.insert(file, img);
    return img;
}

std::shared_ptr<QSvgRenderer> Resources::svg(const QString& file)
{
    auto it = svgs_.constFind(file);
    if (it != svgs_.constEnd())
        return it.value();
    auto r = std::make_shared<QSvgRenderer>(imagePath(file));
    if (!r->isValid()) {
        trace(QStringLiteral("图片无法加载: %1").arg(file).toStdString());
        r.reset();
    }
    svgs_.insert(file, r);
    return r;
}

void Resources::release()
{
    index_.clear();
    texts_.clear();
    skinFonts_.clear();
    languageFonts_.clear();
    defaultFontId_ = -1;
    images_.clear();
    svgs_.clear();
    sources_.clear();
    QPixmapCache::clear(); // pictures rendered from the files of this skin
}

} // namespace q9::ui
