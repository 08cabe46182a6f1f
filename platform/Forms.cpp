#include "Forms.h"

#include "Application.h"
#include "DBGrid.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QThread>
#include <QWindow>

TForm::TForm(TComponent* owner) : QWidget(nullptr), TComponent(owner) {}

TForm::~TForm() = default;

void SetLabelCaption(QLabel* label, const QString& caption)
{
    label->setText(caption);
    const QRect stored = label->geometry();
    const QSize fitted = label->sizeHint();
    const int left = label->alignment().testFlag(Qt::AlignRight) ? stored.right() + 1 - fitted.width() : stored.left();
    label->setGeometry(left, stored.top(), fitted.width(), fitted.height());
}

void TForm::ApplyFormProperties()
{
    for (QLabel* label : findChildren<QLabel*>()) {
        if (label->pixmap().isNull())
            SetLabelCaption(label, label->text());
    }
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
    if (property("KeyPreview").toBool()) {
        for (QWidget* child : findChildren<QWidget*>())
            child->installEventFilter(this);
    }
}

bool TForm::eventFilter(QObject* watched, QEvent* event)
{
    // A key event goes to the focused control first and then up through its parents; the form sees it
    // once, at the control.
    if (event->type() != QEvent::KeyPress || !OnKeyPress || watched != QApplication::focusWidget())
        return false;
    const auto* keyEvent = static_cast<QKeyEvent*>(event);
    const bool enter = keyEvent->key() == Qt::Key_Return || keyEvent->key() == Qt::Key_Enter;
    if (enter && qobject_cast<QAbstractButton*>(watched) != nullptr)
        return false;
    const QString text = keyEvent->text();
    if (text.size() != 1 || text[0].unicode() > 0x7F)
        return false;
    char key = static_cast<char>(text[0].unicode());
    RunEventHandler([this, &key] { OnKeyPress(this, key); });
    return key == '\0'; // a handler that clears the key consumes it
}

void TForm::Perform(unsigned message, unsigned long wParam, long)
{
    if (message == WM_NEXTDLGCTL)
        focusNextPrevChild(wParam == 0);
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
