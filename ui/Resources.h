#pragma once
// The skin's resources: where the skin lies, the resource index ("res.xml": identifiers such as
// "XML_MAIN" to layout files), the language table that resolves text ids, the font table by id,
// and the image cache. One per process, used on the UI thread.
#include <QFont>
#include <QHash>
#include <QImage>
#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>

class QSvgRenderer;

namespace q9::ui {

struct FontSpec {
    QString family;
    int pixelSize = 12;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

class Resources {
public:
    static Resources& instance();

    void setResourcePath(const QString& skinFolder);
    QString resourcePath() const { return path_; }
    // Reads the resource index; false when it is missing or malformed.
    bool loadResourceIndex(const QString& file = QStringLiteral("res.xml"));
    // An identifier of the index, or a path relative to the skin folder ('\' accepted), as a full path.
    QString resolve(const QString& idOrPath) const;

    // Languages: a language file holds the text table and may override fonts by id.
    bool loadLanguage(const QString& file);
    void setLanguage(const QString& name) { language_ = name; }
    QString language() const { return language_; }
    QString languageFile() const { return languageFile_; }
    // The text of an id in the current table; the id itself when the table has none.
    QString text(const QString& id) const;
    bool hasText(const QString& id) const { return texts_.contains(id); }
    // Every control that shows a text id shows it again in the current language.
    void reloadText();

    // Fonts by id: the skin's table, overridden by the language's.
    void addFont(int id, const FontSpec& style, bool isDefault);
    FontSpec font(int id) const;
    FontSpec defaultFont() const;

    // Images relative to the skin folder.
    QImage image(const QString& file);
    std::shared_ptr<QSvgRenderer> svg(const QString& file);
    bool isSvg(const QString& file) const { return file.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive); }
    // The file an image name is drawn from: a name such as "power/power.png" is served by
    // "power/power.svg" when there is no such PNG, so the skin can keep its art as SVG.
    QString imageSource(const QString& file);

    void release(); // drops the index, tables and caches

private:
    Resources() = default;
    QString imagePath(const QString& file) const;

    QString path_;
    QMap<QString, QString> index_;
    QString language_;
    QString languageFile_;
    QHash<QString, QString> texts_;
    QMap<int, FontSpec> skinFonts_;
    QMap<int, FontSpec> languageFonts_;
    int defaultFontId_ = -1;
    QHash<QString, QImage> images_;
    QHash<QString, std::shared_ptr<QSvgRenderer>> svgs_;
    QHash<QString, QString> sources_;
};

} // namespace q9::ui
