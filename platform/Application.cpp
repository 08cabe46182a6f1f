#include "Application.h"

#include "Cp936.h"
#include "Exceptions.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QIcon>
#include <QMessageBox>
#include <QProxyStyle>
#include <QStyleFactory>

TApplication* Application = nullptr;

namespace {
const QString kMainIcon = QStringLiteral(":/pictures/MAINICON");
}

namespace {

MessageBoxHandler& CurrentMessageBoxHandler()
{
    static MessageBoxHandler handler;
    return handler;
}

QMessageBox::Icon IconFor(unsigned flags)
{
    switch (flags & 0xF0) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int ShowQtMessageBox(const MessageBoxRequest& request)
{
    QMessageBox box(IconFor(request.flags), Cp936::ToUnicode(request.caption), Cp936::ToUnicode(request.text),
                    QMessageBox::Ok);
    box.exec();
    return IDOK;
}

// Shows "*" for each character of a password box, keeping the look of the Fusion style.
class PasswordStarStyle : public QProxyStyle {
public:
    PasswordStarStyle() : QProxyStyle(QStyleFactory::create("Fusion")) {}

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

std::string MessageOf(const std::exception& error)
{
    if (const auto* own = dynamic_cast<const Exception*>(&error))
        return own->Message();
    return error.what();
}

} // namespace

void SetMessageBoxHandler(MessageBoxHandler handler)
{
    CurrentMessageBoxHandler() = std::move(handler);
}

int ShowMessageBox(const MessageBoxRequest& request)
{
    const auto& handler = CurrentMessageBoxHandler();
    return handler ? handler(request) : ShowQtMessageBox(request);
}

std::string ErrorBoxText(const std::string& message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
        return message + ".";
    return message;
}

ScopedApplication::ScopedApplication() : application_(std::make_unique<TApplication>())
{
    Application = application_.get();
}

ScopedApplication::~ScopedApplication()
{
    application_->DestroyComponents();
    if (Application == application_.get())
        Application = nullptr;
}

TApplication::TApplication() : TComponent(nullptr) {}

TApplication::~TApplication()
{
    DestroyComponents();
}

void TApplication::Initialize()
{
    // The layouts name the Song face by its Chinese name, which fontconfig does not know.
    QFont::insertSubstitution(QString::fromUtf8("宋体"), QStringLiteral("AR PL UMing CN"));
    QApplication::setStyle(new PasswordStarStyle);
    QApplication::setQuitOnLastWindowClosed(false);
    // The program's icon is the picture that the program keeps under the name MAINICON.
    if (QFile::exists(kMainIcon))
        QApplication::setWindowIcon(QIcon(kMainIcon));
}

int TApplication::Run()
{
    if (mainForm_ == nullptr)
        return 0;
    mainForm_->Show();
    if (!terminated_)
        QApplication::exec();
    return 0;
}

void TApplication::Terminate()
{
    terminated_ = true;
    // Ends the loop only; quit() would first close every window, which is the owner's business.
    QCoreApplication::exit(0);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, unsigned flags)
{
    return ShowMessageBox(MessageBoxRequest{text, caption, flags});
}

void TApplication::ShowException(const std::exception& error)
{
    if (dynamic_cast<const EAbort*>(&error) != nullptr)
        return;
    MessageBox(ErrorBoxText(MessageOf(error)), Title, MB_ICONERROR | MB_OK);
}

void TApplication::ShowUnhandledException(const std::exception& error)
{
    MessageBox("Unhandled error: " + ErrorBoxText(MessageOf(error)), "Application Error", MB_ICONERROR | MB_OK);
}
