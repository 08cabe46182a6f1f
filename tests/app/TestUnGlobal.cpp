#include "Exceptions.h"
#include "unGlobal.h"

#include <QTest>

class TestUnGlobal : public QObject {
    Q_OBJECT

private slots:
    void encodes_data()
    {
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QByteArray>("code");
        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("abc") << QByteArray("abc") << QByteArray("340334043407");
        QTest::newRow("double-byte character") << QByteArray("\xD6\xD0") << QByteArray("73347300");
        QTest::newRow("zero byte") << QByteArray(1, '\0') << QByteArray("0000");
        QTest::newRow("0xFF") << QByteArray("\xFF") << QByteArray("7777");
        QTest::newRow("blanks kept") << QByteArray(" a ") << QByteArray("040034030400");
    }
    void encodes()
    {
        QFETCH(QByteArray, plain);
        QFETCH(QByteArray, code);
        QCOMPARE(QByteArray::fromStdString(EncodeCredential(plain.toStdString())), code);
    }

    void everyByteRoundTrips()
    {
        for (int byte = 0; byte < 256; ++byte) {
            const std::string plain(1, static_cast<char>(byte));
            const auto code = EncodeCredential(plain);
            QCOMPARE(code.size(), 4u);
            QVERIFY2(code.find_first_not_of("0347") == std::string::npos, code.c_str());
            QCOMPARE(DecodeCredential(code), plain);
        }
    }

    void decodes_data()
    {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<QByteArray>("plain");
        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("abc") << QByteArray("340334043407") << QByteArray("abc");
        QTest::newRow("double-byte character") << QByteArray("73347300") << QByteArray("\xD6\xD0");
        QTest::newRow("halving reads 2512 as 3403") << QByteArray("2512") << QByteArray("a");
        QTest::newRow("carries fall away mod 256") << QByteArray("9999") << QByteArray("T");
        QTest::newRow("8 at the top carries out") << QByteArray("8000") << QByteArray(1, '\0');
        QTest::newRow("8 carries into the next place") << QByteArray("0800") << QByteArray("\x40");
        QTest::newRow("seven characters") << QByteArray("3403340") << QByteArray();
        QTest::newRow("length not a multiple of four, with letters") << QByteArray("abcde") << QByteArray();
        QTest::newRow("three characters") << QByteArray("340") << QByteArray();
    }
    void decodes()
    {
        QFETCH(QByteArray, code);
        QFETCH(QByteArray, plain);
        QCOMPARE(QByteArray::fromStdString(DecodeCredential(code.toStdString())), plain);
    }

    void rejectsNonDigits_data()
    {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("letter") << QByteArray("34a3") << QByteArray("'a' is not a valid integer value");
        QTest::newRow("trailing space") << QByteArray("340 ") << QByteArray("' ' is not a valid integer value");
        QTest::newRow("sign") << QByteArray("3403-403") << QByteArray("'-' is not a valid integer value");
        QTest::newRow("first bad byte named") << QByteArray("x4y3") << QByteArray("'x' is not a valid integer value");
        QTest::newRow("byte of a double-byte character")
            << QByteArray("34\xD6\xD0") << QByteArray("'\xD6' is not a valid integer value");
    }
    void rejectsNonDigits()
    {
        QFETCH(QByteArray, code);
        QFETCH(QByteArray, message);
        try {
            DecodeCredential(code.toStdString());
            QFAIL("no error raised");
        } catch (const EConvertError& error) {
            QCOMPARE(QByteArray::fromStdString(error.Message()), message);
        }
    }
};

QObject* NewTestUnGlobal()
{
    return new TestUnGlobal;
}

#include "TestUnGlobal.moc"
