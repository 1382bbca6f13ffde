#include "platform/xmlscanner.h"

#include <QTest>

namespace {

// Every token as a line: "<name a=..." for starts, "</name" for ends, "<name/" for empty tags,
// and the captured text of each element whose name is in `captured`.
QStringList scan(const QByteArray& xml, qint64 chunk, const QList<QByteArray>& captured = {"t"}) {
    qint64 pos = 0;
    XmlScanner scanner([&](char* buffer, qint64 size) {
        const qint64 n = std::min({size, chunk, qint64(xml.size()) - pos});
        std::memcpy(buffer, xml.constData() + pos, size_t(n));
        pos += n;
        return n;
    });
    QStringList tokens;
    for (;;) {
        const auto token = scanner.next();
        const QString name = QString::fromUtf8(scanner.name());
        switch (token) {
        case XmlScanner::Token::Start:
            tokens << "<" + name + " a=" + QString::fromUtf8(scanner.attribute("a"));
            if (captured.contains(scanner.name().toByteArray())) {
                scanner.text().clear();
                scanner.setCapture(true);
            }
            break;
        case XmlScanner::Token::Empty:
            tokens << "<" + name + "/";
            break;
        case XmlScanner::Token::End:
            if (captured.contains(scanner.name().toByteArray())) {
                scanner.setCapture(false);
                tokens << "text " + QString::fromUtf8(scanner.text());
            }
            tokens << "</" + name;
            break;
        case XmlScanner::Token::EndOfDocument:
            return tokens;
        case XmlScanner::Token::Error:
            tokens << "error";
            return tokens;
        }
    }
}

} // namespace

class TestXmlScanner : public QObject {
    Q_OBJECT
private slots:
    void tokens_data();
    void tokens();
    void cutInsideATag();
    void boundedTagsAndTexts_data();
    void boundedTagsAndTexts();
    void attributes();
};

void TestXmlScanner::tokens_data() {
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QStringList>("tokens");
    QTest::newRow("declaration, prefixes, quotes")
        << QByteArray("<?xml version=\"1.0\"?>\n<x:a a='1 > 0' b=\"2\"><x:b/></x:a>")
        << QStringList{"<a a=1 > 0", "<b/", "</a"};
    QTest::newRow("entities and characters")
        << QByteArray("<t a=\"&amp;\">&lt;&gt;&amp;&quot;&apos;&#65;&#x20AC;\xC3\xA4&unknown;</t>")
        << QStringList{"<t a=&amp;", "text <>&\"'A\u20AC\u00E4&unknown;", "</t"};
    QTest::newRow("comments and CDATA") << QByteArray("<t><!-- <t>no</t> -->a<![CDATA[<b>&amp;]]>c</t>")
                                        << QStringList{"<t a=", "text a<b>&amp;c", "</t"};
    QTest::newRow("text outside captured elements is dropped")
        << QByteArray("<r>x<t>kept</t>y</r>") << QStringList{"<r a=", "<t a=", "text kept", "</t", "</r"};
}

// Fed one byte at a time and in one piece, the scanner sees the same tokens.
void TestXmlScanner::tokens() {
    QFETCH(QByteArray, xml);
    QFETCH(QStringList, tokens);
    QCOMPARE(scan(xml, 1), tokens);
    QCOMPARE(scan(xml, 1 << 20), tokens);
}

void TestXmlScanner::cutInsideATag() {
    QCOMPARE(scan("<a><b x=\"1", 3), (QStringList{"<a a=", "error"}));
}

void TestXmlScanner::boundedTagsAndTexts_data() {
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("last");
    QTest::addColumn<XmlScanner::Fault>("fault");
    const qsizetype bound = XmlScanner::kMaxTextBytes;
    const QByteArray justInside(bound, 'x');
    const QByteArray over(bound + 1, 'x');
    QTest::newRow("captured text at the bound") << "<t>" + justInside + "</t>"
                                                << "</t" << XmlScanner::Fault::None;
    QTest::newRow("captured text over it") << "<t>" + over + "</t>"
                                           << "error" << XmlScanner::Fault::TextTooLong;
    QTest::newRow("captured in pieces over it") << "<t>" + justInside + "<![CDATA[x]]></t>"
                                                << "error" << XmlScanner::Fault::TextTooLong;
    QTest::newRow("text not captured is dropped") << "<r>" + over + over + "</r>"
                                                  << "</r" << XmlScanner::Fault::None;
    QTest::newRow("a comment of any length") << "<r><!--" + over + over + "--></r>"
                                             << "</r" << XmlScanner::Fault::None;
    QTest::newRow("an unclosed attribute") << "<r a=\"" + over + over << "error" << XmlScanner::Fault::TagTooLong;
    QTest::newRow("an unclosed comment") << "<r><!--" + over << "error" << XmlScanner::Fault::CutShort;
}

// Memory stays bounded: what is not captured streams by, and a tag or captured text beyond its
// bound ends the scan, the same way in one piece or in small chunks.
void TestXmlScanner::boundedTagsAndTexts() {
    QFETCH(QByteArray, xml);
    QFETCH(QString, last);
    QFETCH(XmlScanner::Fault, fault);
    for (const qint64 chunk : {qint64(4099), qint64(1) << 24}) {
        qint64 pos = 0;
        XmlScanner scanner([&](char* buffer, qint64 size) {
            const qint64 n = std::min({size, chunk, qint64(xml.size()) - pos});
            std::memcpy(buffer, xml.constData() + pos, size_t(n));
            pos += n;
            return n;
        });
        QString seen;
        for (;;) {
            const auto token = scanner.next();
            if (token == XmlScanner::Token::EndOfDocument)
                break;
            if (token == XmlScanner::Token::Error) {
                seen = "error";
                break;
            }
            seen = (token == XmlScanner::Token::End ? "</" : "<") + QString::fromUtf8(scanner.name());
            if (scanner.name() == "t")
                scanner.setCapture(token == XmlScanner::Token::Start);
        }
        QCOMPARE(seen, last);
        QCOMPARE(scanner.fault(), fault);
    }
}

void TestXmlScanner::attributes() {
    const QByteArray xml = "<sheet name='a &amp; b' r:id=\"rId7\" id=\"plain\"/>";
    XmlScanner scanner([&, done = false](char* buffer, qint64) mutable {
        if (done)
            return qint64(0);
        done = true;
        std::memcpy(buffer, xml.constData(), size_t(xml.size()));
        return qint64(xml.size());
    });
    QCOMPARE(scanner.next(), XmlScanner::Token::Empty);
    QCOMPARE(XmlScanner::decoded(scanner.attribute("name")), QByteArray("a & b"));
    QCOMPARE(scanner.prefixedAttribute("id"), QByteArrayView("rId7"));
    QCOMPARE(scanner.attribute("id"), QByteArrayView("plain"));
    QCOMPARE(scanner.attribute("none"), QByteArrayView());
}

QTEST_GUILESS_MAIN(TestXmlScanner)
#include "tst_xmlscanner.moc"
