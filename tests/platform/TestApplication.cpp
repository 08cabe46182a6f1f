#include "Application.h"
#include "Exceptions.h"
#include "TestSupport.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

std::vector<std::string> events;

// Records its destruction.
class TProbeOwned : public TComponent {
public:
    using TComponent::TComponent;
    ~TProbeOwned() override { events.push_back("destroyed " + Name); }
};

class TProbeForm;
TProbeForm* ProbeForm = nullptr;
TProbeForm* OtherForm = nullptr;
bool failConstruction = false;

class TProbeForm : public TForm {
public:
    explicit TProbeForm(TComponent* owner) : TForm(owner)
    {
        events.push_back(ProbeForm == this || OtherForm == this ? "reference set" : "reference not set");
        Adopt(std::make_unique<TProbeOwned>(this))->Name = "child";
        if (failConstruction)
            throw Exception("construction failed");
    }
    ~TProbeForm() override { events.push_back("form destroyed"); }
};

class TProbeModule;
TProbeModule* ProbeModule = nullptr;

class TProbeModule : public TDataModule {
public:
    explicit TProbeModule(TComponent* owner) : TDataModule(owner) {}
    ~TProbeModule() override { events.push_back("module destroyed"); }
};

// A form whose creation handler fails half-way with the given error.
class TFailingCreate : public TForm {
public:
    explicit TFailingCreate(TComponent* owner) : TForm(owner)
    {
        DoCreate([this] {
            events.push_back("handler started");
            throwError();
            events.push_back("handler finished");
        });
        events.push_back("constructed");
    }
    static inline std::function<void()> throwError;
};
TFailingCreate* FailingCreate = nullptr;

class TClickForm : public TForm {
public:
    explicit TClickForm(TComponent* owner) : TForm(owner), button(new QPushButton(this))
    {
        BindClick(button, &TClickForm::ButtonClick);
    }
    void ButtonClick(TObject*) { throw Exception("handler failed"); }
    QPushButton* button;
};
TClickForm* ClickForm = nullptr;

} // namespace

class TestApplication : public QObject {
    Q_OBJECT

    std::unique_ptr<ScopedApplication> application;
    std::unique_ptr<MessageBoxRecorder> messages;

private slots:
    void init()
    {
        events.clear();
        failConstruction = false;
        application = std::make_unique<ScopedApplication>();
        (*application)->Title = "Title";
        messages = std::make_unique<MessageBoxRecorder>();
    }
    void cleanup()
    {
        messages.reset();
        application.reset();
    }

    void referenceNamesTheInstanceDuringConstruction()
    {
        Application->CreateForm(ProbeForm);
        QCOMPARE(events.front(), std::string("reference set"));
        QVERIFY(ProbeForm != nullptr);
        application.reset();
        QCOMPARE(ProbeForm, nullptr);
    }

    void failedConstructionEmptiesTheReference()
    {
        failConstruction = true;
        try {
            Application->CreateForm(ProbeForm);
            QFAIL("no error raised");
        } catch (const Exception& error) {
            QCOMPARE(error.Message(), std::string("construction failed"));
        }
        QCOMPARE(ProbeForm, nullptr);
        QCOMPARE(events, (std::vector<std::string>{"reference set", "destroyed child"}));
        QCOMPARE(Application->ComponentCount(), std::size_t{0});
        QCOMPARE(Application->MainForm(), nullptr);
    }

    void firstFormBecomesMainAndModulesNever()
    {
        Application->CreateForm(ProbeModule);
        QCOMPARE(Application->MainForm(), nullptr);
        Application->CreateForm(ProbeForm);
        Application->CreateForm(OtherForm);
        QCOMPARE(Application->MainForm(), static_cast<TForm*>(ProbeForm));
    }

    void ownedComponentsAreDestroyedNewestFirst()
    {
        Application->CreateForm(ProbeModule);
        Application->CreateForm(ProbeForm);
        events.clear();
        application.reset();
        QCOMPARE(events, (std::vector<std::string>{"form destroyed", "destroyed child", "module destroyed"}));
    }

    void errorBoxText_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("letter gets a full stop") << QByteArray("Failed") << QByteArray("Failed.");
        QTest::newRow("digit gets a full stop") << QByteArray("code 7") << QByteArray("code 7.");
        QTest::newRow("full stop stays single") << QByteArray("Done.") << QByteArray("Done.");
        QTest::newRow("closing quote sorts before the full stop")
            << QByteArray("Invalid data type for 'USERNAME'") << QByteArray("Invalid data type for 'USERNAME'");
        QTest::newRow("comma sorts before") << QByteArray("a,") << QByteArray("a,");
        QTest::newRow("slash sorts after") << QByteArray("a/") << QByteArray("a/.");
        QTest::newRow("Chinese character gets a full stop") << QByteArray("\xB4\xED") << QByteArray("\xB4\xED.");
        QTest::newRow("empty message stays empty") << QByteArray() << QByteArray();
    }
    void errorBoxText()
    {
        QFETCH(QByteArray, message);
        QFETCH(QByteArray, text);
        Application->ShowException(Exception(message.toStdString()));
        QCOMPARE(messages->boxes.size(), std::size_t{1});
        QCOMPARE(QByteArray::fromStdString(messages->boxes[0].text), text);
        QCOMPARE(messages->boxes[0].caption, std::string("Title"));
        QCOMPARE(messages->boxes[0].flags, 16u);
    }

    void silentAbortShowsNothing()
    {
        Application->ShowException(EAbort("aborted"));
        QVERIFY(messages->boxes.empty());
    }

    void creationHandlerErrorIsShownAndTheWindowStillOpens()
    {
        TFailingCreate::throwError = [] { throw Exception("in handler"); };
        Application->CreateForm(FailingCreate);
        QCOMPARE(events, (std::vector<std::string>{"handler started", "constructed"}));
        QCOMPARE(messages->boxes.size(), std::size_t{1});
        QCOMPARE(messages->boxes[0].text, std::string("in handler."));
        QCOMPARE(Application->MainForm(), static_cast<TForm*>(FailingCreate));
    }

    void handlerErrorDuringTheLoopIsShownAndTheLoopGoesOn()
    {
        Application->CreateForm(ClickForm);
        QTimer::singleShot(0, [] {
            QTest::mouseClick(ClickForm->button, Qt::LeftButton);
            QTimer::singleShot(0, [] { Application->MainForm()->close(); });
        });
        QCOMPARE(Application->Run(), 0);
        QCOMPARE(messages->boxes.size(), std::size_t{1});
        QCOMPARE(messages->boxes[0].text, std::string("handler failed."));
    }
};

QObject* NewTestApplication()
{
    return new TestApplication;
}

#include "TestApplication.moc"
