// Renders one layout of the skin to a PNG, for people who edit the skin. Classes the UI layer and
// the registry do not know are shown as plain horizontal layouts (with their children), so a
// device page can be looked at before its program class exists.
#include "controls/Registration.h"
#include "ui/Builder.h"
#include "ui/Containers.h"
#include "ui/Resources.h"
#include "ui/Window.h"

#include <QApplication>
#include <QTimer>

#include <iostream>

namespace {

class Preview : public q9::ui::Window {
public:
    q9::ui::Control* createControl(const QString& cls) override
    {
        if (q9::ui::Control* c = q9::ui::ControlFactory::instance().create(cls))
            return c;
        std::cerr << "skinview: " << cls.toStdString() << " shown as a HorizontalLayout\n";
        return new q9::ui::HorizontalLayout;
    }
};

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::cerr << "Usage: q9zen-skinview SKIN_FOLDER LAYOUT OUT.png [WIDTH HEIGHT] [LANGUAGE_FILE]\n"
                     "  e.g. q9zen-skinview skin XML/DeviceXml/mousedevice.xml /tmp/page.png 800 440\n";
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    auto& res = q9::ui::Resources::instance();
    res.setResourcePath(QString::fromLocal8Bit(argv[1]));
    res.loadResourceIndex();
    q9::controls::registerCustomControls();
    res.loadLanguage(argc > 6 ? QString::fromLocal8Bit(argv[6]) : QStringLiteral("lan_cn.xml"));
    // Fonts of the main window's layout, so a sub-tree renders with the program's fonts.
    { Preview fonts; fonts.create({}, QStringLiteral("XML_MAIN")); }
    Preview w;
    if (!w.create({}, QString::fromLocal8Bit(argv[2]))) {
        std::cerr << "skinview: nothing could be built from " << argv[2] << "\n";
        return 1;
    }
    if (argc > 5)
        w.resize(QString::fromLocal8Bit(argv[4]).toInt(), QString::fromLocal8Bit(argv[5]).toInt());
    w.show();
    QTimer::singleShot(200, &w, [&] {
        w.grab().save(QString::fromLocal8Bit(argv[3]));
        QApplication::quit();
    });
    return QApplication::exec();
}
