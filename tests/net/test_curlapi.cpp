// libcurl opened at run time: what a file must offer to count as libcurl,
// and a fetch on a machine where it cannot be loaded.
#include <gtest/gtest.h>

#include <QTest>

#include "net/curlapi.h"
#include "net/httpget.h"
#include "tests/support/scripted_server.h"

using namespace quintelle::net;
using namespace quintelle::testsupport;

namespace {
bool contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}
}  // namespace

TEST(CurlApi, OnlyAFileWithEveryEntryPointCountsAsLibcurl) {
    const struct Row {
        const char* soname;
        const char* error;  // empty when it loads
    } rows[] = {
        {"libcurl.so.4", ""},
        {"libquintelle-absent.so.4", "libquintelle-absent.so.4: cannot open"},
        // Present, but not libcurl.
        {"libz.so.1", "libcurl entry point curl_global_init missing in libz.so.1"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.soname);
        const CurlLoad load = openCurl(row.soname);
        const CurlApi& a = load.api;
        const bool all = a.global_init && a.easy_init && a.easy_setopt && a.easy_perform &&
                         a.easy_getinfo && a.easy_cleanup && a.slist_append && a.slist_free_all;
        if (*row.error) {
            EXPECT_TRUE(contains(load.error, row.error)) << load.error;
            EXPECT_FALSE(a.global_init || a.easy_init || a.easy_setopt);
        } else {
            EXPECT_EQ(load.error, "");
            EXPECT_TRUE(all);
        }
    }
}

// The only test of this program that opens the process's libcurl, so the
// name it sets is still the one used.
TEST(CurlApi, WithoutTheLibraryEveryFetchEndsInTheErrorEventAndSendsNothing) {
    ASSERT_TRUE(setCurlLibraryName("libquintelle-absent.so.4"));
    ScriptedServer server({Reply::ok("hello", "text/plain")});
    for (int attempt = 1; attempt <= 2; ++attempt) {
        SCOPED_TRACE(attempt);
        THTTPGet get;
        int done = 0, errors = 0;
        get.OnDoneString = [&](THTTPGet*, const QByteArray&) { ++done; };
        get.OnError = [&](THTTPGet*) { ++errors; };
        get.URL = QStringLiteral("http://127.0.0.1/version.txt");
        get.Port = server.port();
        get.StartFetch();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !get.busy(); }, 10000));
        EXPECT_EQ(done, 0);
        EXPECT_EQ(errors, 1);
    }
    EXPECT_EQ(server.connections(), 0);
    EXPECT_EQ(curlApi(), nullptr);
    EXPECT_TRUE(contains(curlLoadError(), "libquintelle-absent.so.4: cannot open"))
        << curlLoadError();
    EXPECT_FALSE(setCurlLibraryName("libcurl.so.4"));
}
