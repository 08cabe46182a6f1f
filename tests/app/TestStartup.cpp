#include "ConnectionSettings.h"
#include "OdbcSandbox.h"
#include "Startup.h"
#include "TestSupport.h"
#include "dmLibData.h"
#include "frmDbPara.h"
#include "frmFlash.h"
#include "frmKestruneMain.h"
#include "unGlobal.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {
const std::string kRecordSection = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Torvanel\\Lib]\r\n";
}

class TestStartup : public QObject {
    Q_OBJECT

    std::unique_ptr<HiveFixture> hive;
    std::unique_ptr<ScopedApplication> application;
    std::unique_ptr<MessageBoxRecorder> messages;
    std::unique_ptr<ShownWindows> shown;

    const OdbcSandbox& sandbox() { return OdbcSandbox::Instance(); }

    // The splash was on screen during the attempt and is gone now.
    void verifySplashCameAndWent()
    {
        QVERIFY(shown->names.contains("Flash"));
        QVERIFY(!LiveWindows().contains("Flash"));
        QCOMPARE(Flash, nullptr);
    }

    void verifyDialogIsMain()
    {
        QVERIFY(DbPara != nullptr);
        QCOMPARE(Application->MainForm(), static_cast<TForm*>(DbPara));
        QCOMPARE(KestruneMain, nullptr);
        QCOMPARE(LibDM, nullptr);
    }

private slots:
    void initTestCase()
    {
        OdbcSandbox::CreateLibrary("LibODBC", {});
        if (sandbox().HasPostgres())
            OdbcSandbox::CreateLibrary("PgLib", {});
    }

    void init()
    {
        hive = std::make_unique<HiveFixture>();
        application = std::make_unique<ScopedApplication>();
        messages = std::make_unique<MessageBoxRecorder>();
        shown = std::make_unique<ShownWindows>();
        sandbox().ClearTrace();
    }

    void cleanup()
    {
        shown.reset();
        messages.reset();
        application.reset();
        hive.reset();
    }

    void noRecordUsesTheStoredLogin()
    {
        StartUp();
        QCOMPARE(ConnectStatus, std::string("OK"));
        QVERIFY(KestruneMain != nullptr);
        QCOMPARE(Application->MainForm(), static_cast<TForm*>(KestruneMain));
        QCOMPARE(LibDM->LibDB->AliasName, std::string("LibODBC"));
        QCOMPARE(LibDM->LibDB->Params.Lines(), (std::vector<std::string>{"USER NAME=sa", "PASSWORD="}));
        verifySplashCameAndWent();
        const auto trace = sandbox().Trace();
        QVERIFY(trace.find("Server Name = [LibODBC][length = 7") != std::string::npos);
        QVERIFY(trace.find("User Name = [sa][length = 2") != std::string::npos);
        QVERIFY(trace.find("Authentication = [][length = 0") != std::string::npos);
        QVERIFY(messages->boxes.empty());
    }

    void recordReplacesTheStoredLogin()
    {
        QVERIFY(WriteConnectionSettings(" LibODBC\t", "reader", " pw "));
        StartUp();
        QCOMPARE(ConnectStatus, std::string("OK"));
        QCOMPARE(LibDM->LibDB->Params.Lines(), (std::vector<std::string>{"USER NAME=reader", "PASSWORD=pw"}));
        const auto trace = sandbox().Trace();
        QVERIFY(trace.find("User Name = [reader][length = 6") != std::string::npos);
        QVERIFY(trace.find("Authentication = [**][length = 2") != std::string::npos);
    }

    void recordWithoutValuesTriesAnEmptyAlias()
    {
        hive->Write(kRecordSection + "\r\n");
        StartUp();
        QVERIFY(sandbox().Trace().find("Server Name = [][length = 0") != std::string::npos);
        QCOMPARE(ConnectStatus, ConnectingMessage());
        verifyDialogIsMain();
        verifySplashCameAndWent();
        QVERIFY(messages->boxes.empty());
    }

    void postgres_data()
    {
        QTest::addColumn<QString>("dataSource");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("connects");
        QTest::newRow("sound login") << "PgLib" << OdbcSandbox::kPgPassword << true;
        QTest::newRow("wrong password") << "PgLib"
                                        << "wrong" << false;
        QTest::newRow("data source that does not exist") << "NoSuchSource" << OdbcSandbox::kPgPassword << false;
        QTest::newRow("stopped server") << "PgStopped" << OdbcSandbox::kPgPassword << false;
    }
    void postgres()
    {
        QFETCH(QString, dataSource);
        QFETCH(QString, password);
        QFETCH(bool, connects);
        if (!sandbox().HasPostgres())
            QSKIP("no PostgreSQL cluster: run the tests through CTest");
        QVERIFY(WriteConnectionSettings(dataSource.toStdString(), OdbcSandbox::kPgUser, password.toStdString()));
        StartUp();
        verifySplashCameAndWent();
        QVERIFY(messages->boxes.empty());
        if (connects) {
            QCOMPARE(ConnectStatus, std::string("OK"));
            QCOMPARE(Application->MainForm(), static_cast<TForm*>(KestruneMain));
            QVERIFY(LibDM->LibDB->Connected());
        } else {
            QCOMPARE(ConnectStatus, ConnectingMessage());
            verifyDialogIsMain();
        }
    }

    void damagedRecordShowsNoSplash()
    {
        hive->Write(kRecordSection + "\"ODBCNAME\"=\"LibODBC\"\r\n\"USERNAME\"=dword:00000001\r\n\r\n");
        StartUp();
        QVERIFY(!shown->names.contains("Flash"));
        QCOMPARE(ConnectStatus, std::string());
        verifyDialogIsMain();
        QVERIFY(sandbox().Trace().find("SQLConnect") == std::string::npos);
        // Start-up itself shows nothing; the dialog's own reading of the record reports it.
        QCOMPARE(messages->boxes.size(), std::size_t{1});
        QCOMPARE(messages->boxes[0].text, std::string("Invalid data type for 'USERNAME'"));
    }

    void storedParametersTakeEffectAtTheNextStart()
    {
        QVERIFY(WriteConnectionSettings("NoSuchSource", "", ""));
        StartUp();
        verifyDialogIsMain();
        QTimer::singleShot(0, [] {
            DbPara->btMod->click();
            DbPara->edOdbc->setText("LibODBC");
            DbPara->edUser->setText("reader");
            DbPara->edPass->setText("secret");
            DbPara->btOk->click();
        });
        QCOMPARE(Application->Run(), 0);
        QVERIFY(Application->Terminated());
        QVERIFY(messages->boxes.empty());

        application.reset();
        application = std::make_unique<ScopedApplication>();
        StartUp();
        QCOMPARE(Application->MainForm(), static_cast<TForm*>(KestruneMain));
        QCOMPARE(LibDM->LibDB->AliasName, std::string("LibODBC"));
        QCOMPARE(LibDM->LibDB->Params.Lines(), (std::vector<std::string>{"USER NAME=reader", "PASSWORD=secret"}));
    }

    void closingTheMainWindowEndsTheProgramWithZero()
    {
        StartUp();
        QTimer::singleShot(0, [] { Application->MainForm()->close(); });
        QCOMPARE(Application->Run(), 0);
        QVERIFY(Application->Terminated());
        application.reset();
        QCOMPARE(KestruneMain, nullptr);
        QCOMPARE(LibDM, nullptr);
    }
};

QObject* NewTestStartup()
{
    return new TestStartup;
}

#include "TestStartup.moc"
