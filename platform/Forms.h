#pragma once

#include "Component.h"

#include <QAbstractButton>
#include <QWidget>

#include <functional>
#include <string>

// The dialog navigation message: with both parameters 0 it moves the focus to the next control.
constexpr unsigned WM_NEXTDLGCTL = 40;

class QLabel;

// Sets a label's caption and sizes the label to it, as every label of the layouts does; a
// right-aligned label keeps its right edge, any other its left edge.
void SetLabelCaption(QLabel* label, const QString& caption);

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
    // Handles a window message at once. Only the dialog navigation message is known: with wParam 0
    // the focus moves to the next control in tab order that can take it, otherwise to the previous.
    void Perform(unsigned message, unsigned long wParam, long lParam);

    // With key preview on (the layout's "KeyPreview"), every typed character reaches this handler
    // before the focused control, which still gets it afterwards; Enter on a focused button presses
    // the button and does not come here. A handler that sets the key to 0 consumes it.
    std::function<void(TObject* Sender, char& key)> OnKeyPress;

protected:
    // Applies the window settings that a Designer file keeps as dynamic properties of its top widget:
    // "BorderStyle" (bsNone: no frame; bsDialog: fixed frame with a close box only) and "Position"
    // (poScreenCenter). Labels without a picture are sized to their captions. Called once the layout's
    // widgets exist.
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
    bool eventFilter(QObject* watched, QEvent* event) override;

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
