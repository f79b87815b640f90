#pragma once
// Builds control trees from layout files of the skin (format: skin/README.md), and the registry of
// the program's control classes.
#include <QString>
#include <QStringList>

#include <functional>

namespace q9::ui {

class BuilderCallback;
class Container;
class Control;
class Window;

class ControlFactory {
public:
    using Creator = std::function<Control*()>;
    static ControlFactory& instance();
    // A name such as "CCircleProgressUI"; layout files may also use "CircleProgress".
    void registerControl(const QString& name, Creator creator);
    Control* create(const QString& className) const;
    QStringList registeredNames() const;

private:
    QList<std::pair<QString, Creator>> creators_;
};

inline void RegistControl(const QString& name, ControlFactory::Creator creator)
{
    ControlFactory::instance().registerControl(name, std::move(creator));
}

class DialogBuilder {
public:
    // Builds the tree of a layout file (an identifier of the resource index, or a path relative to the
    // skin folder). Classes are taken from the UI layer, then the callback, then the registry.
    // Problems (malformed XML, unknown classes or attributes) are traced with file and line; what
    // could be built is returned. With a parent, the tree's root is added to it.
    Control* create(const QString& skin, BuilderCallback* callback, Window* manager, Container* parent = nullptr);

private:
    struct Context;
};

} // namespace q9::ui
