#include "codegen/filelinesink.h"
#include "codegen/findreplace.h"
#include "codegen/flowemitter.h"
#include "model/nodevalues.h"
#include "codegen/templatefill.h"
#include "codegen/textencoding.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using model::NodeValues;
using model::ColumnValues;

class TestCodegenParts : public QObject
{
    Q_OBJECT

private slots:
    void fillSubstitutes_data();
    void fillSubstitutes();
    void fillReportsMisuse_data();
    void fillReportsMisuse();

    void findReplace_data();
    void findReplace();

    void windows1252_data();
    void windows1252();
    void xmlAttribute_data();
    void xmlAttribute();

    void nodeValuesNull();
    void nodeValuesNoRow();
    void nodeValuesMaxLength_data();
    void nodeValuesMaxLength();
    void nodeValuesKeepStoredText();

    void fileSinkWritesOnlyOnCommit();
    void fileSinkLineBreaksInValues();
    void emitterNames();
};

void TestCodegenParts::fillSubstitutes_data()
{
    QTest::addColumn<QString>("templateText");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("one line") << "<a name=\"«label»\"></a>" << "x-y"
                              << QStringList{"<a name=\"x-y\"></a>"};
    QTest::newRow("blanks count") << "\n     \n «label» \n" << "v"
                                  << QStringList{"     ", " v "};
    QTest::newRow("value not scanned again") << "«label»«label»" << "«label»"
                                             << QStringList{"«label»«label»"};
    QTest::newRow("empty value") << "a«label»b" << "" << QStringList{"ab"};
    QTest::newRow("lone guillemet kept") << "« «label» »" << "v" << QStringList{"« v »"};
}

void TestCodegenParts::fillSubstitutes()
{
    QFETCH(QString, templateText);
    QFETCH(QString, value);
    QFETCH(QStringList, expected);
    QStringList problems;
    QCOMPARE(codegen::fill(templateText, {{u"label", value}}, &problems), expected);
    QCOMPARE(problems, QStringList());
}

void TestCodegenParts::fillReportsMisuse_data()
{
    QTest::addColumn<QString>("templateText");
    QTest::addColumn<QStringList>("expectedProblems");
    QTest::newRow("missing") << "«label» «other»"
                             << QStringList{"No value for «other»."};
    QTest::newRow("unused") << "no placeholder"
                            << QStringList{"The value «label» is not used."};
    QTest::newRow("misspelt") << "«Label»"
                              << QStringList{"No value for «Label».",
                                             "The value «label» is not used."};
}

void TestCodegenParts::fillReportsMisuse()
{
    QFETCH(QString, templateText);
    QFETCH(QStringList, expectedProblems);
    QStringList problems;
    codegen::fill(templateText, {{u"label", QStringLiteral("v")}}, &problems);
    QCOMPARE(problems, expectedProblems);
}

void TestCodegenParts::findReplace_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("expected");
    QTest::newRow("blanks") << "play main greetings" << " " << "-" << "play-main-greetings";
    QTest::newRow("double blank") << "a  b " << " " << "-" << "a--b-";
    QTest::newRow("none") << "hangup" << " " << "-" << "hangup";
    QTest::newRow("case-sensitive") << "aAa" << "A" << "b" << "aba";
    // The replacement holds the search text: replaced once, no endless loop.
    QTest::newRow("replacement holds search") << "a b" << " " << " x " << "a x b";
    QTest::newRow("replacement is search") << "a b c" << " " << " " << "a b c";
    QTest::newRow("replacement forms search") << "aab" << "ab" << "bab" << "abab";
    QTest::newRow("empty search") << "abc" << "" << "x" << "abc";
    QTest::newRow("empty source") << "" << " " << "-" << "";
}

void TestCodegenParts::findReplace()
{
    QFETCH(QString, source);
    QFETCH(QString, search);
    QFETCH(QString, replacement);
    QFETCH(QString, expected);
    QCOMPARE(codegen::findReplace(source, search, replacement), expected);
}

