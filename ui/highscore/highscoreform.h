#pragma once
// The online high-score window (unit highscoreform): the vendor's page in a
// viewer, framed by the program's logos. It owns the two background fetches
// of the online list: `sendit` posts a finished game's score, and tells how
// the post ended through postingEnded; `getit` brings the page, or says in
// the viewer why it could not.
#include <QDate>
#include <QImage>

#include "net/httpget.h"
#include "net/url.h"
#include "ui/main/secondarywindow.h"

class ImageButton;
class QLabel;
class TFlatPanel;
class THtmlViewer;
class TLbBackground;
class Tmain;

// How a post ended.
struct PostingOutcome {
    enum Kind {
        Accepted,  // the server took the score
        Refused,   // the server answered and would not take it: reason says why
        Failed,    // no usable answer: reason says what went wrong
    } kind;
    QString reason;
};

class Thighscore : public quintelle::ui::SecondaryWindow {
    Q_OBJECT
  public:
    static constexpr QSize kClient{603, 561};

    // `vendorLink` is the about window's link, opened by the lower logo.
    Thighscore(Tmain* main, const TURL* vendorLink);
    ~Thighscore() override;

    void sendscore(const QString& name, const QString& date, const QString& score);
    void loadit();
    // A page of the Daily Deal in the viewer: today's list unless another is named.
    void loadDaily(const QString& path = {});

    // Handlers.
    void senditDoneString(THTTPGet* sender, const QByteArray& body);
    void senditError(THTTPGet* sender);
    void getitDoneString(THTTPGet* sender, const QByteArray& body);
    void getitError(THTTPGet* sender);
    void displayhtmlHotSpotClick(THtmlViewer* sender, const QString& target, bool& handled);
    void Image2Click();
    void button_doneClick();

    THTTPGet& sendit() { return sendit_; }
    THTTPGet& getit() { return getit_; }
    THtmlViewer* displayhtml() const { return displayhtml_; }

  signals:
    void postingEnded(const PostingOutcome& outcome);

  private:
    void FormCreate();
    void fetchPage(const QString& path);

    Tmain* main_;
    const TURL* vendorLink_;
    TLbBackground* LbBackground1 = nullptr;
    TFlatPanel* panel_main = nullptr;
    THtmlViewer* displayhtml_ = nullptr;
    QLabel* label_lists = nullptr;
    THTTPGet sendit_;
    THTTPGet getit_;
    TURL URL1;
};
