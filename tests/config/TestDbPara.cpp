#include "ConnectionSettings.h"
#include "Cp936.h"
#include "HiveFileRegistry.h"
#include "TestSupport.h"
#include "frmDbPara.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

const std::string kHeader = "REGEDIT4\r\n\r\n";
const std::string kRecordSection = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Torvanel\\Lib]\r\n";
const QString kTitle = QString::fromUtf8("设置数据库【Lib】连接参数");

// The record's three values as stored: "name=data" with the terminating zero dropped.
QStringList StoredRecord(const std::string& hivePath)
{
    const auto root = HiveFileRegistry(hivePath).Load();
    const HiveKey* key = root ? FindKey(*root, "SOFTWARE\\Torvanel\\Lib") : nullptr;
    if (key == nullptr)
        return {"<no record>"};
    QStringList values;
    for (const char* name : {"ODBCNAME", "USERNAME", "PASSWORD"}) {
        const RegistryValue* value = key->FindValue(name);
        values << QString(name) + "=" +
                      (value ? QString::fromLatin1(value->data.c_str()) + (value->type == REG_SZ ? "" : " (not text)")
                             : QString("<missing>"));
    }
    return values;
}

} // namespace

class TestDbPara : public QObject {
    Q_OBJECT

    std::unique_ptr<HiveFixture> hive;
    std::unique_ptr<ScopedApplication> application;
    std::unique_ptr<MessageBoxRecorder> messages;

    void openDialog()
    {
        Application->CreateForm(DbPara);
        DbPara->Show();
        QVERIFY(QTest::qWaitForWindowActive(DbPara));
    }

    QWidget* focused() const { return QApplication::focusWidget(); }

    // Runs the message loop until the dialog closes, or for at most a moment; true when it closed.
    bool runUntilClosed(const std::function<void()>& action)
    {
        QTimer::singleShot(0, action);
        QTimer giveUp; // ends with this call, so it cannot end a later test's loop
        giveUp.setSingleShot(true);
        connect(&giveUp, &QTimer::timeout, [] { Application->Terminate(); });
        giveUp.start(2000);
        const bool wasVisible = DbPara->isVisible();
        Application->Run();
        return wasVisible && !DbPara->isVisible();
    }

private slots:
    void init()
    {
        hive = std::make_unique<HiveFixture>();
        application = std::make_unique<ScopedApplication>();
        (*application)->Initialize();
        (*application)->Title = Cp936::Literal("查询自助终端信息");
        messages = std::make_unique<MessageBoxRecorder>();
    }
    void cleanup()
    {
        messages.reset();
        application.reset();
        hive.reset();
    }

