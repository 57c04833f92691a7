#pragma once
// The warnings Qt reports while a CaughtWarnings lives, kept for the test
// instead of reaching the console.
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace quintelle::testing {

class CaughtWarnings {
  public:
    CaughtWarnings() : before_(qInstallMessageHandler(&keep)) { caught().clear(); }
    ~CaughtWarnings() { qInstallMessageHandler(before_); }
    CaughtWarnings(const CaughtWarnings&) = delete;
    CaughtWarnings& operator=(const CaughtWarnings&) = delete;

    const QStringList& texts() const { return caught(); }

  private:
    // Qt's handler is a plain function, so what it keeps is process-wide.
    static QStringList& caught() {
        static QStringList texts;
        return texts;
    }
    static void keep(QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtWarningMsg) caught() << text;
    }

    QtMessageHandler before_;
};

}  // namespace quintelle::testing