void TestCodegenParts::windows1252_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("ascii") << "abc <%@ %>" << QByteArray("abc <%@ %>");
    QTest::newRow("latin-1") << QString("caf\u00e9 \u00ff\u00a0")
                             << QByteArray("caf\xe9 \xff\xa0");
    QTest::newRow("typographic quotes") << QString("\u201cDigits\u201d \u2018x\u2019")
                                        << QByteArray("\x93" "Digits\x94 \x91x\x92");
    QTest::newRow("euro, dashes, trade mark") << QString("\u20ac\u2013\u2014\u2122\u2026")
                                              << QByteArray("\x80\x96\x97\x99\x85");
    QTest::newRow("letters with caron") << QString("\u0160\u0161\u017d\u017e\u0178\u0152\u0153")
                                        << QByteArray("\x8a\x9a\x8e\x9e\x9f\x8c\x9c");
    QTest::newRow("C1 controls unmappable") << QString("\u0080\u0081\u009f")
                                            << QByteArray("???");
    QTest::newRow("other scripts") << QString("\u0416\u4e2d") << QByteArray("??");
    QTest::newRow("surrogate pair is one character")
        << QString::fromUtf8("a\xf0\x9f\x98\x80" "b") << QByteArray("a?b");
    QTest::newRow("lone surrogate") << QString(QChar(0xd800)) + "x" << QByteArray("?x");
}

void TestCodegenParts::windows1252()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(codegen::toWindows1252(text), expected);
}

void TestCodegenParts::xmlAttribute_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "greeting.wav" << "greeting.wav";
    QTest::newRow("markup") << "a&b<c>\"d\"'e" << "a&amp;b&lt;c&gt;&quot;d&quot;'e";
    QTest::newRow("entity kept literal") << "&amp;" << "&amp;amp;";
    QTest::newRow("line breaks") << "a\tb\nc\rd" << "a&#9;b&#10;c&#13;d";
    QTest::newRow("controls dropped") << QString("a\u0001b\u001fc") << "abc";
    QTest::newRow("non-characters dropped") << QString("a\uffffb\ufffe") << "ab";
    QTest::newRow("accents kept") << QString("\u00e9\u20ac") << QString("\u00e9\u20ac");
    QTest::newRow("pair kept, lone dropped")
        << QString::fromUtf8("\xf0\x9f\x98\x80") + QChar(0xdc00)
        << QString::fromUtf8("\xf0\x9f\x98\x80");
}

void TestCodegenParts::xmlAttribute()
{
    QFETCH(QString, value);
    QFETCH(QString, expected);
    QCOMPARE(codegen::xmlAttributeEscaped(value), expected);
}

void TestCodegenParts::nodeValuesNull()
{
    ColumnValues row;
    for (const QString &column : model::flowcolumns::all())
        row.insert(column, QVariant());
    const NodeValues v = NodeValues::fromRow(row, QStringLiteral("record message"));
    QCOMPARE(v.voicefile, "Novoice.wav");
    QCOMPARE(v.ignoreKeys, "True");
    QCOMPARE(v.inputid, "NeedInputID");
    QCOMPARE(v.inputmaxlen, "4");
    QCOMPARE(v.inputstyle, "Cut-Through: NO");
    QCOMPARE(v.inputTerm, "#");
    QCOMPARE(v.inputtype, "Text");
    QCOMPARE(v.firstTimeoutInterval, "30");
    QCOMPARE(v.interTimeoutInterval, "30");
    QCOMPARE(v.prompttxt, "Please enter TTS text for record message");
    QCOMPARE(v.maxReclen, 60);
    // A column the table lacks counts as Null.
    QCOMPARE(NodeValues::fromRow(ColumnValues{}, QStringLiteral("x")).prompttxt,
             "Please enter TTS text for x");
}

void TestCodegenParts::nodeValuesNoRow()
{
    const NodeValues v = NodeValues::fromRow(std::nullopt, QStringLiteral("record message"));
    QCOMPARE(v.voicefile, "Novoice.wav");
    QCOMPARE(v.ignoreKeys, "True");
    QCOMPARE(v.inputid, "record message");
    QCOMPARE(v.inputmaxlen, "4");
    QCOMPARE(v.inputstyle, "Cut-Through: NO");
    QCOMPARE(v.inputTerm, "#");
    QCOMPARE(v.inputtype, "Text");
    QCOMPARE(v.firstTimeoutInterval, "30");
    QCOMPARE(v.interTimeoutInterval, "30");
    QCOMPARE(v.prompttxt, "please type tts text for record message");
    QCOMPARE(v.maxReclen, 60);
}

