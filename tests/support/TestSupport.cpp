#include "TestSupport.h"

#include "HiveFileRegistry.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <QWidget>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

namespace {
constexpr uid_t kUnprivilegedId = 65534; // nobody / nogroup
}

int RunTestObjects(int argc, char** argv, std::initializer_list<QObject*> objects)
{
    int failures = 0;
    for (QObject* object : objects) {
        failures += QTest::qExec(object, argc, argv);
        delete object;
    }
    return failures == 0 ? 0 : 1;
}

int RunUnprivileged(const std::function<int()>& body)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kUnprivilegedId) != 0 || ::setuid(kUnprivilegedId) != 0))
            ::_exit(125);
        int code = 126;
        try {
            code = body();
        } catch (...) {
        }
        ::_exit(code);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

int RunProgramUnprivileged(const QString& program, const QStringList& arguments, const QString& folder)
{
    const QString copy = folder + "/" + QFileInfo(program).fileName();
    QFile::remove(copy);
    if (!QFile::copy(program, copy))
        return -1;
    QProcess process;
    process.setProgram(copy);
    process.setArguments(arguments);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setChildProcessModifier([] {
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kUnprivilegedId) != 0 || ::setuid(kUnprivilegedId) != 0))
            ::_exit(125);
    });
    process.start();
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    return process.exitCode();
}

HiveFixture::HiveFixture()
{
    ::chmod(folder_.path().toLocal8Bit().constData(), 0755);
    path_ = folder_.filePath("HKEY_LOCAL_MACHINE.reg").toStdString();
    SetMachineHiveFile(path_);
}

HiveFixture::~HiveFixture()
{
    SetMachineHiveFile("/nonexistent/HKEY_LOCAL_MACHINE.reg");
}

void HiveFixture::Write(const std::string& text) const
{
    std::ofstream(path_, std::ios::binary) << text;
    ::chmod(path_.c_str(), 0644);
}

std::string HiveFixture::Read() const
{
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool HiveFixture::Exists() const
{
    return ::access(path_.c_str(), F_OK) == 0;
}

MessageBoxRecorder::MessageBoxRecorder()
{
    SetMessageBoxHandler([this](const MessageBoxRequest& request) {
        boxes.push_back(request);
        if (whileOpen)
            whileOpen(request);
        return IDOK;
    });
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    SetMessageBoxHandler(nullptr);
}

ShownWindows::ShownWindows()
{
    qApp->installEventFilter(this);
}

ShownWindows::~ShownWindows()
{
    qApp->removeEventFilter(this);
}

bool ShownWindows::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow()) {
        names << watched->objectName();
        if (onShow)
            onShow(static_cast<QWidget*>(watched));
    }
    return false;
}

QStringList LiveWindows()
{
    QStringList names;
    for (const QWidget* widget : QApplication::topLevelWidgets())
        names << widget->objectName();
    return names;
}

int CountPoints(const QRect& area, const std::function<bool(const QPoint&)>& test)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += test(QPoint(x, y));
    return count;
}

bool IsBlue(const QColor& pixel)
{
    return pixel.blue() > 200 && pixel.red() < 60 && pixel.green() < 60;
}

bool IsRed(const QColor& pixel)
{
    return pixel.red() > 200 && pixel.green() < 80 && pixel.blue() < 80;
}
