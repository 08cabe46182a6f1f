#include "Forms.h"

#include "Application.h"
#include "DBGrid.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <QWindow>

TForm::TForm(TComponent* owner) : QWidget(nullptr), TComponent(owner) {}

TForm::~TForm() = default;

void TForm::ApplyFormProperties()
{
    const auto borderStyle = property("BorderStyle").toString();
    if (borderStyle == "bsNone") {
        setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
        setFixedSize(size());
    } else if (borderStyle == "bsDialog") {
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                       Qt::WindowCloseButtonHint);
        setFixedSize(size());
    }
    centerOnScreen_ = property("Position").toString() == "poScreenCenter";
}

void TForm::ReadComponents(const QString& resource, const std::function<void()>& bind)
{
    ReadStoredComponents(*this, resource, [&] {
        for (TDBGrid* grid : findChildren<TDBGrid*>())
            grid->LinkDataSource(*this);
        bind();
    });
}

void TForm::Show()
{
    if (!placed_ && centerOnScreen_) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    placed_ = true;
    show();
    activateWindow();
}

void TForm::Refresh()
{
    // On a real display the window must be mapped and exposed before a paint reaches the screen; only
    // what that needs is processed, never the user's input.
    constexpr int kExposeWaitMs = 2000;
    QElapsedTimer waited;
    waited.start();
    const QWindow* window = windowHandle();
    while (window != nullptr && !window->isExposed() && waited.elapsed() < kExposeWaitMs) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(5);
    }
    repaint();
}

void TForm::Close()
{
    close();
}

void TForm::DoCreate(const std::function<void()>& handler)
{
    RunEventHandler(handler);
}

void TForm::RunEventHandler(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        Application->ShowException(error);
    }
}

void TForm::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (Application != nullptr && Application->MainForm() == this)
        Application->Terminate();
}
