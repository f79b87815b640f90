#pragma once
// Image strings of the skin: a bare file name, or attributes such as
//   file='Control/thumb.png' source='0,0,16,16' dest='2,2,18,18' corner='4,4,4,4' fade='200'
// ("res" is accepted for "file"). PNG, JPEG and SVG files; SVG is rendered at the size drawn.
#include <QRect>
#include <QRegion>
#include <QString>

class QPainter;

namespace q9::ui {

struct ImageSpec {
    QString file;
    QRect source;  // empty: the whole image
    QRect dest;    // empty: the whole target rectangle (relative to it otherwise)
    QRect corner;  // left, top, right, bottom edges kept unscaled (nine-patch); PNG only
    int fade = 255;
    bool valid() const { return !file.isEmpty(); }
};

ImageSpec parseImageSpec(const QString& text);

// The region a paint event exposes, for the pictures drawn while it is handled (UI thread): only
// its rectangles are blended. Without one, the painter's clip is taken; a null region (drawing
// into a picture of one's own) lifts the outer one.
class ExposedRegion {
public:
    explicit ExposedRegion(const QRegion* region);
    ~ExposedRegion();
    ExposedRegion(const ExposedRegion&) = delete;
    ExposedRegion& operator=(const ExposedRegion&) = delete;
    static const QRegion* current();

private:
    const QRegion* previous_;
};

// Draws the image into target; false when the file cannot be loaded. scale applies to dest and corner.
bool drawImage(QPainter& painter, const QString& imageString, const QRect& target, double scale = 1.0);

} // namespace q9::ui
