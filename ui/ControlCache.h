#pragma once
// The controls of a skin sub-tree, looked up by name on first use and kept. A control not found
// is looked for again next time; one deleted with its tree is forgotten.
#include "ui/Window.h"

#include <QPointer>

#include <map>
#include <string>

namespace q9::ui {

class ControlCache {
public:
    explicit ControlCache(Control* root = nullptr) : root_(root) {}
    void attach(Control* root)
    {
        root_ = root;
        found_.clear();
    }
    Control* root() const { return root_; }

    Control* find(const std::string& name) const
    {
        QPointer<Control>& slot = found_[name];
        if (!slot && root_)
            slot = Window::findSubControlByName(root_, QString::fromStdString(name));
        return slot;
    }
    template <class T>
    T* as(const std::string& name) const
    {
        return qobject_cast<T*>(find(name));
    }

private:
    QPointer<Control> root_;
    mutable std::map<std::string, QPointer<Control>> found_;
};

} // namespace q9::ui
