// The link opener: which text reaches the desktop for each kind of address,
// and what it reports back.
#include <QTest>

#include "net/url.h"
#include "windows.h"

Q_DECLARE_METATYPE(TURL::TURLType)

using helptest::ShellRecorder;

class TestUrl : public QObject {
    Q_OBJECT

  private slots:
    void handsPrefixAndAddressToTheDesktop_data();
    void handsPrefixAndAddressToTheDesktop();
    void emptyAddressOpensNothing_data();
    void emptyAddressOpensNothing();
    void reportsWhetherTheDesktopAccepted_data();
    void reportsWhetherTheDesktopAccepted();
    void defaultsToHttp();
};

void TestUrl::handsPrefixAndAddressToTheDesktop_data() {
    QTest::addColumn<TURL::TURLType>("type");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("handed");
    QTest::newRow("file") << TURL::utFile << "/tmp/page.html"
                          << "file:///tmp/page.html";
    QTest::newRow("ftp") << TURL::utFtp << "ftp.example.com"
                         << "ftp://ftp.example.com";
    QTest::newRow("gopher") << TURL::utGopher << "gopher.example.com"
                            << "gopher://gopher.example.com";
    QTest::newRow("http bare host") << TURL::utHttp << "example.com"
                                    << "http://example.com";
    QTest::newRow("http with path") << TURL::utHttp << "example.com/a b?x=1"
                                    << "http://example.com/a b?x=1";
    QTest::newRow("https") << TURL::utHttps << "example.com"
                           << "https://example.com";
    QTest::newRow("mailto") << TURL::utMailto << "someone@example.com"
                            << "mailto:someone@example.com";
    QTest::newRow("news") << TURL::utNews << "comp.games"
                          << "news:comp.games";
    QTest::newRow("telnet") << TURL::utTelnet << "example.com"
                            << "telnet:example.com";
    QTest::newRow("wais") << TURL::utWais << "example.com"
                          << "wais:example.com";
    QTest::newRow("none keeps a page's mailto") << TURL::utnone << "mailto:someone@example.com"
                                                << "mailto:someone@example.com";
    QTest::newRow("none keeps a full address") << TURL::utnone << "http://example.com/x"
                                               << "http://example.com/x";
    const QString longHost = QString(5000, u'a') + QStringLiteral(".example.com");
    QTest::newRow("long address is handed whole")
        << TURL::utHttp << longHost << QStringLiteral("http://") + longHost;
}

void TestUrl::handsPrefixAndAddressToTheDesktop() {
    QFETCH(TURL::TURLType, type);
    QFETCH(QString, url);
    QFETCH(QString, handed);
    ShellRecorder shell;
    TURL link;
    link.URLType = type;
    link.URL = url;
    QVERIFY(link.OpenURL());
    QCOMPARE(shell.opened, QStringList{handed});
}

void TestUrl::emptyAddressOpensNothing_data() {
    QTest::addColumn<TURL::TURLType>("type");
    QTest::newRow("http") << TURL::utHttp;
    QTest::newRow("none") << TURL::utnone;
    QTest::newRow("mailto") << TURL::utMailto;
}

void TestUrl::emptyAddressOpensNothing() {
    QFETCH(TURL::TURLType, type);
    ShellRecorder shell;
    TURL link;
    link.URLType = type;
    QVERIFY(!link.OpenURL());
    QVERIFY(shell.opened.isEmpty());
}

void TestUrl::reportsWhetherTheDesktopAccepted_data() {
    QTest::addColumn<bool>("accept");
    QTest::newRow("accepted") << true;
    QTest::newRow("refused") << false;
}

void TestUrl::reportsWhetherTheDesktopAccepted() {
    QFETCH(bool, accept);
    ShellRecorder shell;
    shell.accept = accept;
    TURL link;
    link.URL = QStringLiteral("example.com");
    QCOMPARE(link.OpenURL(), accept);
    QCOMPARE(shell.opened.size(), 1);
}

void TestUrl::defaultsToHttp() {
    ShellRecorder shell;
    TURL link;
    link.URL = QStringLiteral("example.com");
    link.OpenURL();
    QCOMPARE(shell.opened, QStringList{QStringLiteral("http://example.com")});
}

QTEST_MAIN(TestUrl)
#include "test_url.moc"
