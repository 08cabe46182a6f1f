#pragma once

#include "Component.h"

#include <QAbstractButton>
#include <QWidget>

#include <functional>
#include <string>

// A window built from its stored layout. Forms are owned through TComponent, never by a Qt parent.
class TForm : public QWidget, public TComponent {
    Q_OBJECT

public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    // Makes the window visible, centred on the screen the first time, in front of the others.
    void Show();
    // Paints the window at once, without the message loop.
    void Refresh();
    // Closes the window; closing the main window ends the message loop.
    void Close();

protected:
    // Applies the window settings that a Designer file keeps as dynamic properties of its top widget:
    // "BorderStyle" (bsNone: no frame; bsDialog: fixed frame with a close box only) and "Position"
    // (poScreenCenter). Called once the layout's widgets exist.
    void ApplyFormProperties();
    // Reads the form's non-visual components, connects its data grids to their data sources, lets the
    // form bind its members and handlers, and then tells the components the layout has been loaded.
    void ReadComponents(const QString& resource, const std::function<void()>& bind);

    // Runs the creation handler; an error leaving it is shown in the standard error box, the rest of
    // the handler is skipped and the window still opens.
    void DoCreate(const std::function<void()>& handler);
    // Connects a button's click to a handler; an error leaving it is shown and the program goes on.
    template <typename Form> void BindClick(QAbstractButton* button, void (Form::*handler)(TObject*))
    {
        auto* form = static_cast<Form*>(this);
        connect(button, &QAbstractButton::clicked, this, [form, handler] { form->RunHandler(form, handler); });
    }
    template <typename Form> void RunHandler(Form* form, void (Form::*handler)(TObject*))
    {
        RunEventHandler([form, handler] { (form->*handler)(form); });
    }

    void closeEvent(QCloseEvent* event) override;

private:
    static void RunEventHandler(const std::function<void()>& handler);
    bool centerOnScreen_ = false;
    bool placed_ = false;
};

// A container of non-visual components read from a stored layout; it has no window.
class TDataModule : public TComponent {
public:
    using TComponent::TComponent;
};
