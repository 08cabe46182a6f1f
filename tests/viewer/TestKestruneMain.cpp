#include "Cp936.h"
#include "LibraryDatabase.h"
#include "TestSupport.h"
#include "frmKestruneMain.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

const QString kStoredNote = QString::fromUtf8("系统保存的是加密后的密码，秘密不可逆，所以是获取不到真实密码的。");
const QString kPlainNote = QString::fromUtf8("密码是真实的明码。");
const char* kMarker = "insert into ver_manage values ('ZZ80240619.BEFORE_EN_PASS')";

std::string Utf8ToDriver(const QString& text)
{
    return text.toStdString();
}

// The grid's rows as "user|password|ip", trailing blanks of fixed-width columns dropped, sorted.
QStringList GridRows(const TDBGrid* grid)
{
    const auto* model = grid->model();
    QStringList rows;
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model->columnCount(); ++column) {
            auto cell = model->index(row, column).data().toString();
            while (cell.endsWith(' '))
                cell.chop(1);
            cells << cell;
        }
        rows << cells.join('|');
    }
    rows.sort();
    return rows;
}

enum class State { Locked, Unlocked, Refused };

} // namespace

Q_DECLARE_METATYPE(State)

class TestKestruneMain : public QObject {
    Q_OBJECT

    std::unique_ptr<ScopedApplication> application;
    std::unique_ptr<MessageBoxRecorder> messages;
    std::unique_ptr<LibraryDatabase> database;

    void openViewer(const std::string& dataSource, const OdbcSandbox::LibraryRows& rows)
    {
        OdbcSandbox::CreateLibrary(dataSource, rows);
        database = std::make_unique<LibraryDatabase>(dataSource);
        Application->CreateForm(KestruneMain);
        KestruneMain->Show();
        QVERIFY(QTest::qWaitForWindowExposed(KestruneMain));
    }

    void openDemoViewer()
    {
        openViewer("LibODBC", {{"insert into lib_user values ('ZZ01', '4321')",
                                "insert into lib_zizhu values ('ZZ01', '10.0.0.1')"}});
    }

    void typeAndVerify(const QString& code)
    {
        KestruneMain->edPass->setText(code);
        KestruneMain->Button1->click();
    }

    void verifyState(State state)
    {
        QCOMPARE(KestruneMain->DBGrid1->isVisible(), state == State::Unlocked);
        QCOMPARE(KestruneMain->Button1->isVisible(), state != State::Refused);
        QCOMPARE(KestruneMain->Button2->isVisible(), state == State::Refused);
        QCOMPARE(KestruneMain->lbError->isVisible(), state == State::Refused);
        QVERIFY(KestruneMain->lbPass->isVisible());
    }

    void reachState(State state)
    {
        if (state == State::Unlocked)
            typeAndVerify("qz");
        else if (state == State::Refused)
            typeAndVerify("wrong");
        verifyState(state);
    }

private slots:
    void init()
    {
        application = std::make_unique<ScopedApplication>();
        (*application)->Initialize();
        (*application)->Title = Cp936::Literal("查询自助终端信息");
        messages = std::make_unique<MessageBoxRecorder>();
    }
    void cleanup()
    {
        application.reset();
        database.reset();
        messages.reset();
    }

