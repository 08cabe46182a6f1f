#pragma once

#include <QObject>
#include <QTemporaryDir>

#include "Application.h"

#include <QImage>
#include <QStringList>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

// Runs each test object in turn with QTest's own arguments; non-zero when any of them failed.
int RunTestObjects(int argc, char** argv, std::initializer_list<QObject*> objects);

// Runs the body in a forked child that has dropped to an unprivileged user (when started as root),
// so that file permissions apply to it; the result is the child's exit code, or -1 when it died.
int RunUnprivileged(const std::function<int()>& body);

// Runs a program as an unprivileged user (when started as root) and returns its exit code, or -1.
// The program is copied into a folder of the caller's first, so that the user can reach it.
int RunProgramUnprivileged(const QString& program, const QStringList& arguments, const QString& folder);

// A temporary folder, readable by everyone, that holds the hive file HKEY_LOCAL_MACHINE points at.
class HiveFixture {
public:
    HiveFixture();
    ~HiveFixture();

    std::string Path() const { return path_; }
    std::string Folder() const { return folder_.path().toStdString(); }
    void Write(const std::string& text) const;
    std::string Read() const;
    bool Exists() const;

private:
    QTemporaryDir folder_;
    std::string path_;
};

// Answers every message box at once and remembers it.
class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    std::vector<MessageBoxRequest> boxes;
    // Runs while a box is "open"; the message boxes of the program are modal.
    std::function<void(const MessageBoxRequest&)> whileOpen;
};

// Remembers the object name of every window as it is shown.
class ShownWindows : public QObject {
public:
    ShownWindows();
    ~ShownWindows() override;
    QStringList names;
    std::function<void(QWidget*)> onShow;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// How many points of an area pass a test.
int CountPoints(const QRect& area, const std::function<bool(const QPoint&)>& test);
// Tests for pure blue and pure red, as the layouts use them for texts.
bool IsBlue(const QColor& pixel);
bool IsRed(const QColor& pixel);

// Top-level widgets that still exist, by object name.
QStringList LiveWindows();

#define KIOSK_TEST_MAIN(...)                                                                                           \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        QApplication app(argc, argv);                                                                                  \
        return RunTestObjects(argc, argv, {__VA_ARGS__});                                                              \
    }
