#include "MultiLanguage.h"

#include <QtTest>

#include <QRegularExpression>
#include <QXmlStreamReader>

namespace {

const QStringList Codes = {QStringLiteral("fr"), QStringLiteral("pt"), QStringLiteral("it"),
                           QStringLiteral("de"), QStringLiteral("es"), QStringLiteral("ja")};

using Key = QPair<QString, QString>; // context, source text

// The main window's own title is never seen (the frame shows the product name) and stays in English.
const Key UntranslatedTitle(QStringLiteral("MainWindow"), QStringLiteral("Tamrik Title"));

struct Entry
{
    QString translation;
    QString type; // empty when finished
};

using Catalogue = QMap<Key, Entry>;

// The text of the element the reader is in; lupdate writes a carriage return as <byte value="xd"/>.
QString readText(QXmlStreamReader& xml)
{
    QString text;
    for (int depth = 0; !xml.atEnd();) {
        switch (xml.readNext()) {
        case QXmlStreamReader::Characters:
            text += xml.text();
            break;
        case QXmlStreamReader::StartElement:
            ++depth;
            if (xml.name() == QLatin1String("byte")) {
                const QString value = xml.attributes().value(QLatin1String("value")).toString();
                text += value.startsWith(QLatin1Char('x')) ? QChar(value.mid(1).toUShort(nullptr, 16))
                                                           : QChar(value.toUShort());
            }
            break;
        case QXmlStreamReader::EndElement:
            if (depth-- == 0)
                return text;
            break;
        default:
            break;
        }
    }
    return text;
}

bool readCatalogue(const QString& path, Catalogue& catalogue, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = path + QStringLiteral(": ") + file.errorString();
        return false;
    }
    QXmlStreamReader xml(&file);
    QString context;
    Key key;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            key = Key(context, readText(xml));
        } else if (xml.name() == QLatin1String("translation")) {
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            catalogue.insert(key, Entry{readText(xml), type});
        }
    }
    if (xml.hasError())
        error = QStringLiteral("%1:%2: %3").arg(path).arg(xml.lineNumber()).arg(xml.errorString());
    return !xml.hasError();
}

Catalogue catalogue(const QString& code)
{
    Catalogue result;
    QString error;
    if (!readCatalogue(QStringLiteral(TS_DIR "/Translation_%1.ts").arg(code), result, error))
        qWarning("%s", qPrintable(error));
    return result;
}

QString describe(const QList<Key>& keys)
{
    QStringList lines;
    for (const Key& key : keys)
        lines << key.first + QStringLiteral(": \"") + key.second + QLatin1Char('"');
    return lines.join(QLatin1Char('\n'));
}

QSet<QString> placeholders(const QString& text)
{
    static const QRegularExpression placeholder(QStringLiteral("%\\d+"));
    QSet<QString> result;
    for (auto it = placeholder.globalMatch(text); it.hasNext();)
        result.insert(it.next().captured());
    return result;
}

} // namespace

class TestCatalogues : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyEntryIsTranslated_data() { catalogueRows(); }
    void everyEntryIsTranslated();
    void entriesMatchTheCode_data() { catalogueRows(); }
    void entriesMatchTheCode();
    void placeholdersAndLineBreaksKept_data() { catalogueRows(); }
    void placeholdersAndLineBreaksKept();
    void compiledCataloguesAreUsed_data();
    void compiledCataloguesAreUsed();

private:
    void catalogueRows();

    Catalogue m_code; // what lupdate finds in the sources now
};

void TestCatalogues::initTestCase()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString scanned = dir.filePath(QStringLiteral("code.ts"));
    QProcess lupdate;
    lupdate.setProcessChannelMode(QProcess::MergedChannels);
    lupdate.start(QStringLiteral(LUPDATE), {QStringLiteral("-locations"), QStringLiteral("none"),
                                            QStringLiteral(SOURCE_DIR), QStringLiteral("-ts"), scanned});
    QVERIFY2(lupdate.waitForFinished(120000), "lupdate did not finish");
    QVERIFY2(lupdate.exitStatus() == QProcess::NormalExit && lupdate.exitCode() == 0, lupdate.readAll().constData());
    QString error;
    QVERIFY2(readCatalogue(scanned, m_code, error), qPrintable(error));
    // A scan that finds next to nothing means lupdate looked in the wrong place, not that the code has no texts.
    QVERIFY2(m_code.size() > 40, qPrintable(QString::number(m_code.size())));
}

// One row per translated catalogue.
void TestCatalogues::catalogueRows()
{
    QTest::addColumn<QString>("code");
    for (const QString& code : Codes)
        QTest::newRow(qPrintable(code)) << code;
}

void TestCatalogues::everyEntryIsTranslated()
{
    QFETCH(QString, code);
    QList<Key> unfinished;
    const Catalogue entries = catalogue(code);
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        const bool empty = it.value().translation.isEmpty() && it.key() != UntranslatedTitle;
        if (!it.value().type.isEmpty() || empty)
            unfinished << it.key();
    }
    QVERIFY2(unfinished.isEmpty(), qPrintable(describe(unfinished)));
}

void TestCatalogues::entriesMatchTheCode()
{
    QFETCH(QString, code);
    const Catalogue entries = catalogue(code);
    QList<Key> missing;
    for (auto it = m_code.keyBegin(); it != m_code.keyEnd(); ++it) {
        if (!entries.contains(*it))
            missing << *it;
    }
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("not in the catalogue:\n") + describe(missing)));
    QList<Key> stale;
    for (auto it = entries.keyBegin(); it != entries.keyEnd(); ++it) {
        if (!m_code.contains(*it))
            stale << *it;
    }
    QVERIFY2(stale.isEmpty(), qPrintable(QStringLiteral("no longer in the code:\n") + describe(stale)));
}

void TestCatalogues::placeholdersAndLineBreaksKept()
{
    QFETCH(QString, code);
    const QString lineBreak = QStringLiteral("\r\n");
    QList<Key> broken;
    const Catalogue entries = catalogue(code);
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        const QString& source = it.key().second;
        const QString& translation = it.value().translation;
        if (translation.isEmpty())
            continue;
        if (placeholders(source) != placeholders(translation) ||
            source.count(lineBreak) != translation.count(lineBreak))
            broken << it.key();
    }
    QVERIFY2(broken.isEmpty(), qPrintable(describe(broken)));
}

void TestCatalogues::compiledCataloguesAreUsed_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("expected");

    QTest::newRow("de") << 5 << "FileItemWidget"
                        << "%1 Pages"
                        << "%1 Seiten";
    QTest::newRow("ja") << 7 << "FileItemWidget"
                        << "%1 Pages" << QStringLiteral("%1 ページ");
    // An entry kept without a translation shows its source text, not an empty one.
    QTest::newRow("untranslated title") << 2 << "MainWindow"
                                        << "Tamrik Title"
                                        << "Tamrik Title";
}

void TestCatalogues::compiledCataloguesAreUsed()
{
    QFETCH(int, language);
    QFETCH(QString, context);
    QFETCH(QString, source);
    QFETCH(QString, expected);
    MultiLanguage::gInstance()->loadLanguage(language);
    QCOMPARE(QCoreApplication::translate(context.toUtf8().constData(), source.toUtf8().constData()), expected);
}

QTEST_GUILESS_MAIN(TestCatalogues)
#include "tst_catalogues.moc"
