#pragma once

#include "Component.h"
#include "Forms.h"

#include <cstring>
#include <exception>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <type_traits>

// Message box flags and results.
enum MessageBoxFlags : unsigned {
    MB_OK = 0x00,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
};
constexpr int IDOK = 1;

struct MessageBoxRequest {
    std::string text;    // code page 936
    std::string caption; // code page 936
    unsigned flags = MB_OK;
};

// Every message box of the program goes through this one function; tests can watch it.
using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;
void SetMessageBoxHandler(MessageBoxHandler handler);
int ShowMessageBox(const MessageBoxRequest& request);

// The text of the standard error box for a message: a full stop is added when the message is not
// empty and its last byte sorts after ".".
std::string ErrorBoxText(const std::string& message);

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    // Prepares the platform: fonts for the program's Chinese texts and the password character.
    void Initialize();

    std::string Title;
    TForm* MainForm() const { return mainForm_; }

    // Creates a form or data module owned by the application. The reference names the instance before
    // it is constructed and is emptied again when the construction fails, in which case the half-built
    // instance has already been destroyed with everything it owned. The first form becomes the main
    // window; a data module never does.
    template <typename T> void CreateForm(T*& reference);

    // Shows the main window and dispatches messages until the application is told to terminate.
    int Run();
    void Terminate();
    bool Terminated() const { return terminated_; }

    int MessageBox(const std::string& text, const std::string& caption, unsigned flags);
    // The standard error box; the silent abort shows nothing.
    void ShowException(const std::exception& error);
    // The last-resort report of an error that nothing caught.
    void ShowUnhandledException(const std::exception& error);

private:
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
};

extern TApplication* Application;

// The process's application object for as long as it lives; what it owns is destroyed with it,
// newest first.
class ScopedApplication {
public:
    ScopedApplication();
    ~ScopedApplication();
    ScopedApplication(const ScopedApplication&) = delete;
    ScopedApplication& operator=(const ScopedApplication&) = delete;
    TApplication& operator*() const { return *application_; }
    TApplication* operator->() const { return application_.get(); }

private:
    std::unique_ptr<TApplication> application_;
};

template <typename T> void TApplication::CreateForm(T*& reference)
{
    // Raw, zero-filled storage first, so that the reference names the instance during construction.
    struct Storage {
        void* memory = ::operator new(sizeof(T));
        ~Storage() { ::operator delete(memory); }
    } storage;
    std::memset(storage.memory, 0, sizeof(T));
    reference = static_cast<T*>(storage.memory);
    T* instance = nullptr;
    try {
        instance = new (storage.memory) T(this);
    } catch (...) {
        reference = nullptr;
        throw;
    }
    storage.memory = nullptr;
    instance->SetReference(reference);
    Adopt(std::unique_ptr<T>(instance));
    if constexpr (std::is_base_of_v<TForm, T>) {
        if (mainForm_ == nullptr) {
            mainForm_ = instance;
            instance->winId();
        }
    }
}