    void creation_data()
    {
        QTest::addColumn<QByteArray>("hiveText");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("error");
        QTest::newRow("no record") << QByteArray() << QStringList{"", "", ""} << "";
        QTest::newRow("sound record")
            << QByteArray::fromStdString(
                   kHeader + kRecordSection +
                   "\"ODBCNAME\"=\"LibODBC\"\r\n\"USERNAME\"=\"3403\"\r\n\"PASSWORD\"=\"34043407\"\r\n")
            << QStringList{"LibODBC", "a", "bc"} << "";
        QTest::newRow("record without USERNAME")
            << QByteArray::fromStdString(kHeader + kRecordSection +
                                         "\"ODBCNAME\"=\"LibODBC\"\r\n\"PASSWORD\"=\"3403\"\r\n")
            << QStringList{"LibODBC", "", "a"} << "";
        QTest::newRow("USERNAME that does not decode")
            << QByteArray::fromStdString(
                   kHeader + kRecordSection +
                   "\"ODBCNAME\"=\"LibODBC\"\r\n\"USERNAME\"=\"34a3\"\r\n\"PASSWORD\"=\"3403\"\r\n")
            << QStringList{"LibODBC", "", ""} << "'a' is not a valid integer value.";
        QTest::newRow("ODBCNAME stored as a number")
            << QByteArray::fromStdString(kHeader + kRecordSection + "\"ODBCNAME\"=dword:00000005\r\n")
            << QStringList{"", "", ""} << "Invalid data type for 'ODBCNAME'";
    }
    void creation()
    {
        QFETCH(QByteArray, hiveText);
        QFETCH(QStringList, boxes);
        QFETCH(QString, error);
        if (!hiveText.isEmpty())
            hive->Write(hiveText.toStdString());
        Application->CreateForm(DbPara);
        QCOMPARE(DbPara->windowTitle(), kTitle);
        QCOMPARE((QStringList{DbPara->edOdbc->text(), DbPara->edUser->text(), DbPara->edPass->text()}), boxes);
        QCOMPARE(messages->boxes.size(), std::size_t(error.isEmpty() ? 0 : 1));
        if (!error.isEmpty()) {
            QCOMPARE(QString::fromStdString(messages->boxes[0].text), error);
            QCOMPARE(messages->boxes[0].flags, 16u);
        }
        QCOMPARE(Application->MainForm(), static_cast<TForm*>(DbPara));
        QCOMPARE(DbPara->size(), QSize(483, 105));
        QVERIFY(!DbPara->grbBox->isVisibleTo(DbPara));
        QCOMPARE(DbPara->edOdbc->echoMode(), QLineEdit::Normal);
        QCOMPARE(DbPara->edUser->echoMode(), QLineEdit::Password);
        QCOMPARE(DbPara->edPass->echoMode(), QLineEdit::Password);
        // The right-aligned captions, sized to their texts, end where their boxes begin.
        for (const QLabel* caption : {DbPara->Label1, DbPara->Label2, DbPara->Label3})
            QCOMPARE(caption->geometry().right() + 1, 72);
    }

    void compactKeyboard()
    {
        openDialog();
        QCOMPARE(focused(), static_cast<QWidget*>(DbPara->btExit));
        QTest::keyClick(focused(), Qt::Key_Tab);
        QCOMPARE(focused(), static_cast<QWidget*>(DbPara->btMod));
        QTest::keyClick(focused(), Qt::Key_Tab);
        QCOMPARE(focused(), static_cast<QWidget*>(DbPara->btExit));
        QTest::keyClick(focused(), Qt::Key_Escape);
        QVERIFY(DbPara->isVisible());
        QCOMPARE(focused(), static_cast<QWidget*>(DbPara->btExit));
    }

