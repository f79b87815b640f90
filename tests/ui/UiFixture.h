#pragma once
// A throw-away skin folder, and a window that records the notifications it gets.
#include "platform/Trace.h"
#include "ui/Control.h"
#include "ui/Resources.h"
#include "ui/Window.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace q9::test {

struct Seen {
    QString type;
    QString sender;
    uint64_t wParam;
};

class RecordingWindow : public ui::Window {
public:
    std::vector<Seen> seen;
    std::function<ui::Control*(const QString&)> factory;

    ui::Control* createControl(const QString& cls) override { return factory ? factory(cls) : nullptr; }
    void notify(ui::TNotify& msg) override
    {
        seen.push_back({msg.type, msg.sender ? msg.sender->name() : QString(), msg.wParam});
        ui::Window::notify(msg);
    }
    bool saw(const QString& type, const QString& sender) const
    {
        for (const Seen& s : seen)
            if (s.type == type && s.sender == sender)
                return true;
        return false;
    }
};

class SkinTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        ui::Resources::instance().release();
        ui::Resources::instance().setResourcePath(dir_.path());
        clearCapturedTraces();
        setTraceCapture(true);
    }
    void TearDown() override
    {
        setTraceCapture(false);
        ui::Resources::instance().release();
    }
    void write(const QString& name, const QByteArray& text)
    {
        const QString path = dir_.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    bool traced(const std::string& part) const
    {
        for (const std::string& line : capturedTraces())
            if (line.find(part) != std::string::npos)
                return true;
        return false;
    }
    QTemporaryDir dir_;
};

} // namespace q9::test