    void listsTerminalsWithTheNote_data()
    {
        QTest::addColumn<QString>("dataSource");
        QTest::addColumn<QStringList>("inserts");
        QTest::addColumn<QString>("note");
        QTest::addColumn<QStringList>("rows");
        const QStringList twoTerminals = {"insert into lib_user values ('ZZ01', '1111')",
                                          "insert into lib_user values ('ZZ02', '2222')",
                                          "insert into lib_zizhu values ('ZZ01', '192.168.1.1')",
                                          "insert into lib_zizhu values ('ZZ02', '192.168.1.2')"};
        const QStringList listed = {"ZZ01|1111|192.168.1.1", "ZZ02|2222|192.168.1.2"};
        auto add = [](const char* name, QStringList inserts, QString note, QStringList rows) {
            AddDriverRows(name, [&](QTestData& row) { row << inserts << note << rows; });
        };
        add("marker absent", twoTerminals, kPlainNote, listed);
        add("marker present", twoTerminals + QStringList{kMarker}, kStoredNote, listed);
        add("marker present twice", twoTerminals + QStringList{kMarker, kMarker}, kStoredNote, listed);
        add("only other version rows", twoTerminals + QStringList{"insert into ver_manage values ('ZZ8.OTHER')"},
            kPlainNote, listed);
        add("empty lib_zizhu", {"insert into lib_user values ('ZZ01', '1111')"}, kPlainNote, {});
        add("terminal without an account", twoTerminals + QStringList{"insert into lib_zizhu values ('ZZ09', 'x')"},
            kPlainNote, listed);
        add("two terminals on one account",
            {"insert into lib_user values ('ZZ01', '1111')", "insert into lib_zizhu values ('ZZ01', '10.0.0.1')",
             "insert into lib_zizhu values ('ZZ01', '10.0.0.2')"},
            kPlainNote, {"ZZ01|1111|10.0.0.1", "ZZ01|1111|10.0.0.2"});
        add("one account code twice",
            {"insert into lib_user values ('ZZ01', '1111')", "insert into lib_user values ('ZZ01', '2222')",
             "insert into lib_zizhu values ('ZZ01', '10.0.0.1')"},
            kPlainNote, {"ZZ01|1111|10.0.0.1", "ZZ01|2222|10.0.0.1"});
        add("Chinese text in zz_ip",
            {"insert into lib_user values ('ZZ01', '1111')",
             QString::fromUtf8("insert into lib_zizhu values ('ZZ01', '三楼阅览室')")},
            kPlainNote, {QString::fromUtf8("ZZ01|1111|三楼阅览室")});
    }
    void listsTerminalsWithTheNote()
    {
        QFETCH(QString, dataSource);
        QFETCH(QStringList, inserts);
        QFETCH(QString, note);
        QFETCH(QStringList, rows);
        std::vector<std::string> statements;
        for (const auto& insert : inserts)
            statements.push_back(Utf8ToDriver(insert));
        openViewer(dataSource.toStdString(), {statements});
        QAbstractItemModelTester tester(KestruneMain->DBGrid1->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(messages->boxes.empty());
        QCOMPARE(KestruneMain->lbPass->text(), note);
        QCOMPARE(GridRows(KestruneMain->DBGrid1), rows);
        verifyState(State::Locked);
    }

    void failuresAreShownAndTheWindowStillOpens_data()
    {
        QTest::addColumn<QString>("dataSource");
        QTest::addColumn<bool>("withVersionTable");
        QTest::addColumn<QString>("zizhuColumns");
        QTest::addColumn<QString>("note");
        QTest::addColumn<QString>("message");
        AddDriverRows("no ver_manage table", [](QTestData& row) {
            row << false << "zz_user char(6), zz_ip char(24)" << kStoredNote << "ver_manage";
        });
        AddDriverRows("zz_ip an integer column", [](QTestData& row) {
            row << true << "zz_user char(6), zz_ip integer" << kPlainNote
                << "qrTmp: Type mismatch for field 'zz_ip', expecting: String actual: Integer.";
        });
        AddDriverRows("zz_ip missing",
                      [](QTestData& row) { row << true << "zz_user char(6)" << kPlainNote << "zz_ip"; });
    }
    void failuresAreShownAndTheWindowStillOpens()
    {
        QFETCH(QString, dataSource);
        QFETCH(bool, withVersionTable);
        QFETCH(QString, zizhuColumns);
        QFETCH(QString, note);
        QFETCH(QString, message);
        openViewer(dataSource.toStdString(),
                   {{"insert into lib_user values ('ZZ01', '1111')", "insert into lib_zizhu (zz_user) values ('ZZ01')"},
                    withVersionTable,
                    zizhuColumns.toStdString()});
        QCOMPARE(messages->boxes.size(), std::size_t{1});
        const auto& box = messages->boxes.front();
        QVERIFY2(Cp936::ToUnicode(box.text).contains(message), box.text.c_str());
        QCOMPARE(box.caption, Application->Title);
        QCOMPARE(box.flags, 16u);
        QCOMPARE(KestruneMain->lbPass->text(), note);
        QCOMPARE(Application->MainForm(), static_cast<TForm*>(KestruneMain));
        QVERIFY(!KestruneMain->qrTmp->Active());
        typeAndVerify("qz");
        QCOMPARE(KestruneMain->DBGrid1->model()->rowCount(), 0);
    }

    void accessCode_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<State>("state");
        QTest::newRow("the code") << "qz" << State::Unlocked;
        QTest::newRow("upper case") << "QZ" << State::Refused;
        QTest::newRow("leading space") << " qz" << State::Refused;
        QTest::newRow("trailing space") << "qz " << State::Refused;
        QTest::newRow("empty") << "" << State::Refused;
    }
    void accessCode()
    {
        QFETCH(QString, code);
        QFETCH(State, state);
        openDemoViewer();
        verifyState(State::Locked);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(KestruneMain->edPass));
        QTest::keyClicks(KestruneMain->edPass, code);
        QCOMPARE(KestruneMain->edPass->displayText(), QString(code.size(), '*'));
        QTest::mouseClick(KestruneMain->Button1, Qt::LeftButton);
        verifyState(state);
    }

    void enterInThePasswordBoxPressesNothing()
    {
        openDemoViewer();
        QTest::keyClicks(KestruneMain->edPass, "qz");
        QTest::keyClick(KestruneMain->edPass, Qt::Key_Return);
        verifyState(State::Locked);
        QTest::keyClicks(KestruneMain->edPass, "x");
        QTest::keyClick(KestruneMain->edPass, Qt::Key_Enter);
        verifyState(State::Locked);
    }

    void unlockedListKeepsTheNoteAndRunsNothingAgain()
    {
        openDemoViewer();
        reachState(State::Unlocked);
        auto* grid = KestruneMain->DBGrid1;
        QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QString::fromUtf8("自助编号"));
        QCOMPARE(grid->model()->headerData(1, Qt::Horizontal).toString(), QString::fromUtf8("密码"));
        QCOMPARE(grid->model()->headerData(2, Qt::Horizontal).toString(), QString::fromUtf8("IP地址"));
        QCOMPARE(grid->model()->headerData(2, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(),
                 Qt::Alignment(Qt::AlignCenter));
        QCOMPARE((QList<int>{grid->columnWidth(0), grid->columnWidth(1), grid->columnWidth(2)}),
                 (QList<int>{70, 79, 209}));
        QVERIFY(KestruneMain->lbPass->geometry().top() >= grid->geometry().bottom());
        OdbcSandbox::Instance().ClearTrace();
        KestruneMain->Button1->click();
        verifyState(State::Unlocked);
        QVERIFY(OdbcSandbox::Instance().Trace().find("SQLExecDirect") == std::string::npos);
        QCOMPARE(GridRows(grid), QStringList{"ZZ01|4321|10.0.0.1"});
    }

    void changedTextAfterUnlockingRefusesBehindTheGrid()
    {
        openDemoViewer();
        reachState(State::Unlocked);
        typeAndVerify("qz2");
        QVERIFY(KestruneMain->DBGrid1->isVisible());
        QVERIFY(KestruneMain->lbError->isVisible());
        QVERIFY(KestruneMain->Button2->isVisible());
        QVERIFY(!KestruneMain->Button1->isVisible());
    }

    void closingEndsTheProgram_data()
    {
        QTest::addColumn<State>("state");
        QTest::addColumn<bool>("byExitButton");
        QTest::newRow("locked, close box") << State::Locked << false;
        QTest::newRow("unlocked, close box") << State::Unlocked << false;
        QTest::newRow("refused, close box") << State::Refused << false;
        QTest::newRow("refused, exit button") << State::Refused << true;
    }
    void closingEndsTheProgram()
    {
        QFETCH(State, state);
        QFETCH(bool, byExitButton);
        openDemoViewer();
        reachState(state);
        QTimer::singleShot(0, [byExitButton] {
            if (byExitButton)
                QTest::mouseClick(KestruneMain->Button2, Qt::LeftButton);
            else
                KestruneMain->close();
        });
        QCOMPARE(Application->Run(), 0);
        QVERIFY(Application->Terminated());
    }

    void looksAsLaidOut()
    {
        openDemoViewer();
        QCOMPARE(KestruneMain->size(), QSize(416, 226));
        reachState(State::Refused);
        const QImage refused = KestruneMain->grab().toImage();
        const int redPixels = CountPoints(KestruneMain->lbError->geometry(),
                                          [&](const QPoint& at) { return IsRed(refused.pixelColor(at)); });
        QVERIFY2(redPixels > 30, qPrintable(QString::number(redPixels)));
        KestruneMain->edPass->setText("qz");
        KestruneMain->Button1->setVisible(true);
        KestruneMain->Button1->click();
        // The grid lies in front of the password box and its caption once shown.
        for (QWidget* below :
             {static_cast<QWidget*>(KestruneMain->edPass), static_cast<QWidget*>(KestruneMain->Label1)}) {
            const QWidget* top = KestruneMain->childAt(below->geometry().center());
            QVERIFY(top == KestruneMain->DBGrid1 || KestruneMain->DBGrid1->isAncestorOf(top));
        }
        const QImage unlocked = KestruneMain->grab().toImage();
        QVERIFY(unlocked != refused);
    }
};

QObject* NewTestKestruneMain()
{
    return new TestKestruneMain;
}

#include "TestKestruneMain.moc"