    void enterOnCancelClosesWithoutStoring()
    {
        openDialog();
        QVERIFY(runUntilClosed([] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }));
        QVERIFY(!hive->Exists());
    }

    void closeBoxStoresNothing()
    {
        openDialog();
        DbPara->btMod->click();
        DbPara->edOdbc->setText("typed");
        QVERIFY(runUntilClosed([] { DbPara->close(); }));
        QVERIFY(!hive->Exists());
    }

    void enterWalksTheBoxesAndSaves()
    {
        openDialog();
        QTest::keyClick(DbPara->btMod, Qt::Key_Tab, Qt::NoModifier);
        QTest::keyClick(focused(), Qt::Key_Return); // 修改数据库连接参数
        QVERIFY(DbPara->grbBox->isVisible());
        DbPara->edOdbc->setFocus();
        QTest::keyClicks(focused(), " LibODBC ");
        QTest::keyClick(focused(), Qt::Key_Return);
        QCOMPARE(focused(), static_cast<QWidget*>(DbPara->edUser));
        QTest::keyClicks(focused(), " a ");
        QTest::keyClick(focused(), Qt::Key_Enter);
        QCOMPARE(focused(), static_cast<QWidget*>(DbPara->edPass));
        QTest::keyClick(focused(), Qt::Key_Return);
        QCOMPARE(focused(), static_cast<QWidget*>(DbPara->btOk));
        QVERIFY(runUntilClosed([] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }));
        QCOMPARE(StoredRecord(hive->Path()), (QStringList{"ODBCNAME=LibODBC", "USERNAME=3403", "PASSWORD="}));
        QVERIFY(messages->boxes.empty());
    }

    void expandingTwiceEqualsOnce()
    {
        openDialog();
        const QPoint position = DbPara->pos();
        DbPara->btMod->click();
        const QSize once = DbPara->size();
        DbPara->btMod->click();
        QCOMPARE(DbPara->size(), once);
        QCOMPARE(DbPara->pos(), position);
        QCOMPARE(DbPara->width(), 483);
        QCOMPARE(DbPara->frameGeometry().height(), std::max(261, DbPara->grbBox->geometry().bottom() + 1));
        QVERIFY(DbPara->rect().contains(DbPara->grbBox->geometry()));
        const QList<QWidget*> tabOrder = {DbPara->btMod,  DbPara->edOdbc, DbPara->edUser,
                                          DbPara->edPass, DbPara->btOk,   DbPara->btExit};
        for (QWidget* next : tabOrder) {
            QTest::keyClick(focused(), Qt::Key_Tab);
            QCOMPARE(focused(), next);
        }
    }

    void saves_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QStringList>("stored");
        QTest::newRow("blanks trimmed, credentials encoded")
            << QStringList{"  PgLib\t", " a ", "bc "}
            << QStringList{"ODBCNAME=PgLib", "USERNAME=3403", "PASSWORD=34043407"};
        QTest::newRow("all empty") << QStringList{"", "", ""} << QStringList{"ODBCNAME=", "USERNAME=", "PASSWORD="};
        QTest::newRow("Chinese name") << QStringList{QString::fromUtf8("图书馆"), "", ""}
                                      << QStringList{QString::fromLatin1("ODBCNAME=\xCD\xBC\xCA\xE9\xB9\xDD"),
                                                     "USERNAME=", "PASSWORD="};
    }
    void saves()
    {
        QFETCH(QStringList, typed);
        QFETCH(QStringList, stored);
        openDialog();
        DbPara->btMod->click();
        DbPara->edOdbc->setText(typed[0]);
        DbPara->edUser->setText(typed[1]);
        DbPara->edPass->setText(typed[2]);
        QVERIFY(runUntilClosed([] { QTest::mouseClick(DbPara->btOk, Qt::LeftButton); }));
        QCOMPARE(StoredRecord(hive->Path()), stored);
        QVERIFY(messages->boxes.empty());
    }

    // A character the record cannot hold is never stored altered: nothing is written and the dialog
    // stays open with a message naming the box.
    void textOutsideTheCodePageIsRefused()
    {
        openDialog();
        DbPara->btMod->click();
        DbPara->edOdbc->setText("LibODBC");
        DbPara->edUser->setText(QString::fromUtf8("user\xF0\x9F\x98\x80"));
        QVERIFY(!runUntilClosed([] { QTest::mouseClick(DbPara->btOk, Qt::LeftButton); }));
        QVERIFY(!hive->Exists());
        QCOMPARE(messages->boxes.size(), std::size_t{1});
        QCOMPARE(Cp936::ToUnicode(messages->boxes[0].text),
                 QString::fromUtf8("登录标识号中有系统无法保存的字符，请修改后再保存."));
        QCOMPARE(DbPara->edUser->text(), QString::fromUtf8("user\xF0\x9F\x98\x80"));
    }

    void unprivilegedSave_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("expected");
        // Child exit codes: 1 the "提示信息" box and the dialog closed; 2 the error box and it stayed open.
        QTest::newRow("record may not be written")
            << QByteArray::fromStdString(kHeader + kRecordSection + "\"ODBCNAME\"=\"old\"\r\n\r\n") << 1;
        QTest::newRow("maker key may not be created")
            << QByteArray::fromStdString(kHeader + "[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n\r\n") << 2;
    }
    void unprivilegedSave()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, expected);
        hive->Write(content.toStdString());
        QCOMPARE(RunProgramUnprivileged(UNPRIVILEGED_SAVE, {QString::fromStdString(hive->Path())},
                                        QString::fromStdString(hive->Folder())),
                 expected);
        QCOMPARE(hive->Read(), content.toStdString());
    }
};

QObject* NewTestDbPara()
{
    return new TestDbPara;
}

#include "TestDbPara.moc"