void TestCodegenParts::nodeValuesMaxLength_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("expected");
    QTest::newRow("8") << QVariant("8") << "8";
    QTest::newRow("12") << QVariant("12") << "12";
    QTest::newRow("abc") << QVariant("abc") << "4";
    QTest::newRow("null") << QVariant() << "4";
    QTest::newRow("empty") << QVariant("") << "4";
    QTest::newRow("blank") << QVariant("  ") << "4";
    QTest::newRow("8a") << QVariant("8a") << "4";
}

void TestCodegenParts::nodeValuesMaxLength()
{
    QFETCH(QVariant, stored);
    QFETCH(QString, expected);
    const ColumnValues row{{QStringLiteral("inputmaxlen"), stored}};
    QCOMPARE(NodeValues::fromRow(row, QStringLiteral("get option digits")).inputmaxlen, expected);
}

void TestCodegenParts::nodeValuesKeepStoredText()
{
    const ColumnValues row{{QStringLiteral("voicefile"), QStringLiteral("Main.WAV")},
                           {QStringLiteral("prompttxt"), QString()},
                           {QStringLiteral("IgnoreKeys"), QStringLiteral("False")},
                           {QStringLiteral("MaxReclen"), QStringLiteral("xx")},
                           {QStringLiteral("FirstTimeoutInterval"), QStringLiteral("5")}};
    const NodeValues v = NodeValues::fromRow(row, QStringLiteral("hangup"));
    QCOMPARE(v.voicefile, "Main.WAV");
    QCOMPARE(v.prompttxt, ""); // an empty text is not Null
    QCOMPARE(v.ignoreKeys, "False");
    QCOMPARE(v.firstTimeoutInterval, "5");
    QCOMPARE(v.maxReclen, 60); // not a number: no page uses it, the run goes on
}

void TestCodegenParts::fileSinkWritesOnlyOnCommit()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.asp"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old page\r\n");
    }
    {
        codegen::FileLineSink sink(path, codegen::FileLineSink::Encoding::Windows1252);
        QString error;
        QVERIFY2(sink.open(&error), qPrintable(error));
        sink.writeCodeLine(QStringLiteral("New Line"));
        // Abandoned without commit: the old page stays, no temporary file is left.
    }
    QFile check(path);
    QVERIFY(check.open(QIODevice::ReadOnly));
    QCOMPARE(check.readAll(), QByteArray("old page\r\n"));
    check.close();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"page.asp"});

    codegen::FileLineSink sink(path, codegen::FileLineSink::Encoding::Utf8);
    QString error;
    QVERIFY(sink.open(&error));
    sink.writeCodeLine(QString("Caf\u00c9 <P>"));
    QVERIFY2(sink.commit(&error), qPrintable(error));
    QVERIFY(check.open(QIODevice::ReadOnly));
    QCOMPARE(check.readAll(), QByteArray("caf\xc3\xa9 <p>\r\n"));
}

void TestCodegenParts::fileSinkLineBreaksInValues()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.asp"));
    codegen::FileLineSink sink(path, codegen::FileLineSink::Encoding::Windows1252);
    QString error;
    QVERIFY(sink.open(&error));
    sink.writeCodeLine(QStringLiteral("A\nB\r\nC\rD"));
    sink.writeCodeLine(QString());
    QVERIFY(sink.commit(&error));
    QFile check(path);
    QVERIFY(check.open(QIODevice::ReadOnly));
    QCOMPARE(check.readAll(), QByteArray("a\r\nb\r\nc\r\nd\r\n\r\n"));
}

void TestCodegenParts::emitterNames()
{
    for (const char *name : {"answer call", "hangup", "play main greetings", "re-record messages",
                             "get password digits", "hear recorded message"}) {
        const bool expected = qstrcmp(name, "answer call") != 0; // the root has its own call
        QCOMPARE(codegen::FlowEmitter::hasEmitter(QString::fromLatin1(name)), expected);
    }
    QVERIFY(!codegen::FlowEmitter::hasEmitter(QStringLiteral("Hangup")));
    QVERIFY(!codegen::FlowEmitter::hasEmitter(QStringLiteral(" hangup")));
}

QTEST_GUILESS_MAIN(TestCodegenParts)
#include "tst_codegenparts.moc"
